#include "box_renderer.h"

void BoxRenderer::ResolveFrame()
{
    IDirect3DDevice9* pDevice = m_scene.m_pDevice;
    if (!m_pResolvedFrame &&
        FAILED(pDevice->CreateRenderTarget(m_presentParams.BackBufferWidth, m_presentParams.BackBufferHeight,
                                           m_presentParams.BackBufferFormat, D3DMULTISAMPLE_NONE, 0, FALSE,
                                           &m_pResolvedFrame, nullptr)))
        return;
    IDirect3DSurface9* pBackBuffer = nullptr;
    if (FAILED(pDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &pBackBuffer)))
        return;
    // Resolves the multisampled image into the plain surface.
    pDevice->StretchRect(pBackBuffer, nullptr, m_pResolvedFrame, nullptr, D3DTEXF_NONE);
    pBackBuffer->Release();
}

HRESULT BoxRenderer::CopyLastFrame(IDirect3DSurface9** ppSurface)
{
    *ppSurface = nullptr;
    IDirect3DDevice9* pDevice = m_scene.m_pDevice;
    if (!pDevice || !m_pResolvedFrame)
        return D3DERR_INVALIDCALL;

    D3DSURFACE_DESC desc = {};
    m_pResolvedFrame->GetDesc(&desc);
    IDirect3DSurface9* pCopy = nullptr;
    HRESULT hr = pDevice->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM,
                                                      &pCopy, nullptr);
    if (FAILED(hr))
        return hr;
    hr = pDevice->GetRenderTargetData(m_pResolvedFrame, pCopy);
    if (FAILED(hr)) {
        pCopy->Release();
        return hr;
    }
    *ppSurface = pCopy;
    return D3D_OK;
}

void BoxRenderer::PaintFrameWithGdi()
{
    IDirect3DDevice9* pDevice = m_scene.m_pDevice;
    const UINT width = m_presentParams.BackBufferWidth, height = m_presentParams.BackBufferHeight;
    if (!m_pResolvedFrame)
        return;
    if (!m_pGdiFrame &&
        FAILED(pDevice->CreateOffscreenPlainSurface(width, height, m_presentParams.BackBufferFormat,
                                                    D3DPOOL_SYSTEMMEM, &m_pGdiFrame, nullptr)))
        return;
    if (FAILED(pDevice->GetRenderTargetData(m_pResolvedFrame, m_pGdiFrame)))
        return;
    D3DLOCKED_RECT locked;
    if (FAILED(m_pGdiFrame->LockRect(&locked, nullptr, D3DLOCK_READONLY)))
        return;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = locked.Pitch / 4;
    bi.bmiHeader.biHeight = -static_cast<LONG>(height);  // top-down, as the surface
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    if (HDC hdc = ::GetDC(m_hPreview)) {
        ::SetDIBitsToDevice(hdc, 0, 0, width, height, 0, 0, 0, height, locked.pBits, &bi, DIB_RGB_COLORS);
        ::ReleaseDC(m_hPreview, hdc);
    }
    m_pGdiFrame->UnlockRect();
}
