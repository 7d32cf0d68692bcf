#include "rotation_page.h"

#include "page_background.h"
#include "resource.h"
#include "slider_binding.h"

namespace {
const SliderBinding kSliders[] = {
    {IDC_ROTATION1, &BoxScene::m_nRotation1, 0, 360, 135},
    {IDC_ROTATION2, &BoxScene::m_nRotation2, 1, 179, 120},
    {IDC_DISTANCE, &BoxScene::m_nDistance, 50, 500, 200},
    {IDC_ZOOM, &BoxScene::m_nZoom, 150, 1200, 750},
};
}

BEGIN_MESSAGE_MAP(CRotationPage, CDialog)
    ON_WM_CTLCOLOR()
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnOK)
END_MESSAGE_MAP()

CRotationPage::CRotationPage(BoxScene* pScene) : m_pScene(pScene)
{
    m_brBackground.Attach(::GetSysColorBrush(COLOR_MENU));
}

BOOL CRotationPage::OnInitDialog()
{
    InitSliderPage(this, m_pScene, kSliders, ARRAYSIZE(kSliders));
    return TRUE;
}

void CRotationPage::DoDataExchange(CDataExchange* pDX)
{
    ExchangeSliders(pDX, m_pScene, kSliders, ARRAYSIZE(kSliders));
}

HBRUSH CRotationPage::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    HBRUSH hbr = PageBackgroundBrush(pDC, nCtlColor, m_brBackground);
    return hbr ? hbr : CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}
