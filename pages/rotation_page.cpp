#include "rotation_page.h"

#include "page_background.h"
#include "resource.h"
#include "slider_binding.h"

namespace {
const SliderBinding kSliders[] = {
    {IDC_ROTATION1, kValueRotation1, IDC_ROTATION1_VALUE},
    {IDC_ROTATION2, kValueRotation2, IDC_ROTATION2_VALUE},
    {IDC_DISTANCE, kValueDistance, IDC_DISTANCE_VALUE},
    {IDC_ZOOM, kValueZoom, IDC_ZOOM_VALUE},
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
