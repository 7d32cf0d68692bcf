#include "dimensions_page.h"

#include "resource.h"

namespace {
const SliderBinding kSliders[] = {
    {IDC_WIDTH, kValueWidth, IDC_WIDTH_VALUE},
    {IDC_HEIGHT, kValueHeight, IDC_HEIGHT_VALUE},
    {IDC_DEPTH, kValueDepth, IDC_DEPTH_VALUE},
    {IDC_EDGE_RADIUS, kValueEdgeRadius, IDC_EDGE_RADIUS_VALUE},
};
}

CDimensionsPage::CDimensionsPage(BoxScene* pScene) : CSliderPage(pScene, kSliders, ARRAYSIZE(kSliders))
{
}
