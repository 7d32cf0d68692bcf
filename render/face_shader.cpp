#include "face_shader.h"

#include <cstring>
#include <vector>

namespace {

constexpr DWORD Op(DWORD opcode, DWORD operands) { return opcode | (operands << D3DSI_INSTLENGTH_SHIFT); }
constexpr DWORD Reg(DWORD type, DWORD number)
{
    return 0x80000000u | ((type & 7) << D3DSP_REGTYPE_SHIFT) | ((type & 0x18) << D3DSP_REGTYPE_SHIFT2) | number;
}
constexpr DWORD Dst(DWORD type, DWORD number, DWORD mask = 0xF) { return Reg(type, number) | (mask << 16); }
// Swizzle: 0xE4 as is; 0x00, 0x55, 0xAA, 0xFF one component for all four.
constexpr DWORD Src(DWORD type, DWORD number, DWORD swizzle = 0xE4)
{
    return Reg(type, number) | (swizzle << D3DSP_SWIZZLE_SHIFT);
}
constexpr DWORD X = 0x00, Y = 0x55, Z = 0xAA, W = 0xFF;

DWORD Float(float f)
{
    DWORD d;
    std::memcpy(&d, &f, sizeof(d));
    return d;
}

// ps_2_0
// def c0, 1/2.4, 1.055, -0.055, -0.0031308
// def c2, 12.92, 0, 0, 0
// dcl t0.xy ; dcl v0 ; dcl v1.xyz ; dcl_2d s0
// texld r0, t0, s0                ; the texel in light, filtered
// pow r1.x, r0.x, c0.x  (and .y, .z)
// mad r1.xyz, r1, c0.y, c0.z      ; sRGB's curve
// mul r2.xyz, r0, c2.x            ; its straight part near black
// add r3.xyz, r0, c0.w
// cmp r1.xyz, r3, r1, r2          ; which part, by the light's value
// mul r1.xyz, r1, v0              ; lit
// mul r1.xyz, r1, c1              ; tinted by the face's colour
// add r1.xyz, r1, v1              ; plus the specular colour
// mov r1.w, v0.w
// mov oC0, r1
std::vector<DWORD> FaceShaderCode()
{
    return {
        0xFFFF0200,
        Op(D3DSIO_DEF, 5), Dst(D3DSPR_CONST, 0), Float(1.0f / 2.4f), Float(1.055f), Float(-0.055f), Float(-0.0031308f),
        Op(D3DSIO_DEF, 5), Dst(D3DSPR_CONST, 2), Float(12.92f), Float(0), Float(0), Float(0),
        Op(D3DSIO_DCL, 2), 0x80000000u, Dst(D3DSPR_TEXTURE, 0, 0x3),
        Op(D3DSIO_DCL, 2), 0x80000000u, Dst(D3DSPR_INPUT, 0),
        Op(D3DSIO_DCL, 2), 0x80000000u, Dst(D3DSPR_INPUT, 1, 0x7),
        Op(D3DSIO_DCL, 2), 0x80000000u | D3DSTT_2D, Dst(D3DSPR_SAMPLER, 0),
        Op(D3DSIO_TEX, 3), Dst(D3DSPR_TEMP, 0), Src(D3DSPR_TEXTURE, 0), Src(D3DSPR_SAMPLER, 0),
        Op(D3DSIO_POW, 3), Dst(D3DSPR_TEMP, 1, 0x1), Src(D3DSPR_TEMP, 0, X), Src(D3DSPR_CONST, 0, X),
        Op(D3DSIO_POW, 3), Dst(D3DSPR_TEMP, 1, 0x2), Src(D3DSPR_TEMP, 0, Y), Src(D3DSPR_CONST, 0, X),
        Op(D3DSIO_POW, 3), Dst(D3DSPR_TEMP, 1, 0x4), Src(D3DSPR_TEMP, 0, Z), Src(D3DSPR_CONST, 0, X),
        Op(D3DSIO_MAD, 4), Dst(D3DSPR_TEMP, 1, 0x7), Src(D3DSPR_TEMP, 1), Src(D3DSPR_CONST, 0, Y), Src(D3DSPR_CONST, 0, Z),
        Op(D3DSIO_MUL, 3), Dst(D3DSPR_TEMP, 2, 0x7), Src(D3DSPR_TEMP, 0), Src(D3DSPR_CONST, 2, X),
        Op(D3DSIO_ADD, 3), Dst(D3DSPR_TEMP, 3, 0x7), Src(D3DSPR_TEMP, 0), Src(D3DSPR_CONST, 0, W),
        Op(D3DSIO_CMP, 4), Dst(D3DSPR_TEMP, 1, 0x7), Src(D3DSPR_TEMP, 3), Src(D3DSPR_TEMP, 1), Src(D3DSPR_TEMP, 2),
        Op(D3DSIO_MUL, 3), Dst(D3DSPR_TEMP, 1, 0x7), Src(D3DSPR_TEMP, 1), Src(D3DSPR_INPUT, 0),
        Op(D3DSIO_MUL, 3), Dst(D3DSPR_TEMP, 1, 0x7), Src(D3DSPR_TEMP, 1), Src(D3DSPR_CONST, kFaceShaderColourConstant),
        Op(D3DSIO_ADD, 3), Dst(D3DSPR_TEMP, 1, 0x7), Src(D3DSPR_TEMP, 1), Src(D3DSPR_INPUT, 1),
        Op(D3DSIO_MOV, 2), Dst(D3DSPR_TEMP, 1, 0x8), Src(D3DSPR_INPUT, 0, W),
        Op(D3DSIO_MOV, 2), Dst(D3DSPR_COLOROUT, 0), Src(D3DSPR_TEMP, 1),
        D3DSIO_END,
    };
}

} // namespace

IDirect3DPixelShader9* CreateFaceShader(IDirect3D9* pD3D, IDirect3DDevice9* pDevice)
{
    D3DCAPS9 caps = {};
    D3DDISPLAYMODE mode = {};
    if (!pD3D || !pDevice || FAILED(pDevice->GetDeviceCaps(&caps)) || caps.PixelShaderVersion < D3DPS_VERSION(2, 0) ||
        FAILED(pD3D->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode)) ||
        FAILED(pD3D->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, mode.Format, D3DUSAGE_QUERY_SRGBREAD,
                                       D3DRTYPE_TEXTURE, D3DFMT_A8R8G8B8)))
        return nullptr;
    const std::vector<DWORD> code = FaceShaderCode();
    IDirect3DPixelShader9* pShader = nullptr;
    if (FAILED(pDevice->CreatePixelShader(code.data(), &pShader)))
        return nullptr;
    return pShader;
}
