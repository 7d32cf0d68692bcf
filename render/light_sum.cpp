#include "light_sum.h"

#include "shaders/light_sum_ps_shader.h"
#include "target_swap.h"

namespace {

// The sum's format: full floats, so that a colour added up to 64 times and divided again
// is the same colour to the last bit; half floats where the device has no other.
D3DFORMAT SumFormat(IDirect3D9* pD3D)
{
    D3DDISPLAYMODE mode = {};
    if (FAILED(pD3D->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode)))
        return D3DFMT_UNKNOWN;
    for (D3DFORMAT f : {D3DFMT_A32B32G32R32F, D3DFMT_A16B16G16R16F})
        if (SUCCEEDED(pD3D->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, mode.Format,
                                              D3DUSAGE_RENDERTARGET | D3DUSAGE_QUERY_POSTPIXELSHADER_BLENDING,
                                              D3DRTYPE_TEXTURE, f)))
            return f;
    return D3DFMT_UNKNOWN;
}

} // namespace

bool LightSum::Prepare(IDirect3D9* pD3D, IDirect3DDevice9* pDevice, UINT width, UINT height, D3DFORMAT format)
{
    if (m_pSum && width == m_width && height == m_height && format == m_format)
        return true;
    Release();
    const D3DFORMAT sumFormat = pD3D ? SumFormat(pD3D) : D3DFMT_UNKNOWN;
    if (sumFormat == D3DFMT_UNKNOWN ||
        FAILED(pDevice->CreatePixelShader(k_light_sum_ps_shader_code, &m_pShader)) ||
        FAILED(pDevice->CreateTexture(width, height, 1, D3DUSAGE_RENDERTARGET, format, D3DPOOL_DEFAULT, &m_pDrawing,
                                      nullptr)) ||
        FAILED(m_pDrawing->GetSurfaceLevel(0, &m_pDrawingSurface)) ||
        FAILED(pDevice->CreateTexture(width, height, 1, D3DUSAGE_RENDERTARGET, sumFormat, D3DPOOL_DEFAULT, &m_pSum,
                                      nullptr)) ||
        FAILED(m_pSum->GetSurfaceLevel(0, &m_pSumSurface))) {
        Release();
        return false;
    }
    m_width = width;
    m_height = height;
    m_format = format;
    return true;
}

void LightSum::Add(IDirect3DDevice9* pDevice, bool bFirst)
{
    TargetSwap swap(pDevice);
    pDevice->SetRenderTarget(0, m_pSumSurface);
    pDevice->SetDepthStencilSurface(nullptr);
    DrawQuad(pDevice, m_pDrawing, 1.0f, bFirst ? PassStates::Opaque : PassStates::Add);
}

void LightSum::AverageInto(IDirect3DDevice9* pDevice, IDirect3DSurface9* pTarget, unsigned count)
{
    TargetSwap swap(pDevice);
    pDevice->SetRenderTarget(0, pTarget);
    pDevice->SetDepthStencilSurface(nullptr);
    DrawQuad(pDevice, m_pSum, 1.0f / static_cast<float>(count ? count : 1), PassStates::Opaque);
}

void LightSum::DrawQuad(IDirect3DDevice9* pDevice, IDirect3DTexture9* pSource, float scale, PassStates::Blend blend)
{
    struct QuadVertex {
        float x, y, z, rhw, u, v;
    };
    // Texel for pixel: Direct3D 9 puts a pixel's centre at its integer coordinates.
    const float w = static_cast<float>(m_width) - 0.5f, h = static_cast<float>(m_height) - 0.5f;
    const QuadVertex quad[4] = {{-0.5f, -0.5f, 0, 1, 0, 0}, {w, -0.5f, 0, 1, 1, 0},
                                {-0.5f, h, 0, 1, 0, 1},     {w, h, 0, 1, 1, 1}};
    const D3DVIEWPORT9 viewport = {0, 0, m_width, m_height, 0.0f, 1.0f};
    pDevice->SetViewport(&viewport);
    PassStates states;
    states.bDepthTest = states.bDepthWrite = false, states.cull = D3DCULL_NONE, states.bLighting = false;
    states.blend = blend;
    states.Apply(pDevice);
    pDevice->SetVertexShader(nullptr);
    pDevice->SetPixelShader(m_pShader);
    const float c0[4] = {scale, scale, scale, scale};
    pDevice->SetPixelShaderConstantF(0, c0, 1);
    pDevice->SetTexture(0, pSource);
    pDevice->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
    pDevice->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    pDevice->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_NONE);
    pDevice->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    pDevice->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
    // Added as stored, as the floor's shadow was blended over the background: the average
    // of a shadow's coverage darkens the background as the transparent picture's alpha
    // says, and where nothing fell the background is exactly itself.
    pDevice->SetSamplerState(0, D3DSAMP_SRGBTEXTURE, FALSE);
    pDevice->SetFVF(D3DFVF_XYZRHW | D3DFVF_TEX1);
    pDevice->BeginScene();
    pDevice->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(QuadVertex));
    pDevice->EndScene();
    pDevice->SetSamplerState(0, D3DSAMP_SRGBTEXTURE, FALSE);
    pDevice->SetTexture(0, nullptr);
    pDevice->SetPixelShader(nullptr);
}

void LightSum::Release()
{
    m_pSumSurface.Reset();
    m_pSum.Reset();
    m_pDrawingSurface.Reset();
    m_pDrawing.Reset();
    m_pShader.Reset();
    m_width = m_height = 0;
    m_format = D3DFMT_UNKNOWN;
}
