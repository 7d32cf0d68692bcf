#include "preview_size.h"

#include <commctrl.h>

#include <vector>

#include "resource.h"

namespace {
INT_PTR CALLBACK NoDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}
} // namespace

SIZE PreviewSize()
{
    SIZE size = {340, 295};  // the usual size, should the template not load
    HINSTANCE hInstance = ::GetModuleHandleW(nullptr);
    HRSRC hRes = ::FindResourceW(hInstance, MAKEINTRESOURCEW(IDD_ZELMORA_DIALOG), reinterpret_cast<LPCWSTR>(RT_DIALOG));
    HGLOBAL hData = hRes ? ::LoadResource(hInstance, hRes) : nullptr;
    const BYTE* pData = hData ? static_cast<const BYTE*>(::LockResource(hData)) : nullptr;
    DWORD nSize = hRes ? ::SizeofResource(hInstance, hRes) : 0;
    if (!pData || nSize < 16)
        return size;

    // The same template, made invisible: DLGTEMPLATEEX keeps its style at offset 12.
    std::vector<BYTE> copy(pData, pData + nSize);
    DWORD style = 0;
    memcpy(&style, &copy[12], sizeof(style));
    style &= ~WS_VISIBLE;
    memcpy(&copy[12], &style, sizeof(style));

    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_TAB_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&icc);
    HWND hDlg = ::CreateDialogIndirectParamW(hInstance, reinterpret_cast<LPCDLGTEMPLATEW>(copy.data()), nullptr,
                                             &NoDialogProc, 0);
    if (!hDlg)
        return size;
    RECT rc = {};
    if (HWND hPreview = ::GetDlgItem(hDlg, IDC_PREVIEW)) {
        ::GetClientRect(hPreview, &rc);
        size = {rc.right - rc.left, rc.bottom - rc.top};
    }
    ::DestroyWindow(hDlg);
    return size;
}
