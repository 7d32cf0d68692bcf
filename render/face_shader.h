// The faces' pixel shader for sharp frames: the texture read as sRGB, so that the device
// filters (bilinear, between mip levels, along the anisotropic footprint) in light, and
// encoded back before it is lit and tinted exactly as the fixed stages do. Written in shader
// assembly (shaders/face.asm), assembled when the program is built: a stock Windows has no
// shader compiler.
#pragma once
#include <windows.h>
#include <d3d9.h>

// Null where the device has no ps_2_0 or cannot read A8R8G8B8 textures as sRGB: the faces
// are then drawn by the fixed stages, filtered in sRGB values.
IDirect3DPixelShader9* CreateFaceShader(IDirect3D9* pD3D, IDirect3DDevice9* pDevice);
// The constant holding the face's colour, as the fixed stages' texture factor.
constexpr UINT kFaceShaderColourConstant = 1;
