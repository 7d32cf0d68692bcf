// A page of trackbars bound to scene values, each with its value label: the pages that
// are nothing else share this.
#pragma once
#include "afxwin.h"
#include "box_scene.h"
#include "slider_binding.h"

class CSliderPage : public CDialog {
public:
    CSliderPage(BoxScene* pScene, const SliderBinding* pBindings, int nCount);
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override {}

protected:
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    void PostNcDestroy() override { delete this; }
    DECLARE_MESSAGE_MAP()

private:
    BoxScene* m_pScene;
    const SliderBinding* m_pBindings;
    int m_nCount;
    CBrush m_brBackground;
};
