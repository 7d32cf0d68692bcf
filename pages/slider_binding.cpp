#include "slider_binding.h"

#include "typed_value.h"

#include <commctrl.h>

#include <string>

namespace {

constexpr UINT_PTR kSliderSubclass = 0x5A534C;  // "ZSL"

// Does the label beside a trackbar show this value already (and the trackbar with it)?
bool Shows(CWnd* pPage, int nLabelID, int value)
{
    HWND hLabel = pPage->FindDlgItem(nLabelID);
    return hLabel && ::GetWindowLongPtrW(hLabel, GWLP_USERDATA) == value + 1;
}

// A trackbar moved (by the mouse, a key, the wheel): the page's values go to the scene at
// once, so that nothing needs to read the trackbars while nothing moves.
LRESULT CALLBACK TakeSliderProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data)
{
    if (msg == WM_NCDESTROY)
        ::RemoveWindowSubclass(hWnd, &TakeSliderProc, kSliderSubclass);
    const LRESULT result = ::DefSubclassProc(hWnd, msg, wParam, lParam);
    if ((msg == WM_HSCROLL || msg == WM_VSCROLL) && lParam)
        reinterpret_cast<CWnd*>(data)->UpdateData(TRUE);
    return result;
}

// Writes the value only when it differs from the one shown.
void ShowValue(CWnd* pPage, int nLabelID, int value)
{
    HWND hLabel = pPage->FindDlgItem(nLabelID);
    if (!hLabel)
        return;
    const LONG_PTR shown = value + 1;  // 0: nothing shown yet
    if (::GetWindowLongPtrW(hLabel, GWLP_USERDATA) == shown)
        return;
    ::SetWindowLongPtrW(hLabel, GWLP_USERDATA, shown);
    ::SetWindowTextW(hLabel, std::to_wstring(value).c_str());
}

} // namespace

void ShowRestingSlider(CWnd* pPage, const SliderBinding& binding, int value)
{
    const SceneValue& v = g_sceneValues[binding.value];
    const int shown = value < v.nMin ? v.nMin : value > v.nMax ? v.nMax : value;
    ::SendMessageW(pPage->FindDlgItem(binding.nID), TBM_SETPOS, TRUE, shown);
    ShowValue(pPage, binding.nValueLabelID, shown);
}

void ShowSceneSlider(CWnd* pPage, BoxScene* pScene, const SliderBinding& binding)
{
    const int value = pScene->*g_sceneValues[binding.value].pField;
    ::SendMessageW(pPage->FindDlgItem(binding.nID), TBM_SETPOS, TRUE, value);
    ShowValue(pPage, binding.nValueLabelID, value);
}

void ExchangeSliders(CDataExchange* pDX, BoxScene* pScene, const SliderBinding* pBindings, int nCount)
{
    for (int i = 0; i < nCount; ++i) {
        HWND hSlider = pDX->m_pDlgWnd->FindDlgItem(pBindings[i].nID);
        if (hSlider && !::IsWindowEnabled(hSlider))
            continue;  // resting: it shows something else than its value (a book's size)
        const SceneValue& v = g_sceneValues[pBindings[i].value];
        int& value = pScene->*v.pField;
        if (!pDX->m_bSaveAndValidate && Shows(pDX->m_pDlgWnd, pBindings[i].nValueLabelID, value))
            continue;  // shown already: no message to the trackbar at all
        DDX_Slider(pDX, pBindings[i].nID, value);
        DDV_MinMaxSlider(pDX, static_cast<DWORD>(value), static_cast<DWORD>(v.nMin), static_cast<DWORD>(v.nMax));
        ShowValue(pDX->m_pDlgWnd, pBindings[i].nValueLabelID, value);
    }
}

void InitSliderPage(CWnd* pPage, BoxScene* pScene, const SliderBinding* pBindings, int nCount)
{
    pPage->UpdateData(TRUE);
    for (int i = 0; i < nCount; ++i)
        pScene->*g_sceneValues[pBindings[i].value].pField = g_sceneValues[pBindings[i].value].nDefault;
    pPage->UpdateData(FALSE);
    EnableTypedValues(pPage, pScene, pBindings, nCount);
    ::SetWindowSubclass(pPage->m_hWnd, &TakeSliderProc, kSliderSubclass, reinterpret_cast<DWORD_PTR>(pPage));
}
