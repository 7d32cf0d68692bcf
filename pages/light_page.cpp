#include "light_page.h"

#include "colour.h"
#include "resource.h"
#include "slider_binding.h"

namespace {
const SliderBinding kSliders[] = {
    {IDC_AMBIENT, kValueAmbient, IDC_AMBIENT_VALUE},
    {IDC_DIFFUSE, kValueDiffuse, IDC_DIFFUSE_VALUE},
    {IDC_TOP_LIGHT, kValueTopLight, IDC_TOP_LIGHT_VALUE},
};
}

BEGIN_MESSAGE_MAP(CLightPage, CScenePage)
    ON_BN_CLICKED(IDC_SELECT_BACKGROUND, OnSelectBackgroundColour)
END_MESSAGE_MAP()

CLightPage::CLightPage(BoxScene* pScene)
    : CScenePage(pScene), m_dlgColour(0x00FFFFFF, CC_RGBINIT | CC_FULLOPEN | CC_ANYCOLOR, nullptr)
{
    m_pScene->m_clrBackground = 0xFFFFFFFF;
}

BOOL CLightPage::OnInitDialog()
{
    InitSliderPage(this, m_pScene, kSliders, ARRAYSIZE(kSliders));
    return TRUE;
}

void CLightPage::DoDataExchange(CDataExchange* pDX)
{
    ExchangeSliders(pDX, m_pScene, kSliders, ARRAYSIZE(kSliders));
}


void CLightPage::OnSelectBackgroundColour()
{
    if (m_dlgColour.DoModal() != IDOK)
        return;
    m_pScene->m_clrBackground = ColorRefToD3DColor(m_dlgColour.GetColor());
}
