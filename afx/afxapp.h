// CWinApp: the one application object. Its InitInstance does the program's work;
// returning FALSE ends the program without a message loop of its own.
#pragma once
#include "afxwnd.h"

class CWinApp : public CCmdTarget {
public:
    explicit CWinApp(LPCWSTR pszAppName = nullptr);
    ~CWinApp() override;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance();
    virtual int ExitInstance();
    // Message loop for applications whose InitInstance returns TRUE.
    virtual int Run();
    void OnHelp();
    // HKEY_CURRENT_USER\Software\<application>\<section>, created if missing; null on
    // failure. The caller closes it.
    HKEY GetSectionKey(LPCWSTR pszSection);
    // The application's name: m_pszAppName, else the program file's name without extension.
    CString GetAppName() const;

    LPCWSTR m_pszAppName = nullptr;
    HINSTANCE m_hInstance = nullptr;
    CWnd* m_pMainWnd = nullptr;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
// There are no ActiveX controls: kept for the start-up sequence's sake.
void AfxEnableControlContainer();
// Entry point of the framework, called from WinMain.
int AfxWinMain(HINSTANCE hInstance);
