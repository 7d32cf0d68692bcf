// "Rotation": the two rotations, the camera distance and the zoom with four trackbars.
#pragma once
#include "afxwin.h"
#include "box_scene.h"

class CRotationPage : public CDialog {
public:
    explicit CRotationPage(BoxScene* pScene);
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
