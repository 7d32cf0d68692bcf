#include "afxdd.h"

void DDX_Slider(CDataExchange* pDX, int nIDC, int& value)
{
    pDX->m_idLastControl = nIDC;
    HWND hCtl = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, nIDC);
    if (pDX->m_bSaveAndValidate)
        value = static_cast<int>(::SendMessageW(hCtl, TBM_GETPOS, 0, 0));
    else
        ::SendMessageW(hCtl, TBM_SETPOS, TRUE, value);
}

void DDV_MinMaxSlider(CDataExchange* pDX, DWORD value, DWORD minVal, DWORD maxVal)
{
    if (!pDX->m_bSaveAndValidate && (value < minVal || value > maxVal))
        return;
    HWND hCtl = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, pDX->m_idLastControl);
    ::SendMessageW(hCtl, TBM_SETRANGEMIN, FALSE, static_cast<LPARAM>(minVal));
    ::SendMessageW(hCtl, TBM_SETRANGEMAX, TRUE, static_cast<LPARAM>(maxVal));
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}
