// The few matrices the camera needs, with the conventions of Direct3D's utility library
// (row vectors, right-handed view and projection), so that no utility DLL is needed: a
// stock Windows has d3d9.dll but not d3dx9_43.dll.
#pragma once
#include <windows.h>
#include <d3d9types.h>

struct Vec3 {
    float x, y, z;
};

D3DMATRIX MatrixIdentity();
// Roll about z, then pitch about x, then yaw about y (angles in radians).
D3DMATRIX MatrixRotationYawPitchRoll(float yaw, float pitch, float roll);
// The point (x, y, z, 1) times m, the w dropped.
Vec3 TransformPoint(const Vec3& v, const D3DMATRIX& m);
D3DMATRIX MatrixLookAtRH(const Vec3& eye, const Vec3& at, const Vec3& up);
// Vertical field of view in radians; z from zn..zf mapped to 0..1.
D3DMATRIX MatrixPerspectiveFovRH(float fovY, float aspect, float zn, float zf);
// a times b (a's transformation first, with row vectors).
D3DMATRIX MatrixMultiply(const D3DMATRIX& a, const D3DMATRIX& b);
// The inverse of a rotation followed by a translation (a view matrix): the rotation's
// transpose and the translation undone.
D3DMATRIX MatrixInverseRigid(const D3DMATRIX& m);
// The projection followed by a scale and a shift of the picture in clip space:
// x' = sx x + dx, y' = sy y + dy (in halves of the picture's width and height), for a
// part of a larger picture or to move pixel centres.
D3DMATRIX MatrixClipWindow(const D3DMATRIX& projection, float sx, float sy, float dx, float dy);
