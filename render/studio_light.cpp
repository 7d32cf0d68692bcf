#include "studio_light.h"

#include "shaders/studio_floor_ps_shader.h"
#include "shaders/studio_floor_summed_ps_shader.h"
#include "shaders/studio_light_ps_shader.h"
#include "shaders/studio_ps_shader.h"
#include "shaders/studio_summed_ps_shader.h"
#include "shaders/studio_draft_tone_ps_shader.h"
#include "shaders/studio_draft_vs_shader.h"
#include "shaders/studio_vs_shader.h"

namespace {
const D3DFORMAT kNoColour = static_cast<D3DFORMAT>(MAKEFOURCC('N', 'U', 'L', 'L'));
}

bool StudioLight::CreateShaders(IDirect3D9* pD3D, IDirect3DDevice9* pDevice)
{
    Release();
    m_bTried = true;
    D3DCAPS9 caps = {};
    D3DDISPLAYMODE mode = {};
    if (!pD3D || !pDevice || FAILED(pDevice->GetDeviceCaps(&caps)) || caps.PixelShaderVersion < D3DPS_VERSION(3, 0) ||
        caps.VertexShaderVersion < D3DVS_VERSION(3, 0) || FAILED(pD3D->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode)) ||
        FAILED(pD3D->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, mode.Format, D3DUSAGE_DEPTHSTENCIL,
                                       D3DRTYPE_TEXTURE, D3DFMT_D24X8)))
        return false;
    if (FAILED(pDevice->CreateVertexShader(k_studio_vs_shader_code, &m_pVertexShader)) ||
        FAILED(pDevice->CreateVertexShader(k_studio_draft_vs_shader_code, &m_pDraftShader)) ||
        FAILED(pDevice->CreatePixelShader(k_studio_draft_tone_ps_shader_code, &m_pDraftToneShader)) ||
        FAILED(pDevice->CreatePixelShader(k_studio_ps_shader_code, &m_pModelShader)) ||
        FAILED(pDevice->CreatePixelShader(k_studio_floor_ps_shader_code, &m_pFloorShader)) ||
        FAILED(pDevice->CreatePixelShader(k_studio_light_ps_shader_code, &m_pModelLightShader)) ||
        FAILED(pDevice->CreatePixelShader(k_studio_summed_ps_shader_code, &m_pSummedModelShader)) ||
        FAILED(pDevice->CreatePixelShader(k_studio_floor_summed_ps_shader_code, &m_pSummedFloorShader)) ||
        FAILED(pDevice->CreateTexture(1, 1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &m_pWhite, nullptr))) {
        Release();
        return false;
    }
    D3DLOCKED_RECT locked;
    if (SUCCEEDED(m_pWhite->LockRect(0, &locked, nullptr, 0))) {
        *static_cast<DWORD*>(locked.pBits) = 0xFFFFFFFF;
        m_pWhite->UnlockRect(0);
    }
    return true;
}

namespace {

// A depth texture the device compares as it reads, with the colour target of its size that a
// draw needs bound (the format that holds nothing where the device knows it).
bool CreateDepthMap(IDirect3DDevice9* pDevice, UINT texels, ComPtr<IDirect3DTexture9>& depth,
                    ComPtr<IDirect3DSurface9>& colour)
{
    return SUCCEEDED(pDevice->CreateTexture(texels, texels, 1, D3DUSAGE_DEPTHSTENCIL, D3DFMT_D24X8, D3DPOOL_DEFAULT,
                                            &depth, nullptr)) &&
           (SUCCEEDED(pDevice->CreateRenderTarget(texels, texels, kNoColour, D3DMULTISAMPLE_NONE, 0, FALSE, &colour,
                                                  nullptr)) ||
            SUCCEEDED(pDevice->CreateRenderTarget(texels, texels, D3DFMT_R5G6B5, D3DMULTISAMPLE_NONE, 0, FALSE, &colour,
                                                  nullptr)));
}

} // namespace

bool StudioLight::CreateTargets(IDirect3DDevice9* pDevice)
{
    if (m_pShadowMap && m_pMapColour && m_pSkyMap && m_pSkyColour)
        return true;
    ReleaseTargets();
    if (!CreateDepthMap(pDevice, kMapTexels, m_pShadowMap, m_pMapColour) ||
        !CreateDepthMap(pDevice, kSkyMapTexels, m_pSkyMap, m_pSkyColour)) {
        ReleaseTargets();
        return false;
    }
    return true;
}

void StudioLight::ReleaseTargets()
{
    m_pSkyColour.Reset();
    m_pSkyMap.Reset();
    m_pMapColour.Reset();
    m_pShadowMap.Reset();
}

void StudioLight::Release()
{
    m_bTried = false;
    ReleaseTargets();
    m_pWhite.Reset();
    m_pSummedFloorShader.Reset();
    m_pSummedModelShader.Reset();
    m_pModelLightShader.Reset();
    m_pFloorShader.Reset();
    m_pModelShader.Reset();
    m_pDraftToneShader.Reset();
    m_pDraftShader.Reset();
    m_pVertexShader.Reset();
}
