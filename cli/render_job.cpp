#include "render_job.h"

const char* const g_faceNames[kSideCount] = {"front", "left", "top", "back", "right", "bottom"};

RenderJob::RenderJob()
{
    for (int i = 0; i < kSceneValueCount; ++i)
        values[i] = g_sceneValues[i].nDefault;
    for (COLORREF& c : faceColours)
        c = 0x00FFFFFF;
}

void RenderJob::ApplyTo(BoxScene& scene) const
{
    for (int i = 0; i < kSceneValueCount; ++i)
        scene.*g_sceneValues[i].pField = values[i];
    scene.m_clrBackground = background;
    for (int s = 0; s < kSideCount; ++s)
        scene.m_clrFace[s] = faceColours[s];
}
