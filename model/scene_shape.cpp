#include "scene_shape.h"

#include <cmath>

#include "scene_values.h"

void SceneValuesOf(const BoxScene& scene, int* values)
{
    for (int i = 0; i < kSceneValueCount; ++i)
        values[i] = scene.*g_sceneValues[i].pField;
}

ShapeSpec SceneShape(const BoxScene& scene, std::wstring* pNote, std::wstring* pRefusal)
{
    int values[kSceneValueCount];
    SceneValuesOf(scene, values);
    const ScenePicture* pCover = scene.m_picture[SideCover].get();
    return ShapeSpecOf(values, pCover ? pCover->width : 0, pCover ? pCover->height : 0, pNote, pRefusal);
}

float ShadowSigma(const BoxScene& scene, const ShapeSpec& shape)
{
    int values[kSceneValueCount];
    SceneValuesOf(scene, values);
    const float footprint = ShapeOf(shape.shape).pfnFootprint(values, shape);
    return footprint * ShadowSpread(scene);
}

float ShadowSpread(const BoxScene& scene)
{
    return 0.02f + 0.006f * static_cast<float>(scene.m_nShadowSoftness);
}

float ShadowCoverage(float x, float extent, float sigma)
{
    const float k = 1.0f / (sigma * std::sqrt(2.0f));
    return 0.5f * (std::erf((x + extent * 0.5f) * k) - std::erf((x - extent * 0.5f) * k));
}
