// The shape a scene shows: its values and the cover picture it holds.
#pragma once
#include "shapes.h"

ShapeSpec SceneShape(const BoxScene& scene, std::wstring* pNote = nullptr, std::wstring* pRefusal = nullptr);

// The values as g_sceneValues orders them.
void SceneValuesOf(const BoxScene& scene, int* values);

// Where the shape stands: its bottom face, at +y (the camera's up is -y).
inline float FloorY(const ShapeSpec& shape)
{
    return shape.size[1] * 0.5f;
}

// The contact shadow's blur, world units: from a thin contact line to about the shape's own
// size as the softness goes from 0 to 100.
float ShadowSigma(const BoxScene& scene, const ShapeSpec& shape);
