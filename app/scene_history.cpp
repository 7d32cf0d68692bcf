#include "scene_history.h"

#include <algorithm>

namespace {

bool SameFaces(const PictureRef (&a)[kPictureCount], const PictureRef (&b)[kPictureCount])
{
    return std::equal(a, a + kPictureCount, b);
}

} // namespace

bool CSceneHistory::Record(const SceneDescription& scene, const PictureRef (&faces)[kPictureCount], size_t document)
{
    if (const SceneStep* pNow = Current();
        pNow && pNow->scene == scene && SameFaces(pNow->faces, faces) && pNow->document == document)
        return false;
    while (CanRedo())
        Drop(m_steps.size() - 1);
    SceneStep step;
    step.scene = scene;
    step.document = document;
    std::copy(faces, faces + kPictureCount, step.faces);
    m_steps.push_back(step);
    m_nCurrent = m_steps.size() - 1;
    Trim();
    return true;
}

const SceneStep* CSceneHistory::Undo()
{
    if (!CanUndo())
        return nullptr;
    return &m_steps[--m_nCurrent];
}

const SceneStep* CSceneHistory::Redo()
{
    if (!CanRedo())
        return nullptr;
    return &m_steps[++m_nCurrent];
}

void CSceneHistory::Clear()
{
    m_steps.clear();
    m_nCurrent = 0;
}

void CSceneHistory::Drop(size_t index)
{
    m_steps.erase(m_steps.begin() + static_cast<std::ptrdiff_t>(index));
    if (m_nCurrent > 0 && m_nCurrent >= index)
        --m_nCurrent;
}

void CSceneHistory::Trim()
{
    // The oldest steps go first: beyond kMaxSteps, and while the pictures only they still
    // hold would keep more than kMaxPictureBytes alive.
    auto heldBytes = [this] {
        std::vector<const ScenePicture*> seen;
        unsigned long long bytes = 0;
        for (const SceneStep& step : m_steps)
            for (const PictureRef& picture : step.faces)
                if (picture && std::find(seen.begin(), seen.end(), picture.get()) == seen.end()) {
                    seen.push_back(picture.get());
                    bytes += picture->Bytes();
                }
        return bytes;
    };
    while (m_steps.size() > kMaxSteps && m_nCurrent > 0)
        Drop(0);
    while (m_steps.size() > 2 && m_nCurrent > 0 && heldBytes() > kMaxPictureBytes)
        Drop(0);
}
