// The application object: runs the main dialog modally and ends when it closes.
#pragma once
#include "afxwin.h"

class CBoxApp : public CWinApp {
public:
    CBoxApp();
    BOOL InitInstance() override;

protected:
    DECLARE_MESSAGE_MAP()
};

extern CBoxApp theApp;
