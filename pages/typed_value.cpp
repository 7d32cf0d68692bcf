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

// The typed text as a whole number: spaces round it, a sign, digits (full-width ones too, as
// an input method types them). False for anything else: "150.5", "1e9", "1,5", "0x10".
bool ParseTyped(const std::wstring& text, long long* pValue, bool* pEmpty)
{
    std::wstring t;
    for (wchar_t c : text) {
        if (c >= 0xFF10 && c <= 0xFF19)
            c = static_cast<wchar_t>(L'0' + (c - 0xFF10));
        else if (c == 0xFF0D || c == 0x2212)
            c = L'-';
        else if (c == 0x3000)
            c = L' ';
        t += c;
    }
    const size_t first = t.find_first_not_of(L' '), last = t.find_last_not_of(L' ');
    *pEmpty = first == std::wstring::npos;
    if (*pEmpty)
        return false;
    t = t.substr(first, last - first + 1);
    const bool bNegative = t[0] == L'-';
    const std::wstring digits = t.substr(t[0] == L'-' || t[0] == L'+' ? 1 : 0);
    if (digits.empty() || digits.size() > 12 || digits.find_first_not_of(L"0123456789") != std::wstring::npos)
        return false;
    *pValue = std::stoll(digits) * (bNegative ? -1 : 1);
    return true;
}

// Applies the typed number: true when the editor may close (a number within the range, or
// nothing typed). Anything but a whole number is refused where it was typed, with the range.
bool Apply(TypedValue* p, bool bClosing)
{
    const SceneValue& v = g_sceneValues[p->binding.value];
    const std::wstring range = L"from " + std::to_wstring(v.nMin) + L" to " + std::to_wstring(v.nMax);
    const int length = ::GetWindowTextLengthW(p->hEdit);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(p->hEdit, &text[0], length + 1)));
    long long typed = 0;
    bool bEmpty = false;
    if (!ParseTyped(text, &typed, &bEmpty)) {
        if (bEmpty || bClosing)
            return true;  // nothing typed, or the field left: the value stays as it was
        ::SendMessageW(p->hEdit, EM_SETSEL, 0, -1);
        ShowRange(p, L"Not a whole number: type one " + range);
        return false;
    }
    HideRange(p);
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
            if (Apply(p, false))
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
            Apply(p, true);
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
                                 WS_CHILD | WS_VISIBLE | ES_RIGHT | ES_AUTOHSCROLL, rc.left - 8, rc.top,
                                 rc.right - rc.left + 8, rc.bottom - rc.top, p->pPage->m_hWnd, nullptr, nullptr, nullptr);
    if (!p->hEdit)
        return;
    ::SendMessageW(p->hEdit, WM_SETFONT, ::SendMessageW(p->hLabel, WM_GETFONT, 0, 0), FALSE);
    // Whatever is typed stays as typed, to be refused with a word if it is not a number.
    ::SendMessageW(p->hEdit, EM_LIMITTEXT, 32, 0);
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
