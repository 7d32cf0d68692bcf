#include "slider_page.h"

CSliderPage::CSliderPage(BoxScene* pScene, const SliderBinding* pBindings, int nCount)
    : CScenePage(pScene), m_pBindings(pBindings), m_nCount(nCount)
{
}

BOOL CSliderPage::OnInitDialog()
{
    InitSliderPage(this, m_pScene, m_pBindings, m_nCount);
    return TRUE;
}

void CSliderPage::DoDataExchange(CDataExchange* pDX)
{
    ExchangeSliders(pDX, m_pScene, m_pBindings, m_nCount);
}

bool CSliderPage::ShowsValue(SceneValueIndex value) const
{
    for (int i = 0; i < m_nCount; ++i)
        if (m_pBindings[i].value == value)
            return true;
    return false;
}

