// CWnd: a C++ object bound to an HWND. All windows the framework knows are reached
// through one window procedure, AfxWndProc, and one handle-to-object map.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <utility>
#include <vector>

#include "afxcmd.h"
#include "afxgdi.h"
#include "afxstr.h"
#include "afxtypes.h"

class CDataExchange;

// Moves hWnd so that it is centred over hOver, within the work area of hOver's monitor.
void CenterWindowOver(HWND hWnd, HWND hOver);

class CWnd : public CCmdTarget {
    DECLARE_DYNAMIC(CWnd)
public:
    CWnd() = default;
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    operator HWND() const { return m_hWnd; }
    HWND GetSafeHwnd() const { return m_hWnd; }

    // The object bound to hWnd by Attach, SubclassWindow or creation; null if none.
    static CWnd* FromHandlePermanent(HWND hWnd);

    BOOL Attach(HWND hWnd);
    // Creates a window bound to this object from its first message on (our own classes)
    // or from the moment it exists (the system's classes).
    BOOL CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, int x, int y,
                  int cx, int cy, HWND hWndParent, HMENU nIDorHMenu);
    HWND Detach();
    // Routes the window's messages through this object; the old procedure stays the default.
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();

    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // Offers pMsg to every known window from pMsg->hwnd up to hWndStop, innermost first.
    static BOOL WalkPreTranslateTree(HWND hWndStop, MSG* pMsg);

    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // The default processing: the subclassed procedure, or the system default.
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // A child's own notification, offered to it before its parent handles it.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    BOOL ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

    // Runs DoDataExchange: TRUE copies controls to members, FALSE members to controls.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    virtual void DoDataExchange(CDataExchange*) {}

    // Thin wrappers of the Win32 calls the program uses.
    BOOL DestroyWindow();
    BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
    void MoveWindow(int x, int y, int cx, int cy, BOOL bRepaint = TRUE) { ::MoveWindow(m_hWnd, x, y, cx, cy, bRepaint); }
    void MoveWindow(LPCRECT rc, BOOL bRepaint = TRUE) { MoveWindow(rc->left, rc->top, rc->right - rc->left, rc->bottom - rc->top, bRepaint); }
    void GetClientRect(LPRECT rc) const { ::GetClientRect(m_hWnd, rc); }
    void GetWindowRect(LPRECT rc) const { ::GetWindowRect(m_hWnd, rc); }
    void ClientToScreen(LPRECT rc) const;
    void ScreenToClient(LPRECT rc) const;
    HWND GetParent() const { return ::GetParent(m_hWnd); }
    // The top-level window above this one (itself if it is top-level).
    HWND GetParentOwner() const;
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    BOOL IsWindow() const { return m_hWnd && ::IsWindow(m_hWnd); }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_STYLE)); }
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd);
    BOOL SetWindowPos(HWND hWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags)
    {
        return ::SetWindowPos(m_hWnd, hWndInsertAfter, x, y, cx, cy, nFlags);
    }
    void InvalidateRect(LPCRECT rc, BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, rc, bErase); }
    BOOL RedrawWindow(LPCRECT rc, HRGN hRgn, UINT nFlags) { return ::RedrawWindow(m_hWnd, rc, hRgn, nFlags); }
    HWND SetCapture() { return ::SetCapture(m_hWnd); }
    HFONT GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }
    void SetFont(HFONT hFont, BOOL bRedraw = TRUE) { SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(hFont), bRedraw); }
    HWND GetDlgItemHandle(int nID) const { return ::GetDlgItem(m_hWnd, nID); }
    // The same, remembered: data exchange asks for the same controls on every tick, and the
    // system's lookup walks the children (under Wine, through its server) every time.
    HWND FindDlgItem(int nID) const;
    void SetDlgItemText(int nID, LPCWSTR psz) { ::SetDlgItemTextW(m_hWnd, nID, psz); }
    CString GetWindowText() const;
    void SetWindowText(LPCWSTR psz) { ::SetWindowTextW(m_hWnd, psz); }
    LRESULT SendMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return ::SendMessageW(m_hWnd, msg, wp, lp); }
    BOOL PostMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return ::PostMessageW(m_hWnd, msg, wp, lp); }
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC pfn) { return ::SetTimer(m_hWnd, nIDEvent, nElapse, pfn); }
    BOOL KillTimer(UINT_PTR nIDEvent) { return ::KillTimer(m_hWnd, nIDEvent); }
    HICON SetIcon(HICON hIcon, BOOL bBigIcon);
    void Invalidate(BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
    // Centred over this window's top-level window.
    int MessageBox(LPCWSTR pszText, LPCWSTR pszCaption = nullptr, UINT nType = MB_OK);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    const AFX_MSGMAP* GetMessageMap() const override;

    // Called once the window is bound by subclassing, before any message reaches this object.
    virtual void PreSubclassWindow() {}
    // Called after the window's last message (WM_NCDESTROY), with m_hWnd already null;
    // windows that own themselves delete themselves here.
    virtual void PostNcDestroy() {}

    // The default processing of the message being handled now.
    LRESULT Default();
    // WM_CTLCOLOR default: the system's answer.
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    void OnNcDestroy() { Default(); }
    // WM_HELP (F1): sends the Help command to the application's main window.
    BOOL OnHelpInfo();

    WNDPROC m_pfnSuper = nullptr;

private:
    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    friend INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM);
    friend class CDialog;
    static LRESULT CallWndProc(CWnd* pWnd, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    BOOL DispatchEntry(const AFX_MSGMAP_ENTRY* pEntry, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    void OnFinalNcDestroy();

    MSG m_msgCur = {};          // the message being handled, for Default()
    mutable std::vector<std::pair<int, HWND>> m_dlgItems;  // FindDlgItem's answers
    int m_nMsgDepth = 0;        // messages of this window being handled right now
    bool m_bDestroyed = false;  // WM_NCDESTROY seen while a message was in progress
};

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
HINSTANCE AfxGetInstanceHandle();
// Registers (once) a window class whose messages reach the framework; returns its name,
// valid until the next call.
LPCWSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor = nullptr, HBRUSH hbrBackground = nullptr,
                            HICON hIcon = nullptr);

// The hourglass while an object of this lives: for work the user waits for.
class CWaitCursor {
public:
    CWaitCursor() : m_hPrevious(::SetCursor(::LoadCursorW(nullptr, IDC_WAIT))) {}
    ~CWaitCursor() { ::SetCursor(m_hPrevious); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

private:
    HCURSOR m_hPrevious;
};
