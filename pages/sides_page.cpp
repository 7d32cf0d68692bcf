#include "sides_page.h"

#include "face_load_message.h"
#include "face_textures.h"
#include "page_background.h"
#include "resource.h"

namespace {
// By SideSlot.
const int kPathIds[kSideCount] = {IDC_PATH_FRONT, IDC_PATH_LEFT, IDC_PATH_TOP,
                                  IDC_PATH_BACK, IDC_PATH_RIGHT, IDC_PATH_BOTTOM};
const int kColourIds[kSideCount] = {IDC_COLOUR_FRONT, IDC_COLOUR_LEFT, IDC_COLOUR_TOP,
                                    IDC_COLOUR_BACK, IDC_COLOUR_RIGHT, IDC_COLOUR_BOTTOM};
const int kBrowseIds[kSideCount] = {IDC_BROWSE_FRONT, IDC_BROWSE_LEFT, IDC_BROWSE_TOP,
                                    IDC_BROWSE_BACK, IDC_BROWSE_RIGHT, IDC_BROWSE_BOTTOM};

int SlotOf(const int (&ids)[kSideCount], UINT nID)
{
    for (int s = 0; s < kSideCount; ++s)
        if (ids[s] == static_cast<int>(nID))
            return s;
    return -1;
}
} // namespace

BEGIN_MESSAGE_MAP(CSidesPage, CDialog)
    ON_WM_CTLCOLOR()
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnOK)
    ON_COMMAND_RANGE(IDC_BROWSE_FRONT, IDC_BROWSE_BOTTOM, OnBrowseCommand)
    ON_COMMAND_RANGE(IDC_CLEAR_FRONT, IDC_CLEAR_BOTTOM, OnClearCommand)
    ON_MESSAGE(CLRN_SELENDOK, OnSideColourAccepted)
END_MESSAGE_MAP()

CSidesPage::CSidesPage(BoxScene* pScene)
    : m_pScene(pScene),
      m_dlgOpenImage(TRUE, nullptr, nullptr, 0, L"Image Files|*.jpg;*.jpeg;*.tga;*.bmp;*.png|All Files|*.*||", nullptr)
{
    m_brBackground.Attach(::GetSysColorBrush(COLOR_MENU));
}

BOOL CSidesPage::OnInitDialog()
{
    for (int s = 0; s < kSideCount; ++s) {
        m_btnSideColour[s].SubclassDlgItem(kColourIds[s], this);
        m_btnSideColour[s].SetColour(m_pScene->m_clrFace[s]);
        m_btnSideColour[s].SetDefaultColour(0x00FFFFFF);
        m_btnSideColour[s].SetDefaultLabel(L"Default");
    }
    return TRUE;
}

LRESULT CSidesPage::OnSideColourAccepted(WPARAM, LPARAM lParam)
{
    // The button stored the choice before telling us; take it from there, default resolved.
    int slot = SlotOf(kColourIds, static_cast<UINT>(lParam));
    if (slot >= 0)
        m_pScene->m_clrFace[slot] = m_btnSideColour[slot].GetColour(TRUE);
    return 0;
}

HBRUSH CSidesPage::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    HBRUSH hbr = PageBackgroundBrush(pDC, nCtlColor, m_brBackground);
    return hbr ? hbr : CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}

void CSidesPage::OnBrowseCommand(UINT nID)
{
    // The range also covers the path texts between the buttons; those send no clicks.
    int slot = SlotOf(kBrowseIds, nID);
    if (slot >= 0)
        OnBrowseSide(slot);
}

void CSidesPage::OnClearCommand(UINT nID)
{
    OnClearSide(static_cast<int>(nID) - IDC_CLEAR_FRONT);
}

void CSidesPage::OnBrowseSide(int nSlot)
{
    if (m_dlgOpenImage.DoModal() != IDOK)
        return;
    LoadSideFromFile(nSlot, m_dlgOpenImage.GetPathName());
}

bool CSidesPage::LoadSideFromFile(int nSlot, const CString& path)
{
    FaceLoadFailure why;
    bool bLoaded = PutSideImage(nSlot, path, &why);
    if (!bLoaded)
        MessageBox(FaceLoadMessage(path, why), L"Zelmora", MB_OK | MB_ICONERROR);
    return bLoaded;
}

bool CSidesPage::PutSideImage(int nSlot, const CString& path, FaceLoadFailure* pWhy)
{
    CWaitCursor wait;  // large artwork takes a moment
    if (!LoadSideImage(*m_pScene, nSlot, path, pWhy))
        return false;
    m_strSidePath[nSlot] = path;
    SetDlgItemText(kPathIds[nSlot], path);
    return true;
}

void CSidesPage::OnClearSide(int nSlot)
{
    m_strSidePath[nSlot].Empty();
    SetDlgItemText(kPathIds[nSlot], L"");
    ClearSideImage(*m_pScene, nSlot);
}

void CSidesPage::KeepSideReference(int nSlot, const CString& path)
{
    ClearSideImage(*m_pScene, nSlot);
    m_strSidePath[nSlot] = path;
    SetDlgItemText(kPathIds[nSlot], L"(not loaded) " + path);
}

void CSidesPage::RestoreSide(int nSlot, const CString& path, IDirect3DTexture9* pTexture)
{
    IDirect3DTexture9*& slot = m_pScene->m_pFaceTexture[nSlot];
    if (pTexture)
        pTexture->AddRef();
    IDirect3DTexture9* pOld = slot;
    slot = pTexture;
    if (pOld)
        pOld->Release();
    m_strSidePath[nSlot] = path;
    SetDlgItemText(kPathIds[nSlot], pTexture || path.IsEmpty() ? path : L"(not loaded) " + path);
}

void CSidesPage::ShowSideColours()
{
    for (int s = 0; s < kSideCount; ++s)
        m_btnSideColour[s].SetColour(m_pScene->m_clrFace[s]);
}

int CSidesPage::SideAtPoint(CPoint pt) const
{
    for (int s = 0; s < kSideCount; ++s) {
        CRect rcPath, rcColour;
        ::GetWindowRect(GetDlgItemHandle(kPathIds[s]), &rcPath);
        ::GetWindowRect(GetDlgItemHandle(kColourIds[s]), &rcColour);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rcPath), 2);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rcColour), 2);
        // The row: from the page's left edge to the colour button, a little above and below.
        CRect rcRow(0, rcPath.top - 2, rcColour.right, rcPath.bottom + 2);
        if (rcRow.PtInRect(pt))
            return s;
    }
    return -1;
}
