// The main window's size: it can be resized and maximized; the preview takes the room the
// window gives it while the pages keep their size at the right; the smallest window is the
// one the template lays out. Where it was, how large, and whether maximized are kept for
// the user in the registry.
#include <algorithm>

#include "box_dlg.h"
#include "resource.h"
#include "user_settings.h"

namespace {

const wchar_t kPlacementValue[] = L"Window";

// Each control's edges move with the window's right and bottom edges, or stay.
struct Anchor {
    int nID;
    bool bLeftMoves, bTopMoves, bRightMoves, bBottomMoves;
};
const Anchor kAnchors[] = {
    {IDC_PREVIEW, false, false, true, true},
    {IDC_TAB_PAGES, true, false, true, false},
    {IDC_ABOUT, false, true, false, true},
    {IDC_SCENE, true, true, true, true},
    {IDC_SAVE_IMAGE, true, true, true, true},
};

} // namespace

void CBoxDlg::RememberLayout()
{
    CRect rc;
    ::GetClientRect(m_hWnd, &rc);
    m_szInitialClient = {rc.Width(), rc.Height()};
    ::GetWindowRect(m_hWnd, &rc);
    m_szMinWindow = {rc.Width(), rc.Height()};
    m_rcInitialControls.clear();
    for (const Anchor& anchor : kAnchors) {
        CRect rcControl;
        HWND hControl = GetDlgItemHandle(anchor.nID);
        ::GetWindowRect(hControl, &rcControl);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rcControl), 2);
        m_rcInitialControls.push_back(rcControl);
    }
}

LRESULT CBoxDlg::OnSizeMessage(WPARAM wParam, LPARAM lParam)
{
    if (wParam == SIZE_MINIMIZED || m_rcInitialControls.empty())
        return 0;
    const int dx = std::max(0, static_cast<int>(LOWORD(lParam)) - static_cast<int>(m_szInitialClient.cx));
    const int dy = std::max(0, static_cast<int>(HIWORD(lParam)) - static_cast<int>(m_szInitialClient.cy));
    HDWP hdwp = ::BeginDeferWindowPos(static_cast<int>(ARRAYSIZE(kAnchors)));
    for (size_t i = 0; i < ARRAYSIZE(kAnchors) && hdwp; ++i) {
        const Anchor& a = kAnchors[i];
        CRect rc = m_rcInitialControls[i];
        rc.left += a.bLeftMoves ? dx : 0;
        rc.right += a.bRightMoves ? dx : 0;
        rc.top += a.bTopMoves ? dy : 0;
        rc.bottom += a.bBottomMoves ? dy : 0;
        hdwp = ::DeferWindowPos(hdwp, GetDlgItemHandle(a.nID), nullptr, rc.left, rc.top, rc.Width(), rc.Height(),
                                SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (hdwp)
        ::EndDeferWindowPos(hdwp);
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
    return 0;
}

LRESULT CBoxDlg::OnGetMinMaxInfo(WPARAM, LPARAM lParam)
{
    if (m_szMinWindow.cx > 0) {
        auto* pInfo = reinterpret_cast<MINMAXINFO*>(lParam);
        pInfo->ptMinTrackSize.x = m_szMinWindow.cx;
        pInfo->ptMinTrackSize.y = m_szMinWindow.cy;
    }
    return 0;
}

namespace {

// What is kept: the restored window's top-left corner and client size (not its outer size:
// frames differ between window managers and styles), and whether it was maximized.
struct KeptPlacement {
    LONG left, top, clientWidth, clientHeight;
    LONG maximized;
};

// The frame around a client area for the window's style: its outer rectangle less the client.
RECT FrameMargins(HWND hWnd)
{
    RECT frame = {};
    ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongPtrW(hWnd, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongPtrW(hWnd, GWL_EXSTYLE)));
    return frame;  // left and top negative
}

} // namespace

void CBoxDlg::RestoreWindowPlacement()
{
    KeptPlacement kept = {};
    DWORD size = sizeof(kept);
    if (::RegGetValueW(HKEY_CURRENT_USER, kUserSettingsKey, kPlacementValue, RRF_RT_REG_BINARY, nullptr, &kept, &size) !=
            ERROR_SUCCESS ||
        size != sizeof(kept))
        return;
    const RECT frame = FrameMargins(m_hWnd);
    CRect rc(kept.left, kept.top,
             kept.left + std::max(kept.clientWidth, m_szInitialClient.cx) + frame.right - frame.left,
             kept.top + std::max(kept.clientHeight, m_szInitialClient.cy) + frame.bottom - frame.top);
    // Wholly on a monitor there now (the nearest: the one it was on may be gone), no larger
    // than its work area, never under a taskbar or with its title bar off the screen.
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    if (!::GetMonitorInfoW(::MonitorFromRect(&rc, MONITOR_DEFAULTTONEAREST), &monitor))
        return;
    const CRect work(monitor.rcWork);
    const int width = std::min<int>(rc.Width(), std::max<int>(work.Width(), m_szInitialClient.cx + frame.right - frame.left));
    const int height =
        std::min<int>(rc.Height(), std::max<int>(work.Height(), m_szInitialClient.cy + frame.bottom - frame.top));
    const int left = std::max<int>(work.left, std::min<int>(rc.left, work.right - width));
    const int top = std::max<int>(work.top, std::min<int>(rc.top, work.bottom - height));
    rc = CRect(left, top, left + width, top + height);
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    ::GetWindowPlacement(m_hWnd, &placement);
    placement.rcNormalPosition = rc;
    placement.showCmd = kept.maximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    placement.flags = 0;
    ::SetWindowPlacement(m_hWnd, &placement);
}

void CBoxDlg::SaveWindowPlacement() const
{
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    if (!::GetWindowPlacement(m_hWnd, &placement))
        return;
    const RECT frame = FrameMargins(m_hWnd);
    const CRect rc(placement.rcNormalPosition);
    const KeptPlacement kept = {rc.left, rc.top, rc.Width() - (frame.right - frame.left),
                                rc.Height() - (frame.bottom - frame.top), placement.showCmd == SW_SHOWMAXIMIZED};
    HKEY hKey = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, kUserSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &hKey, nullptr) !=
        ERROR_SUCCESS)
        return;
    ::RegSetValueExW(hKey, kPlacementValue, 0, REG_BINARY, reinterpret_cast<const BYTE*>(&kept), sizeof(kept));
    ::RegCloseKey(hKey);
}
