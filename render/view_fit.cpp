#include "view_fit.h"

#include "scene_shape.h"

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
    const ShapeSpec shape = SceneShape(scene);
    const float hx = shape.size[0] * 0.5f, hy = shape.size[1] * 0.5f, hz = shape.size[2] * 0.5f;
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
            const float size = scene.m_nShape == ShapeBox ? static_cast<float>(scene.m_nWidth + scene.m_nDepth) * kTenth * 0.5f
                                                          : (shape.size[0] + shape.size[2]) * 0.5f;
            const float sigma = size * (0.02f + 0.006f * static_cast<float>(scene.m_nShadowSoftness));
            corners(hx + 2 * sigma, floorY, floorY, hz + 2 * sigma);
        }
    }
    return points;
}

} // namespace

bool AddToExtent(const BoxScene& scene, float aspect, FramedExtent* pExtent)
{
    const SceneCamera camera = CameraOf(scene, aspect);
    // The projection scales by 1 / tan(half the field of view): times that tangent, where a
    // point lies no longer depends on the zoom.
    const double tanHalf = std::tan((1200 - std::clamp(scene.m_nZoom, 1, 1199)) * 0.05 * kDegToRad);
    FramedExtent e = *pExtent;
    for (const Vec3& p : FramedPoints(scene, camera.eye)) {
        const D3DMATRIX& v = camera.view;
        const D3DMATRIX& m = camera.projection;
        const double vx = p.x * v._11 + p.y * v._21 + p.z * v._31 + v._41;
        const double vy = p.x * v._12 + p.y * v._22 + p.z * v._32 + v._42;
        const double vz = p.x * v._13 + p.y * v._23 + p.z * v._33 + v._43;
        const double w = vz * m._34;  // -vz: the distance in front of the eye
        if (w <= 0.01)
            return false;
        const double nx = vx * m._11 / w * tanHalf, ny = vy * m._22 / w * tanHalf;
        e.x0 = std::min(e.x0, nx), e.x1 = std::max(e.x1, nx), e.y0 = std::min(e.y0, ny), e.y1 = std::max(e.y1, ny);
    }
    *pExtent = e;
    return true;
}

bool FitExtent(const FramedExtent& e, float marginPercent, ViewFit* pFit)
{
    if (e.Empty())
        return false;
    // The picture spans -1..1 each way; a margin of m percent leaves 2 (1 - m/50) of it.
    const double room = 2.0 * (1.0 - std::clamp(marginPercent, 0.0f, 45.0f) / 50.0);
    // The tangent of half the field of view at which the extent just fills the room.
    const double needed = std::max((e.x1 - e.x0) / room, (e.y1 - e.y0) / room);
    const SceneValue& zoom = g_sceneValues[kValueZoom];
    pFit->zoom = std::clamp(static_cast<int>(std::lround(1200.0 - std::atan(needed) / kDegToRad * 20.0)), zoom.nMin,
                            zoom.nMax - 1);
    const double actual = std::tan((1200 - pFit->zoom) * 0.05 * kDegToRad);
    const SceneValue& cx = g_sceneValues[kValueCentreX];
    pFit->centreX = std::clamp(static_cast<int>(std::lround(-(e.x0 + e.x1) / 2 / actual * 1000.0)), cx.nMin, cx.nMax);
    pFit->centreY = std::clamp(static_cast<int>(std::lround((e.y0 + e.y1) / 2 / actual * 1000.0)), cx.nMin, cx.nMax);
    return true;
}

bool FitView(const BoxScene& scene, float aspect, float marginPercent, ViewFit* pFit)
{
    FramedExtent extent;
    return AddToExtent(scene, aspect, &extent) && FitExtent(extent, marginPercent, pFit);
}
