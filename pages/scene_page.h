// What every page of the tab control is: a child dialog on the scene, painted in the menu
// colour (labels, trackbars and buttons with it, text drawn transparently), that Enter and
// Esc do not close, and that deletes itself when its window goes.
#pragma once
#include "afxwin.h"
#include "box_scene.h"
#include "scene_values.h"

class CScenePage : public CDialog {
public:
    explicit CScenePage(BoxScene* pScene);
    void OnOK() override {}
    // Whether one of the page's controls shows the value: a drag, which changes only the
    // view's values every tick, sets only the pages that show them.
    virtual bool ShowsValue(SceneValueIndex) const { return false; }

protected:
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    void PostNcDestroy() override { delete this; }
    DECLARE_MESSAGE_MAP()

    // A drop-down list of a value chosen by name: its choice into the scene (and the pages
    // refreshed), unless the list is being set from the scene or nothing changed.
    void TakeListChoice(int nListId, int BoxScene::*pField, int nCount);

    BoxScene* m_pScene;
    bool m_bShowing = false;  // controls being set from the scene: their changes are not the user's

private:
    CBrush m_brBackground;  // the system's own brush: never deleted
};
