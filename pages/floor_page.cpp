#include "floor_page.h"

#include "resource.h"

namespace {
const SliderBinding kSliders[] = {
    {IDC_REFLECTION, kValueReflection, IDC_REFLECTION_VALUE},
    {IDC_REFLECTION_FADE, kValueReflectionFade, IDC_REFLECTION_FADE_VALUE},
    {IDC_SHADOW, kValueShadow, IDC_SHADOW_VALUE},
    {IDC_SHADOW_SOFTNESS, kValueShadowSoftness, IDC_SHADOW_SOFTNESS_VALUE},
};
}

CFloorPage::CFloorPage(BoxScene* pScene) : CSliderPage(pScene, kSliders, ARRAYSIZE(kSliders))
{
}
