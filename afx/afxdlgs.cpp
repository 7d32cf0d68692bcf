#include "afxdlgs.h"

#include <cwchar>
#include <string>

#include <commctrl.h>

#include "afxapp.h"

#include <dlgs.h>

namespace {
// Long enough for any path the shell hands back, long-path prefix included.
constexpr size_t kFileBufferChars = 32768;

// The system's dialog (Wine's, both the old and the item dialog) joins the folder and the
// typed name into buffers of MAX_PATH characters when the user confirms, and overruns them
// when the two together are longer: the program dies. So the path the dialog is about to
// form is checked first; one that does not fit is refused with a message and the dialog
// stays open with the text as typed.
constexpr UINT_PTR kConfirmSubclassId = 0x5A46;  // "ZF"

// The file name field: the edit of the name combo box, or the plain edit.
HWND NameEdit(HWND hDlg)
{
    HWND hEdit = nullptr;
    if (HWND hCombo = ::GetDlgItem(hDlg, cmb13))
        hEdit = reinterpret_cast<HWND>(::SendMessageW(hCombo, CBEM_GETEDITCONTROL, 0, 0));
    if (!hEdit)
        hEdit = ::GetDlgItem(hDlg, cmb13) ? ::GetDlgItem(hDlg, cmb13) : ::GetDlgItem(hDlg, edt1);
    return hEdit;
}

std::wstring TypedName(HWND hDlg)
{
    HWND hEdit = NameEdit(hDlg);
    if (!hEdit)
        return std::wstring();
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(hEdit)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(hEdit, &text[0], static_cast<int>(text.size()))));
    return text;
}

bool IsAbsolutePath(const std::wstring& path)
{
    return (path.size() >= 2 && path[1] == L':') || (!path.empty() && (path[0] == L'\\' || path[0] == L'/'));
}

std::wstring FolderOf(HWND hDlg)
{
    int length = static_cast<int>(::SendMessageW(hDlg, CDM_GETFOLDERPATH, 0, 0));
    if (length <= 0)
        return std::wstring();
    std::wstring folder(static_cast<size_t>(length) + 1, L'\0');
    ::SendMessageW(hDlg, CDM_GETFOLDERPATH, static_cast<WPARAM>(folder.size()), reinterpret_cast<LPARAM>(&folder[0]));
    folder.resize(wcslen(folder.c_str()));
    return folder;
}

}  // namespace

size_t FileDialogPathLength(const std::wstring& folder, const std::wstring& typed)
{
    if (IsAbsolutePath(typed))
        return typed.size();
    return folder.size() + (folder.empty() || folder.back() == L'\\' ? 0 : 1) + typed.size();
}

bool FileDialogPathFits(size_t length, size_t appendedExtension)
{
    return length + appendedExtension + 1 <= MAX_PATH;
}

namespace {

// appendedExtension: what the dialog adds to a name without an extension (".png" and the like).
// Under Wine, a Linux path ("/home/me/box.png") as its DOS form ("Z:\\home\\me\\box.png"),
// which the dialog takes; elsewhere (and for anything else) the text as it is.
std::wstring DosFormOfUnixPath(const std::wstring& typed)
{
    using ToDos = WCHAR*(CDECL*)(LPCSTR);
    static const auto toDos = reinterpret_cast<ToDos>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
    if (!toDos || typed.size() < 2 || typed[0] != L'/' || typed[1] == L'/')
        return typed;
    int bytes = ::WideCharToMultiByte(CP_UTF8, 0, typed.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string unixPath(static_cast<size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, typed.c_str(), -1, &unixPath[0], bytes, nullptr, nullptr);
    WCHAR* dos = toDos(unixPath.c_str());
    if (!dos)
        return typed;
    std::wstring result(dos);
    ::HeapFree(::GetProcessHeap(), 0, dos);
    return result;
}

void SetTypedName(HWND hDlg, const std::wstring& text)
{
    if (HWND hEdit = NameEdit(hDlg))
        ::SetWindowTextW(hEdit, text.c_str());
}

LRESULT CALLBACK ConfirmProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                             DWORD_PTR appendedExtension)
{
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
        std::wstring typed = TypedName(hDlg);
        const std::wstring dos = DosFormOfUnixPath(typed);
        if (dos != typed) {
            SetTypedName(hDlg, dos);  // the dialog itself takes only Windows paths
            typed = dos;
        }
        if (!typed.empty()) {
            std::wstring folder = FolderOf(hDlg);
            size_t length = FileDialogPathLength(folder, typed);
            // A folder's name opens the folder: no extension is added to it.
            const std::wstring formed = IsAbsolutePath(typed) ? typed : folder + L"\\" + typed;
            const DWORD attributes = length < MAX_PATH ? ::GetFileAttributesW(formed.c_str()) : INVALID_FILE_ATTRIBUTES;
            if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
                appendedExtension = 0;
            if (!FileDialogPathFits(length, appendedExtension)) {
                wchar_t message[512];
                swprintf(message, 512,
                         L"The path is too long: %zu characters.\n\nA file's full path, its folder included, "
                         L"can have at most %d characters here. Choose a shorter name or a folder nearer the top.",
                         length, static_cast<int>(MAX_PATH - 1 - appendedExtension));
                ::MessageBoxW(hDlg, message, L"Path too long", MB_OK | MB_ICONWARNING);
                return 0;  // the dialog stays open with the text as typed
            }
        }
    }
    if (message == WM_NCDESTROY)
        ::RemoveWindowSubclass(hDlg, &ConfirmProc, kConfirmSubclassId);
    return ::DefSubclassProc(hDlg, message, wParam, lParam);
}

// The dialog-wide set-up of every file dialog: the confirm check and an unlimited name field.
void PrepareFileDialog(HWND hChild, const OPENFILENAMEW* pOfn)
{
    HWND hDlg = ::GetParent(hChild);
    const size_t appended = pOfn && pOfn->lpstrDefExt ? 1 + wcslen(pOfn->lpstrDefExt) : 0;
    ::SetWindowSubclass(hDlg, &ConfirmProc, kConfirmSubclassId, appended);
    // The name field takes whatever is typed; the length is judged when it is confirmed.
    if (HWND hCombo = ::GetDlgItem(hDlg, cmb13)) {
        ::SendMessageW(hCombo, CB_LIMITTEXT, 32767, 0);
        if (HWND hInner = reinterpret_cast<HWND>(::SendMessageW(hCombo, CBEM_GETEDITCONTROL, 0, 0)))
            ::SendMessageW(hInner, EM_LIMITTEXT, 32767, 0);
    }
    if (HWND hEdit = ::GetDlgItem(hDlg, edt1))
        ::SendMessageW(hEdit, EM_LIMITTEXT, 32767, 0);
}
}

UINT_PTR CALLBACK CFileDialog::HookProc(HWND hChild, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        const auto* pOfn = reinterpret_cast<const OPENFILENAMEW*>(lParam);
        PrepareFileDialog(hChild, pOfn);
        auto* pThis = pOfn ? reinterpret_cast<CFileDialog*>(pOfn->lCustData) : nullptr;
        ::SetWindowLongPtrW(hChild, DWLP_USER, reinterpret_cast<LONG_PTR>(pThis));
        if (pThis) {
            pThis->m_hOptions = hChild;
            pThis->m_nCurrentFilter = pOfn->nFilterIndex ? pOfn->nFilterIndex : 1;
        }
        return 0;
    }
    auto* pThis = reinterpret_cast<CFileDialog*>(::GetWindowLongPtrW(hChild, DWLP_USER));
    if (!pThis)
        return 0;
    if (message == WM_COMMAND && lParam) {
        pThis->OnOptionCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    }
    if (message == WM_DESTROY) {
        pThis->m_hOptions = nullptr;
        return 0;
    }
    if (message != WM_NOTIFY)
        return 0;
    const auto* pNotify = reinterpret_cast<const OFNOTIFYW*>(lParam);
    switch (pNotify->hdr.code) {
    case CDN_INITDONE:
        pThis->OnInitDone();
        break;
    case CDN_TYPECHANGE:
        pThis->m_nCurrentFilter = pNotify->lpOFN ? pNotify->lpOFN->nFilterIndex : pThis->m_nCurrentFilter;
        pThis->OnTypeChange();
        break;
    case CDN_FILEOK:
        if (pThis->OnFileNameOK()) {
            ::SetWindowLongPtrW(hChild, DWLP_MSGRESULT, 1);
            return 1;  // the dialog stays open
        }
        break;
    default:
        break;
    }
    return 0;
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
    m_ofn.lpfnHook = &CFileDialog::HookProc;
    m_ofn.lCustData = reinterpret_cast<LPARAM>(this);
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

void CFileDialog::SetFileName(const CString& path)
{
    std::fill(m_fileBuffer.begin(), m_fileBuffer.end(), L'\0');
    wcsncpy(m_fileBuffer.data(), path.GetString(), kFileBufferChars - 1);
    m_ofn.lpstrFile = m_fileBuffer.data();
}

void CFileDialog::SetOptionsTemplate(UINT nIDTemplate)
{
    m_ofn.hInstance = AfxGetInstanceHandle();
    m_ofn.lpTemplateName = MAKEINTRESOURCEW(nIDTemplate);
    m_ofn.Flags |= OFN_ENABLETEMPLATE;
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
