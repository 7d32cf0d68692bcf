#include "light_buffer.h"

#include "pass_states.h"
#include "target_swap.h"

namespace {

// Half floats hold a sum of 64 shares to a two-thousandth, and take half the memory of full
// ones; full floats where the device cannot add into half ones.
D3DFORMAT BufferFormat(IDirect3D9* pD3D)
{
    D3DDISPLAYMODE mode = {};
    if (FAILED(pD3D->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode)))
        return D3DFMT_UNKNOWN;
    for (D3DFORMAT f : {D3DFMT_A16B16G16R16F, D3DFMT_A32B32G32R32F})
        if (SUCCEEDED(pD3D->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, mode.Format,
                                              D3DUSAGE_RENDERTARGET | D3DUSAGE_QUERY_POSTPIXELSHADER_BLENDING,
                                              D3DRTYPE_TEXTURE, f)))
            return f;
    return D3DFMT_UNKNOWN;
}

} // namespace

bool LightBuffer::Prepare(IDirect3D9* pD3D, IDirect3DDevice9* pDevice, UINT width, UINT height,
                          D3DFORMAT depthFormat)
{
    if (m_pModel && width == m_width && height == m_height)
        return true;
    Release();
    const D3DFORMAT format = pD3D ? BufferFormat(pD3D) : D3DFMT_UNKNOWN;
    if (format == D3DFMT_UNKNOWN ||
        FAILED(pDevice->CreateTexture(width, height, 1, D3DUSAGE_RENDERTARGET, format, D3DPOOL_DEFAULT, &m_pModel,
                                      nullptr)) ||
        FAILED(m_pModel->GetSurfaceLevel(0, &m_pModelSurface)) ||
        FAILED(pDevice->CreateTexture(width, height, 1, D3DUSAGE_RENDERTARGET, format, D3DPOOL_DEFAULT, &m_pFloor,
                                      nullptr)) ||
        FAILED(m_pFloor->GetSurfaceLevel(0, &m_pFloorSurface)) ||
        FAILED(pDevice->CreateDepthStencilSurface(width, height, depthFormat, D3DMULTISAMPLE_NONE, 0, TRUE, &m_pDepth,
                                                  nullptr))) {
        Release();
        return false;
    }
    m_width = width;
    m_height = height;
    return true;
}

void LightBuffer::Clear(IDirect3DDevice9* pDevice)
{
    TargetSwap swap(pDevice);
    PassStates{}.Apply(pDevice);  // what the clear writes
    pDevice->SetRenderTarget(0, m_pFloorSurface);
    pDevice->SetDepthStencilSurface(m_pDepth);
    pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    pDevice->SetRenderTarget(0, m_pModelSurface);
    pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
}

void LightBuffer::TexelSize(float* pConstant) const
{
    pConstant[0] = m_width ? 1.0f / static_cast<float>(m_width) : 0.0f;
    pConstant[1] = m_height ? 1.0f / static_cast<float>(m_height) : 0.0f;
    pConstant[2] = pConstant[3] = 0;
}

void LightBuffer::Release()
{
    m_pDepth.Reset();
    m_pFloorSurface.Reset();
    m_pFloor.Reset();
    m_pModelSurface.Reset();
    m_pModel.Reset();
    m_width = m_height = 0;
}
