#include "scene_values.h"

const SceneValue g_sceneValues[kSceneValueCount] = {
    {"width", &BoxScene::m_nWidth, 1, 300, 80},
    {"height", &BoxScene::m_nHeight, 1, 300, 120},
    {"depth", &BoxScene::m_nDepth, 1, 300, 20},
    {"rotation1", &BoxScene::m_nRotation1, 0, 360, 135},
    {"rotation2", &BoxScene::m_nRotation2, 1, 179, 120},
    {"distance", &BoxScene::m_nDistance, 50, 500, 200},
    {"zoom", &BoxScene::m_nZoom, 150, 1200, 750},
    {"ambient", &BoxScene::m_nAmbient, 0, 200, 30},
    {"diffuse", &BoxScene::m_nDiffuse, 0, 200, 100},
    {"reflection", &BoxScene::m_nReflection, 0, 100, 0},
    {"reflection-fade", &BoxScene::m_nReflectionFade, 1, 100, 50},
    {"shadow", &BoxScene::m_nShadow, 0, 100, 0},
    {"shadow-softness", &BoxScene::m_nShadowSoftness, 0, 100, 40},
};

void SetStartScene(BoxScene& scene)
{
    for (const SceneValue& v : g_sceneValues)
        scene.*v.pField = v.nDefault;
    scene.m_clrBackground = 0xFFFFFFFF;
    for (COLORREF& clr : scene.m_clrFace)
        clr = 0x00FFFFFF;
}
