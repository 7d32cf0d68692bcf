// The model's matrices handed to the device as they are: both are sixteen floats, row by row.
#pragma once
#include <windows.h>
#include <d3d9types.h>

#include <cstddef>

#include "camera_math.h"

static_assert(sizeof(Mat4) == sizeof(D3DMATRIX) && offsetof(D3DMATRIX, _43) == offsetof(Mat4, _43),
              "a model matrix is laid out as the device's");

inline const D3DMATRIX* AsDeviceMatrix(const Mat4& m)
{
    return reinterpret_cast<const D3DMATRIX*>(&m);
}
