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

bool FrameFingerprint::SameDrawing(const FrameFingerprint& o) const
{
    return std::memcmp(values, o.values, sizeof(values)) == 0 && background == o.background &&
           std::memcmp(faceColours, o.faceColours, sizeof(faceColours)) == 0 &&
           std::memcmp(faceSerials, o.faceSerials, sizeof(faceSerials)) == 0 && width == o.width &&
           height == o.height && deviceGeneration == o.deviceGeneration && exportAspect == o.exportAspect &&
           products == o.products;
}

bool FrameFingerprint::operator==(const FrameFingerprint& o) const
{
    return SameDrawing(o) && sharp == o.sharp && lightPasses == o.lightPasses;
}

bool PreviewMirror::Attach(HWND hPreview, UINT width, UINT height)
{
    Detach();
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
    m_copy.clear();
    m_copy.shrink_to_fit();
    m_bHaveCopy = false;
}

void PreviewMirror::ReleaseDeviceObjects()
{
    KeepCopy();
    m_pReadback.Reset();
    m_bPending = false;
    m_bShownValid = false;
}

void PreviewMirror::KeepCopy()
{
    D3DLOCKED_RECT locked;
    if (!m_pReadback || !m_bShownValid || FAILED(m_pReadback->LockRect(&locked, nullptr, D3DLOCK_READONLY)))
        return;
    const size_t row = static_cast<size_t>(m_width) * 4;
    m_copy.resize(row * m_height);
    const auto* src = static_cast<const BYTE*>(locked.pBits);
    for (UINT y = 0; y < m_height; ++y)
        std::memcpy(m_copy.data() + y * row, src + static_cast<size_t>(y) * locked.Pitch, row);
    m_pReadback->UnlockRect();
    m_bHaveCopy = true;
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
    // Straight from the read-back surface: a copy of the frame is made only when the surface
    // goes, which a large preview would otherwise pay for on every frame.
    if (HDC hdc = ::GetDC(m_hPreview)) {
        PaintBits(hdc, locked.pBits, static_cast<UINT>(locked.Pitch));
        ::ReleaseDC(m_hPreview, hdc);
    }
    pSurface->UnlockRect();
    ++m_nShown;
}

void PreviewMirror::Paint(HDC hdc)
{
    D3DLOCKED_RECT locked;
    if (m_pReadback && m_bShownValid && SUCCEEDED(m_pReadback->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
        PaintBits(hdc, locked.pBits, static_cast<UINT>(locked.Pitch));
        m_pReadback->UnlockRect();
    } else if (m_bHaveCopy) {
        PaintBits(hdc, m_copy.data(), m_width * 4);
    }
}

void PreviewMirror::PaintBits(HDC hdc, const void* pBits, UINT pitch) const
{
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = static_cast<LONG>(pitch / 4);
    bi.bmiHeader.biHeight = -static_cast<LONG>(m_height);  // top-down, as a surface
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    ::SetDIBitsToDevice(hdc, 0, 0, m_width, m_height, 0, 0, 0, m_height, pBits, &bi, DIB_RGB_COLORS);
}

LRESULT CALLBACK PreviewMirror::PreviewProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                            DWORD_PTR self)
{
    auto* mirror = reinterpret_cast<PreviewMirror*>(self);
    const bool bHaveFrame = mirror->m_bHaveCopy || (mirror->m_pReadback && mirror->m_bShownValid);
    if (msg == WM_PAINT && bHaveFrame) {
        // Uncovered: the last frame shown, at once, with no read-back.
        PAINTSTRUCT ps;
        HDC hdc = ::BeginPaint(hWnd, &ps);
        mirror->Paint(hdc);
        ::EndPaint(hWnd, &ps);
        return 0;
    }
    if (msg == WM_ERASEBKGND && bHaveFrame)
        return 1;  // the copy covers it all
    return ::DefSubclassProc(hWnd, msg, wParam, lParam);
}
