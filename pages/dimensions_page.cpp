#include "dimensions_page.h"

#include <algorithm>

#include "resource.h"

namespace {
const SliderBinding kSliders[] = {
    {IDC_WIDTH, kValueWidth, IDC_WIDTH_VALUE},
    {IDC_HEIGHT, kValueHeight, IDC_HEIGHT_VALUE},
    {IDC_DEPTH, kValueDepth, IDC_DEPTH_VALUE},
    {IDC_EDGE_RADIUS, kValueEdgeRadius, IDC_EDGE_RADIUS_VALUE},
};
}

BEGIN_MESSAGE_MAP(CDimensionsPage, CSliderPage)
    ON_BN_CLICKED(IDC_FIT_TO_PICTURES, OnFitToPictures)
END_MESSAGE_MAP()

CDimensionsPage::CDimensionsPage(BoxScene* pScene)
    : CSliderPage(pScene, kSliders, ARRAYSIZE(kSliders)), m_pBox(pScene)
{
}

void CDimensionsPage::OnFitToPictures()
{
    // The front picture gives width : height, the left one depth : height; the height stays
    // unless a side would pass the largest size, when all three shrink together.
    IDirect3DTexture9* pFront = m_pBox->m_pFaceTexture[SideFront];
    IDirect3DTexture9* pLeft = m_pBox->m_pFaceTexture[SideLeft];
    D3DSURFACE_DESC front = {}, left = {};
    if (!pFront || FAILED(pFront->GetLevelDesc(0, &front)) || !front.Height) {
        MessageBox(L"Put a picture on the front face first: the box takes its width and height from it.", L"Zelmora",
                   MB_OK | MB_ICONINFORMATION);
        return;
    }
    const double height = m_pBox->m_nHeight;
    double sides[3] = {height * front.Width / front.Height, height, static_cast<double>(m_pBox->m_nDepth)};
    if (pLeft && SUCCEEDED(pLeft->GetLevelDesc(0, &left)) && left.Height)
        sides[2] = height * left.Width / left.Height;
    const SceneValue& range = g_sceneValues[kValueWidth];
    const double scale = std::min(1.0, range.nMax / std::max({sides[0], sides[1], sides[2]}));
    int* const fields[3] = {&m_pBox->m_nWidth, &m_pBox->m_nHeight, &m_pBox->m_nDepth};
    for (int i = 0; i < 3; ++i)
        *fields[i] = std::clamp(static_cast<int>(sides[i] * scale + 0.5), range.nMin, range.nMax);
    m_pBox->RefreshPages();
}
