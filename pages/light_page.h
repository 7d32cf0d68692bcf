// "Light": ambient and diffuse light with two trackbars, and the background colour.
#pragma once
#include "afxwin.h"
#include "box_scene.h"

class CLightPage : public CDialog {
public:
    explicit CLightPage(BoxScene* pScene);
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override {}

protected:
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    void OnSelectBackgroundColour();
    void PostNcDestroy() override { delete this; }
    DECLARE_MESSAGE_MAP()

private:
    BoxScene* m_pScene;
    CBrush m_brBackground;
    CColorDialog m_dlgColour;
};
