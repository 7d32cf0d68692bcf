#include "about_dlg.h"

#include "product.h"
#include "resource.h"

BEGIN_MESSAGE_MAP(CAboutDlg, CDialog)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnOK)
END_MESSAGE_MAP()

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX, nullptr)
{
}

BOOL CAboutDlg::OnInitDialog()
{
    m_linkHomepage.SubclassDlgItem(IDC_LINK_HOMEPAGE, this);
    m_linkSupport.SubclassDlgItem(IDC_LINK_SUPPORT, this);
    m_linkHomepage.SetTarget(ZELMORA_HOMEPAGE_W);
    m_linkSupport.SetTarget(L"mailto:" ZELMORA_SUPPORT_EMAIL_W);
    CenterWindowOver(m_hWnd, ::GetWindow(m_hWnd, GW_OWNER));
    return TRUE;
}
