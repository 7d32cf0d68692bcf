#include "box_renderer.h"

bool BoxRenderer::MakeResolvedFrame()
{
    return m_pResolvedFrame ||
           SUCCEEDED(m_pDevice->CreateRenderTarget(m_presentParams.BackBufferWidth, m_presentParams.BackBufferHeight,
                                                   m_presentParams.BackBufferFormat, D3DMULTISAMPLE_NONE, 0, FALSE,
                                                   &m_pResolvedFrame, nullptr));
}

void BoxRenderer::ResolveFrame()
{
    IDirect3DDevice9* pDevice = m_pDevice;
    if (!MakeResolvedFrame())
        return;
    ComPtr<IDirect3DSurface9> backBuffer;
    if (FAILED(pDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer)))
        return;
    // Resolves the multisampled image into the plain surface.
    pDevice->StretchRect(backBuffer, nullptr, m_pResolvedFrame, nullptr, D3DTEXF_NONE);
}

HRESULT BoxRenderer::CopyLastFrame(IDirect3DSurface9** ppSurface)
{
    *ppSurface = nullptr;
    IDirect3DDevice9* pDevice = m_pDevice;
    // A moving frame the mirror read straight from the back buffer is kept only there.
    if (pDevice && m_bPresentedValid && m_bPaintWithGdi && m_presentedFrame != m_resolvedFrame) {
        ResolveFrame();
        m_resolvedFrame = m_presentedFrame;
    }
    if (!pDevice || !m_pResolvedFrame)
        return D3DERR_INVALIDCALL;

    D3DSURFACE_DESC desc = {};
    m_pResolvedFrame->GetDesc(&desc);
    ComPtr<IDirect3DSurface9> copy;
    HRESULT hr = pDevice->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM,
                                                      &copy, nullptr);
    if (FAILED(hr))
        return hr;
    hr = pDevice->GetRenderTargetData(m_pResolvedFrame, copy);
    if (FAILED(hr))
        return hr;
    *ppSurface = copy.Detach();
    return D3D_OK;
}

HRESULT BoxRenderer::ReadLastFrame(DecodedImage& out)
{
    // Saved, the frame is the one at rest: drawn sharp, as any other saved picture.
    if (m_pDevice) {
        FrameFingerprint frame = FrameFingerprint::Of(m_scene, m_presentParams.BackBufferWidth,
                                                      m_presentParams.BackBufferHeight, m_nDeviceGeneration);
        frame.sharp = true;
        frame.lightPasses = LightPassesWanted();
        if (!m_pResolvedFrame || frame != m_resolvedFrame)
            DrawFrame(frame);
    }
    ComPtr<IDirect3DSurface9> copy;
    HRESULT hr = CopyLastFrame(&copy);
    if (FAILED(hr))
        return hr;
    IDirect3DSurface9* pCopy = copy;
    D3DSURFACE_DESC desc = {};
    pCopy->GetDesc(&desc);
    D3DLOCKED_RECT locked;
    if (SUCCEEDED(hr = pCopy->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
        out.width = desc.Width;
        out.height = desc.Height;
        out.pixels.resize(static_cast<size_t>(desc.Width) * desc.Height);
        for (UINT y = 0; y < desc.Height; ++y) {
            const auto* src = reinterpret_cast<const uint32_t*>(static_cast<const BYTE*>(locked.pBits) + y * locked.Pitch);
            uint32_t* dst = &out.pixels[static_cast<size_t>(y) * desc.Width];
            for (UINT x = 0; x < desc.Width; ++x)
                dst[x] = src[x] | 0xFF000000u;  // the preview's frame is opaque
        }
        pCopy->UnlockRect();
    }
    return hr;
}
