#include "dimensions_page.h"

#include "page_background.h"
#include "resource.h"
#include "slider_binding.h"

namespace {
const SliderBinding kSliders[] = {
    {IDC_WIDTH, kValueWidth, IDC_WIDTH_VALUE},
    {IDC_HEIGHT, kValueHeight, IDC_HEIGHT_VALUE},
    {IDC_DEPTH, kValueDepth, IDC_DEPTH_VALUE},
};
}

BEGIN_MESSAGE_MAP(CDimensionsPage, CDialog)
    ON_WM_CTLCOLOR()
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnOK)
END_MESSAGE_MAP()

CDimensionsPage::CDimensionsPage(BoxScene* pScene) : m_pScene(pScene)
{
    m_brBackground.Attach(::GetSysColorBrush(COLOR_MENU));
}

BOOL CDimensionsPage::OnInitDialog()
{
    InitSliderPage(this, m_pScene, kSliders, ARRAYSIZE(kSliders));
    return TRUE;
}

void CDimensionsPage::DoDataExchange(CDataExchange* pDX)
{
    ExchangeSliders(pDX, m_pScene, kSliders, ARRAYSIZE(kSliders));
}

HBRUSH CDimensionsPage::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    HBRUSH hbr = PageBackgroundBrush(pDC, nCtlColor, m_brBackground);
    return hbr ? hbr : CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}
