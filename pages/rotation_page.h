// "Rotation": the two rotations, the camera distance and the zoom with four trackbars, and
// "Fit in frame", which the main window carries out.
#pragma once
#include "slider_page.h"

class CRotationPage : public CSliderPage {
public:
    explicit CRotationPage(BoxScene* pScene);

protected:
    void OnFitInFrame();
    DECLARE_MESSAGE_MAP()
};
