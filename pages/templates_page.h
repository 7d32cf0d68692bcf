// "Templates": a list of the nine preset views; clicking a name applies it.
#pragma once
#include "afxwin.h"
#include "box_scene.h"

class CTemplatesPage : public CDialog {
public:
    explicit CTemplatesPage(BoxScene* pScene);
    BOOL OnInitDialog() override;
    void OnOK() override {}

protected:
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    void OnSelChangeTemplates();
    void OnShowWindow(BOOL bShow, UINT nStatus);
    void PostNcDestroy() override { delete this; }
    DECLARE_MESSAGE_MAP()

private:
    BoxScene* m_pScene;
    CBrush m_brBackground;
};
