#include "rotation_page.h"

#include "resource.h"

namespace {
const SliderBinding kSliders[] = {
    {IDC_ROTATION1, kValueRotation1, IDC_ROTATION1_VALUE},
    {IDC_ROTATION2, kValueRotation2, IDC_ROTATION2_VALUE},
    {IDC_DISTANCE, kValueDistance, IDC_DISTANCE_VALUE},
    {IDC_ZOOM, kValueZoom, IDC_ZOOM_VALUE},
};
}

CRotationPage::CRotationPage(BoxScene* pScene) : CSliderPage(pScene, kSliders, ARRAYSIZE(kSliders))
{
}
