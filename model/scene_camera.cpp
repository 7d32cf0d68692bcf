#include "scene_camera.h"

#include <algorithm>

namespace {
constexpr float kDegToRad = 0.017453292f;
constexpr float kTenth = 0.1f;
constexpr float kNearPlane = 0.1f;
constexpr float kFarPlane = 100.0f;
}

SceneCamera CameraOf(const BoxScene& scene, float aspect)
{
    SceneCamera camera;
    const Mat4 rotation = MatrixRotationYawPitchRoll((static_cast<float>(scene.m_nRotation1 + 180) + scene.m_fRotation1Fraction) * kDegToRad,
                                                          0.0f, static_cast<float>(scene.m_nRotation2 + 90) * kDegToRad);
    camera.eye = TransformPoint({static_cast<float>(scene.m_nDistance) * kTenth, 0.0f, 0.0f}, rotation);
    camera.view = MatrixLookAtRH(camera.eye, {0.0f, 0.0f, 0.0f}, {0.0f, -1.0f, 0.0f});
    // Zoom 1200 would be a zero field of view and a matrix of infinities: the narrowest
    // view drawn is the one a step below, 0.1 degree.
    const int nFovTenths = std::clamp(1200 - scene.m_nZoom, 1, 1799);
    camera.projection =
        MatrixPerspectiveFovRH(static_cast<float>(nFovTenths) * kTenth * kDegToRad, aspect, kNearPlane, kFarPlane);
    return camera;
}

void CentreShift(const BoxScene& scene, float* pDx, float* pDy)
{
    *pDx = static_cast<float>(scene.m_nCentreX) / 1000.0f;
    *pDy = -static_cast<float>(scene.m_nCentreY) / 1000.0f;  // the value counts downwards, as the screen does
}
