#include "box_app.h"

#include "box_dlg.h"

#include <shellapi.h>

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
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LISTVIEW_CLASSES};  // the Templates page's views
    ::InitCommonControlsEx(&icc);
    CWinApp::InitInstance();
    AfxEnableControlContainer();

    auto* pDlg = new CBoxDlg();
    // "zelmora.exe box.zelmora", as a double click on a scene file starts it.
    int argc = 0;
    if (LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc)) {
        if (argc >= 2)
            pDlg->OpenAtStart(argv[1]);
        ::LocalFree(argv);
    }
    m_pMainWnd = pDlg;
    pDlg->DoModal();
    m_pMainWnd = nullptr;
    delete pDlg;

    // No message loop of our own: the program ends with the dialog.
    return FALSE;
}
