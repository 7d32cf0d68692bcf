#include "box_dlg.h"

#include "resource.h"

BEGIN_MESSAGE_MAP(CBoxDlg, CDialog)
    ON_WM_CLOSE()
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CBoxDlg::CBoxDlg() : CDialog(IDD_ZELMORA_DIALOG, nullptr)
{
    m_hAppIcon = static_cast<HICON>(::LoadImageW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME),
                                                 IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
}

CBoxDlg::~CBoxDlg() = default;

BOOL CBoxDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    for (COLORREF& clr : m_clrFace)
        clr = 0x00FFFFFF;

    SetIcon(m_hAppIcon, TRUE);
    SetIcon(m_hAppIcon, FALSE);
    return TRUE;
}

void CBoxDlg::RefreshPages()
{
}

void CBoxDlg::OnClose()
{
    EndDialog(IDOK);
}
