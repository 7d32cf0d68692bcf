#include "scene_history.h"

#include <algorithm>

#include "face_textures.h"

namespace {

bool SameFaces(IDirect3DTexture9* const a[kPictureCount], IDirect3DTexture9* const b[kPictureCount])
{
    return std::equal(a, a + kPictureCount, b);
}

} // namespace

bool CSceneHistory::Record(const SceneDescription& scene, IDirect3DTexture9* const faces[kPictureCount], size_t document)
{
    if (const SceneStep* pNow = Current();
        pNow && pNow->scene == scene && SameFaces(pNow->faces, faces) && pNow->document == document)
        return false;
    while (CanRedo())
        Drop(m_steps.size() - 1);
    SceneStep step;
    step.scene = scene;
    step.document = document;
    for (int s = 0; s < kPictureCount; ++s)
        if ((step.faces[s] = faces[s]) != nullptr)
            step.faces[s]->AddRef();
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
    while (!m_steps.empty())
        Drop(m_steps.size() - 1);
    m_nCurrent = 0;
}

void CSceneHistory::Drop(size_t index)
{
    for (IDirect3DTexture9* pTexture : m_steps[index].faces)
        if (pTexture)
            pTexture->Release();
    m_steps.erase(m_steps.begin() + static_cast<std::ptrdiff_t>(index));
    if (m_nCurrent > 0 && m_nCurrent >= index)
        --m_nCurrent;
}

void CSceneHistory::Trim()
{
    // The oldest steps go first: beyond kMaxSteps, and while the pictures only they still
    // hold would keep more than kMaxPictureBytes alive.
    auto heldBytes = [this] {
        std::vector<IDirect3DTexture9*> seen;
        unsigned long long bytes = 0;
        for (const SceneStep& step : m_steps)
            for (IDirect3DTexture9* pTexture : step.faces)
                if (pTexture && std::find(seen.begin(), seen.end(), pTexture) == seen.end()) {
                    seen.push_back(pTexture);
                    bytes += FaceTextureBytes(pTexture);
                }
        return bytes;
    };
    while (m_steps.size() > kMaxSteps && m_nCurrent > 0)
        Drop(0);
    while (m_steps.size() > 2 && m_nCurrent > 0 && heldBytes() > kMaxPictureBytes)
        Drop(0);
}
