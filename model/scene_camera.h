// The camera a scene's view values make: where the eye is, the view and the projection
// (for a picture of the given proportions, centred, before the picture's own shift).
#pragma once

#include "box_scene.h"
#include "camera_math.h"

struct SceneCamera {
    Vec3 eye;
    Mat4 view;
    Mat4 projection;
};

SceneCamera CameraOf(const BoxScene& scene, float aspect);
// The same from the values as g_sceneValues orders them (rotation1Fraction: degrees past the
// first rotation).
SceneCamera CameraOfValues(const int* values, float rotation1Fraction, float aspect);
// The vertical field of view, radians, of a zoom value.
float FieldOfView(int zoom);
// The scene's centre values as a shift of the picture in clip space (x right, y up).
void CentreShift(const BoxScene& scene, float* pDx, float* pDy);
