// The studio's key light placed over its size: where the placements a soft picture
// averages put it.
#include <gtest/gtest.h>

#include <cmath>

#include "key_light.h"
#include "scene_shape.h"
#include "scene_values.h"
#include "shape_kinds.h"

namespace {

struct Scene : BoxScene {
    Scene() { SetStartScene(*this); }
    void RefreshPages() override {}
};

float Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

} // namespace

TEST(KeyLight, PlacementsCoverTheLightsFaceEvenlyFromItsMiddle)
{
    EXPECT_EQ(DiscSample(0).u, 0.0f);
    EXPECT_EQ(DiscSample(0).v, 0.0f);
    // However many are taken, they stay on the face, balance round its middle and reach
    // every quarter of it.
    for (unsigned count : {4u, 16u, 64u}) {
        float su = 0, sv = 0;
        int quarters[4] = {};
        for (unsigned i = 0; i < count; ++i) {
            const LightSample s = DiscSample(i);
            EXPECT_LE(s.u * s.u + s.v * s.v, 1.0f + 1e-5f);
            su += s.u, sv += s.v;
            ++quarters[(s.u < 0 ? 1 : 0) + (s.v < 0 ? 2 : 0)];
        }
        EXPECT_LT(std::hypot(su, sv) / static_cast<float>(count), 0.25f) << count << " placements";
        for (int q = 0; q < 4; ++q)
            EXPECT_GE(quarters[q], static_cast<int>(count) / 8) << count << " placements, quarter " << q;
    }
}

TEST(KeyLight, APlacedLightStaysWithinItsSizeAndAboveTheFloor)
{
    Scene scene;
    scene.m_nLightSize = 40;
    const ShapeSpec shape = SceneShape(scene);
    const Vec3 eye = {0.0f, -3.0f, -10.0f};
    const Vec3 middle = KeyLightOf(scene, shape, eye).toLight;
    const float half = std::cos(20.0f * 0.017453292f);
    float widest = 1.0f;
    for (unsigned i = 1; i < 32; ++i) {
        const Vec3 d = KeyLightOf(scene, shape, eye, DiscSample(i)).toLight;
        EXPECT_NEAR(Dot(d, d), 1.0f, 1e-4f);
        EXPECT_GE(Dot(d, middle), half - 1e-4f) << "placement " << i << " within 20 degrees of the middle";
        widest = std::min(widest, Dot(d, middle));
    }
    EXPECT_LT(widest, std::cos(12.0f * 0.017453292f)) << "the placements reach out over the light's face";

    scene.m_nLightElevation = 0;  // along the floor: none of it from below
    for (unsigned i = 0; i < 32; ++i)
        EXPECT_LE(KeyLightOf(scene, shape, eye, DiscSample(i)).toLight.y, 0.0f) << "placement " << i;
}

TEST(KeyLight, TheSkysDirectionsComeFromHighOnTheDomeAllRound)
{
    const float lowest = std::sin(50.0f * 0.017453292f);
    float sx = 0, sz = 0;
    for (unsigned i = 0; i < 16; ++i) {
        const Vec3 d = SkyDirection(i);
        EXPECT_NEAR(Dot(d, d), 1.0f, 1e-4f);
        EXPECT_GE(-d.y, lowest - 1e-4f) << "direction " << i << " at least 50 degrees up (y is down)";
        sx += d.x, sz += d.z;
    }
    EXPECT_LT(std::hypot(sx, sz) / 16, 0.1f) << "balanced round the zenith";
    // Each of more directions stands for less of the dome.
    EXPECT_GT(SkySampleSpread(4), SkySampleSpread(16));
    EXPECT_GT(SkySampleSpread(64), 0.0f);
}
