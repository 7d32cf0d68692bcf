// The open book's pages as paper lies, and the devices' poses: what the pictures of them
// rest on.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "device_shape.h"
#include "open_book_shape.h"
#include "scene_values.h"
#include "shapes.h"

namespace {

void Defaults(int* v, int shape)
{
    for (int i = 0; i < kSceneValueCount; ++i)
        v[i] = g_sceneValues[i].nDefault;
    v[kValueShape] = shape;
}

TEST(OpenBookShape, ThePageKeepsItsLengthRisesByItsHalfsThicknessAndLiesLevelInTheMiddle)
{
    for (float thickness : {0.006f, 0.2f, 0.6f}) {
        const std::vector<PageCurvePoint> curve = PageCurve(6.0f, thickness);
        ASSERT_GE(curve.size(), 10u);
        // Paper does not stretch: the curve's length is the page's width, and its arc
        // lengths are the distances along it.
        double length = 0;
        for (size_t i = 1; i < curve.size(); ++i) {
            const double step = std::hypot(curve[i].x - curve[i - 1].x, curve[i].rise - curve[i - 1].rise);
            EXPECT_NEAR(curve[i].arc - curve[i - 1].arc, step, 0.002 + 0.02 * step) << "thickness " << thickness;
            length += step;
        }
        EXPECT_NEAR(length, 6.0, 0.01);
        EXPECT_NEAR(curve.back().arc, 6.0f, 1e-4f);
        // Out of the gutter steeply, level across the middle at the half's thickness.
        EXPECT_GT(curve[1].slope, 0.8f);
        const auto middle = std::find_if(curve.begin(), curve.end(), [](const PageCurvePoint& p) { return p.arc > 3; });
        ASSERT_NE(middle, curve.end());
        EXPECT_NEAR(middle->slope, 0.0f, 1e-6f);
        EXPECT_NEAR(middle->rise, thickness, 0.002f + thickness * 0.02f);
        EXPECT_GT(curve.back().rise, middle->rise) << "the fore-edge lifts";
    }
}

TEST(OpenBookShape, TheMorePagesReadTheDeeperTheLeftHalf)
{
    int v[kSceneValueCount];
    Defaults(v, ShapeOpenBook);
    v[kValuePages] = 600;
    float size[2][3];
    for (int read : {10, 90}) {
        v[kValueRead] = read;
        const ShapeSpec spec = ShapeSpecOf(v, 0, 0);
        std::copy(spec.size, spec.size + 3, size[read == 90]);
        // Where the pages rise highest: to the right of the gutter when little is read.
        const ShapeMesh mesh = ShapeOf(ShapeOpenBook).pfnBuild(spec);
        float highest = 1e9f, at = 0;
        for (const BoxVertex& vert : mesh.vertices)
            if (vert.y < highest)
                highest = vert.y, at = vert.x;
        EXPECT_EQ(at > 0, read == 10) << "read " << read << ": highest at x " << at;
    }
    EXPECT_NEAR(size[0][1], size[1][1], 1e-4f) << "the same book, as high either way";
}

TEST(OpenBookShape, OpenLessThanFlatItStandsOnItsFootItsPagesTurnedToTheCamera)
{
    int v[kSceneValueCount];
    Defaults(v, ShapeOpenBook);
    v[kValueOpenAngle] = 100;
    const ShapeSpec spec = ShapeSpecOf(v, 0, 0);
    const ShapeMesh mesh = ShapeOf(ShapeOpenBook).pfnBuild(spec);
    float lo[3] = {1e9f, 1e9f, 1e9f}, hi[3] = {-1e9f, -1e9f, -1e9f};
    for (const BoxVertex& vert : mesh.vertices) {
        const float p[3] = {vert.x, vert.y, vert.z};
        for (int k = 0; k < 3; ++k)
            lo[k] = std::min(lo[k], p[k]), hi[k] = std::max(hi[k], p[k]);
    }
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(hi[k], spec.size[k] / 2, 1e-3f) << "axis " << k;
        EXPECT_NEAR(lo[k], -spec.size[k] / 2, 1e-3f) << "axis " << k;
    }
    EXPECT_GT(spec.size[1], 8.9f) << "as tall as its pages";
    // Each page's middle looks toward the camera and toward the other page.
    for (const ShapeMesh::Part& part : mesh.parts)
        if (part.slot == SideSpread)
            for (unsigned i = part.firstIndex; i < part.firstIndex + 3 * part.triangleCount; ++i) {
                const BoxVertex& vert = mesh.vertices[mesh.indices[i]];
                if (std::fabs(vert.x) < spec.size[0] * 0.2f)
                    continue;  // the gutter's bend
                EXPECT_LT(vert.nz, -0.5f);
                EXPECT_LT(vert.nx * vert.x, 0.0f) << "at x " << vert.x;
            }
}

TEST(OpenBookShape, ArtworkWhereTheGutterHidesItIsFoundByThePageCount)
{
    int v[kSceneValueCount];
    Defaults(v, ShapeOpenBook);  // 6 x 9 in, 0.125 in bleed: a spread 12.25 in wide
    DecodedImage spread;
    spread.width = 1225, spread.height = 925;
    spread.pixels.assign(static_cast<size_t>(spread.width) * spread.height, 0xFFF6F1E4u);
    EXPECT_FALSE(ArtworkInGutter(spread, v)) << "plain paper";
    // A map from 0.4 to 0.6 in into the right page: inside a thick book's margin, not a thin one's.
    for (unsigned y = 100; y < 800; ++y)
        for (unsigned x = 612 + 40; x < 612 + 60; ++x)
            spread.pixels[static_cast<size_t>(y) * spread.width + x] = 0xFF204080u;
    v[kValuePages] = 600;
    EXPECT_TRUE(ArtworkInGutter(spread, v)) << "within 0.75 in of the gutter";
    v[kValuePages] = 100;
    EXPECT_FALSE(ArtworkInGutter(spread, v)) << "outside 0.375 in";
}

TEST(DeviceShape, APosedDeviceRestsOnTheFloorItsScreenFacingAsThePoseSays)
{
    for (int shape : {ShapePhone, ShapeTablet, ShapeEReader})
        for (int pose : {PoseStanding, PoseFlat, PosePropped}) {
            int v[kSceneValueCount];
            Defaults(v, shape);
            v[kValuePose] = pose;
            const ShapeSpec spec = ShapeSpecOf(v, 0, 0);
            const ShapeMesh mesh = ShapeOf(shape).pfnBuild(spec);
            // The screen's normal: up is -y, the camera's side -z.
            float ny = 0, nz = 0;
            for (const ShapeMesh::Part& part : mesh.parts)
                if (part.slot == SideScreen) {
                    const BoxVertex& vert = mesh.vertices[mesh.indices[part.firstIndex]];
                    ny = vert.ny, nz = vert.nz;
                }
            const char* name = g_shapeNames[shape];
            if (pose == PoseStanding)
                EXPECT_NEAR(nz, -1.0f, 1e-4f) << name;
            else if (pose == PoseFlat)
                EXPECT_NEAR(ny, -1.0f, 1e-4f) << name;
            else
                EXPECT_TRUE(ny < -0.2f && nz < -0.8f) << name << ": leaning back " << ny << ", " << nz;
            float lowest = -1e9f;
            for (const BoxVertex& vert : mesh.vertices)
                lowest = std::max(lowest, vert.y);
            EXPECT_NEAR(lowest, spec.size[1] / 2, 1e-4f) << name << " touches the floor";
        }
}

TEST(DeviceShape, TheScreenLiesInsideItsFrameAndKeepsItsGivenSize)
{
    int v[kSceneValueCount];
    Defaults(v, ShapeEReader);
    v[kValueScreenWidth] = 4000, v[kValueScreenHeight] = 6000;
    DeviceScreen screen;
    ASSERT_TRUE(DeviceScreenOf(v, &screen));
    EXPECT_FLOAT_EQ(screen.width, 4.0f);
    EXPECT_FLOAT_EQ(screen.height, 6.0f);
    EXPECT_TRUE(screen.bInk);
    const ShapeSpec spec = ShapeSpecOf(v, 0, 0);
    const ShapeMesh mesh = ShapeOf(ShapeEReader).pfnBuild(spec);
    float lo[2] = {1e9f, 1e9f}, hi[2] = {-1e9f, -1e9f};
    for (const ShapeMesh::Part& part : mesh.parts)
        if (part.slot == SideScreen)
            for (unsigned i = part.firstIndex; i < part.firstIndex + 3 * part.triangleCount; ++i) {
                const BoxVertex& vert = mesh.vertices[mesh.indices[i]];
                lo[0] = std::min(lo[0], vert.x), hi[0] = std::max(hi[0], vert.x);
                lo[1] = std::min(lo[1], vert.y), hi[1] = std::max(hi[1], vert.y);
                EXPECT_TRUE(vert.u > -1e-4f && vert.u < 1 + 1e-4f) << vert.u;
            }
    EXPECT_NEAR(hi[0] - lo[0], 4.0f, 1e-3f);
    EXPECT_NEAR(hi[1] - lo[1], 6.0f, 1e-3f);
    // An e-reader's frame is wider below the screen than above it.
    EXPECT_GT(spec.size[1] / 2 - hi[1], (lo[1] + spec.size[1] / 2) * 1.5f);
    Defaults(v, ShapeHardcover);
    EXPECT_FALSE(DeviceScreenOf(v, &screen)) << "a book has no screen";
}

} // namespace
