#include "light_page.h"

#include "colour.h"
#include "light_kinds.h"
#include "resource.h"
#include "slider_binding.h"

namespace {
const SliderBinding kSliders[] = {
    {IDC_AMBIENT, kValueAmbient, IDC_AMBIENT_VALUE},
    {IDC_DIFFUSE, kValueDiffuse, IDC_DIFFUSE_VALUE},
    {IDC_TOP_LIGHT, kValueTopLight, IDC_TOP_LIGHT_VALUE},
    {IDC_KEY, kValueKey, IDC_KEY_VALUE},
    {IDC_LIGHT_AZIMUTH, kValueLightAzimuth, IDC_LIGHT_AZIMUTH_VALUE},
    {IDC_LIGHT_ELEVATION, kValueLightElevation, IDC_LIGHT_ELEVATION_VALUE},
    {IDC_LIGHT_SIZE, kValueLightSize, IDC_LIGHT_SIZE_VALUE},
    {IDC_SKY, kValueSky, IDC_SKY_VALUE},
};
const int kEyeControls[] = {IDC_AMBIENT, IDC_DIFFUSE, IDC_TOP_LIGHT};
const int kStudioControls[] = {IDC_KEY, IDC_LIGHT_AZIMUTH, IDC_LIGHT_ELEVATION, IDC_LIGHT_SIZE, IDC_SKY, IDC_TONE};
const wchar_t* const kLightCaptions[kLightCount] = {L"At the eye", L"Studio"};
const wchar_t* const kFinishCaptions[kFinishCount] = {L"Matte", L"Gloss", L"Soft-touch"};
const wchar_t* const kToneCaptions[kToneCount] = {L"Literal", L"Neutral"};
}

BEGIN_MESSAGE_MAP(CLightPage, CScenePage)
    ON_BN_CLICKED(IDC_SELECT_BACKGROUND, OnSelectBackgroundColour)
    ON_CONTROL(CBN_SELCHANGE, IDC_LIGHT_KIND, OnLightChosen)
    ON_CONTROL(CBN_SELCHANGE, IDC_FINISH, OnFinishChosen)
    ON_CONTROL(CBN_SELCHANGE, IDC_TONE, OnToneChosen)
END_MESSAGE_MAP()

CLightPage::CLightPage(BoxScene* pScene)
    : CScenePage(pScene), m_dlgColour(0x00FFFFFF, CC_RGBINIT | CC_FULLOPEN | CC_ANYCOLOR, nullptr)
{
    m_pScene->m_clrBackground = 0xFFFFFFFF;
}

BOOL CLightPage::OnInitDialog()
{
    for (const wchar_t* pszCaption : kLightCaptions)
        ::SendDlgItemMessageW(m_hWnd, IDC_LIGHT_KIND, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(pszCaption));
    for (const wchar_t* pszCaption : kFinishCaptions)
        ::SendDlgItemMessageW(m_hWnd, IDC_FINISH, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(pszCaption));
    for (const wchar_t* pszCaption : kToneCaptions)
        ::SendDlgItemMessageW(m_hWnd, IDC_TONE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(pszCaption));
    InitSliderPage(this, m_pScene, kSliders, ARRAYSIZE(kSliders));
    return TRUE;
}

void CLightPage::DoDataExchange(CDataExchange* pDX)
{
    if (pDX->m_bSaveAndValidate) {
        ExchangeSliders(pDX, m_pScene, kSliders, ARRAYSIZE(kSliders));  // the greyed ones keep their values
        return;
    }
    m_bShowing = true;
    ::SendDlgItemMessageW(m_hWnd, IDC_LIGHT_KIND, CB_SETCURSEL, m_pScene->m_nLight, 0);
    ::SendDlgItemMessageW(m_hWnd, IDC_FINISH, CB_SETCURSEL, m_pScene->m_nFinish, 0);
    ::SendDlgItemMessageW(m_hWnd, IDC_TONE, CB_SETCURSEL, m_pScene->m_nTone, 0);
    m_bShowing = false;
    // Every trackbar shows its value, the unused light's greyed.
    EnableLightControls(true, true);
    ExchangeSliders(pDX, m_pScene, kSliders, ARRAYSIZE(kSliders));
    const bool bStudio = m_pScene->m_nLight == LightStudio;
    EnableLightControls(!bStudio, bStudio);
}

void CLightPage::EnableLightControls(bool bEye, bool bStudio)
{
    for (int id : kEyeControls)
        ::EnableWindow(::GetDlgItem(m_hWnd, id), bEye);
    for (int id : kStudioControls)
        ::EnableWindow(::GetDlgItem(m_hWnd, id), bStudio);
}

void CLightPage::OnLightChosen()
{
    TakeListChoice(IDC_LIGHT_KIND, &BoxScene::m_nLight, kLightCount);
}

void CLightPage::OnFinishChosen()
{
    TakeListChoice(IDC_FINISH, &BoxScene::m_nFinish, kFinishCount);
}

void CLightPage::OnToneChosen()
{
    TakeListChoice(IDC_TONE, &BoxScene::m_nTone, kToneCount);
}

void CLightPage::OnSelectBackgroundColour()
{
    if (m_dlgColour.DoModal() != IDOK)
        return;
    m_pScene->m_clrBackground = ColorRefToD3DColor(m_dlgColour.GetColor());
}
