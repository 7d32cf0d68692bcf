#include "link_static.h"

#include <shellapi.h>

CLinkStatic::ShellExecuteFn CLinkStatic::s_pfnShellExecute = &::ShellExecuteW;

BEGIN_MESSAGE_MAP(CLinkStatic, CStatic)
    ON_WM_MOUSEMOVE()
    ON_WM_SETCURSOR()
    ON_CONTROL_REFLECT(STN_CLICKED, OnClicked)
    ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

CLinkStatic::~CLinkStatic()
{
    m_fontUnderline.DeleteObject();
}

void CLinkStatic::PreSubclassWindow()
{
    ModifyStyle(0, SS_NOTIFY);  // a static reports clicks only with it

    LOGFONTW lf = {};
    HFONT hFont = GetFont();
    if (hFont && ::GetObjectW(hFont, sizeof(lf), &lf)) {
        lf.lfUnderline = TRUE;
        m_fontUnderline.CreateFontIndirect(&lf);
        SetFont(m_fontUnderline, TRUE);
    }

    // The system's hand; the arrow where there is none.
    m_hHandCursor = ::LoadCursorW(nullptr, IDC_HAND);
    if (!m_hHandCursor)
        m_hHandCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    CStatic::PreSubclassWindow();
}

void CLinkStatic::OpenTarget(const CString& target)
{
    // Shown normally: a minimised browser would look as if the click did nothing.
    s_pfnShellExecute(nullptr, L"open", target, nullptr, nullptr, SW_SHOWNORMAL);
}

BOOL CLinkStatic::OnSetCursor(CWnd*, UINT, UINT)
{
    ::SetCursor(m_hHandCursor);
    return TRUE;
}

void CLinkStatic::OnMouseMove(UINT, CPoint point)
{
    Default();
    if (m_bHover) {
        CRect rc;
        GetClientRect(&rc);
        if (rc.PtInRect(point))
            return;
        m_bHover = FALSE;
        ::ReleaseCapture();
        RedrawNow();
        return;
    }
    m_bHover = TRUE;
    RedrawNow();
    SetCapture();  // to see the pointer leave
}

void CLinkStatic::OnClicked()
{
    OpenTarget(CString(m_strTarget));
    m_bVisited = TRUE;
    InvalidateRect(nullptr, TRUE);
}

HBRUSH CLinkStatic::CtlColor(CDC* pDC, UINT)
{
    pDC->SetTextColor(m_bVisited ? m_clrVisited : m_bHover ? m_clrHover : m_clrNormal);
    pDC->SetBkMode(TRANSPARENT);
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}
