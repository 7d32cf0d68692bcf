// What every page of the tab control is: a child dialog on the scene, painted in the menu
// colour (labels, trackbars and buttons with it, text drawn transparently), that Enter and
// Esc do not close, and that deletes itself when its window goes.
#pragma once
#include "afxwin.h"
#include "box_scene.h"

class CScenePage : public CDialog {
public:
    explicit CScenePage(BoxScene* pScene);
    void OnOK() override {}

protected:
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    void PostNcDestroy() override { delete this; }
    DECLARE_MESSAGE_MAP()

    BoxScene* m_pScene;

private:
    CBrush m_brBackground;  // the system's own brush: never deleted
};
