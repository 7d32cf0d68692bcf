// "Side images": an image file and a colour for each of the six faces.
#pragma once
#include "afxwin.h"
#include "box_scene.h"

class CSidesPage : public CDialog {
public:
    explicit CSidesPage(BoxScene* pScene);
    BOOL OnInitDialog() override;
    void OnOK() override {}

    void OnBrowseSide(int nSlot);
    void OnClearSide(int nSlot);

protected:
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    void OnBrowseCommand(UINT nID);
    void OnClearCommand(UINT nID);
    void PostNcDestroy() override { delete this; }
    DECLARE_MESSAGE_MAP()

private:
    BoxScene* m_pScene;
    CFileDialog m_dlgOpenImage;
    CBrush m_brBackground;
};
