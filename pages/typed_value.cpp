#include "typed_value.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

namespace {

constexpr UINT_PTR kLabelSubclass = 0x5456;  // "TV"
constexpr UINT_PTR kEditSubclass = 0x5457;
constexpr UINT_PTR kTrackbarSubclass = 0x5458;

struct TypedValue {
    CWnd* pPage;
    BoxScene* pScene;
    SliderBinding binding;
    HWND hLabel;
    HWND hEdit = nullptr;
    HWND hTip = nullptr;  // the range, while a number out of it was held to it
    std::wstring tipText;
};

void HideRange(TypedValue* p)
{
    if (HWND hTip = p->hTip) {
        p->hTip = nullptr;
        ::DestroyWindow(hTip);
    }
}

// A balloon under the field saying the range (a tracking tooltip: shown at once, where
// asked, without waiting for the pointer).
void ShowRange(TypedValue* p, const std::wstring& text)
{
    HideRange(p);
    p->tipText = text;
    p->hTip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_BALLOON,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, p->hEdit, nullptr, nullptr,
                                nullptr);
    if (!p->hTip)
        return;
    TTTOOLINFOW tool = {};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    tool.hwnd = p->hEdit;
    tool.lpszText = &p->tipText[0];
    ::SendMessageW(p->hTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    RECT rc;
    ::GetWindowRect(p->hEdit, &rc);
    ::SendMessageW(p->hTip, TTM_TRACKPOSITION, 0, MAKELPARAM((rc.left + rc.right) / 2, rc.bottom));
    ::SendMessageW(p->hTip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
}

void CloseEditor(TypedValue* p)
{
    HideRange(p);
    if (HWND hEdit = p->hEdit) {
        p->hEdit = nullptr;
        // Closed by a key: the keyboard goes back to the trackbar, not to nowhere.
        const bool bHadFocus = ::GetFocus() == hEdit;
        ::DestroyWindow(hEdit);
        if (bHadFocus)
            ::SetFocus(p->pPage->FindDlgItem(p->binding.nID));
    }
}

// Applies the typed number: true when the editor may close (a number within the range).
bool Apply(TypedValue* p)
{
    const SceneValue& v = g_sceneValues[p->binding.value];
    wchar_t text[16] = {};
    ::GetWindowTextW(p->hEdit, text, 16);
    std::wstring digits(text);
    digits.erase(std::remove(digits.begin(), digits.end(), L' '), digits.end());
    if (digits.empty() || digits.size() > 9 || digits.find_first_not_of(L"0123456789") != std::wstring::npos)
        return true;  // nothing usable typed: the value stays as it was
    HideRange(p);
    const long long typed = std::stoll(digits);
    const int value = static_cast<int>(std::clamp<long long>(typed, v.nMin, v.nMax));
    p->pScene->*v.pField = value;
    p->pPage->UpdateData(FALSE);
    if (typed == value)
        return true;
    // Held to the range: the field shows the value used and says what the range is.
    ::SetWindowTextW(p->hEdit, std::to_wstring(value).c_str());
    ::SendMessageW(p->hEdit, EM_SETSEL, 0, -1);
    ShowRange(p, L"From " + std::to_wstring(v.nMin) + L" to " + std::to_wstring(v.nMax));
    return false;
}

LRESULT CALLBACK EditProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data)
{
    auto* p = reinterpret_cast<TypedValue*>(data);
    switch (msg) {
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS | ::DefSubclassProc(hWnd, msg, wParam, lParam);
    case WM_KEYDOWN:
        if (wParam == VK_RETURN) {
            if (Apply(p))
                CloseEditor(p);
            return 0;
        }
        if (wParam == VK_ESCAPE) {
            CloseEditor(p);
            return 0;
        }
        break;
    case WM_CHAR:
        if (wParam == L'\r' || wParam == 27)
            return 0;  // handled at the key: no beep
        break;
    case WM_KILLFOCUS:
        if (p->hEdit == hWnd) {
            Apply(p);
            // Closed after this message: destroying a window inside its own focus change
            // confuses the focus that is moving.
            ::PostMessageW(hWnd, WM_CLOSE, 0, 0);
        }
        break;
    case WM_CLOSE:
        if (p->hEdit == hWnd)
            CloseEditor(p);
        return 0;
    case WM_NCDESTROY:
        ::RemoveWindowSubclass(hWnd, &EditProc, kEditSubclass);
        if (p->hEdit == hWnd)
            p->hEdit = nullptr;
        break;
    }
    return ::DefSubclassProc(hWnd, msg, wParam, lParam);
}

void OpenEditor(TypedValue* p)
{
    if (p->hEdit || !::IsWindowEnabled(p->pPage->FindDlgItem(p->binding.nID)))
        return;  // a resting trackbar's value is not the user's to type
    RECT rc;
    ::GetWindowRect(p->hLabel, &rc);
    ::MapWindowPoints(nullptr, p->pPage->m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
    const int value = p->pScene->*g_sceneValues[p->binding.value].pField;
    p->hEdit = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", std::to_wstring(value).c_str(),
                                 WS_CHILD | WS_VISIBLE | ES_NUMBER | ES_RIGHT | ES_AUTOHSCROLL, rc.left - 8, rc.top,
                                 rc.right - rc.left + 8, rc.bottom - rc.top, p->pPage->m_hWnd, nullptr, nullptr, nullptr);
    if (!p->hEdit)
        return;
    ::SendMessageW(p->hEdit, WM_SETFONT, ::SendMessageW(p->hLabel, WM_GETFONT, 0, 0), FALSE);
    ::SendMessageW(p->hEdit, EM_LIMITTEXT, 9, 0);
    ::SetWindowSubclass(p->hEdit, &EditProc, kEditSubclass, reinterpret_cast<DWORD_PTR>(p));
    ::SetWindowPos(p->hEdit, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ::SetFocus(p->hEdit);
    ::SendMessageW(p->hEdit, EM_SETSEL, 0, -1);
}

LRESULT CALLBACK LabelProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data)
{
    auto* p = reinterpret_cast<TypedValue*>(data);
    switch (msg) {
    case WM_NCHITTEST:
        return HTCLIENT;  // a static lets clicks through to its parent; this one takes them
    case WM_SETCURSOR:
        ::SetCursor(::LoadCursorW(nullptr, IDC_IBEAM));
        return TRUE;
    case WM_LBUTTONDOWN:
        OpenEditor(p);
        return 0;
    case WM_NCDESTROY:
        ::RemoveWindowSubclass(hWnd, &LabelProc, kLabelSubclass);
        CloseEditor(p);
        delete p;
        break;
    }
    return ::DefSubclassProc(hWnd, msg, wParam, lParam);
}

// F2, the Windows key for "edit this", on the trackbar opens its value for typing.
LRESULT CALLBACK TrackbarProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data)
{
    if (msg == WM_KEYDOWN && wParam == VK_F2) {
        OpenEditor(reinterpret_cast<TypedValue*>(data));
        return 0;
    }
    if (msg == WM_NCDESTROY)
        ::RemoveWindowSubclass(hWnd, &TrackbarProc, kTrackbarSubclass);
    return ::DefSubclassProc(hWnd, msg, wParam, lParam);
}

} // namespace

void EnableTypedValues(CWnd* pPage, BoxScene* pScene, const SliderBinding* pBindings, int nCount)
{
    for (int i = 0; i < nCount; ++i) {
        HWND hLabel = pPage->FindDlgItem(pBindings[i].nValueLabelID);
        if (!hLabel)
            continue;
        auto* p = new TypedValue{pPage, pScene, pBindings[i], hLabel, nullptr, nullptr, std::wstring()};
        if (!::SetWindowSubclass(hLabel, &LabelProc, kLabelSubclass, reinterpret_cast<DWORD_PTR>(p))) {
            delete p;
            continue;
        }
        // The label owns p; the trackbar uses it only for a key, never while the page goes.
        if (HWND hTrackbar = pPage->FindDlgItem(pBindings[i].nID))
            ::SetWindowSubclass(hTrackbar, &TrackbarProc, kTrackbarSubclass, reinterpret_cast<DWORD_PTR>(p));
    }
}
