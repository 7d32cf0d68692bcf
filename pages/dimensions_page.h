// "Box Dimensions": width, height, depth and the edges' rounding with trackbars, and "Fit to
// pictures", which sizes the box to the face pictures' proportions.
#pragma once
#include "slider_page.h"

class CDimensionsPage : public CSliderPage {
public:
    explicit CDimensionsPage(BoxScene* pScene);

protected:
    void OnFitToPictures();
    DECLARE_MESSAGE_MAP()

private:
    BoxScene* m_pBox;
};
