// "Rotation": the two rotations, the camera distance and the zoom with four trackbars.
#pragma once
#include "slider_page.h"

class CRotationPage : public CSliderPage {
public:
    explicit CRotationPage(BoxScene* pScene);
};
