#include "camera_math.h"

#include <cmath>

namespace {

Vec3 Sub(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
float Dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

} // namespace

Vec3 Cross(const Vec3& a, const Vec3& b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

Vec3 Normalize(const Vec3& v)
{
    const float length = std::sqrt(Dot(v, v));
    return length > 0.0f ? Vec3{v.x / length, v.y / length, v.z / length} : v;
}

Mat4 MatrixIdentity()
{
    Mat4 m = {};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

Mat4 MatrixRotationYawPitchRoll(float yaw, float pitch, float roll)
{
    const float sy = std::sin(yaw), cy = std::cos(yaw), sp = std::sin(pitch), cp = std::cos(pitch),
                sr = std::sin(roll), cr = std::cos(roll);
    Mat4 m = {};
    m._11 = sr * sp * sy + cr * cy;
    m._12 = sr * cp;
    m._13 = sr * sp * cy - cr * sy;
    m._21 = cr * sp * sy - sr * cy;
    m._22 = cr * cp;
    m._23 = cr * sp * cy + sr * sy;
    m._31 = cp * sy;
    m._32 = -sp;
    m._33 = cp * cy;
    m._44 = 1.0f;
    return m;
}

Vec3 TransformPoint(const Vec3& v, const Mat4& m)
{
    return {v.x * m._11 + v.y * m._21 + v.z * m._31 + m._41, v.x * m._12 + v.y * m._22 + v.z * m._32 + m._42,
            v.x * m._13 + v.y * m._23 + v.z * m._33 + m._43};
}

Mat4 MatrixLookAtRH(const Vec3& eye, const Vec3& at, const Vec3& up)
{
    const Vec3 zaxis = Normalize(Sub(eye, at));
    const Vec3 xaxis = Normalize(Cross(up, zaxis));
    const Vec3 yaxis = Cross(zaxis, xaxis);
    Mat4 m = {};
    m._11 = xaxis.x; m._12 = yaxis.x; m._13 = zaxis.x;
    m._21 = xaxis.y; m._22 = yaxis.y; m._23 = zaxis.y;
    m._31 = xaxis.z; m._32 = yaxis.z; m._33 = zaxis.z;
    m._41 = -Dot(xaxis, eye);
    m._42 = -Dot(yaxis, eye);
    m._43 = -Dot(zaxis, eye);
    m._44 = 1.0f;
    return m;
}

Mat4 MatrixPerspectiveFovRH(float fovY, float aspect, float zn, float zf)
{
    const float yScale = 1.0f / std::tan(fovY / 2.0f);
    Mat4 m = {};
    m._11 = yScale / aspect;
    m._22 = yScale;
    m._33 = zf / (zn - zf);
    m._34 = -1.0f;
    m._43 = zn * zf / (zn - zf);
    return m;
}

Mat4 MatrixOrthoRH(float width, float height, float zn, float zf)
{
    Mat4 m = {};
    m._11 = 2.0f / width;
    m._22 = 2.0f / height;
    m._33 = 1.0f / (zn - zf);
    m._43 = zn / (zn - zf);
    m._44 = 1.0f;
    return m;
}

Mat4 MatrixMultiply(const Mat4& a, const Mat4& b)
{
    Mat4 r = {};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            for (int k = 0; k < 4; ++k)
                r.m[i][j] += a.m[i][k] * b.m[k][j];
    return r;
}

Mat4 MatrixInverseRigid(const Mat4& m)
{
    Mat4 r = MatrixIdentity();
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            r.m[i][j] = m.m[j][i];
    for (int j = 0; j < 3; ++j)
        r.m[3][j] = -(m.m[3][0] * r.m[0][j] + m.m[3][1] * r.m[1][j] + m.m[3][2] * r.m[2][j]);
    return r;
}

Mat4 MatrixClipWindow(const Mat4& p, float sx, float sy, float dx, float dy)
{
    Mat4 r = p;
    for (int i = 0; i < 4; ++i) {
        r.m[i][0] = sx * p.m[i][0] + dx * p.m[i][3];
        r.m[i][1] = sy * p.m[i][1] + dy * p.m[i][3];
    }
    return r;
}
