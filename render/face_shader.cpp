#include "face_shader.h"

#include "shaders/face_shader.h"

IDirect3DPixelShader9* CreateFaceShader(IDirect3D9* pD3D, IDirect3DDevice9* pDevice)
{
    D3DCAPS9 caps = {};
    D3DDISPLAYMODE mode = {};
    if (!pD3D || !pDevice || FAILED(pDevice->GetDeviceCaps(&caps)) || caps.PixelShaderVersion < D3DPS_VERSION(2, 0) ||
        FAILED(pD3D->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode)) ||
        FAILED(pD3D->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, mode.Format, D3DUSAGE_QUERY_SRGBREAD,
                                       D3DRTYPE_TEXTURE, D3DFMT_A8R8G8B8)))
        return nullptr;
    IDirect3DPixelShader9* pShader = nullptr;
    if (FAILED(pDevice->CreatePixelShader(k_face_shader_code, &pShader)))
        return nullptr;
    return pShader;
}
