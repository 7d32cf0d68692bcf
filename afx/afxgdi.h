// Owners of GDI handles, and CDC, the device context the drawing code talks to.
#pragma once
#include <windows.h>

// Every GDI object and device context the wrappers create, minus those they deleted:
// the platform does not always report a process's GDI count, so we count our own.
LONG AfxGdiLiveCount();
LONG AfxGdiCreatedCount();  // all ever created, for reports
void AfxGdiCountCreated(const void* h);
void AfxGdiCountDeleted(const void* h);

// A GDI object handle owned by the wrapper and deleted with it.
template <class THandle>
class CGdiHandle {
public:
    CGdiHandle() = default;
    ~CGdiHandle() { DeleteObject(); }
    CGdiHandle(const CGdiHandle&) = delete;
    CGdiHandle& operator=(const CGdiHandle&) = delete;

    BOOL Attach(THandle h)
    {
        DeleteObject();
        m_hObject = h;
        AfxGdiCountCreated(h);
        return h != nullptr;
    }
    THandle Detach()
    {
        THandle h = m_hObject;
        m_hObject = nullptr;
        AfxGdiCountDeleted(h);
        return h;
    }
    // Deleting a system colour brush or a stock object is allowed and does nothing.
    BOOL DeleteObject()
    {
        THandle h = Detach();
        return h ? ::DeleteObject(h) : FALSE;
    }
    operator THandle() const { return m_hObject; }
    THandle GetSafeHandle() const { return m_hObject; }

    THandle m_hObject = nullptr;
};

class CBrush : public CGdiHandle<HBRUSH> {
public:
    BOOL CreateSolidBrush(COLORREF clr) { return Attach(::CreateSolidBrush(clr)); }
};

class CPen : public CGdiHandle<HPEN> {
public:
    CPen() = default;
    CPen(int nStyle, int nWidth, COLORREF clr) { CreatePen(nStyle, nWidth, clr); }
    BOOL CreatePen(int nStyle, int nWidth, COLORREF clr) { return Attach(::CreatePen(nStyle, nWidth, clr)); }
};

class CFont : public CGdiHandle<HFONT> {
public:
    BOOL CreateFontIndirect(const LOGFONTW* plf) { return Attach(::CreateFontIndirectW(plf)); }
    int GetLogFont(LOGFONTW* plf) const { return ::GetObjectW(m_hObject, sizeof(*plf), plf); }
};

class CBitmap : public CGdiHandle<HBITMAP> {
public:
    BOOL CreateCompatibleBitmap(HDC hDC, int cx, int cy) { return Attach(::CreateCompatibleBitmap(hDC, cx, cy)); }
};

class CPalette : public CGdiHandle<HPALETTE> {
public:
    BOOL CreatePalette(const LOGPALETTE* pLogPalette) { return Attach(::CreatePalette(pLogPalette)); }
};

// A device context. Built from a handle it only wraps it; after CreateCompatibleDC or
// Attach it owns the handle and deletes it with the object.
class CDC {
public:
    CDC() = default;
    explicit CDC(HDC hDC) : m_hDC(hDC), m_hAttribDC(hDC) {}
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }
    BOOL Attach(HDC hDC);
    HDC Detach();
    BOOL DeleteDC();
    BOOL CreateCompatibleDC(CDC* pDC);
    BOOL IsPrinting() const { return m_bPrinting; }

    HGDIOBJ SelectObject(HGDIOBJ hObject) { return ::SelectObject(m_hDC, hObject); }
    HPALETTE SelectPalette(HPALETTE hPalette, BOOL bForceBackground) { return ::SelectPalette(m_hDC, hPalette, bForceBackground); }
    UINT RealizePalette() { return ::RealizePalette(m_hDC); }
    int GetDeviceCaps(int nIndex) const { return ::GetDeviceCaps(m_hAttribDC, nIndex); }
    int GetClipBox(LPRECT rc) const { return ::GetClipBox(m_hDC, rc); }
    POINT SetWindowOrg(int x, int y)
    {
        POINT old = {};
        ::SetWindowOrgEx(m_hDC, x, y, &old);
        return old;
    }

    int SetBkMode(int nMode) { return ::SetBkMode(m_hDC, nMode); }
    COLORREF SetTextColor(COLORREF clr) { return ::SetTextColor(m_hDC, clr); }
    COLORREF SetBkColor(COLORREF clr) { return ::SetBkColor(m_hDC, clr); }
    COLORREF GetBkColor() const { return ::GetBkColor(m_hAttribDC); }
    int SetPolyFillMode(int nMode) { return ::SetPolyFillMode(m_hDC, nMode); }

    BOOL BitBlt(int x, int y, int cx, int cy, CDC* pSrc, int xSrc, int ySrc, DWORD dwRop)
    {
        return ::BitBlt(m_hDC, x, y, cx, cy, pSrc ? pSrc->m_hDC : nullptr, xSrc, ySrc, dwRop);
    }
    void FillRect(LPCRECT rc, HBRUSH hBrush) { ::FillRect(m_hDC, rc, hBrush); }
    void FillSolidRect(LPCRECT rc, COLORREF clr);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF clr);
    void FrameRect(LPCRECT rc, HBRUSH hBrush) { ::FrameRect(m_hDC, rc, hBrush); }
    // Top and left edges in clrTopLeft, bottom and right in clrBottomRight, one pixel wide.
    void Draw3dRect(LPCRECT rc, COLORREF clrTopLeft, COLORREF clrBottomRight);
    BOOL DrawEdge(LPRECT rc, UINT nEdge, UINT nFlags) { return ::DrawEdge(m_hDC, rc, nEdge, nFlags); }
    BOOL DrawFrameControl(LPRECT rc, UINT nType, UINT nState) { return ::DrawFrameControl(m_hDC, rc, nType, nState); }
    void DrawFocusRect(LPCRECT rc) { ::DrawFocusRect(m_hDC, rc); }
    BOOL Polygon(const POINT* pts, int nCount) { return ::Polygon(m_hDC, pts, nCount); }
    BOOL Rectangle(LPCRECT rc) { return ::Rectangle(m_hDC, rc->left, rc->top, rc->right, rc->bottom); }
    BOOL MoveTo(int x, int y) { return ::MoveToEx(m_hDC, x, y, nullptr); }
    BOOL LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }
    int DrawText(LPCWSTR psz, int nCount, LPRECT rc, UINT nFormat)
    {
        return ::DrawTextW(m_hDC, psz, nCount, rc, nFormat);
    }
    BOOL GetTextMetrics(TEXTMETRICW* ptm) const { return ::GetTextMetricsW(m_hAttribDC, ptm); }
    SIZE GetTextExtent(LPCWSTR psz, int nCount) const;

    HDC m_hDC = nullptr;        // where drawing goes
    HDC m_hAttribDC = nullptr;  // what is asked about (the same DC but when printing)

protected:
    bool m_bPrinting = false;

private:
    bool m_bOwned = false;
};

// The client area's DC for the life of the object.
class CClientDC : public CDC {
public:
    explicit CClientDC(HWND hWnd);
    ~CClientDC() override;

private:
    HWND m_hWndOwner;
};

// BeginPaint and EndPaint around the life of the object.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(HWND hWnd);
    ~CPaintDC() override;
    PAINTSTRUCT m_ps = {};

private:
    HWND m_hWndOwner;
};
