// "Box Dimensions": width, height and depth with three trackbars.
#pragma once
#include "slider_page.h"

class CDimensionsPage : public CSliderPage {
public:
    explicit CDimensionsPage(BoxScene* pScene);
};
