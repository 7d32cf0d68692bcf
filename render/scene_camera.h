// The camera a scene's view values make: where the eye is, the view and the projection
// (for a picture of the given proportions, centred, before the picture's own shift).
#pragma once
#include <windows.h>
#include <d3d9types.h>

#include "box_scene.h"
#include "camera_math.h"

struct SceneCamera {
    Vec3 eye;
    D3DMATRIX view;
    D3DMATRIX projection;
};

SceneCamera CameraOf(const BoxScene& scene, float aspect);
// The scene's centre values as a shift of the picture in clip space (x right, y up).
void CentreShift(const BoxScene& scene, float* pDx, float* pDy);
