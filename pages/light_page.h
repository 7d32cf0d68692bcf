// "Light": the light at the eye (ambient, diffuse, from above) or the studio's (a key light
// placed round the view, its height and softness, and the sky), the covers' finish, the
// studio's tone and the background colour.
#pragma once
#include "scene_page.h"

class CLightPage : public CScenePage {
public:
    explicit CLightPage(BoxScene* pScene);
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

protected:
    void OnSelectBackgroundColour();
    void OnLightChosen();
    void OnFinishChosen();
    void OnToneChosen();
    DECLARE_MESSAGE_MAP()

private:
    // The trackbars of each light: those of the light not in use are greyed.
    void EnableLightControls(bool bEye, bool bStudio);
    CColorDialog m_dlgColour;
};
