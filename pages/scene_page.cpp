#include "scene_page.h"

BEGIN_MESSAGE_MAP(CScenePage, CDialog)
    ON_WM_CTLCOLOR()
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnOK)
END_MESSAGE_MAP()

CScenePage::CScenePage(BoxScene* pScene) : m_pScene(pScene)
{
    m_brBackground.Attach(::GetSysColorBrush(COLOR_MENU));
}

void CScenePage::TakeListChoice(int nListId, int BoxScene::*pField, int nCount)
{
    const int choice = static_cast<int>(::SendDlgItemMessageW(m_hWnd, nListId, CB_GETCURSEL, 0, 0));
    if (m_bShowing || choice < 0 || choice >= nCount || choice == m_pScene->*pField)
        return;
    m_pScene->*pField = choice;
    m_pScene->RefreshPages();
}

HBRUSH CScenePage::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    switch (nCtlColor) {
    case CTLCOLOR_STATIC:  // labels, path texts and trackbars
        pDC->SetBkMode(TRANSPARENT);
        return m_brBackground;
    case CTLCOLOR_DLG:
    case CTLCOLOR_BTN:
        return m_brBackground;
    default:
        return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    }
}
