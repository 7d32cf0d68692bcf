// The camera's matrices against the platform's utility library, where a machine has it.
#include <gtest/gtest.h>

#include <windows.h>
#include <d3d9types.h>

#include "camera_math.h"
#include "device_matrix.h"

namespace {

void ExpectNear(const Mat4& a, const D3DMATRIX& b)
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(a.m[r][c], b.m[r][c], 1e-5f) << "row " << r << " column " << c;
}

} // namespace

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
            const Mat4 rotation = MatrixRotationYawPitchRoll(yaw, 0.0f, roll);
            const Vec3 eye = TransformPoint({20.0f, 0.0f, 0.0f}, rotation), at = {0, 0, 0}, up = {0, -1, 0};
            ExpectNear(MatrixLookAtRH(eye, at, up), *lookAt(&theirs, &eye, &at, &up));
        }
    D3DMATRIX theirs;
    ExpectNear(MatrixPerspectiveFovRH(0.785f, 340.0f / 295.0f, 0.1f, 100.0f),
               *perspective(&theirs, 0.785f, 340.0f / 295.0f, 0.1f, 100.0f));
    ::FreeLibrary(hLib);
}
