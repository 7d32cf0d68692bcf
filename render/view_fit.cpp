#include "view_fit.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "scene_camera.h"
#include "scene_values.h"

namespace {

constexpr float kTenth = 0.1f;
constexpr double kDegToRad = 3.14159265358979323846 / 180.0;

// Everything drawn that framing must hold: the box's corners, then (seen from above the
// floor) the reflection down to where it has faded and the shadow where it still darkens.
std::vector<Vec3> FramedPoints(const BoxScene& scene, const Vec3& eye)
{
    const float hx = static_cast<float>(scene.m_nWidth) * kTenth * 0.5f;
    const float hy = static_cast<float>(scene.m_nHeight) * kTenth * 0.5f;
    const float hz = static_cast<float>(scene.m_nDepth) * kTenth * 0.5f;
    std::vector<Vec3> points;
    auto corners = [&](float x, float y0, float y1, float z) {
        for (float sx : {-x, x})
            for (float sz : {-z, z})
                for (float y : {y0, y1})
                    points.push_back({sx, y, sz});
    };
    corners(hx, -hy, hy, hz);
    const float floorY = hy;  // the bottom face, at +y
    if (eye.y < floorY) {
        if (scene.m_nReflection > 0) {
            const float fade = 2.0f * hy * static_cast<float>(std::max(scene.m_nReflectionFade, 1)) / 100.0f;
            corners(hx, floorY, floorY + std::min(2.0f * hy, fade), hz);
        }
        if (scene.m_nShadow > 0) {
            // Two blur widths beyond the footprint the shadow is all but gone.
            const float size = static_cast<float>(scene.m_nWidth + scene.m_nDepth) * kTenth * 0.5f;
            const float sigma = size * (0.02f + 0.006f * static_cast<float>(scene.m_nShadowSoftness));
            corners(hx + 2 * sigma, floorY, floorY, hz + 2 * sigma);
        }
    }
    return points;
}

} // namespace

bool FitView(const BoxScene& scene, float aspect, float marginPercent, ViewFit* pFit)
{
    const SceneCamera camera = CameraOf(scene, aspect);
    double x0 = 1e9, x1 = -1e9, y0 = 1e9, y1 = -1e9;
    for (const Vec3& p : FramedPoints(scene, camera.eye)) {
        const D3DMATRIX& v = camera.view;
        const D3DMATRIX& m = camera.projection;
        const double vx = p.x * v._11 + p.y * v._21 + p.z * v._31 + v._41;
        const double vy = p.x * v._12 + p.y * v._22 + p.z * v._32 + v._42;
        const double vz = p.x * v._13 + p.y * v._23 + p.z * v._33 + v._43;
        const double w = vz * m._34;  // -vz: the distance in front of the eye
        if (w <= 0.01)
            return false;
        const double nx = vx * m._11 / w, ny = vy * m._22 / w;
        x0 = std::min(x0, nx), x1 = std::max(x1, nx), y0 = std::min(y0, ny), y1 = std::max(y1, ny);
    }
    // The picture spans -1..1 each way; a margin of m percent leaves 2 (1 - m/50) of it.
    const double room = 2.0 * (1.0 - std::clamp(marginPercent, 0.0f, 45.0f) / 50.0);
    const double halfFov = (1200 - std::clamp(scene.m_nZoom, 1, 1199)) * 0.05 * kDegToRad;
    const double scale = std::min(room / std::max(x1 - x0, 1e-9), room / std::max(y1 - y0, 1e-9));
    // A narrower field of view enlarges everything about the middle by tan(old) / tan(new).
    const double newHalfFov = std::atan(std::tan(halfFov) / scale);
    const SceneValue& zoom = g_sceneValues[kValueZoom];
    pFit->zoom = std::clamp(static_cast<int>(std::lround(1200.0 - newHalfFov / kDegToRad * 20.0)), zoom.nMin,
                            zoom.nMax - 1);
    const double actual = std::tan(halfFov) / std::tan((1200 - pFit->zoom) * 0.05 * kDegToRad);
    const SceneValue& cx = g_sceneValues[kValueCentreX];
    pFit->centreX = std::clamp(static_cast<int>(std::lround(-(x0 + x1) / 2 * actual * 1000.0)), cx.nMin, cx.nMax);
    pFit->centreY = std::clamp(static_cast<int>(std::lround((y0 + y1) / 2 * actual * 1000.0)), cx.nMin, cx.nMax);
    return true;
}
