#include "afxwnd.h"

#include "afxapp.h"

#include <windowsx.h>

#include <algorithm>
#undef SubclassWindow  // a windowsx.h macro that would hide our member

#include <unordered_map>

namespace {

// One GUI thread: the map needs no lock.
std::unordered_map<HWND, CWnd*>& HandleMap()
{
    static std::unordered_map<HWND, CWnd*> map;
    return map;
}

bool IsCtlColorMessage(UINT message)
{
    return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
}

// The child window a WM_COMMAND, WM_NOTIFY, WM_DRAWITEM or WM_CTLCOLOR is about, or null.
HWND NotifyingChild(UINT message, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        return reinterpret_cast<HWND>(lParam);
    case WM_NOTIFY:
        return lParam ? reinterpret_cast<NMHDR*>(lParam)->hwndFrom : nullptr;
    case WM_DRAWITEM: {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        return dis && dis->CtlType != ODT_MENU ? dis->hwndItem : nullptr;
    }
    default:
        return IsCtlColorMessage(message) ? reinterpret_cast<HWND>(lParam) : nullptr;
    }
}

// The window CreateEx is making: bound to it at its first message.
thread_local CWnd* t_pWndInit = nullptr;

} // namespace

IMPLEMENT_DYNAMIC(CWnd, CObject)

HINSTANCE AfxGetInstanceHandle()
{
    return ::GetModuleHandleW(nullptr);
}

CWnd::~CWnd()
{
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this) {
        if (m_pfnSuper)
            UnsubclassWindow();
        else
            Detach();
    }
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    auto& map = HandleMap();
    auto it = map.find(hWnd);
    return it == map.end() ? nullptr : it->second;
}

BOOL CWnd::Attach(HWND hWnd)
{
    if (!hWnd || m_hWnd || FromHandlePermanent(hWnd))
        return FALSE;
    HandleMap()[hWnd] = this;
    m_hWnd = hWnd;
    return TRUE;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, int x, int y,
                    int cx, int cy, HWND hWndParent, HMENU nIDorHMenu)
{
    if (m_hWnd)
        return FALSE;
    CWnd* pPrevInit = t_pWndInit;
    t_pWndInit = this;
    HWND hWnd = ::CreateWindowExW(dwExStyle, lpszClassName, lpszWindowName, dwStyle, x, y, cx, cy, hWndParent,
                                  nIDorHMenu, AfxGetInstanceHandle(), nullptr);
    t_pWndInit = pPrevInit;
    if (hWnd && m_hWnd != hWnd)
        SubclassWindow(hWnd);  // a system class: its own procedure stays the default
    return m_hWnd != nullptr;
}

LPCWSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon)
{
    static wchar_t name[96];
    wsprintfW(name, L"Afx:%p:%x:%p:%p:%p", AfxGetInstanceHandle(), nClassStyle, hCursor, hbrBackground, hIcon);
    WNDCLASSW wc = {};
    if (!::GetClassInfoW(AfxGetInstanceHandle(), name, &wc)) {
        wc.style = nClassStyle;
        wc.lpfnWndProc = &AfxWndProc;
        wc.hInstance = AfxGetInstanceHandle();
        wc.hIcon = hIcon;
        wc.hCursor = hCursor;
        wc.hbrBackground = hbrBackground;
        wc.lpszClassName = name;
        ::RegisterClassW(&wc);
    }
    return name;
}

HWND CWnd::GetParentOwner() const
{
    HWND hWnd = m_hWnd;
    HWND hParent = nullptr;
    while ((::GetWindowLongW(hWnd, GWL_STYLE) & WS_CHILD) && (hParent = ::GetParent(hWnd)) != nullptr)
        hWnd = hParent;
    return hWnd;
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd)
{
    DWORD style = GetStyle();
    DWORD newStyle = (style & ~dwRemove) | dwAdd;
    if (style == newStyle)
        return FALSE;
    ::SetWindowLongW(m_hWnd, GWL_STYLE, static_cast<LONG>(newStyle));
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND hWnd = m_hWnd;
    if (hWnd && FromHandlePermanent(hWnd) == this)
        HandleMap().erase(hWnd);
    m_hWnd = nullptr;
    return hWnd;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!Attach(hWnd))
        return FALSE;
    PreSubclassWindow();
    auto old = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    if (old != &AfxWndProc)
        m_pfnSuper = old;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    HWND hCtl = pParent ? ::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID)) : nullptr;
    return hCtl ? SubclassWindow(hCtl) : FALSE;
}

HWND CWnd::UnsubclassWindow()
{
    // Put the old procedure back only if nobody has subclassed the window after us.
    if (m_pfnSuper && reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC)) == &AfxWndProc)
        ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    return Detach();
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

BOOL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg)
{
    for (HWND hWnd = pMsg->hwnd; hWnd; hWnd = ::GetParent(hWnd)) {
        CWnd* pWnd = FromHandlePermanent(hWnd);
        if (pWnd && pWnd->PreTranslateMessage(pMsg))
            return TRUE;
        if (hWnd == hWndStop)
            break;
    }
    return FALSE;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = 0;
    if (!OnWndMsg(message, wParam, lParam, &lResult))
        lResult = DefWindowProc(message, wParam, lParam);
    return lResult;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper)
        return ::CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    return DefWindowProc(m_msgCur.message, m_msgCur.wParam, m_msgCur.lParam);
}

const AFX_MSGMAP* CWnd::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = { { 0, 0, 0, 0, AfxSig_end, nullptr } };
    static const AFX_MSGMAP map = { &CCmdTarget::GetThisMessageMap, &entries[0] };
    return &map;
}

const AFX_MSGMAP* CWnd::GetMessageMap() const
{
    return GetThisMessageMap();
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    // A child's notification goes to the child first (reflection); only direct children.
    if (HWND hChild = NotifyingChild(message, lParam)) {
        CWnd* pChild = FromHandlePermanent(hChild);
        if (pChild && pChild != this && ::GetParent(hChild) == m_hWnd &&
            pChild->OnChildNotify(message, wParam, lParam, pResult))
            return TRUE;
    }

    UINT nLookup = message, nCode = 0, nID = 0;
    if (message == WM_COMMAND) {
        // An accelerator's command (code 1, no control) is the same command as a menu's.
        nCode = lParam == 0 ? 0 : HIWORD(wParam);
        nID = LOWORD(wParam);
    } else if (message == WM_NOTIFY) {
        auto* hdr = reinterpret_cast<NMHDR*>(lParam);
        nCode = hdr->code;
        nID = static_cast<UINT>(hdr->idFrom);
    } else if (IsCtlColorMessage(message)) {
        nLookup = WM_CTLCOLOR;
    }

    const AFX_MSGMAP_ENTRY* pEntry = FindEntry(GetMessageMap(), nLookup, nCode, nID);
    if (pEntry)
        return DispatchEntry(pEntry, message, wParam, lParam, pResult);
    // A command no window handles goes on to the application (ID_HELP, say).
    if (message == WM_COMMAND && AfxGetApp() && AfxGetApp()->OnCmdMsg(nID, nCode))
        return TRUE;
    return FALSE;
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    return ReflectChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    UINT nLookup = (IsCtlColorMessage(message) ? WM_CTLCOLOR : message) + WM_REFLECT_BASE;
    UINT nCode = 0;
    if (message == WM_COMMAND)
        nCode = HIWORD(wParam);
    else if (message == WM_NOTIFY)
        nCode = reinterpret_cast<NMHDR*>(lParam)->code;

    const AFX_MSGMAP_ENTRY* pEntry = FindEntry(GetMessageMap(), nLookup, nCode, 0);
    return pEntry ? DispatchEntry(pEntry, message, wParam, lParam, pResult) : FALSE;
}

BOOL CWnd::DispatchEntry(const AFX_MSGMAP_ENTRY* pEntry, UINT message, WPARAM wParam, LPARAM lParam,
                         LRESULT* pResult)
{
    AFX_PMSG pfn = pEntry->pfn;
    *pResult = 0;
    switch (pEntry->nSig) {
    case AfxSig_vv:
        (this->*AfxMemberCast<void (CCmdTarget::*)()>(pfn))();
        return TRUE;
    case AfxSig_vw:
        (this->*AfxMemberCast<void (CCmdTarget::*)(UINT_PTR)>(pfn))(static_cast<UINT_PTR>(wParam));
        return TRUE;
    case AfxSig_vw_id:
        (this->*AfxMemberCast<void (CCmdTarget::*)(UINT)>(pfn))(LOWORD(wParam));
        return TRUE;
    case AfxSig_vwp:
        (this->*AfxMemberCast<void (CCmdTarget::*)(UINT, CPoint)>(pfn))(
            static_cast<UINT>(wParam), CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
        return TRUE;
    case AfxSig_vbw:
        (this->*AfxMemberCast<void (CCmdTarget::*)(BOOL, UINT)>(pfn))(
            static_cast<BOOL>(wParam), static_cast<UINT>(lParam));
        return TRUE;
    case AfxSig_lwl:
        *pResult = (this->*AfxMemberCast<LRESULT (CCmdTarget::*)(WPARAM, LPARAM)>(pfn))(wParam, lParam);
        return TRUE;
    case AfxSig_vNMHDRpl:
        (this->*AfxMemberCast<void (CCmdTarget::*)(NMHDR*, LRESULT*)>(pfn))(
            reinterpret_cast<NMHDR*>(lParam), pResult);
        return TRUE;
    case AfxSig_bv:
        *pResult = (this->*AfxMemberCast<BOOL (CCmdTarget::*)()>(pfn))();
        return TRUE;
    case AfxSig_bvEx:
        return (this->*AfxMemberCast<BOOL (CCmdTarget::*)()>(pfn))();
    case AfxSig_is:
        *pResult = (this->*AfxMemberCast<int (CCmdTarget::*)(LPCREATESTRUCT)>(pfn))(reinterpret_cast<LPCREATESTRUCT>(lParam));
        return TRUE;
    case AfxSig_vwww:
        (this->*AfxMemberCast<void (CCmdTarget::*)(UINT, UINT, UINT)>(pfn))(
            static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        return TRUE;
    case AfxSig_vW:
        (this->*AfxMemberCast<void (CCmdTarget::*)(CWnd*)>(pfn))(FromHandlePermanent(reinterpret_cast<HWND>(wParam)));
        return TRUE;
    case AfxSig_vbh:
        (this->*AfxMemberCast<void (CCmdTarget::*)(BOOL, DWORD)>(pfn))(static_cast<BOOL>(wParam), static_cast<DWORD>(lParam));
        return TRUE;
    case AfxSig_bWww:
        *pResult = (this->*AfxMemberCast<BOOL (CCmdTarget::*)(CWnd*, UINT, UINT)>(pfn))(
            FromHandlePermanent(reinterpret_cast<HWND>(wParam)), LOWORD(lParam), HIWORD(lParam));
        return TRUE;
    case AfxSig_hDWw: {
        CDC dc(reinterpret_cast<HDC>(wParam));
        CWnd* pCtl = FromHandlePermanent(reinterpret_cast<HWND>(lParam));
        CWnd wndTemp;  // a stand-in for a control the framework does not know
        if (!pCtl) {
            wndTemp.m_hWnd = reinterpret_cast<HWND>(lParam);
            pCtl = &wndTemp;
        }
        HBRUSH hbr = (this->*AfxMemberCast<HBRUSH (CCmdTarget::*)(CDC*, CWnd*, UINT)>(pfn))(
            &dc, pCtl, message - WM_CTLCOLORMSGBOX);
        wndTemp.m_hWnd = nullptr;
        *pResult = reinterpret_cast<LRESULT>(hbr);
        return TRUE;
    }
    case AfxSig_hDw: {
        CDC dc(reinterpret_cast<HDC>(wParam));
        HBRUSH hbr = (this->*AfxMemberCast<HBRUSH (CCmdTarget::*)(CDC*, UINT)>(pfn))(
            &dc, message - WM_CTLCOLORMSGBOX);
        *pResult = reinterpret_cast<LRESULT>(hbr);
        return hbr != nullptr;  // no brush: the parent answers
    }
    default:
        return FALSE;
    }
}

HBRUSH CWnd::OnCtlColor(CDC*, CWnd*, UINT)
{
    return reinterpret_cast<HBRUSH>(Default());
}

LRESULT CWnd::CallWndProc(CWnd* pWnd, HWND, UINT message, WPARAM wParam, LPARAM lParam)
{
    MSG saved = pWnd->m_msgCur;
    pWnd->m_msgCur.message = message;
    pWnd->m_msgCur.wParam = wParam;
    pWnd->m_msgCur.lParam = lParam;
    ++pWnd->m_nMsgDepth;

    LRESULT lResult = pWnd->WindowProc(message, wParam, lParam);

    pWnd->m_msgCur = saved;
    if (message == WM_NCDESTROY) {
        // The window is gone: unbind now, delete (if the object owns itself) once no
        // message of it is still on the stack.
        HandleMap().erase(pWnd->m_hWnd);
        pWnd->m_hWnd = nullptr;
        pWnd->m_pfnSuper = nullptr;
        pWnd->m_bDestroyed = true;
    }
    if (--pWnd->m_nMsgDepth == 0 && pWnd->m_bDestroyed) {
        pWnd->m_bDestroyed = false;
        pWnd->PostNcDestroy();
    }
    return lResult;
}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (!pWnd && t_pWndInit) {
        pWnd = t_pWndInit;  // the first message of a window CreateEx is making
        t_pWndInit = nullptr;
        pWnd->Attach(hWnd);
    }
    if (!pWnd)
        return ::DefWindowProcW(hWnd, message, wParam, lParam);
    return CWnd::CallWndProc(pWnd, hWnd, message, wParam, lParam);
}

BOOL CWnd::OnHelpInfo()
{
    // F1: the Help command, to the main window, as the system's own programs do.
    CWnd* pMain = AfxGetMainWnd();
    HWND hTarget = pMain && pMain->m_hWnd ? pMain->m_hWnd : m_hWnd;
    ::SendMessageW(hTarget, WM_COMMAND, ID_HELP, 0);
    return TRUE;
}

BOOL CWnd::DestroyWindow()
{
    return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE;
}

void CWnd::ClientToScreen(LPRECT rc) const
{
    ::MapWindowPoints(m_hWnd, HWND_DESKTOP, reinterpret_cast<POINT*>(rc), 2);
}

void CWnd::ScreenToClient(LPRECT rc) const
{
    ::MapWindowPoints(HWND_DESKTOP, m_hWnd, reinterpret_cast<POINT*>(rc), 2);
}

CString CWnd::GetWindowText() const
{
    CString s;
    int n = ::GetWindowTextLengthW(m_hWnd);
    ::GetWindowTextW(m_hWnd, s.GetBuffer(n + 1), n + 1);
    s.ReleaseBuffer();
    return s;
}

HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon)
{
    return reinterpret_cast<HICON>(
        SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(hIcon)));
}

namespace {

// The window a message box about to appear is centred over, and the hook that does it.
thread_local HWND t_hCentreOver = nullptr;
thread_local HHOOK t_hCentreHook = nullptr;

LRESULT CALLBACK CentreNewBox(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && t_hCentreHook) {
        ::UnhookWindowsHookEx(t_hCentreHook);
        t_hCentreHook = nullptr;
        CenterWindowOver(reinterpret_cast<HWND>(wParam), t_hCentreOver);
        return 0;
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

void CenterWindowOver(HWND hWnd, HWND hOver)
{
    RECT rcOver, rcWnd;
    if (!hOver || !::GetWindowRect(hOver, &rcOver) || !::GetWindowRect(hWnd, &rcWnd))
        return;
    const int w = rcWnd.right - rcWnd.left, h = rcWnd.bottom - rcWnd.top;
    int x = (rcOver.left + rcOver.right - w) / 2, y = (rcOver.top + rcOver.bottom - h) / 2;
    // Kept wholly on the monitor's work area.
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    if (::GetMonitorInfoW(::MonitorFromWindow(hOver, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        x = std::max<int>(work.left, std::min<int>(x, work.right - w));
        y = std::max<int>(work.top, std::min<int>(y, work.bottom - h));
    }
    ::SetWindowPos(hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int CWnd::MessageBox(LPCWSTR pszText, LPCWSTR pszCaption, UINT nType)
{
    // Over the window it is about, not in the middle of the screen.
    t_hCentreOver = m_hWnd ? ::GetAncestor(m_hWnd, GA_ROOT) : nullptr;
    if (t_hCentreOver)
        t_hCentreHook = ::SetWindowsHookExW(WH_CBT, &CentreNewBox, nullptr, ::GetCurrentThreadId());
    const int answer = ::MessageBoxW(m_hWnd, pszText, pszCaption, nType);
    if (t_hCentreHook) {
        ::UnhookWindowsHookEx(t_hCentreHook);
        t_hCentreHook = nullptr;
    }
    return answer;
}

HWND CWnd::FindDlgItem(int nID) const
{
    for (const auto& item : m_dlgItems)
        if (item.first == nID) {
            // Still that control of this window (a control can be destroyed and its number reused).
            if (::IsWindow(item.second) && ::GetParent(item.second) == m_hWnd && ::GetDlgCtrlID(item.second) == nID)
                return item.second;
            break;
        }
    HWND hItem = ::GetDlgItem(m_hWnd, nID);
    for (auto& item : m_dlgItems)
        if (item.first == nID) {
            item.second = hItem;
            return hItem;
        }
    if (hItem)
        m_dlgItems.emplace_back(nID, hItem);
    return hItem;
}
