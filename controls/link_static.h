// A static text of a dialog turned into a link: underlined, blue, red under the pointer,
// dark blue once clicked; a click asks the shell to open the target.
#pragma once
#include "afxwin.h"

class CLinkStatic : public CStatic {
public:
    CLinkStatic() = default;
    ~CLinkStatic() override;

    void SetTarget(const CString& target) { m_strTarget = target; }
    static void OpenTarget(const CString& target);

    // The shell call OpenTarget makes; tests put a recorder here.
    typedef HINSTANCE(WINAPI* ShellExecuteFn)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
    static ShellExecuteFn s_pfnShellExecute;

    BOOL IsHover() const { return m_bHover; }
    BOOL IsVisited() const { return m_bVisited; }
    HFONT UnderlineFont() const { return m_fontUnderline; }

protected:
    void PreSubclassWindow() override;
    void OnMouseMove(UINT nFlags, CPoint point);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    void OnClicked();
    HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
    DECLARE_MESSAGE_MAP()

private:
    void RedrawNow() { RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW); }

    HCURSOR m_hHandCursor = nullptr;
    BOOL m_bHover = FALSE;
    BOOL m_bVisited = FALSE;
    CFont m_fontUnderline;
    CString m_strTarget;
    const COLORREF m_clrHover = RGB(255, 0, 0);
    const COLORREF m_clrNormal = RGB(0, 0, 255);
    const COLORREF m_clrVisited = RGB(5, 34, 143);
};
