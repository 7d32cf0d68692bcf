// "Box Dimensions": width, height and depth with three trackbars.
#pragma once
#include "afxwin.h"
#include "box_scene.h"

class CDimensionsPage : public CDialog {
public:
    explicit CDimensionsPage(BoxScene* pScene);
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override {}

protected:
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    void PostNcDestroy() override { delete this; }
    DECLARE_MESSAGE_MAP()

private:
    BoxScene* m_pScene;
    CBrush m_brBackground;
};
