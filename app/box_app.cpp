#include "box_app.h"

#include "box_dlg.h"

CBoxApp theApp;

BEGIN_MESSAGE_MAP(CBoxApp, CWinApp)
    ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()

CBoxApp::CBoxApp() : CWinApp(nullptr)
{
}

BOOL CBoxApp::InitInstance()
{
    ::InitCommonControls();
    CWinApp::InitInstance();
    AfxEnableControlContainer();

    auto* pDlg = new CBoxDlg();
    m_pMainWnd = pDlg;
    pDlg->DoModal();
    m_pMainWnd = nullptr;
    delete pDlg;

    // No message loop of our own: the program ends with the dialog.
    return FALSE;
}
