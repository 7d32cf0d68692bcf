#include "scene_camera.h"

#include <algorithm>

#include "scene_shape.h"
#include "scene_values.h"

namespace {
constexpr float kDegToRad = 0.017453292f;
constexpr float kTenth = 0.1f;
constexpr float kNearPlane = 0.1f;
constexpr float kFarPlane = 100.0f;
}

float FieldOfView(int zoom)
{
    // Zoom 1200 would be a zero field of view and a matrix of infinities: the narrowest
    // view drawn is the one a step below, 0.1 degree.
    const int nFovTenths = std::clamp(1200 - zoom, 1, 1799);
    return static_cast<float>(nFovTenths) * kTenth * kDegToRad;
}

SceneCamera CameraOfValues(const int* values, float rotation1Fraction, float aspect)
{
    SceneCamera camera;
    const Mat4 rotation = MatrixRotationYawPitchRoll(
        (static_cast<float>(values[kValueRotation1] + 180) + rotation1Fraction) * kDegToRad, 0.0f,
        static_cast<float>(values[kValueRotation2] + 90) * kDegToRad);
    camera.eye = TransformPoint({static_cast<float>(values[kValueDistance]) * kTenth, 0.0f, 0.0f}, rotation);
    camera.view = MatrixLookAtRH(camera.eye, {0.0f, 0.0f, 0.0f}, {0.0f, -1.0f, 0.0f});
    camera.projection = MatrixPerspectiveFovRH(FieldOfView(values[kValueZoom]), aspect, kNearPlane, kFarPlane);
    return camera;
}

SceneCamera CameraOf(const BoxScene& scene, float aspect)
{
    int values[kSceneValueCount];
    SceneValuesOf(scene, values);
    return CameraOfValues(values, scene.m_fRotation1Fraction, aspect);
}

void CentreShift(const BoxScene& scene, float* pDx, float* pDy)
{
    *pDx = static_cast<float>(scene.m_nCentreX) / 1000.0f;
    *pDy = -static_cast<float>(scene.m_nCentreY) / 1000.0f;  // the value counts downwards, as the screen does
}
