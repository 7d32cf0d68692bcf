// A page of trackbars bound to scene values, each with its value label: the pages that
// are nothing else share this.
#pragma once
#include "scene_page.h"
#include "slider_binding.h"

class CSliderPage : public CScenePage {
public:
    CSliderPage(BoxScene* pScene, const SliderBinding* pBindings, int nCount);
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    bool ShowsValue(SceneValueIndex value) const override;

private:
    const SliderBinding* m_pBindings;
    int m_nCount;
};
