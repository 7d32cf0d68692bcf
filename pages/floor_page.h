// "Floor": the box's reflection in the floor and its contact shadow, four trackbars.
#pragma once
#include "slider_page.h"

class CFloorPage : public CSliderPage {
public:
    explicit CFloorPage(BoxScene* pScene);
};
