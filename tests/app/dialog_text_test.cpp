// Every label of every dialog in the program's resources shows its whole text in the
// dialog's own font: none is cut at its right edge or below.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

namespace {

INT_PTR CALLBACK QuietDialog(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

BOOL CALLBACK CollectDialog(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param)
{
    reinterpret_cast<std::vector<LPCWSTR>*>(param)->push_back(name);  // all integer ids here
    return TRUE;
}

std::wstring ClassOf(HWND hWnd)
{
    wchar_t name[64] = {};
    ::GetClassNameW(hWnd, name, 64);
    return name;
}

} // namespace

TEST(DialogText, EveryLabelShowsItsWholeText)
{
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    HMODULE hModule = ::GetModuleHandleW(nullptr);
    std::vector<LPCWSTR> dialogs;
    ::EnumResourceNamesW(hModule, RT_DIALOG, &CollectDialog, reinterpret_cast<LONG_PTR>(&dialogs));
    ASSERT_GT(dialogs.size(), 5u);
    HWND hParent = ::CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr, hModule, nullptr);
    int checked = 0;
    for (LPCWSTR id : dialogs) {
        SCOPED_TRACE(testing::Message() << "dialog " << reinterpret_cast<ULONG_PTR>(id));
        HWND hDlg = ::CreateDialogParamW(hModule, id, hParent, &QuietDialog, 0);
        if (!hDlg)
            continue;  // a template whose controls need the program's own classes registered
        HDC hdc = ::GetDC(hDlg);
        HGDIOBJ hOld = ::SelectObject(hdc, reinterpret_cast<HFONT>(::SendMessageW(hDlg, WM_GETFONT, 0, 0)));
        for (HWND hChild = ::GetWindow(hDlg, GW_CHILD); hChild; hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
            const std::wstring kind = ClassOf(hChild);
            const LONG style = ::GetWindowLongW(hChild, GWL_STYLE);
            const bool bLabel = kind == L"Static" && (style & SS_TYPEMASK) <= SS_RIGHT;
            const bool bCheck = kind == L"Button" && ((style & BS_TYPEMASK) == BS_AUTOCHECKBOX ||
                                                      (style & BS_TYPEMASK) == BS_AUTORADIOBUTTON);
            wchar_t text[512] = {};
            ::GetWindowTextW(hChild, text, 512);
            if ((!bLabel && !bCheck) || !text[0])
                continue;
            RECT client;
            ::GetClientRect(hChild, &client);
            const int room = client.right - (bCheck ? ::GetSystemMetrics(SM_CXMENUCHECK) + 4 : 0);
            RECT need = {0, 0, room, 0};
            ::DrawTextW(hdc, text, -1, &need, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
            EXPECT_LE(need.right, room) << "\"" << text << "\" is cut at its right";
            EXPECT_LE(need.bottom, client.bottom) << "\"" << text << "\" is cut below";
            ++checked;
        }
        ::SelectObject(hdc, hOld);
        ::ReleaseDC(hDlg, hdc);
        ::DestroyWindow(hDlg);
    }
    ::DestroyWindow(hParent);
    EXPECT_GT(checked, 20);
}
