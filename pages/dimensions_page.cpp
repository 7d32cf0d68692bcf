#include "dimensions_page.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "book_cover.h"
#include "device_shape.h"
#include "open_book_shape.h"
#include "picture_store.h"
#include "resource.h"
#include "scene_description.h"
#include "scene_shape.h"

namespace {
const SliderBinding kSliders[] = {
    {IDC_WIDTH, kValueWidth, IDC_WIDTH_VALUE},
    {IDC_HEIGHT, kValueHeight, IDC_HEIGHT_VALUE},
    {IDC_DEPTH, kValueDepth, IDC_DEPTH_VALUE},
    {IDC_EDGE_RADIUS, kValueEdgeRadius, IDC_EDGE_RADIUS_VALUE},
};
const wchar_t* const kPaperCaptions[kPaperCount] = {L"White", L"Cream", L"Colour"};
// Which shapes a control of the page's middle belongs to: a book's (shown, if resting, for
// a box too), a device's or an open book's.
enum FieldGroup { GroupBook, GroupDevice, GroupOpenBook, GroupCamera, GroupInk, GroupAll };
// The lists an open book's and a device's own choices are made in, in their values' order.
const struct {
    int nID;
    int BoxScene::*pField;
    int count;
    FieldGroup group;
    const wchar_t* captions[4];
} kChoiceLists[] = {
    {IDC_BINDING, &BoxScene::m_nBinding, kBindingCount, GroupOpenBook, {L"Hardcover", L"Paperback"}},
    {IDC_POSE, &BoxScene::m_nPose, kPoseCount, GroupAll, {L"Standing", L"Lying flat", L"Propped"}},
    {IDC_BODY, &BoxScene::m_nBody, kBodyCount, GroupAll, {L"Black", L"White", L"Silver", L"Back's colour"}},
    {IDC_SCREEN_FIT, &BoxScene::m_nScreenFit, kScreenFitCount, GroupAll, {L"Whole picture", L"Fill the screen"}},
    {IDC_INK, &BoxScene::m_nInk, kInkCount, GroupInk, {L"Grey ink", L"Colour ink"}},
};
// The controls shown only for their group's shapes (the lists above say their own).
const struct {
    int nID;
    FieldGroup group;
} kGroupControls[] = {
    {IDC_TRIM_LABEL, GroupBook},         {IDC_TRIM, GroupBook},          {IDC_PAGES_LABEL, GroupBook},
    {IDC_PAGES, GroupBook},              {IDC_PAPER_LABEL, GroupBook},   {IDC_PAPER, GroupBook},
    {IDC_BLEED_LABEL, GroupBook},        {IDC_BLEED, GroupBook},         {IDC_WRAP_LABEL, GroupBook},
    {IDC_WRAP, GroupBook},               {IDC_SCREEN_SIZE_LABEL, GroupDevice}, {IDC_SCREEN_SIZE, GroupDevice},
    {IDC_CORNER_LABEL, GroupDevice},     {IDC_CORNER, GroupDevice},      {IDC_BEZEL_LABEL, GroupDevice},
    {IDC_BEZEL, GroupDevice},            {IDC_BEZEL_BOTTOM_LABEL, GroupDevice}, {IDC_BEZEL_BOTTOM, GroupDevice},
    {IDC_CAMERA_BUMP, GroupCamera},      {IDC_READ_LABEL, GroupOpenBook}, {IDC_READ, GroupOpenBook},
    {IDC_OPEN_ANGLE_LABEL, GroupOpenBook}, {IDC_OPEN_ANGLE, GroupOpenBook},
};
const int kBookFieldIds[] = {IDC_TRIM, IDC_PAGES, IDC_PAPER, IDC_BLEED, IDC_WRAP};
// The typed fields, in the order of m_strFieldShown: the control, the option it is read as
// (a scene value's name, or "trim" and "screen-size" for two of them), its caption.
const struct {
    int nID;
    const char* pszName;
    const wchar_t* pszCaption;
} kTypedFields[] = {{IDC_TRIM, "trim", L"Trim"},
                    {IDC_PAGES, "pages", L"Pages"},
                    {IDC_BLEED, "bleed", L"Bleed"},
                    {IDC_WRAP, "wrap", L"Wrap"},
                    {IDC_SCREEN_SIZE, "screen-size", L"Screen"},
                    {IDC_CORNER, "corner", L"Corners"},
                    {IDC_BEZEL, "bezel", L"Frame"},
                    {IDC_BEZEL_BOTTOM, "bezel-bottom", L"Frame below"},
                    {IDC_READ, "read", L"Read"},
                    {IDC_OPEN_ANGLE, "open-angle", L"Open"}};
static_assert(ARRAYSIZE(kTypedFields) == CDimensionsPage::kTypedFieldCount, "a shown text for each typed field");
// The values a typed field may set: written back into the scene after it is read.
const SceneValueIndex kTypedValues[] = {kValueTrimWidth, kValueTrimHeight, kValuePages,       kValueBleed,
                                        kValueWrap,      kValueScreenWidth, kValueScreenHeight, kValueCorner,
                                        kValueBezel,     kValueBezelBottom, kValueRead,        kValueOpenAngle};

std::wstring InchesField(double inches)
{
    wchar_t text[32];
    swprintf(text, 32, L"%.3fin", inches);
    return text;
}

int TypedField(int nID)
{
    for (int i = 0; i < static_cast<int>(ARRAYSIZE(kTypedFields)); ++i)
        if (kTypedFields[i].nID == nID)
            return i;
    return -1;
}
} // namespace

BEGIN_MESSAGE_MAP(CDimensionsPage, CSliderPage)
    ON_BN_CLICKED(IDC_FIT_TO_PICTURES, OnFitToPictures)
    ON_CONTROL(CBN_SELCHANGE, IDC_SHAPE, OnShapeChosen)
    ON_CONTROL(CBN_SELCHANGE, IDC_PAPER, OnPaperChosen)
    ON_CONTROL_RANGE(CBN_SELCHANGE, IDC_POSE, IDC_BINDING, OnChoiceMade)
    ON_CONTROL_RANGE(CBN_SELCHANGE, IDC_INK, IDC_INK, OnChoiceMade)
    ON_BN_CLICKED(IDC_CAMERA_BUMP, OnCameraBump)
    ON_CONTROL_RANGE(EN_KILLFOCUS, IDC_TRIM, IDC_WRAP, OnBookFieldDone)
    ON_CONTROL_RANGE(EN_KILLFOCUS, IDC_SCREEN_SIZE, IDC_OPEN_ANGLE, OnBookFieldDone)
END_MESSAGE_MAP()

CDimensionsPage::CDimensionsPage(BoxScene* pScene)
    : CSliderPage(pScene, kSliders, ARRAYSIZE(kSliders))
{
}

BOOL CDimensionsPage::OnInitDialog()
{
    CSliderPage::OnInitDialog();
    for (int s = 0; s < kShapeCount; ++s)
        ::SendDlgItemMessageW(m_hWnd, IDC_SHAPE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ShapeOf(s).pszCaption));
    for (const wchar_t* pszPaper : kPaperCaptions)
        ::SendDlgItemMessageW(m_hWnd, IDC_PAPER, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(pszPaper));
    for (const auto& list : kChoiceLists)
        for (int i = 0; i < list.count; ++i)
            ::SendDlgItemMessageW(m_hWnd, list.nID, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(list.captions[i]));
    ShowBookFields();
    return TRUE;
}

void CDimensionsPage::ShowBookFields(bool bEvenTyped)
{
    if (!m_hWnd)
        return;
    const bool bBox = SizedByBox(m_pScene->m_nShape);
    const bool bBook = m_pScene->m_nShape == ShapePaperback || m_pScene->m_nShape == ShapeHardcover ||
                       m_pScene->m_nShape == ShapeOpenBook;
    const bool bHardcover = m_pScene->m_nShape == ShapeHardcover ||
                            (m_pScene->m_nShape == ShapeOpenBook && m_pScene->m_nBinding == BindingHardcover);
    std::wstring note, refusal;
    const ShapeSpec spec = SceneShape(*m_pScene, &note, &refusal);
    std::wstring text;
    if (!bBox) {
        wchar_t size[160];
        swprintf(size, 160, L"%.2f x %.2f x %.2f in", spec.size[0], spec.size[1], spec.size[2]);
        text = std::wstring(ShapeOf(spec.shape).pszCaption) + L": " + size + L".";
        if (bBook)
            text += L" Pages: " + InchesText(PageBlockInches(m_pScene->m_nPages, m_pScene->m_nPaper)) + L".";
        if (!refusal.empty())
            text += L" The cover is not used: " + refusal + L".";
        else if (!note.empty())
            text += L" Note: " + note + L".";
        if (GutterHidesArtwork())
            text += L" Artwork within " + InchesText(GutterMargin(m_pScene->m_nPages)) + L" of the gutter is hidden.";
    }
    DeviceScreen device;
    const bool bDevice = DeviceScreenOf(spec.values, &device);
    const bool bOpenBook = m_pScene->m_nShape == ShapeOpenBook;
    // A device's sizes as it is built (its kind's own where its values leave them).
    const std::wstring fields[kTypedFieldCount] = {
        FormatTrim(m_pScene->m_nTrimWidth, m_pScene->m_nTrimHeight),
        std::to_wstring(m_pScene->m_nPages),
        InchesField(m_pScene->m_nBleed / 1000.0),
        InchesField(m_pScene->m_nWrap / 1000.0),
        bDevice ? FormatTrim(static_cast<int>(std::lround(device.width * 1000)),
                             static_cast<int>(std::lround(device.height * 1000)))
                : L"",
        bDevice ? InchesField(device.corner) : L"",
        bDevice ? InchesField(device.bezel) : L"",
        bDevice ? InchesField(device.bezelBottom) : L"",
        std::to_wstring(m_pScene->m_nRead) + L"%",
        std::to_wstring(m_pScene->m_nOpenAngle) + L"\u00b0"};
    // The window refreshes its pages every tick: the controls change only when what they
    // show does (setting them each time would repaint them, and a field under typing).
    std::wstring shown = std::to_wstring(m_pScene->m_nShape) + L"|" + std::to_wstring(m_pScene->m_nPaper) + L"|" +
                         std::to_wstring(m_pScene->m_nCameraBump) + L"|" + text;
    for (const auto& list : kChoiceLists)
        shown += L"|" + std::to_wstring(m_pScene->*list.pField);
    for (const std::wstring& field : fields)
        shown += L"|" + field;
    if (shown == m_strShown && !bEvenTyped)
        return;
    m_strShown = shown;
    m_bShowing = true;
    ::SendDlgItemMessageW(m_hWnd, IDC_SHAPE, CB_SETCURSEL, m_pScene->m_nShape, 0);
    ::SendDlgItemMessageW(m_hWnd, IDC_PAPER, CB_SETCURSEL, m_pScene->m_nPaper, 0);
    ::SendDlgItemMessageW(m_hWnd, IDC_CAMERA_BUMP, BM_SETCHECK, m_pScene->m_nCameraBump ? BST_CHECKED : BST_UNCHECKED, 0);
    // The page's middle holds a book's fields (resting for a box) or a device's; the row
    // below an open book's binding, read and open angle, or a device's pose, body and
    // screen fit (resting for other shapes).
    auto inGroup = [&](FieldGroup group) {
        switch (group) {
        case GroupBook:
            return !bDevice;
        case GroupDevice:
            return bDevice;
        case GroupOpenBook:
            return bOpenBook;
        case GroupCamera:
            return bDevice && device.bCamera;
        case GroupInk:
            return bDevice && device.bInk;
        default:
            return !bOpenBook;
        }
    };
    for (const auto& control : kGroupControls)
        ::ShowWindow(::GetDlgItem(m_hWnd, control.nID), inGroup(control.group) ? SW_SHOWNA : SW_HIDE);
    for (const auto& list : kChoiceLists) {
        ::SendDlgItemMessageW(m_hWnd, list.nID, CB_SETCURSEL, m_pScene->*list.pField, 0);
        ::ShowWindow(::GetDlgItem(m_hWnd, list.nID), inGroup(list.group) ? SW_SHOWNA : SW_HIDE);
        ::EnableWindow(::GetDlgItem(m_hWnd, list.nID), list.group == GroupOpenBook ? bOpenBook : bDevice);
    }
    SetDlgItemText(IDC_CHOICE_LABEL, bOpenBook ? L"Binding:" : L"Device:");
    HWND hFocus = ::GetFocus();
    for (int i = 0; i < kTypedFieldCount; ++i)
        if (bEvenTyped || ::GetDlgItem(m_hWnd, kTypedFields[i].nID) != hFocus) {  // not under the user's typing
            SetDlgItemText(kTypedFields[i].nID, fields[i].c_str());
            m_strFieldShown[i] = fields[i];
        }
    // The box's own values rest while a book or case has its size from its trim and pages:
    // their trackbars show that size (in the box's tenths) and take no input.
    for (const SliderBinding& slider : kSliders) {
        ::EnableWindow(::GetDlgItem(m_hWnd, slider.nID), bBox);
        if (bBox)
            ShowSceneSlider(this, m_pScene, slider);
        else
            ShowRestingSlider(this, slider, slider.value == kValueEdgeRadius
                                                ? 0
                                                : static_cast<int>(std::lround(spec.size[slider.value - kValueWidth] * 10)));
    }
    for (int id : kBookFieldIds)
        ::EnableWindow(::GetDlgItem(m_hWnd, id), id == IDC_WRAP ? bHardcover
                                                                : bBook || (id == IDC_BLEED && TakesCover(m_pScene->m_nShape)));
    SetDlgItemText(IDC_BOOK_NOTE, text.c_str());
    m_bShowing = false;
}

bool CDimensionsPage::GutterHidesArtwork()
{
    const PictureRef& spread = m_pScene->m_picture[SideSpread];
    if (m_pScene->m_nShape != ShapeOpenBook || !spread)
        return false;
    // Looked for again only when the picture or what the margin depends on changes (asked every tick).
    int values[kSceneValueCount];
    SceneValuesOf(*m_pScene, values);
    const std::wstring key = std::to_wstring(spread->serial) + L"|" + std::to_wstring(values[kValuePages]) + L"|" +
                             std::to_wstring(values[kValueTrimWidth]) + L"|" + std::to_wstring(values[kValueBleed]);
    if (key != m_strGutterKey) {
        m_strGutterKey = key;
        m_bGutterArtwork = ArtworkInGutter(spread->pixels, values);
    }
    return m_bGutterArtwork;
}

void CDimensionsPage::OnShapeChosen()
{
    const int shape = static_cast<int>(::SendDlgItemMessageW(m_hWnd, IDC_SHAPE, CB_GETCURSEL, 0, 0));
    if (m_bShowing || shape < 0 || shape >= kShapeCount || shape == m_pScene->m_nShape)
        return;
    int values[kSceneValueCount];
    SceneValuesOf(*m_pScene, values);
    ChooseShape(values, shape);
    m_pScene->m_nShape = values[kValueShape];
    m_pScene->m_nTopLight = values[kValueTopLight];
    m_pScene->m_nLight = values[kValueLight];
    m_pScene->RefreshPages();
    // A cover kept from the shape before is read as this shape's from now on: said, with the
    // size it should have, before the picture surprises anyone.
    const PictureSize picture = SizeOf(m_pScene->m_picture[SideCover]);
    CoverSpec cover;
    values[kValueShape] = m_pScene->m_nShape;
    if (!picture.height || !ShapeOf(m_pScene->m_nShape).pfnCoverSpec || !ShapeOf(m_pScene->m_nShape).pfnCoverSpec(values, &cover))
        return;
    std::wstring note, refusal;
    SceneShape(*m_pScene, &note, &refusal);
    wchar_t size[64];
    swprintf(size, 64, L"%u x %u", picture.width, picture.height);
    std::wstring message = L"The cover picture (" + std::wstring(size) + L") is now read as the " +
                           ShapeOf(m_pScene->m_nShape).pszCaption + L"'s cover: " + CoverSizeText(cover, picture.height) + L".";
    if (!refusal.empty())
        message += L"\n\nIt is not used: " + refusal + L".";
    else if (!note.empty())
        message += L"\n\nNote: " + note + L".";
    MessageBox(message.c_str(), L"Zelmora", MB_OK | (refusal.empty() ? MB_ICONINFORMATION : MB_ICONWARNING));
}

void CDimensionsPage::OnPaperChosen()
{
    TakeListChoice(IDC_PAPER, &BoxScene::m_nPaper, kPaperCount);
}

void CDimensionsPage::OnChoiceMade(UINT nID)
{
    for (const auto& list : kChoiceLists)
        if (list.nID == static_cast<int>(nID))
            TakeListChoice(list.nID, list.pField, list.count);
}

void CDimensionsPage::OnCameraBump()
{
    const int bump = ::SendDlgItemMessageW(m_hWnd, IDC_CAMERA_BUMP, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    if (m_bShowing || bump == m_pScene->m_nCameraBump)
        return;
    m_pScene->m_nCameraBump = bump;
    m_pScene->RefreshPages();
}

void CDimensionsPage::OnOK()
{
    // Enter in a field takes what was typed there.
    const int id = ::GetDlgCtrlID(::GetFocus());
    if (TypedField(id) >= 0)
        TakeBookField(id);
}

void CDimensionsPage::OnBookFieldDone(UINT nID)
{
    if (!m_bShowing && TypedField(static_cast<int>(nID)) >= 0)
        TakeBookField(static_cast<int>(nID));
}

bool CDimensionsPage::TakeBookField(int nID)
{
    wchar_t typed[64] = {};
    ::GetDlgItemTextW(m_hWnd, nID, typed, 64);
    // Untouched since it was shown: nothing typed to take (the book may have changed since,
    // by undo for instance, and the field would put the old value back).
    const int field = TypedField(nID);
    if (m_strFieldShown[field] == typed) {
        m_strShown.clear();  // the field shows the book's value again
        ShowBookFields();
        return true;
    }
    SceneDescription scene;
    scene.TakeFrom(*m_pScene);
    const char* name = kTypedFields[field].pszName;
    std::wstring expected;
    std::wstring text = typed;
    text.erase(0, text.find_first_not_of(L' '));
    text.erase(text.find_last_not_of(L' ') + 1);
    // "35%" and "120\u00b0" as the fields show them: the number is the value.
    while (!text.empty() && (text.back() == L'%' || text.back() == L'\u00b0' || text.back() == L' '))
        text.pop_back();
    if (ApplySceneOption(scene, name, text, L"", &expected) != OptionResult::Applied) {
        const wchar_t* what = kTypedFields[field].pszCaption;
        const std::wstring message = std::wstring(what) + L": \"" + text + L"\" is not used: " + expected + L".";
        ShowBookFields(true);  // back to the book's value, before the message takes the focus
        MessageBox(message.c_str(), L"Zelmora", MB_OK | MB_ICONWARNING);
        return false;
    }
    for (SceneValueIndex value : kTypedValues)
        m_pScene->*g_sceneValues[value].pField = scene.values[value];
    // The field shows what was typed now (under the focus the refresh leaves it as it is):
    // typing back what it showed before is a change of its own.
    m_strFieldShown[field] = typed;
    m_pScene->RefreshPages();
    return true;
}

void CDimensionsPage::OnFitToPictures()
{
    if (TakesCover(m_pScene->m_nShape)) {
        // A book's size is its trim and pages (its cover's spine when it has one): the box
        // takes that size, so that the box shape shows the same block.
        const ShapeSpec spec = SceneShape(*m_pScene);
        const SceneValue& range = g_sceneValues[kValueWidth];
        int* const fields[3] = {&m_pScene->m_nWidth, &m_pScene->m_nHeight, &m_pScene->m_nDepth};
        for (int i = 0; i < 3; ++i)
            *fields[i] = std::clamp(static_cast<int>(std::lround(spec.size[i] * 10)), range.nMin, range.nMax);
        m_pScene->RefreshPages();
        return;
    }
    // The front picture gives width : height, the left one depth : height; the height stays
    // unless a side would pass the largest size, when all three shrink together.
    const PictureSize front = SizeOf(m_pScene->m_picture[SideFront]);
    const PictureSize left = SizeOf(m_pScene->m_picture[SideLeft]);
    if (!front.height) {
        MessageBox(L"Put a picture on the front face first: the box takes its width and height from it.", L"Zelmora",
                   MB_OK | MB_ICONINFORMATION);
        return;
    }
    const double height = m_pScene->m_nHeight;
    double sides[3] = {height * front.width / front.height, height, static_cast<double>(m_pScene->m_nDepth)};
    if (left.height)
        sides[2] = height * left.width / left.height;
    const SceneValue& range = g_sceneValues[kValueWidth];
    const double scale = std::min(1.0, range.nMax / std::max({sides[0], sides[1], sides[2]}));
    int* const fields[3] = {&m_pScene->m_nWidth, &m_pScene->m_nHeight, &m_pScene->m_nDepth};
    for (int i = 0; i < 3; ++i)
        *fields[i] = std::clamp(static_cast<int>(sides[i] * scale + 0.5), range.nMin, range.nMax);
    m_pScene->RefreshPages();
}
