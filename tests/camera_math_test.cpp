// The camera's matrices: what the published formulas promise of them, and the same numbers
// as the DirectX utility library gives (loaded by name, where it is installed).
#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>

#include "camera_math.h"

namespace {

void ExpectNear(const D3DMATRIX& a, const D3DMATRIX& b)
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(a.m[r][c], b.m[r][c], 1e-5f) << "row " << r << " column " << c;
}

// The point through view and projection, divided by w: where it lands on screen and in depth.
Vec3 Project(const Vec3& p, const D3DMATRIX& view, const D3DMATRIX& projection)
{
    const Vec3 v = TransformPoint(p, view);
    const float x = v.x * projection._11, y = v.y * projection._22, z = v.z * projection._33 + projection._43,
                w = v.z * projection._34;
    return {x / w, y / w, z / w};
}

} // namespace

TEST(CameraMath, TheViewPutsTheEyeAtTheOriginLookingDownMinusZAndTheProjectionMapsNearAndFarToZeroAndOne)
{
    const D3DMATRIX rotation = MatrixRotationYawPitchRoll(2.1f, 0.3f, -0.7f);
    // A rotation: rows of unit length, at right angles, and it keeps lengths.
    const Vec3 p = TransformPoint({3.0f, -4.0f, 12.0f}, rotation);
    EXPECT_NEAR(std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z), 13.0f, 1e-4f);

    const Vec3 eye = {4.0f, -3.0f, 7.0f}, at = {1.0f, 1.0f, -1.0f};
    const D3DMATRIX view = MatrixLookAtRH(eye, at, {0.0f, -1.0f, 0.0f});
    const Vec3 e = TransformPoint(eye, view), a = TransformPoint(at, view);
    EXPECT_NEAR(e.x, 0.0f, 1e-5f);
    EXPECT_NEAR(e.y, 0.0f, 1e-5f);
    EXPECT_NEAR(e.z, 0.0f, 1e-5f);
    const float distance = std::sqrt(9.0f + 16.0f + 64.0f);
    EXPECT_NEAR(a.x, 0.0f, 1e-4f);
    EXPECT_NEAR(a.y, 0.0f, 1e-4f);
    EXPECT_NEAR(a.z, -distance, 1e-4f);  // right-handed: the eye looks down -z

    const D3DMATRIX projection = MatrixPerspectiveFovRH(0.9f, 1.5f, 0.1f, 100.0f);
    // On the axis at the near and far planes: depth 0 and 1. At the edge of the field of
    // view, the edge of the screen; the width narrowed by the aspect.
    const D3DMATRIX none = MatrixIdentity();
    EXPECT_NEAR(Project({0.0f, 0.0f, -0.1f}, none, projection).z, 0.0f, 1e-5f);
    EXPECT_NEAR(Project({0.0f, 0.0f, -100.0f}, none, projection).z, 1.0f, 1e-5f);
    const float half = std::tan(0.45f) * 10.0f;
    EXPECT_NEAR(Project({0.0f, half, -10.0f}, none, projection).y, 1.0f, 1e-5f);
    EXPECT_NEAR(Project({half * 1.5f, 0.0f, -10.0f}, none, projection).x, 1.0f, 1e-5f);
}

TEST(CameraMath, SameNumbersAsTheDirectXUtilityLibrary)
{
    HMODULE hLib = ::LoadLibraryW(L"d3dx9_43.dll");
    if (!hLib)
        GTEST_SKIP() << "d3dx9_43.dll is not installed here";
    using YawPitchRoll = D3DMATRIX*(WINAPI*)(D3DMATRIX*, float, float, float);
    using LookAt = D3DMATRIX*(WINAPI*)(D3DMATRIX*, const Vec3*, const Vec3*, const Vec3*);
    using Perspective = D3DMATRIX*(WINAPI*)(D3DMATRIX*, float, float, float, float);
    auto find = [hLib](const char* name) { return reinterpret_cast<void*>(::GetProcAddress(hLib, name)); };
    auto yawPitchRoll = reinterpret_cast<YawPitchRoll>(find("D3DXMatrixRotationYawPitchRoll"));
    auto lookAt = reinterpret_cast<LookAt>(find("D3DXMatrixLookAtRH"));
    auto perspective = reinterpret_cast<Perspective>(find("D3DXMatrixPerspectiveFovRH"));
    ASSERT_TRUE(yawPitchRoll && lookAt && perspective);

    for (float yaw : {0.0f, 1.1f, 3.14159f, 5.5f})
        for (float roll : {0.0f, 0.4f, 2.6f}) {
            SCOPED_TRACE(testing::Message() << "yaw " << yaw << " roll " << roll);
            D3DMATRIX theirs;
            ExpectNear(MatrixRotationYawPitchRoll(yaw, 0.25f, roll), *yawPitchRoll(&theirs, yaw, 0.25f, roll));
            const D3DMATRIX rotation = MatrixRotationYawPitchRoll(yaw, 0.0f, roll);
            const Vec3 eye = TransformPoint({20.0f, 0.0f, 0.0f}, rotation), at = {0, 0, 0}, up = {0, -1, 0};
            ExpectNear(MatrixLookAtRH(eye, at, up), *lookAt(&theirs, &eye, &at, &up));
        }
    D3DMATRIX theirs;
    ExpectNear(MatrixPerspectiveFovRH(0.785f, 340.0f / 295.0f, 0.1f, 100.0f),
               *perspective(&theirs, 0.785f, 340.0f / 295.0f, 0.1f, 100.0f));
    ::FreeLibrary(hLib);
}
