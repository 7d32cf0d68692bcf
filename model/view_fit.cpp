#include "view_fit.h"

#include "scene_shape.h"
#include "stage_layout.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "key_light.h"
#include "light_kinds.h"
#include "scene_camera.h"
#include "scene_values.h"

namespace {

constexpr double kDegToRad = 3.14159265358979323846 / 180.0;

// An axis-aligned block of the scene, in its own units (y down: the floor at +y).
struct Block {
    Vec3 lo, hi;
    bool bShadow = false;  // the contact shadow's square on the floor
};

// How far from the model's footprint framing follows the key light's shadow, in the model's
// heights: from the usual light (50 degrees up, of any size) the whole shadow is nearer.
constexpr float kShadowFramedHeights = 2.5f;

// Everything drawn that framing must hold: the box, then (seen from above the floor) the
// reflection down to where it has faded and the shadow where it still darkens.
std::vector<Block> FramedBlocks(const BoxScene& scene, const Vec3& eye)
{
    const ShapeSpec shape = StageShape(scene);
    const float hx = shape.size[0] * 0.5f, hy = shape.size[1] * 0.5f, hz = shape.size[2] * 0.5f;
    std::vector<Block> blocks{{{-hx, -hy, -hz}, {hx, hy, hz}}};
    const float floorY = FloorY(shape);
    if (eye.y < floorY) {
        if (scene.m_nReflection > 0) {
            const float fade = 2.0f * hy * static_cast<float>(std::max(scene.m_nReflectionFade, 1)) / 100.0f;
            blocks.push_back({{-hx, floorY, -hz}, {hx, floorY + std::min(2.0f * hy, fade), hz}});
        }
        if (scene.m_nShadow > 0 && scene.m_nLight == LightStudio) {
            // The key light's shadow: the model's top corners cast onto the floor along the
            // light from the lowest edge of its face, where the soft shadow's faint end falls,
            // and on by the blur a drawing gives it that far out (each a point; with the
            // footprint they hold the whole shadow).
            const Vec3 toLight = LightDirection(
                scene.m_nLightAzimuth, std::max(scene.m_nLightElevation - scene.m_nLightSize / 2, 3), eye);
            const float down = std::max(-toLight.y, 0.05f);
            const float along = std::sqrt(std::max(1.0f - toLight.y * toLight.y, 1e-6f));
            const float reach = 2.0f * hy / down * along;  // the top's shadow, off its footprint
            // The blur is drawn in the light's map: on the floor it stretches along the light;
            // its faint outer end (a level of 255 or more) reaches about twice its radius.
            const float blur =
                2.0f * ShadowBlurPerDistance(scene, static_cast<unsigned>(scene.m_nLightSamples)) * reach / down;
            // A low light's shadow runs many heights away: framing holds the product, and the
            // shadow only so far (the rest may leave the picture).
            const float framed = std::min(reach + blur, kShadowFramedHeights * 2.0f * hy);
            const float run = framed / along;  // along the light: to the floor and past
            for (float x : {-hx, hx})
                for (float z : {-hz, hz}) {
                    const Vec3 p = {x - toLight.x * run, floorY, z - toLight.z * run};
                    blocks.push_back({p, p});
                }
        } else if (scene.m_nShadow > 0) {
            // As drawn: the footprint and three blur widths round it.
            const float sigma = ShadowSigma(scene, shape);
            blocks.push_back({{-hx - 3 * sigma, floorY, -hz - 3 * sigma}, {hx + 3 * sigma, floorY, hz + 3 * sigma}, true});
        }
    }
    return blocks;
}

// A shadow darkening the floor by less than this shows nothing: framing leaves it out.
constexpr float kVisibleShadow = 1.0f / 255.0f;

std::vector<Vec3> FramedPoints(const BoxScene& scene, const Vec3& eye)
{
    std::vector<Vec3> points;
    const std::vector<Block> blocks = FramedBlocks(scene, eye);
    for (const Block& b : blocks) {
        if (!b.bShadow) {
            for (float x : {b.lo.x, b.hi.x})
                for (float z : {b.lo.z, b.hi.z})
                    for (float y : {b.lo.y, b.hi.y})
                        points.push_back({x, y, z});
            continue;
        }
        // The shadow counts as far as it darkens the floor visibly: its faint tail (and its
        // corners, darker than nothing only in the numbers) is left out.
        const ShapeSpec shape = StageShape(scene);
        const float sigma = ShadowSigma(scene, shape);
        const float strength = static_cast<float>(scene.m_nShadow) / 100.0f;
        constexpr int kSteps = 48;
        for (int ix = 0; ix <= kSteps; ++ix)
            for (int iz = 0; iz <= kSteps; ++iz) {
                const float x = b.lo.x + (b.hi.x - b.lo.x) * static_cast<float>(ix) / kSteps;
                const float z = b.lo.z + (b.hi.z - b.lo.z) * static_cast<float>(iz) / kSteps;
                if (strength * ShadowCoverage(x, shape.size[0], sigma) * ShadowCoverage(z, shape.size[2], sigma) >=
                    kVisibleShadow)
                    points.push_back({x, b.lo.y, z});
            }
    }
    return points;
}

struct Clip {
    double x, y, z, w;
};

// Where the device puts a point of the scene, in clip space: the view, the projection and
// the picture's centre shift.
struct ClipTransform {
    Mat4 m;
    ClipTransform(const BoxScene& scene, const SceneCamera& camera)
    {
        float dx = 0, dy = 0;
        CentreShift(scene, &dx, &dy);
        m = MatrixMultiply(camera.view, MatrixClipWindow(camera.projection, 1, 1, dx, dy));
    }
    Clip operator()(float x, float y, float z) const
    {
        return Clip{x * m._11 + y * m._21 + z * m._31 + m._41, x * m._12 + y * m._22 + z * m._32 + m._42,
                    x * m._13 + y * m._23 + z * m._33 + m._43, x * m._14 + y * m._24 + z * m._34 + m._44};
    }
};

// Whether any of a convex polygon (in clip space) is left inside the picture's volume:
// -w <= x, y <= w and 0 <= z <= w, as the device clips.
bool AnyInside(std::vector<Clip> polygon)
{
    auto planes = {
        +[](const Clip& c) { return c.w + c.x; }, +[](const Clip& c) { return c.w - c.x; },
        +[](const Clip& c) { return c.w + c.y; }, +[](const Clip& c) { return c.w - c.y; },
        +[](const Clip& c) { return c.z; },       +[](const Clip& c) { return c.w - c.z; },
    };
    for (auto distance : planes) {
        std::vector<Clip> kept;
        for (size_t i = 0; i < polygon.size(); ++i) {
            const Clip& a = polygon[i];
            const Clip& b = polygon[(i + 1) % polygon.size()];
            const double da = distance(a), db = distance(b);
            if (da >= 0)
                kept.push_back(a);
            if ((da >= 0) != (db >= 0)) {
                const double t = da / (da - db);
                kept.push_back({a.x + t * (b.x - a.x), a.y + t * (b.y - a.y), a.z + t * (b.z - a.z), a.w + t * (b.w - a.w)});
            }
        }
        polygon.swap(kept);
        if (polygon.empty())
            return false;
    }
    return true;
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
        const Mat4& v = camera.view;
        const Mat4& m = camera.projection;
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

int DistanceForSet(const BoxScene& scene)
{
    if (scene.m_products.empty())
        return 0;
    const ShapeSpec set = StageShape(scene);
    // Two and a half times its half diagonal: about the single product's start view.
    const float radius = 0.5f * std::sqrt(set.size[0] * set.size[0] + set.size[1] * set.size[1] + set.size[2] * set.size[2]);
    const int wanted = std::min(static_cast<int>(std::ceil(25.0f * radius)), g_sceneValues[kValueDistance].nMax);
    return wanted > scene.m_nDistance ? wanted : 0;
}

void ApplyFit(BoxScene& scene, const ViewFit& fit)
{
    scene.m_nZoom = fit.zoom;
    scene.m_nCentreX = fit.centreX;
    scene.m_nCentreY = fit.centreY;
    if (fit.distance > 0)
        scene.m_nDistance = fit.distance;
}

bool FitView(const BoxScene& scene, float aspect, float marginPercent, ViewFit* pFit)
{
    FramedExtent extent;
    if (const int distance = DistanceForSet(scene)) {
        struct Moved : BoxScene {
            explicit Moved(const BoxScene& s) : BoxScene(s) {}
            void RefreshPages() override {}
        } moved(scene);
        moved.m_nDistance = distance;
        pFit->distance = distance;
        return AddToExtent(moved, aspect, &extent) && FitExtent(extent, marginPercent, pFit);
    }
    return AddToExtent(scene, aspect, &extent) && FitExtent(extent, marginPercent, pFit);
}

Visibility SceneVisibility(const BoxScene& scene, float aspect)
{
    const SceneCamera camera = CameraOf(scene, aspect);
    const std::vector<Block> blocks = FramedBlocks(scene, camera.eye);
    // Inside the box (or so close to it that its surface lies before the nearest depth the
    // device draws), the camera sees nothing of it, opaque or not.
    const float kNear = 0.1f;
    const Block& box = blocks.front();
    if (camera.eye.x > box.lo.x - kNear && camera.eye.x < box.hi.x + kNear && camera.eye.y > box.lo.y - kNear &&
        camera.eye.y < box.hi.y + kNear && camera.eye.z > box.lo.z - kNear && camera.eye.z < box.hi.z + kNear)
        return Visibility::CameraInside;
    const ClipTransform toClip(scene, camera);
    for (const Block& b : blocks) {
        const float xs[2] = {b.lo.x, b.hi.x}, ys[2] = {b.lo.y, b.hi.y}, zs[2] = {b.lo.z, b.hi.z};
        // The six faces (a flat block, the shadow, has two that matter).
        for (int axis = 0; axis < 3; ++axis)
            for (int side = 0; side < 2; ++side) {
                std::vector<Clip> face;
                for (int corner : {0, 1, 3, 2}) {  // round the face: the other two coordinates
                    const int u = corner & 1, v = corner >> 1;
                    face.push_back(axis == 0   ? toClip(xs[side], ys[u], zs[v])
                                   : axis == 1 ? toClip(xs[u], ys[side], zs[v])
                                               : toClip(xs[u], ys[v], zs[side]));
                }
                if (AnyInside(face))
                    return Visibility::InView;
            }
    }
    return Visibility::OutsidePicture;
}

bool DrawnPixels(const BoxScene& scene, unsigned width, unsigned height, PixelRect* pRect)
{
    if (scene.m_nLight == LightStudio || width == 0 || height == 0)
        return false;
    const float aspect = static_cast<float>(width) / static_cast<float>(height);
    const SceneCamera camera = CameraOf(scene, aspect);
    const ClipTransform toClip(scene, camera);
    double x0 = 1e30, x1 = -1e30, y0 = 1e30, y1 = -1e30;
    // Each block is convex and wholly in front of the eye, so its corners bound what it covers.
    for (const Block& b : FramedBlocks(scene, camera.eye))
        for (float x : {b.lo.x, b.hi.x})
            for (float y : {b.lo.y, b.hi.y})
                for (float z : {b.lo.z, b.hi.z}) {
                    const Clip c = toClip(x, y, z);
                    if (c.w < 1e-3 || c.z < 0)
                        return false;  // at or behind the nearest depth drawn: clipped, not bounded
                    x0 = std::min(x0, c.x / c.w), x1 = std::max(x1, c.x / c.w);
                    y0 = std::min(y0, c.y / c.w), y1 = std::max(y1, c.y / c.w);
                }
    // Into pixels (y down), with room for the half-pixel shift, multisampling's reach and
    // rounding.
    constexpr double kMargin = 4.0;
    auto clampTo = [](double v, unsigned most) {
        return static_cast<int>(std::clamp(v, 0.0, static_cast<double>(most)));
    };
    pRect->left = clampTo(std::floor((x0 + 1.0) * 0.5 * width - kMargin), width);
    pRect->right = clampTo(std::ceil((x1 + 1.0) * 0.5 * width + kMargin), width);
    pRect->top = clampTo(std::floor((1.0 - y1) * 0.5 * height - kMargin), height);
    pRect->bottom = clampTo(std::ceil((1.0 - y0) * 0.5 * height + kMargin), height);
    return true;
}

const wchar_t* OutOfViewReason(Visibility visibility)
{
    switch (visibility) {
    case Visibility::CameraInside:
        return L"the box is out of view (the camera is inside it): the picture would show nothing of it; "
               L"nothing was written";
    case Visibility::OutsidePicture:
        return L"the box is out of view (it lies outside the picture): the picture would hold nothing but its "
               L"background; nothing was written";
    default:
        return nullptr;
    }
}

bool ProductPixelSize(const BoxScene& scene, unsigned width, unsigned height, double* pAcross, double* pDown)
{
    if (width == 0 || height == 0)
        return false;
    const SceneCamera camera = CameraOf(scene, static_cast<float>(width) / static_cast<float>(height));
    const ClipTransform toClip(scene, camera);
    const Block box = FramedBlocks(scene, camera.eye).front();
    double x0 = 1e30, x1 = -1e30, y0 = 1e30, y1 = -1e30;
    for (float x : {box.lo.x, box.hi.x})
        for (float y : {box.lo.y, box.hi.y})
            for (float z : {box.lo.z, box.hi.z}) {
                const Clip c = toClip(x, y, z);
                if (c.w < 1e-3)
                    return false;
                x0 = std::min(x0, c.x / c.w), x1 = std::max(x1, c.x / c.w);
                y0 = std::min(y0, c.y / c.w), y1 = std::max(y1, c.y / c.w);
            }
    *pAcross = (x1 - x0) * 0.5 * width;
    *pDown = (y1 - y0) * 0.5 * height;
    return true;
}

std::wstring TooSmallReason(const BoxScene& scene, unsigned width, unsigned height)
{
    double across = 0, down = 0;
    if (!ProductPixelSize(scene, width, height, &across, &down) || (across >= 2.0 && down >= 2.0))
        return std::wstring();
    wchar_t size[64];
    swprintf(size, 64, L"%.1f x %.1f", across, down);
    return L"the box is out of view (it spans " + std::wstring(size) + L" pixels of the picture: too small to show; "
           L"--fit frames it): nothing was written";
}

bool RefitForAspect(BoxScene& scene, float oldAspect, float newAspect, float marginPercent)
{
    ViewFit fitted, refitted;
    if (oldAspect == newAspect || !FitView(scene, oldAspect, marginPercent, &fitted) ||
        fitted.zoom != scene.m_nZoom || fitted.centreX != scene.m_nCentreX || fitted.centreY != scene.m_nCentreY ||
        !FitView(scene, newAspect, marginPercent, &refitted))
        return false;
    ApplyFit(scene, refitted);
    return refitted.zoom != fitted.zoom || refitted.centreX != fitted.centreX || refitted.centreY != fitted.centreY;
}
