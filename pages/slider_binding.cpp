#include "slider_binding.h"

#include "typed_value.h"

#include <commctrl.h>

#include <string>

namespace {

// Writes the value only when it differs from the one shown: the exchange runs every tick.
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
}
