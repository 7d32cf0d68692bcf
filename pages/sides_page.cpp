#include "sides_page.h"

#include "face_load_message.h"
#include "picture_store.h"
#include "resource.h"
#include "scene_shape.h"

namespace {
// By SideSlot.
const int kPathIds[kPictureCount] = {IDC_PATH_FRONT, IDC_PATH_LEFT,  IDC_PATH_TOP,   IDC_PATH_BACK,  IDC_PATH_RIGHT,
                                     IDC_PATH_BOTTOM, IDC_PATH_COVER, IDC_PATH_SPREAD, IDC_PATH_SCREEN};
const int kColourIds[kPictureCount] = {IDC_COLOUR_FRONT,  IDC_COLOUR_LEFT,   IDC_COLOUR_TOP,
                                       IDC_COLOUR_BACK,   IDC_COLOUR_RIGHT,  IDC_COLOUR_BOTTOM,
                                       IDC_COLOUR_COVER,  IDC_COLOUR_SPREAD, IDC_COLOUR_SCREEN};
const int kBrowseIds[kPictureCount] = {IDC_BROWSE_FRONT,  IDC_BROWSE_LEFT,   IDC_BROWSE_TOP,
                                       IDC_BROWSE_BACK,   IDC_BROWSE_RIGHT,  IDC_BROWSE_BOTTOM,
                                       IDC_BROWSE_COVER,  IDC_BROWSE_SPREAD, IDC_BROWSE_SCREEN};
// The rows shown only for the shapes that take their picture, after the six faces'.
const int kOptionalRowIds[3][5] = {
    {IDC_COVER_LABEL, IDC_PATH_COVER, IDC_BROWSE_COVER, IDC_CLEAR_COVER, IDC_COLOUR_COVER},
    {IDC_SPREAD_LABEL, IDC_PATH_SPREAD, IDC_BROWSE_SPREAD, IDC_CLEAR_SPREAD, IDC_COLOUR_SPREAD},
    {IDC_SCREEN_LABEL, IDC_PATH_SCREEN, IDC_BROWSE_SCREEN, IDC_CLEAR_SCREEN, IDC_COLOUR_SCREEN},
};

int SlotOf(const int (&ids)[kPictureCount], UINT nID)
{
    for (int s = 0; s < kPictureCount; ++s)
        if (ids[s] == static_cast<int>(nID))
            return s;
    return -1;
}
} // namespace

BEGIN_MESSAGE_MAP(CSidesPage, CScenePage)
    ON_COMMAND_RANGE(IDC_BROWSE_FRONT, IDC_BROWSE_BOTTOM, OnBrowseCommand)
    ON_COMMAND_RANGE(IDC_CLEAR_FRONT, IDC_CLEAR_BOTTOM, OnClearCommand)
    ON_COMMAND(IDC_BROWSE_COVER, OnBrowseCover)
    ON_COMMAND(IDC_CLEAR_COVER, OnClearCover)
    ON_COMMAND(IDC_BROWSE_SPREAD, OnBrowseSpread)
    ON_COMMAND(IDC_CLEAR_SPREAD, OnClearSpread)
    ON_COMMAND(IDC_BROWSE_SCREEN, OnBrowseScreen)
    ON_COMMAND(IDC_CLEAR_SCREEN, OnClearScreen)
    ON_MESSAGE(CLRN_SELENDOK, OnSideColourAccepted)
END_MESSAGE_MAP()

CSidesPage::CSidesPage(BoxScene* pScene)
    : CScenePage(pScene),
      m_dlgOpenImage(TRUE, nullptr, nullptr, 0, L"Image Files|*.jpg;*.jpeg;*.tga;*.bmp;*.png|All Files|*.*||", nullptr)
{
}

BOOL CSidesPage::OnInitDialog()
{
    for (int s = 0; s < kPictureCount; ++s) {
        m_btnSideColour[s].SubclassDlgItem(kColourIds[s], this);
        m_btnSideColour[s].SetColour(m_pScene->m_clrFace[s]);
        m_btnSideColour[s].SetDefaultColour(DefaultFaceColour(s));
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
    // The cover that was there, back if the new one is not a cover for this book.
    const PictureRef oldCover = nSlot == SideCover ? m_pScene->m_picture[SideCover] : nullptr;
    const CString oldPath = m_strSidePath[nSlot];
    FaceLoadFailure why;
    bool bLoaded = PutSideImage(nSlot, path, &why);
    if (!bLoaded)
        MessageBox(FaceLoadMessage(path, why), L"Zelmora", MB_OK | MB_ICONERROR);
    if (bLoaded && nSlot == SideCover) {
        std::wstring note, refusal;
        SceneShape(*m_pScene, &note, &refusal);
        if (!refusal.empty()) {
            RestoreSide(SideCover, oldPath, oldCover);
            MessageBox(L"Unable to use the picture as the cover\n" + path + L"\n\n" + refusal.c_str() + L".", L"Zelmora",
                       MB_OK | MB_ICONERROR);
            bLoaded = false;
        } else if (!note.empty()) {
            MessageBox((L"Note: " + note + L".").c_str(), L"Zelmora", MB_OK | MB_ICONINFORMATION);
        }
    }
    m_pScene->RefreshPages();
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

void CSidesPage::RestoreSide(int nSlot, const CString& path, const PictureRef& picture)
{
    m_pScene->m_picture[nSlot] = picture;
    m_strSidePath[nSlot] = path;
    SetDlgItemText(kPathIds[nSlot], picture || path.IsEmpty() ? path : L"(not loaded) " + path);
}

void CSidesPage::ShowSideColours()
{
    for (int s = 0; s < kPictureCount; ++s)
        m_btnSideColour[s].SetColour(m_pScene->m_clrFace[s]);
}

void CSidesPage::ShowShapeRows(int shape)
{
    const bool shown[3] = {TakesCover(shape), ShapeOf(shape).ownPicture == SideSpread,
                           ShapeOf(shape).ownPicture == SideScreen};
    for (int row = 0; row < 3; ++row) {
        if (shown[row] == m_bRowShown[row])
            continue;  // asked every tick: shown or hidden only when it changes (no window asked)
        m_bRowShown[row] = shown[row];
        for (int id : kOptionalRowIds[row])
            ::ShowWindow(GetDlgItemHandle(id), shown[row] ? SW_SHOWNA : SW_HIDE);
    }
}

int CSidesPage::SideAtPoint(CPoint pt) const
{
    for (int s = 0; s < kPictureCount; ++s) {
        if (!::IsWindowVisible(GetDlgItemHandle(kPathIds[s])))
            continue;
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
