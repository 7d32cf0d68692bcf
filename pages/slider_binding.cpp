#include "slider_binding.h"

void ExchangeSliders(CDataExchange* pDX, BoxScene* pScene, const SliderBinding* pBindings, int nCount)
{
    for (int i = 0; i < nCount; ++i) {
        const SliderBinding& b = pBindings[i];
        int& value = pScene->*b.pField;
        DDX_Slider(pDX, b.nID, value);
        DDV_MinMaxSlider(pDX, static_cast<DWORD>(value), static_cast<DWORD>(b.nMin), static_cast<DWORD>(b.nMax));
    }
}

void InitSliderPage(CWnd* pPage, BoxScene* pScene, const SliderBinding* pBindings, int nCount)
{
    pPage->UpdateData(TRUE);
    for (int i = 0; i < nCount; ++i)
        pScene->*pBindings[i].pField = pBindings[i].nDefault;
    pPage->UpdateData(FALSE);
}
