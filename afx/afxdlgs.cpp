#include "afxdlgs.h"

#include <cwchar>

#include "afxapp.h"

#include <dlgs.h>

namespace {
// Long enough for any path the shell hands back, long-path prefix included.
constexpr size_t kFileBufferChars = 32768;

// The system's dialog (Wine's, both the old and the item dialog) copies the folder and the
// typed name into buffers of MAX_PATH characters and overruns them when the two together
// are longer: the program dies. So the name field takes no more than fits.
void LimitTypedName(HWND hDlg)
{
    // The dialog joins the folder, a separator, the name and the file type's extension.
    constexpr int kSeparatorAndExtension = 1 + 8;
    int folder = static_cast<int>(::SendMessageW(hDlg, CDM_GETFOLDERPATH, 0, 0));  // length with terminator
    int limit = MAX_PATH - kSeparatorAndExtension - (folder > 0 ? folder : 0);
    if (limit < 16)
        limit = 16;  // a deep folder: short names still work, an absolute path still fits
    if (HWND hCombo = ::GetDlgItem(hDlg, cmb13)) {
        // An extended combo box does not pass the limit on to its edit: tell the edit itself.
        ::SendMessageW(hCombo, CB_LIMITTEXT, static_cast<WPARAM>(limit), 0);
        if (HWND hInner = reinterpret_cast<HWND>(::SendMessageW(hCombo, CBEM_GETEDITCONTROL, 0, 0)))
            ::SendMessageW(hInner, EM_LIMITTEXT, static_cast<WPARAM>(limit), 0);
    }
    if (HWND hEdit = ::GetDlgItem(hDlg, edt1))
        ::SendMessageW(hEdit, EM_LIMITTEXT, static_cast<WPARAM>(limit), 0);
}

UINT_PTR CALLBACK FileDialogHook(HWND hChild, UINT message, WPARAM, LPARAM lParam)
{
    if (message == WM_INITDIALOG ||
        (message == WM_NOTIFY && reinterpret_cast<OFNOTIFYW*>(lParam)->hdr.code == CDN_FOLDERCHANGE))
        LimitTypedName(::GetParent(hChild));
    return 0;
}
}

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCWSTR lpszDefExt, LPCWSTR lpszFileName, DWORD dwFlags,
                         LPCWSTR lpszFilter, CWnd* pParentWnd)
    : m_bOpenFileDialog(bOpenFileDialog), m_pParentWnd(pParentWnd), m_strDefExt(lpszDefExt),
      m_fileBuffer(kFileBufferChars, L'\0')
{
    if (lpszFilter) {
        for (const wchar_t* p = lpszFilter; *p; ++p)
            m_filter.push_back(*p == L'|' ? L'\0' : *p);
        m_filter.push_back(L'\0');
        m_filter.push_back(L'\0');
    }
    if (lpszFileName)
        wcsncpy(m_fileBuffer.data(), lpszFileName, kFileBufferChars - 1);

    m_ofn.lStructSize = sizeof(m_ofn);
    m_ofn.lpstrFilter = m_filter.empty() ? nullptr : m_filter.data();
    m_ofn.nFilterIndex = 1;
    m_ofn.lpstrFile = m_fileBuffer.data();
    m_ofn.nMaxFile = static_cast<DWORD>(kFileBufferChars);
    m_ofn.lpstrDefExt = m_strDefExt.IsEmpty() ? nullptr : m_strDefExt.GetString();
    m_ofn.Flags = dwFlags | OFN_EXPLORER | OFN_ENABLESIZING | OFN_ENABLEHOOK;
    m_ofn.lpfnHook = &FileDialogHook;
}

INT_PTR CFileDialog::DoModal()
{
    HWND hOwner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (!hOwner && AfxGetMainWnd())
        hOwner = AfxGetMainWnd()->m_hWnd;
    m_ofn.hwndOwner = hOwner;

    std::vector<wchar_t> previous = m_fileBuffer;
    BOOL ok = m_bOpenFileDialog ? ::GetOpenFileNameW(&m_ofn) : ::GetSaveFileNameW(&m_ofn);
    if (!ok) {
        m_fileBuffer = previous;  // a failed or cancelled run keeps the last good name
        m_ofn.lpstrFile = m_fileBuffer.data();
        return IDCANCEL;
    }
    return IDOK;
}

CString CFileDialog::GetPathName() const
{
    return CString(m_fileBuffer.data());
}

CString CFileDialog::GetFileName() const
{
    CString path = GetPathName();
    int slash = path.ReverseFind(L'\\');
    int forward = path.ReverseFind(L'/');
    return path.Mid((slash > forward ? slash : forward) + 1);
}

CString CFileDialog::GetFileExt() const
{
    CString name = GetFileName();
    int dot = name.ReverseFind(L'.');
    return dot < 0 ? CString() : name.Mid(dot + 1);
}

CColorDialog::CColorDialog(COLORREF clrInit, DWORD dwFlags, CWnd* pParentWnd) : m_pParentWnd(pParentWnd)
{
    for (COLORREF& c : m_customColours)
        c = RGB(255, 255, 255);
    m_cc.lStructSize = sizeof(m_cc);
    m_cc.rgbResult = clrInit;
    m_cc.lpCustColors = m_customColours;
    m_cc.Flags = dwFlags;
}

INT_PTR CColorDialog::DoModal()
{
    HWND hOwner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (!hOwner && AfxGetMainWnd())
        hOwner = AfxGetMainWnd()->m_hWnd;
    m_cc.hwndOwner = hOwner;
    COLORREF previous = m_cc.rgbResult;
    if (!::ChooseColorW(&m_cc)) {
        m_cc.rgbResult = previous;
        return IDCANCEL;
    }
    return IDOK;
}
