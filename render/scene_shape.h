// The shape a scene shows: its values and the cover picture it holds.
#pragma once
#include "shapes.h"

ShapeSpec SceneShape(const BoxScene& scene, std::wstring* pNote = nullptr, std::wstring* pRefusal = nullptr);

// The values as g_sceneValues orders them.
void SceneValuesOf(const BoxScene& scene, int* values);
