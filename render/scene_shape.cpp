#include "scene_shape.h"

#include "face_textures.h"
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
    const SIZE cover = FacePictureSize(scene.m_pFaceTexture[SideCover]);
    return ShapeSpecOf(values, static_cast<UINT>(cover.cx), static_cast<UINT>(cover.cy), pNote, pRefusal);
}
