// The camera's matrices: what the published formulas promise of them.
#include <gtest/gtest.h>

#include <cmath>

#include "camera_math.h"

namespace {

// The point through view and projection, divided by w: where it lands on screen and in depth.
Vec3 Project(const Vec3& p, const Mat4& view, const Mat4& projection)
{
    const Vec3 v = TransformPoint(p, view);
    const float x = v.x * projection._11, y = v.y * projection._22, z = v.z * projection._33 + projection._43,
                w = v.z * projection._34;
    return {x / w, y / w, z / w};
}

} // namespace

TEST(CameraMath, TheViewPutsTheEyeAtTheOriginLookingDownMinusZAndTheProjectionMapsNearAndFarToZeroAndOne)
{
    const Mat4 rotation = MatrixRotationYawPitchRoll(2.1f, 0.3f, -0.7f);
    // A rotation: rows of unit length, at right angles, and it keeps lengths.
    const Vec3 p = TransformPoint({3.0f, -4.0f, 12.0f}, rotation);
    EXPECT_NEAR(std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z), 13.0f, 1e-4f);

    const Vec3 eye = {4.0f, -3.0f, 7.0f}, at = {1.0f, 1.0f, -1.0f};
    const Mat4 view = MatrixLookAtRH(eye, at, {0.0f, -1.0f, 0.0f});
    const Vec3 e = TransformPoint(eye, view), a = TransformPoint(at, view);
    EXPECT_NEAR(e.x, 0.0f, 1e-5f);
    EXPECT_NEAR(e.y, 0.0f, 1e-5f);
    EXPECT_NEAR(e.z, 0.0f, 1e-5f);
    const float distance = std::sqrt(9.0f + 16.0f + 64.0f);
    EXPECT_NEAR(a.x, 0.0f, 1e-4f);
    EXPECT_NEAR(a.y, 0.0f, 1e-4f);
    EXPECT_NEAR(a.z, -distance, 1e-4f);  // right-handed: the eye looks down -z

    const Mat4 projection = MatrixPerspectiveFovRH(0.9f, 1.5f, 0.1f, 100.0f);
    // On the axis at the near and far planes: depth 0 and 1. At the edge of the field of
    // view, the edge of the screen; the width narrowed by the aspect.
    const Mat4 none = MatrixIdentity();
    EXPECT_NEAR(Project({0.0f, 0.0f, -0.1f}, none, projection).z, 0.0f, 1e-5f);
    EXPECT_NEAR(Project({0.0f, 0.0f, -100.0f}, none, projection).z, 1.0f, 1e-5f);
    const float half = std::tan(0.45f) * 10.0f;
    EXPECT_NEAR(Project({0.0f, half, -10.0f}, none, projection).y, 1.0f, 1e-5f);
    EXPECT_NEAR(Project({half * 1.5f, 0.0f, -10.0f}, none, projection).x, 1.0f, 1e-5f);
}
