// Undo and redo for the whole scene. A step is the scene as the window showed it once a
// change had settled (a drag, a held key, a typed value count once), with the pictures then
// on its faces: undoing a picture brings back the very picture, not the file as it is now.
#pragma once
#include <vector>

#include "scene_description.h"

struct SceneStep {
    SceneDescription scene;
    PictureRef faces[kPictureCount];
    size_t document = 0;  // the scene file it was shown from, as the window numbers them
};

class CSceneHistory {
public:
    CSceneHistory() = default;
    ~CSceneHistory() = default;
    CSceneHistory(const CSceneHistory&) = delete;
    CSceneHistory& operator=(const CSceneHistory&) = delete;

    // The scene now becomes a step when it (or the scene file it is shown from) differs from
    // the current one; what redo would have brought back is dropped. False when nothing changed.
    bool Record(const SceneDescription& scene, const PictureRef (&faces)[kPictureCount], size_t document = 0);
    bool CanUndo() const { return m_nCurrent > 0; }
    bool CanRedo() const { return m_nCurrent + 1 < m_steps.size(); }
    // The step to show; null when there is none.
    const SceneStep* Undo();
    const SceneStep* Redo();
    const SceneStep* Current() const { return m_steps.empty() ? nullptr : &m_steps[m_nCurrent]; }
    void Clear();

    // At least this many steps are kept, more while the pictures they hold fit kMaxBytes.
    static constexpr size_t kMaxSteps = 200;
    static constexpr unsigned long long kMaxPictureBytes = 1ull << 30;

private:
    void Drop(size_t index);
    void Trim();

    std::vector<SceneStep> m_steps;
    size_t m_nCurrent = 0;
};
