// "Light": ambient and diffuse light with two trackbars, and the background colour.
#pragma once
#include "scene_page.h"

class CLightPage : public CScenePage {
public:
    explicit CLightPage(BoxScene* pScene);
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

protected:
    void OnSelectBackgroundColour();
    DECLARE_MESSAGE_MAP()

private:
    CColorDialog m_dlgColour;
};
