#include "templates_page.h"

#include "box_templates.h"
#include "page_background.h"
#include "resource.h"

BEGIN_MESSAGE_MAP(CTemplatesPage, CDialog)
    ON_WM_CTLCOLOR()
    ON_LBN_SELCHANGE(IDC_TEMPLATE_LIST, OnSelChangeTemplates)
    ON_WM_SHOWWINDOW()
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnOK)
END_MESSAGE_MAP()

CTemplatesPage::CTemplatesPage(BoxScene* pScene) : m_pScene(pScene)
{
    m_brBackground.Attach(::GetSysColorBrush(COLOR_MENU));
}

BOOL CTemplatesPage::OnInitDialog()
{
    CListBox list;
    list.Attach(GetDlgItemHandle(IDC_TEMPLATE_LIST));
    for (const BoxTemplate& t : g_boxTemplates)
        list.AddString(t.pszName);
    list.Detach();
    return TRUE;
}

HBRUSH CTemplatesPage::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    HBRUSH hbr = PageBackgroundBrush(pDC, nCtlColor, m_brBackground);
    return hbr ? hbr : CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}

void CTemplatesPage::OnSelChangeTemplates()
{
    CListBox list;
    list.Attach(GetDlgItemHandle(IDC_TEMPLATE_LIST));
    int index = list.GetCurSel();
    list.Detach();
    if (index < 0 || index >= kBoxTemplateCount)
        return;

    const BoxTemplate& t = g_boxTemplates[index];
    m_pScene->m_nRotation1 = t.nRotation1;
    m_pScene->m_nRotation2 = t.nRotation2;
    m_pScene->m_nDistance = t.nDistance;
    m_pScene->m_nZoom = t.nZoom;
    m_pScene->m_nCentreX = 0;  // a template's view has the box in the middle
    m_pScene->m_nCentreY = 0;
    // "Keep box size": the template's view only; the box, its light and background stay.
    if (::IsDlgButtonChecked(m_hWnd, IDC_KEEP_BOX_SIZE) == BST_CHECKED) {
        m_pScene->RefreshPages();
        return;
    }
    m_pScene->m_nWidth = t.nWidth;
    m_pScene->m_nHeight = t.nHeight;
    m_pScene->m_nDepth = t.nDepth;
    m_pScene->m_nAmbient = t.nAmbient;
    m_pScene->m_nDiffuse = t.nDiffuse;
    m_pScene->m_clrBackground = t.clrBackground;
    m_pScene->RefreshPages();
}

void CTemplatesPage::OnShowWindow(BOOL bShow, UINT)
{
    Default();
    // Each time the page comes to the front no name is selected, so any click applies.
    if (bShow)
        ::SendDlgItemMessageW(m_hWnd, IDC_TEMPLATE_LIST, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}
