// The few matrices the camera needs, with the conventions of Direct3D's utility library
// (row vectors, right-handed view and projection), so that no utility DLL is needed: a
// stock Windows has d3d9.dll but not d3dx9_43.dll. The matrix is laid out as the device
// takes one, without its headers.
#pragma once

struct Mat4 {
    union {
        struct {
            float _11, _12, _13, _14;
            float _21, _22, _23, _24;
            float _31, _32, _33, _34;
            float _41, _42, _43, _44;
        };
        float m[4][4];
    };
};
static_assert(sizeof(Mat4) == 64, "sixteen floats, row by row");

struct Vec3 {
    float x, y, z;
};

Vec3 Cross(const Vec3& a, const Vec3& b);
// v at unit length (a zero vector stays zero).
Vec3 Normalize(const Vec3& v);

Mat4 MatrixIdentity();
// Roll about z, then pitch about x, then yaw about y (angles in radians).
Mat4 MatrixRotationYawPitchRoll(float yaw, float pitch, float roll);
// The point (x, y, z, 1) times m, the w dropped.
Vec3 TransformPoint(const Vec3& v, const Mat4& m);
Mat4 MatrixLookAtRH(const Vec3& eye, const Vec3& at, const Vec3& up);
// Vertical field of view in radians; z from zn..zf mapped to 0..1.
Mat4 MatrixPerspectiveFovRH(float fovY, float aspect, float zn, float zf);
// Orthographic, width x height across, z from zn..zf mapped to 0..1.
Mat4 MatrixOrthoRH(float width, float height, float zn, float zf);
// a times b (a's transformation first, with row vectors).
Mat4 MatrixMultiply(const Mat4& a, const Mat4& b);
// The inverse of a rotation followed by a translation (a view matrix): the rotation's
// transpose and the translation undone.
Mat4 MatrixInverseRigid(const Mat4& m);
// The projection followed by a scale and a shift of the picture in clip space:
// x' = sx x + dx, y' = sy y + dy (in halves of the picture's width and height), for a
// part of a larger picture or to move pixel centres.
Mat4 MatrixClipWindow(const Mat4& projection, float sx, float sy, float dx, float dy);
