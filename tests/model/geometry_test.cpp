// The box's vertex and index tables and the scaling that turns the unit box into the
// box of the scene's size.
#include <gtest/gtest.h>

#include <array>
#include <set>

#include "box_geometry.h"
#include "box_scene.h"

namespace {

std::array<BoxVertex, kBoxVertexCount> Scaled(int w, int h, int d)
{
    std::array<BoxVertex, kBoxVertexCount> v{};
    ScaleBoxVertices(v.data(), w, h, d);
    return v;
}

struct Vec { float x, y, z; };
Vec Sub(const BoxVertex& a, const BoxVertex& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec Cross(Vec a, Vec b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

} // namespace

TEST(BoxGeometry, StartSizeCornersSitAtHalfTheDimensions)
{
    auto v = Scaled(80, 120, 20);
    EXPECT_FLOAT_EQ(v[0].x, 4.0f);
    EXPECT_FLOAT_EQ(v[0].y, 6.0f);
    EXPECT_FLOAT_EQ(v[0].z, 1.0f);
    EXPECT_FLOAT_EQ(v[6].x, -4.0f);
    EXPECT_FLOAT_EQ(v[6].y, -6.0f);
    EXPECT_FLOAT_EQ(v[6].z, -1.0f);
}

TEST(BoxGeometry, EveryVertexIsACornerOfTheScaledBox)
{
    for (auto [w, h, d] : {std::array<int, 3>{1, 1, 1}, {300, 300, 300}, {80, 120, 20}, {1, 300, 7}}) {
        auto v = Scaled(w, h, d);
        for (const BoxVertex& p : v) {
            EXPECT_NEAR(std::abs(p.x), w / 20.0f, 1e-5f) << w;
            EXPECT_NEAR(std::abs(p.y), h / 20.0f, 1e-5f) << h;
            EXPECT_NEAR(std::abs(p.z), d / 20.0f, 1e-5f) << d;
        }
    }
}

TEST(BoxGeometry, SmallestAndLargestBoxSpans)
{
    auto small = Scaled(1, 1, 1);
    auto large = Scaled(300, 300, 300);
    float minS = 0, maxS = 0, minL = 0, maxL = 0;
    for (int i = 0; i < kBoxVertexCount; ++i) {
        for (float c : {small[i].x, small[i].y, small[i].z}) { minS = std::min(minS, c); maxS = std::max(maxS, c); }
        for (float c : {large[i].x, large[i].y, large[i].z}) { minL = std::min(minL, c); maxL = std::max(maxL, c); }
    }
    EXPECT_NEAR(minS, -0.05f, 1e-6f);
    EXPECT_NEAR(maxS, 0.05f, 1e-6f);
    EXPECT_FLOAT_EQ(minL, -15.0f);
    EXPECT_FLOAT_EQ(maxL, 15.0f);
}

TEST(BoxGeometry, ScalingStartsFromTheTemplateEveryTime)
{
    std::array<BoxVertex, kBoxVertexCount> v{};
    ScaleBoxVertices(v.data(), 300, 2, 150);
    ScaleBoxVertices(v.data(), 300, 2, 150);
    ScaleBoxVertices(v.data(), 80, 120, 20);
    auto fresh = Scaled(80, 120, 20);
    for (int i = 0; i < kBoxVertexCount; ++i) {
        EXPECT_EQ(v[i].x, fresh[i].x) << i;
        EXPECT_EQ(v[i].y, fresh[i].y) << i;
        EXPECT_EQ(v[i].z, fresh[i].z) << i;
    }
}

TEST(BoxGeometry, OneDimensionMovesOnlyItsAxisAndNeverNormalsOrTextureCoordinates)
{
    auto a = Scaled(80, 120, 20);
    auto b = Scaled(250, 120, 20);
    for (int i = 0; i < kBoxVertexCount; ++i) {
        EXPECT_EQ(a[i].y, b[i].y);
        EXPECT_EQ(a[i].z, b[i].z);
        const BoxVertex& t = g_boxVertexTemplate[i];
        EXPECT_EQ(b[i].nx, t.nx);
        EXPECT_EQ(b[i].ny, t.ny);
        EXPECT_EQ(b[i].nz, t.nz);
        EXPECT_EQ(b[i].u, t.u);
        EXPECT_EQ(b[i].v, t.v);
    }
}

TEST(BoxGeometry, EachFaceIndexesItsOwnFourVerticesInSideSlotOrder)
{
    // Outward normal of each face, in SideSlot order.
    const Vec expectedNormal[kSideCount] = {
        {0, 0, -1},  // SideFront
        {-1, 0, 0},  // SideLeft
        {0, -1, 0},  // SideTop (the camera's up is -Y)
        {0, 0, 1},   // SideBack
        {1, 0, 0},   // SideRight
        {0, 1, 0},   // SideBottom
    };
    std::set<int> seen;
    for (int s = 0; s < kSideCount; ++s) {
        const uint16_t* idx = &g_boxIndices[6 * s];
        int a = idx[0];
        EXPECT_EQ(a % 4, 0) << "face " << s;
        const int pattern[6] = {a, a + 1, a + 2, a + 2, a + 3, a};
        for (int k = 0; k < 6; ++k)
            EXPECT_EQ(idx[k], pattern[k]) << "face " << s << " index " << k;
        for (int k = 0; k < 4; ++k) {
            const BoxVertex& p = g_boxVertexTemplate[a + k];
            EXPECT_EQ(p.nx, expectedNormal[s].x) << "face " << s;
            EXPECT_EQ(p.ny, expectedNormal[s].y) << "face " << s;
            EXPECT_EQ(p.nz, expectedNormal[s].z) << "face " << s;
            // The vertex lies on the face's plane.
            EXPECT_FLOAT_EQ(p.x * p.nx + p.y * p.ny + p.z * p.nz, 0.5f);
        }
        seen.insert(a);
    }
    EXPECT_EQ(seen.size(), 6u);
}

TEST(BoxGeometry, AllFacesWindTheSameWayAboutTheirOutwardNormal)
{
    // One culling mode must keep exactly the faces that point at the eye.
    for (int s = 0; s < kSideCount; ++s) {
        for (int t = 0; t < 2; ++t) {
            const uint16_t* tri = &g_boxIndices[6 * s + 3 * t];
            const BoxVertex& p0 = g_boxVertexTemplate[tri[0]];
            Vec c = Cross(Sub(g_boxVertexTemplate[tri[1]], p0), Sub(g_boxVertexTemplate[tri[2]], p0));
            float along = c.x * p0.nx + c.y * p0.ny + c.z * p0.nz;
            EXPECT_LT(along, 0.0f) << "face " << s << " triangle " << t;
        }
    }
}

TEST(BoxGeometry, SideImagesAreUprightWithTopAtMinusY)
{
    // On the four side faces v = 0 is the edge at y = -0.5, the top in the picture.
    for (int s : {SideFront, SideLeft, SideBack, SideRight}) {
        int a = g_boxIndices[6 * s];
        for (int k = 0; k < 4; ++k) {
            const BoxVertex& p = g_boxVertexTemplate[a + k];
            EXPECT_EQ(p.v, p.y < 0 ? 0.0f : 1.0f) << "face " << s;
        }
    }
    // Top and Bottom: v = 1 at the edge next to the Front face (z = -0.5).
    for (int s : {SideTop, SideBottom}) {
        int a = g_boxIndices[6 * s];
        for (int k = 0; k < 4; ++k) {
            const BoxVertex& p = g_boxVertexTemplate[a + k];
            EXPECT_EQ(p.v, p.z < 0 ? 1.0f : 0.0f) << "face " << s;
        }
    }
}
