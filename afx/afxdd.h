// Dialog data exchange: one small function per kind of control and a direction flag.
#pragma once
#include "afxwnd.h"

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate) : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}
    BOOL m_bSaveAndValidate;  // TRUE: controls to members; FALSE: members to controls
    CWnd* m_pDlgWnd;
    int m_idLastControl = 0;  // the control the last DDX_ call exchanged, for the DDV_ after it
    HWND m_hLastControl = nullptr;
    // The dialog's control nIDC, remembered as the last control.
    HWND PrepareCtrl(int nIDC);
};

// Trackbar position <-> value. Setting a position lets the control clamp it to its range.
void DDX_Slider(CDataExchange* pDX, int nIDC, int& value);
// Installs the last exchanged trackbar's range: always when reading the controls; when
// writing them only if minVal <= value <= maxVal as unsigned numbers (a negative value is
// out of range), else the range stays as it was. Never shows a message, never fails.
void DDV_MinMaxSlider(CDataExchange* pDX, DWORD value, DWORD minVal, DWORD maxVal);
