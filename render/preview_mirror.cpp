#include "preview_mirror.h"

#include <commctrl.h>

#include <cstring>


namespace {
constexpr UINT_PTR kSubclassId = 0x5A4D;  // "ZM"
} // namespace

FrameFingerprint FrameFingerprint::Of(const BoxScene& s, UINT width, UINT height, UINT deviceGeneration)
{
    FrameFingerprint f;
    for (int i = 0; i < kSceneValueCount; ++i)
        f.values[i] = s.*g_sceneValues[i].pField;
    f.background = s.m_clrBackground;
    for (int i = 0; i < kPictureCount; ++i) {
        f.faceColours[i] = s.m_clrFace[i];
        f.faceSerials[i] = s.m_picture[i] ? s.m_picture[i]->serial : 0;
    }
    for (const SceneProduct& product : s.m_products) {
        f.products.insert(f.products.end(), product.values.begin(), product.values.end());
        for (int i = 0; i < kPictureCount; ++i) {
            f.products.push_back(product.m_clrFace[i]);
            f.products.push_back(product.m_picture[i] ? product.m_picture[i]->serial : 0);
        }
    }
    f.width = width;
    f.height = height;
    f.deviceGeneration = deviceGeneration;
    return f;
}

bool FrameFingerprint::operator==(const FrameFingerprint& o) const
{
    return std::memcmp(values, o.values, sizeof(values)) == 0 && background == o.background &&
           std::memcmp(faceColours, o.faceColours, sizeof(faceColours)) == 0 &&
           std::memcmp(faceSerials, o.faceSerials, sizeof(faceSerials)) == 0 && width == o.width &&
           height == o.height && deviceGeneration == o.deviceGeneration && sharp == o.sharp && lightPasses == o.lightPasses &&
           exportAspect == o.exportAspect && products == o.products;
}

bool PreviewMirror::Attach(HWND hPreview, UINT width, UINT height)
{
    Detach();
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = static_cast<LONG>(width);
    bi.bmiHeader.biHeight = -static_cast<LONG>(height);  // top-down, as a surface
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    m_hCopyDC = ::CreateCompatibleDC(nullptr);
    m_hCopyBitmap = ::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &m_pCopyBits, nullptr, 0);
    if (!m_hCopyDC || !m_hCopyBitmap) {
        Detach();
        return false;
    }
    m_hPrevBitmap = ::SelectObject(m_hCopyDC, m_hCopyBitmap);
    m_hPreview = hPreview;
    m_width = width;
    m_height = height;
    ::SetWindowSubclass(hPreview, &PreviewProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
    return true;
}

void PreviewMirror::Detach()
{
    ReleaseDeviceObjects();
    if (m_hPreview) {
        ::RemoveWindowSubclass(m_hPreview, &PreviewProc, kSubclassId);
        m_hPreview = nullptr;
    }
    if (m_hCopyDC) {
        ::SelectObject(m_hCopyDC, m_hPrevBitmap);
        ::DeleteDC(m_hCopyDC);
        m_hCopyDC = nullptr;
    }
    if (m_hCopyBitmap) {
        ::DeleteObject(m_hCopyBitmap);
        m_hCopyBitmap = nullptr;
    }
    m_pCopyBits = nullptr;
    m_bHaveCopy = false;
}

void PreviewMirror::ReleaseDeviceObjects()
{
    m_pReadback.Reset();
    m_bPending = false;
    m_bShownValid = false;
}

void PreviewMirror::Update(IDirect3DDevice9* pDevice, IDirect3DSurface9* pResolved, const FrameFingerprint& frame)
{
    if (!m_hPreview || !pDevice || !pResolved)
        return;
    ShowPending();
    if (m_bShownValid && frame == m_shownFrame)
        return;  // the screen already shows this frame

    D3DSURFACE_DESC desc = {};
    pResolved->GetDesc(&desc);
    if (!m_pReadback && FAILED(pDevice->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format,
                                                                      D3DPOOL_SYSTEMMEM, &m_pReadback, nullptr)))
        return;
    if (FAILED(pDevice->GetRenderTargetData(pResolved, m_pReadback)))
        return;
    m_bPending = true;
    m_pendingFrame = frame;
    ++m_nReadbacks;
    // Shown in this tick: a frame is drawn only when it changed, so waiting here for the copy
    // costs a stall per change, not per tick, and the change reaches the screen a tick sooner.
    ShowPending();
}

void PreviewMirror::ShowPending()
{
    if (!m_bPending)
        return;
    Show(m_pReadback);
    m_shownFrame = m_pendingFrame;
    m_bShownValid = true;
    m_bPending = false;
}

void PreviewMirror::Show(IDirect3DSurface9* pSurface)
{
    D3DLOCKED_RECT locked;
    if (FAILED(pSurface->LockRect(&locked, nullptr, D3DLOCK_READONLY)))
        return;
    auto* dst = static_cast<BYTE*>(m_pCopyBits);
    const auto* src = static_cast<const BYTE*>(locked.pBits);
    for (UINT y = 0; y < m_height; ++y)
        std::memcpy(dst + static_cast<size_t>(y) * m_width * 4, src + static_cast<size_t>(y) * locked.Pitch, m_width * 4);
    pSurface->UnlockRect();
    m_bHaveCopy = true;
    ++m_nShown;
    if (HDC hdc = ::GetDC(m_hPreview)) {
        PaintCopy(hdc);
        ::ReleaseDC(m_hPreview, hdc);
    }
}

void PreviewMirror::PaintCopy(HDC hdc) const
{
    ::GdiFlush();
    ::BitBlt(hdc, 0, 0, static_cast<int>(m_width), static_cast<int>(m_height), m_hCopyDC, 0, 0, SRCCOPY);
}

LRESULT CALLBACK PreviewMirror::PreviewProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                            DWORD_PTR self)
{
    auto* mirror = reinterpret_cast<PreviewMirror*>(self);
    if (msg == WM_PAINT && mirror->m_bHaveCopy) {
        // Uncovered: the last frame shown, at once, with no read-back.
        PAINTSTRUCT ps;
        HDC hdc = ::BeginPaint(hWnd, &ps);
        mirror->PaintCopy(hdc);
        ::EndPaint(hWnd, &ps);
        return 0;
    }
    if (msg == WM_ERASEBKGND && mirror->m_bHaveCopy)
        return 1;  // the copy covers it all
    return ::DefSubclassProc(hWnd, msg, wParam, lParam);
}
