#include "afxdd.h"

HWND CDataExchange::PrepareCtrl(int nIDC)
{
    m_idLastControl = nIDC;
    m_hLastControl = m_pDlgWnd->FindDlgItem(nIDC);
    return m_hLastControl;
}

void DDX_Slider(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hCtl = pDX->PrepareCtrl(nIDC);
    int position = static_cast<int>(::SendMessageW(hCtl, TBM_GETPOS, 0, 0));
    if (pDX->m_bSaveAndValidate)
        value = position;
    else if (position != value)  // writing the position it has would repaint it for nothing
        ::SendMessageW(hCtl, TBM_SETPOS, TRUE, value);
}

void DDV_MinMaxSlider(CDataExchange* pDX, DWORD value, DWORD minVal, DWORD maxVal)
{
    if (!pDX->m_bSaveAndValidate && (value < minVal || value > maxVal))
        return;
    HWND hCtl = pDX->m_hLastControl;
    // The same range again would only repaint the control.
    if (::SendMessageW(hCtl, TBM_GETRANGEMIN, 0, 0) == static_cast<LRESULT>(static_cast<int>(minVal)) &&
        ::SendMessageW(hCtl, TBM_GETRANGEMAX, 0, 0) == static_cast<LRESULT>(static_cast<int>(maxVal)))
        return;
    ::SendMessageW(hCtl, TBM_SETRANGEMIN, FALSE, static_cast<LPARAM>(minVal));
    ::SendMessageW(hCtl, TBM_SETRANGEMAX, TRUE, static_cast<LPARAM>(maxVal));
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}
