#include "slider_binding.h"

void ExchangeSliders(CDataExchange* pDX, BoxScene* pScene, const SliderBinding* pBindings, int nCount)
{
    for (int i = 0; i < nCount; ++i) {
        const SceneValue& v = g_sceneValues[pBindings[i].value];
        int& value = pScene->*v.pField;
        DDX_Slider(pDX, pBindings[i].nID, value);
        DDV_MinMaxSlider(pDX, static_cast<DWORD>(value), static_cast<DWORD>(v.nMin), static_cast<DWORD>(v.nMax));
    }
}

void InitSliderPage(CWnd* pPage, BoxScene* pScene, const SliderBinding* pBindings, int nCount)
{
    pPage->UpdateData(TRUE);
    for (int i = 0; i < nCount; ++i)
        pScene->*g_sceneValues[pBindings[i].value].pField = g_sceneValues[pBindings[i].value].nDefault;
    pPage->UpdateData(FALSE);
}
