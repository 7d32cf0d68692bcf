#include "afxgdi.h"

namespace {
LONG g_nGdiLive = 0;  // one GUI thread: no lock
LONG g_nGdiCreated = 0;
}

LONG AfxGdiLiveCount()
{
    return g_nGdiLive;
}

LONG AfxGdiCreatedCount()
{
    return g_nGdiCreated;
}

void AfxGdiCountCreated(const void* h)
{
    if (h) {
        ++g_nGdiLive;
        ++g_nGdiCreated;
    }
}

void AfxGdiCountDeleted(const void* h)
{
    if (h)
        --g_nGdiLive;
}

CDC::~CDC()
{
    if (m_bOwned)
        DeleteDC();
}

BOOL CDC::Attach(HDC hDC)
{
    if (!hDC || m_hDC)
        return FALSE;
    m_hDC = m_hAttribDC = hDC;
    m_bOwned = true;
    AfxGdiCountCreated(hDC);
    return TRUE;
}

HDC CDC::Detach()
{
    HDC hDC = m_hDC;
    if (m_bOwned)
        AfxGdiCountDeleted(hDC);
    m_hDC = m_hAttribDC = nullptr;
    m_bOwned = false;
    return hDC;
}

BOOL CDC::DeleteDC()
{
    bool bOwned = m_bOwned;
    HDC hDC = Detach();
    return bOwned && hDC ? ::DeleteDC(hDC) : FALSE;
}

BOOL CDC::CreateCompatibleDC(CDC* pDC)
{
    return Attach(::CreateCompatibleDC(pDC ? pDC->m_hDC : nullptr));
}

void CDC::FillSolidRect(LPCRECT rc, COLORREF clr)
{
    // ExtTextOut with an opaque rectangle fills without a brush to create.
    COLORREF old = ::SetBkColor(m_hDC, clr);
    ::ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, rc, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, old);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF clr)
{
    RECT rc = {x, y, x + cx, y + cy};
    FillSolidRect(&rc, clr);
}

void CDC::Draw3dRect(LPCRECT rc, COLORREF clrTopLeft, COLORREF clrBottomRight)
{
    int x = rc->left, y = rc->top, cx = rc->right - rc->left, cy = rc->bottom - rc->top;
    FillSolidRect(x, y, cx - 1, 1, clrTopLeft);
    FillSolidRect(x, y, 1, cy - 1, clrTopLeft);
    FillSolidRect(x + cx - 1, y, 1, cy, clrBottomRight);
    FillSolidRect(x, y + cy - 1, cx, 1, clrBottomRight);
}

SIZE CDC::GetTextExtent(LPCWSTR psz, int nCount) const
{
    SIZE size = {};
    if (nCount > 0)
        ::GetTextExtentPoint32W(m_hAttribDC, psz, nCount, &size);
    return size;
}

CClientDC::CClientDC(HWND hWnd) : CDC(::GetDC(hWnd)), m_hWndOwner(hWnd)
{
}

CClientDC::~CClientDC()
{
    if (m_hDC)
        ::ReleaseDC(m_hWndOwner, m_hDC);
}

CPaintDC::CPaintDC(HWND hWnd) : m_hWndOwner(hWnd)
{
    m_hDC = m_hAttribDC = ::BeginPaint(hWnd, &m_ps);
}

CPaintDC::~CPaintDC()
{
    ::EndPaint(m_hWndOwner, &m_ps);
}
