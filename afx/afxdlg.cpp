#include "afxdlg.h"

#include "afxapp.h"

namespace {
// The dialog being created: bound to its window at the first message that reaches
// the dialog procedure (WM_SETFONT or WM_INITDIALOG), before CreateDialog returns.
thread_local CDialog* t_pDlgInit = nullptr;
}

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
    ON_WM_HELPINFO()
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd)
{
}

INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!t_pDlgInit || CWnd::FromHandlePermanent(hWnd))
        return FALSE;  // everything else reaches the object through AfxWndProc

    CDialog* pDlg = t_pDlgInit;
    t_pDlgInit = nullptr;
    pDlg->SubclassWindow(hWnd);
    // WM_INITDIALOG was sent before we were in the window procedure: hand it over here.
    if (message == WM_INITDIALOG)
        return static_cast<INT_PTR>(CWnd::CallWndProc(pDlg, hWnd, message, wParam, lParam));
    return FALSE;
}

HWND CDialog::CreateFromTemplate(HWND hWndParent)
{
    t_pDlgInit = this;
    HWND hWnd = ::CreateDialogParamW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(m_nIDTemplate), hWndParent,
                                     &AfxDlgProc, reinterpret_cast<LPARAM>(this));
    t_pDlgInit = nullptr;
    return hWnd;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    m_nIDTemplate = nIDTemplate;
    m_pParentWnd = pParentWnd;
    return CreateFromTemplate(pParentWnd ? pParentWnd->m_hWnd : nullptr) != nullptr;
}

HWND CDialog::ModalOwner() const
{
    HWND hOwner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (!hOwner) {
        // Like the system's own dialogs: owned by the application's main window, if any.
        CWnd* pMain = AfxGetMainWnd();
        if (pMain && pMain != this)
            hOwner = pMain->m_hWnd;
    }
    return hOwner ? ::GetAncestor(hOwner, GA_ROOT) : nullptr;
}

INT_PTR CDialog::DoModal()
{
    HWND hOwner = ModalOwner();
    bool bOwnerEnabled = hOwner && ::IsWindowEnabled(hOwner);
    if (bOwnerEnabled)
        ::EnableWindow(hOwner, FALSE);

    m_bInModal = true;
    m_bEndModal = false;
    m_nModalResult = -1;

    if (CreateFromTemplate(hOwner)) {
        bool bShown = (::GetWindowLongW(m_hWnd, GWL_STYLE) & WS_VISIBLE) != 0;
        MSG msg;
        while (!m_bEndModal && m_hWnd) {
            // Show the dialog once it has nothing left to do, unless it is already over.
            if (!bShown && !::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
                ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
                bShown = true;
            }
            if (::GetMessageW(&msg, nullptr, 0, 0) <= 0) {
                // WM_QUIT ends the dialog; the outer loop must see it too.
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                m_nModalResult = -1;
                break;
            }
            if (m_hAccelTable && (msg.hwnd == m_hWnd || ::IsChild(m_hWnd, msg.hwnd)) &&
                ::TranslateAcceleratorW(m_hWnd, m_hAccelTable, &msg))
                continue;
            if (!CWnd::WalkPreTranslateTree(m_hWnd, &msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
    }
    m_bInModal = false;

    // Re-enable the owner before the dialog goes, so that activation returns to it.
    if (bOwnerEnabled)
        ::EnableWindow(hOwner, TRUE);
    if (m_hWnd) {
        if (hOwner && ::GetActiveWindow() == m_hWnd)
            ::SetActiveWindow(hOwner);
        DestroyWindow();
    }
    return m_nModalResult;
}

void CDialog::EndDialog(int nResult)
{
    m_nModalResult = nResult;
    if (m_bInModal) {
        m_bEndModal = true;
        ::PostMessageW(m_hWnd, WM_NULL, 0, 0);  // wake the loop if it is waiting
    } else if (m_hWnd) {
        ::ShowWindow(m_hWnd, SW_HIDE);
    }
}

BOOL CDialog::OnInitDialog()
{
    return TRUE;
}

void CDialog::OnOK()
{
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    // Dialog keys (Tab, arrows, Enter, Escape, mnemonics) for this dialog's own controls.
    bool bInput = (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) ||
                  (pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MOUSELAST);
    if (!bInput || !m_hWnd)
        return FALSE;
    if (pMsg->hwnd != m_hWnd && !::IsChild(m_hWnd, pMsg->hwnd))
        return FALSE;
    return ::IsDialogMessageW(m_hWnd, pMsg);
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        return OnInitDialog();
    return CWnd::WindowProc(message, wParam, lParam);
}
