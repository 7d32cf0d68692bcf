// "About Zelmora": the product, its version, and links to its homepage and support.
#pragma once
#include "afxwin.h"
#include "link_static.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();
    BOOL OnInitDialog() override;
    void OnOK() override { EndDialog(IDOK); }  // Escape and the close box end it the same way

    CLinkStatic& HomepageLink() { return m_linkHomepage; }
    CLinkStatic& SupportLink() { return m_linkSupport; }

protected:
    DECLARE_MESSAGE_MAP()

private:
    CLinkStatic m_linkHomepage;
    CLinkStatic m_linkSupport;
};
