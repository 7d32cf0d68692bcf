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
// That blur as a share of a footprint's mean width and depth (each product's own, in a set).
float ShadowSpread(const BoxScene& scene);

// How much of a footprint of width `extent` (centred on 0) a blur of sigma covers at x: a box
// convolved with a Gaussian, 1 deep inside, 1/2 on the edge, falling smoothly to 0 outside.
// The contact shadow is the product of this across and along the footprint.
float ShadowCoverage(float x, float extent, float sigma);
