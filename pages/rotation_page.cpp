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

BEGIN_MESSAGE_MAP(CRotationPage, CSliderPage)
    ON_BN_CLICKED(IDC_FIT_IN_FRAME, OnFitInFrame)
END_MESSAGE_MAP()

CRotationPage::CRotationPage(BoxScene* pScene) : CSliderPage(pScene, kSliders, ARRAYSIZE(kSliders))
{
}

void CRotationPage::OnFitInFrame()
{
    ::SendMessageW(::GetAncestor(m_hWnd, GA_ROOT), WM_COMMAND, ID_VIEW_FIT, 0);
}
