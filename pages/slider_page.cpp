#include "slider_page.h"

#include "page_background.h"

BEGIN_MESSAGE_MAP(CSliderPage, CDialog)
    ON_WM_CTLCOLOR()
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnOK)
END_MESSAGE_MAP()

CSliderPage::CSliderPage(BoxScene* pScene, const SliderBinding* pBindings, int nCount)
    : m_pScene(pScene), m_pBindings(pBindings), m_nCount(nCount)
{
    m_brBackground.Attach(::GetSysColorBrush(COLOR_MENU));
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

HBRUSH CSliderPage::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    HBRUSH hbr = PageBackgroundBrush(pDC, nCtlColor, m_brBackground);
    return hbr ? hbr : CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}
