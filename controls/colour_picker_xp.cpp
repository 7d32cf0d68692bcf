#include "colour_picker_xp.h"

#include "colour_palette_popup.h"
#include "named_colours.h"
#include "offscreen_dc.h"

namespace {
// Part and state ids of the visual styles this button draws with.
constexpr int kPartPushButton = 1;  // BP_PUSHBUTTON
constexpr int kPartEditText = 1;    // EP_EDITTEXT
constexpr int kPartDropDown = 1;    // CP_DROPDOWNBUTTON
constexpr COLORREF kDisabledComboEdge = RGB(201, 199, 186);
constexpr COLORREF kDisabledComboInner = RGB(245, 244, 234);
}

IMPLEMENT_DYNCREATE(CColourPickerXP, CButton)

BEGIN_MESSAGE_MAP(CColourPickerXP, CButton)
    ON_CONTROL_REFLECT_EX(BN_CLICKED, OnClicked)
    ON_WM_CREATE()
    ON_MESSAGE(CLRN_SELENDOK, OnPaletteAccept)
    ON_MESSAGE(CLRN_SELENDCANCEL, OnPaletteCancel)
    ON_MESSAGE(CLRN_SELCHANGE, OnPaletteHot)
    ON_WM_MOUSEMOVE()
    ON_MESSAGE(WM_MOUSELEAVE, OnMouseLeave)
END_MESSAGE_MAP()

CColourPickerXP::CColourPickerXP() : m_clrDefault(::GetSysColor(COLOR_APPWORKSPACE))
{
    if (IsWindowsXPOrLater())
        ::SystemParametersInfoA(SPI_GETFLATMENU, 0, &m_bFlatMenu, 0);
}

CColourPickerXP::~CColourPickerXP()
{
    m_themeButton.Close();
    m_themeEdit.Close();
    m_themeComboBox.Close();
}

COLORREF CColourPickerXP::GetColour(BOOL bResolveDefault) const
{
    return bResolveDefault && m_clrValue == CLR_DEFAULT ? m_clrDefault : m_clrValue;
}

COLORREF CColourPickerXP::GetRawColour() const
{
    return m_clrValue;
}

void CColourPickerXP::SetColour(COLORREF clr)
{
    m_clrValue = clr;
    Repaint();
}

COLORREF CColourPickerXP::GetDefaultColour() const
{
    return m_clrDefault;
}

void CColourPickerXP::SetDefaultColour(COLORREF clr)
{
    m_clrDefault = clr;
}

void CColourPickerXP::SetCustomLabel(LPCWSTR pszText)
{
    m_strCustomLabel = pszText;
}

void CColourPickerXP::SetDefaultLabel(LPCWSTR pszText)
{
    m_strDefaultLabel = pszText;
    if (m_bComboLook && m_clrValue == CLR_DEFAULT)
        Repaint();
}

void CColourPickerXP::SetCustomColourSection(LPCWSTR pszSection)
{
    m_strCustomColourSection = pszSection;
}

void CColourPickerXP::SetLiveTrack(BOOL bLiveTrack)
{
    m_bLiveTrack = bLiveTrack;
}

BOOL CColourPickerXP::GetLiveTrack() const
{
    return m_bLiveTrack;
}

void CColourPickerXP::SetComboLook(BOOL bComboLook)
{
    m_bComboLook = bComboLook;
    if (bComboLook) {
        CClientDC dc(m_hWnd);
        HGDIOBJ hOldFont = dc.SelectObject(GetFont());
        TEXTMETRICW tm = {};
        dc.GetTextMetrics(&tm);
        dc.SelectObject(hOldFont);
        CRect rc;
        GetWindowRect(&rc);
        SetWindowPos(nullptr, 0, 0, rc.Width(), tm.tmHeight + 8,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
    }
    Repaint();
}

BOOL CColourPickerXP::GetComboLook() const
{
    return m_bComboLook;
}

void CColourPickerXP::SetChannelLetters(LPCWSTR pszLetters)
{
    m_strChannelLetters = pszLetters;
    while (m_strChannelLetters.GetLength() < 3)
        m_strChannelLetters += L' ';
    if (m_bComboLook && m_clrValue != CLR_DEFAULT)
        Repaint();
}

void CColourPickerXP::SetNameWithValues(BOOL bNameWithValues)
{
    m_bNameWithValues = bNameWithValues;
    if (m_bComboLook && m_clrValue != CLR_DEFAULT)
        Repaint();
}

BOOL CColourPickerXP::GetNameWithValues() const
{
    return m_bNameWithValues;
}

void CColourPickerXP::PaintDropPart(BOOL bHot)
{
    if (!CThemeHelper::IsAppThemed())
        return;
    CClientDC dc(m_hWnd);
    CRect rc;
    GetClientRect(&rc);
    m_themeEdit.GetBackgroundContentRect(dc, kPartEditText, 1, &rc, &rc);
    rc.left = rc.right - rc.Height() + 2;
    m_themeComboBox.DrawBackground(dc, kPartDropDown, bHot ? 2 : 1, &rc, nullptr);
}

void CColourPickerXP::PreSubclassWindow()
{
    ModifyStyle(0, BS_OWNERDRAW);
    CButton::PreSubclassWindow();
}

BOOL CColourPickerXP::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN) {
        if (pMsg->wParam == VK_DOWN || pMsg->wParam == VK_F4) {
            OnClicked();
            return TRUE;
        }
        if (pMsg->wParam == VK_UP)
            return TRUE;
    }
    return CButton::PreTranslateMessage(pMsg);
}

void CColourPickerXP::NotifyParent(UINT nMessage, COLORREF clr)
{
    HWND hParent = GetParent();
    if (hParent)
        ::SendMessageW(hParent, nMessage, clr, static_cast<LPARAM>(GetDlgCtrlID()));
}

BOOL CColourPickerXP::OnClicked()
{
    m_bPaletteOpen = TRUE;
    CRect rc;
    GetWindowRect(&rc);
    auto* pPalette = new CColourPalettePopup(CPoint(rc.left, rc.bottom), m_clrValue, this, m_strDefaultLabel,
                                             m_strCustomLabel, m_strCustomColourSection);
    if (!pPalette->GetSafeHwnd()) {
        // No window, so no end message will ever come: close again at once.
        delete pPalette;
        m_bPaletteOpen = FALSE;
        Repaint();
        return TRUE;
    }
    NotifyParent(CLRN_DROPDOWN, m_clrValue);
    return TRUE;
}

int CColourPickerXP::OnCreate(LPCREATESTRUCT)
{
    return Default() == -1 ? -1 : 0;
}

LRESULT CColourPickerXP::OnPaletteAccept(WPARAM wParam, LPARAM)
{
    COLORREF clrBefore = m_clrValue;
    m_bPaletteOpen = FALSE;
    SetColour(static_cast<COLORREF>(wParam));
    NotifyParent(CLRN_CLOSEUP, static_cast<COLORREF>(wParam));
    NotifyParent(CLRN_SELENDOK, static_cast<COLORREF>(wParam));
    if (m_clrValue != clrBefore)
        NotifyParent(CLRN_SELCHANGE, m_clrValue);
    return TRUE;
}

LRESULT CColourPickerXP::OnPaletteCancel(WPARAM wParam, LPARAM)
{
    m_bPaletteOpen = FALSE;
    SetColour(static_cast<COLORREF>(wParam));  // undoes any live tracking
    NotifyParent(CLRN_CLOSEUP, static_cast<COLORREF>(wParam));
    NotifyParent(CLRN_SELENDCANCEL, static_cast<COLORREF>(wParam));
    return TRUE;
}

LRESULT CColourPickerXP::OnPaletteHot(WPARAM wParam, LPARAM)
{
    if (m_bLiveTrack)
        SetColour(static_cast<COLORREF>(wParam));
    NotifyParent(CLRN_SELCHANGE, static_cast<COLORREF>(wParam));
    return TRUE;
}

void CColourPickerXP::OnMouseMove(UINT, CPoint)
{
    if (!m_bHover) {
        m_bHover = TRUE;
        TRACKMOUSEEVENT tme = {sizeof(tme), TME_LEAVE, m_hWnd, 0};
        ::_TrackMouseEvent(&tme);
        if (m_bComboLook)
            PaintDropPart(TRUE);
        else
            Invalidate(FALSE);
    }
    Default();
}

LRESULT CColourPickerXP::OnMouseLeave(WPARAM, LPARAM)
{
    if (m_bHover) {
        m_bHover = FALSE;
        if (m_bComboLook)
            PaintDropPart(FALSE);
        else
            Invalidate(FALSE);
    }
    return 0;
}

CString CColourPickerXP::ComboText() const
{
    if (m_clrValue == CLR_DEFAULT)
        return m_strDefaultLabel;
    CString values;
    values.Format(L"%lc:%d %lc:%d %lc:%d", m_strChannelLetters[0], GetRValue(m_clrValue), m_strChannelLetters[1],
                  GetGValue(m_clrValue), m_strChannelLetters[2], GetBValue(m_clrValue));
    for (int i = 0; i < g_nNamedColours; ++i) {
        if (g_namedColours[i].crColour != m_clrValue)
            continue;
        if (!m_bNameWithValues)
            return CString(g_namedColours[i].szName);
        CString named;
        named.Format(L"%ls (%ls)", g_namedColours[i].szName, values.GetString());
        return named;
    }
    return values;
}

void CColourPickerXP::DrawThemedBackground(CDC& dc, UINT state, BOOL bDisabled, CRect& rc)
{
    if (bDisabled && m_bComboLook) {
        dc.Draw3dRect(&rc, kDisabledComboEdge, kDisabledComboEdge);
        ::InflateRect(&rc, -1, -1);
        return;
    }
    int s = 0;
    if ((state & ODS_SELECTED) || m_bPaletteOpen)
        s = 3;
    if (bDisabled)
        s |= 4;
    if ((state & ODS_HOTLIGHT) || m_bHover)
        s |= 2;
    else if ((state & ODS_DEFAULT) && !m_bComboLook)
        s |= 5;
    if (m_bComboLook) {
        m_themeEdit.DrawBackground(dc, kPartEditText, s, &rc, nullptr);
        m_themeEdit.GetBackgroundContentRect(dc, kPartEditText, s, &rc, &rc);
    } else {
        m_themeButton.DrawBackground(dc, kPartPushButton, s, &rc, nullptr);
        m_themeButton.GetBackgroundContentRect(dc, kPartPushButton, s, &rc, &rc);
        rc.right += 1;
    }
}

void CColourPickerXP::DrawClassicBackground(CDC& dc, UINT state, BOOL bDisabled, CRect& rc)
{
    if (m_bComboLook) {
        if (!bDisabled)
            dc.FillRect(&rc, ::GetSysColorBrush(COLOR_WINDOW));
        dc.DrawEdge(&rc, EDGE_SUNKEN, BF_RECT);
        ::InflateRect(&rc, -::GetSystemMetrics(SM_CXEDGE), -::GetSystemMetrics(SM_CYEDGE));
        return;
    }
    UINT nState = DFCS_BUTTONPUSH | DFCS_ADJUSTRECT;
    if (state & ODS_SELECTED)
        nState |= DFCS_PUSHED;
    if (bDisabled)
        nState |= DFCS_INACTIVE;
    dc.DrawFrameControl(&rc, DFC_BUTTON, nState);
    if (state & ODS_SELECTED)
        ::OffsetRect(&rc, 1, 1);
}

void CColourPickerXP::DrawComboDropPart(CDC& dc, UINT state, BOOL bDisabled, BOOL bThemed, CRect& rc)
{
    if (bThemed) {
        int t = (state & ODS_SELECTED) ? 3 : 0;
        if (bDisabled)
            t |= 4;
        if ((state & ODS_HOTLIGHT) || m_bHover)
            t |= 2;
        CRect part(rc.right - rc.Height() + 2, rc.top, rc.right, rc.bottom);
        m_themeComboBox.DrawBackground(dc, kPartDropDown, t, &part, nullptr);
        rc.right -= part.Width();
        return;
    }
    CRect part(rc.right - rc.Height(), rc.top, rc.right, rc.bottom);
    UINT nState = DFCS_SCROLLCOMBOBOX;
    if (bDisabled)
        nState |= DFCS_INACTIVE;
    if (state & ODS_SELECTED)
        nState |= DFCS_PUSHED | DFCS_FLAT;
    dc.DrawFrameControl(&part, DFC_SCROLL, nState);
    rc.left += 1;
    rc.top += 1;
    rc.bottom -= 1;
    rc.right -= part.Width();
}

void CColourPickerXP::DrawArrowAndSeparator(CDC& dc, BOOL bDisabled, CRect& rc)
{
    const int cxEdge = ::GetSystemMetrics(SM_CXEDGE);
    const int x0 = rc.right - cxEdge / 2 - 4;
    const int ym = (rc.top + rc.bottom) / 2;
    const POINT arrow[3] = {{x0, ym - 1}, {x0 + 4, ym - 1}, {x0 + 2, ym + 1}};
    COLORREF clrArrow = bDisabled ? ::GetSysColor(COLOR_GRAYTEXT) : RGB(0, 0, 0);
    {
        CBrush brush;
        brush.CreateSolidBrush(clrArrow);
        CPen pen(PS_SOLID, 1, clrArrow);
        HGDIOBJ hOldBrush = dc.SelectObject(brush);
        HGDIOBJ hOldPen = dc.SelectObject(pen);
        int oldMode = dc.SetPolyFillMode(WINDING);
        dc.Polygon(arrow, 3);
        dc.SetPolyFillMode(oldMode);
        dc.SelectObject(hOldPen);
        dc.SelectObject(hOldBrush);
    }
    rc.right = x0 - cxEdge / 2 - 2;
    dc.DrawEdge(&rc, EDGE_ETCHED, BF_RIGHT | (m_bFlatMenu ? BF_FLAT : 0));
    rc.right -= 2 * cxEdge + 1;
}

void CColourPickerXP::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    UINT state = lpDrawItemStruct->itemState;
    CRect rc(lpDrawItemStruct->rcItem);
    CDC target(lpDrawItemStruct->hDC);
    COffscreenDC dc(&target);

    const BOOL bFocusLook = (state & ODS_FOCUS) && !(state & ODS_SELECTED);
    SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.m_hDC));
    if (m_bPaletteOpen && !m_bComboLook)
        state |= ODS_SELECTED;
    if (state & ODS_FOCUS)
        state |= ODS_DEFAULT;

    if (m_themeButton.IsNull())
        m_themeButton.Open(m_hWnd, L"BUTTON");
    if (m_themeEdit.IsNull())
        m_themeEdit.Open(m_hWnd, L"EDIT");
    if (m_themeComboBox.IsNull())
        m_themeComboBox.Open(m_hWnd, L"COMBOBOX");

    const BOOL bThemed = CThemeHelper::IsAppThemed();
    const BOOL bDisabled = (state & ODS_DISABLED) != 0;
    if (bThemed)
        DrawThemedBackground(dc, state, bDisabled, rc);
    else
        DrawClassicBackground(dc, state, bDisabled, rc);

    if (m_bComboLook)
        DrawComboDropPart(dc, state, bDisabled, bThemed, rc);

    if (bThemed && m_bComboLook) {
        if (bDisabled)
            dc.Draw3dRect(&rc, kDisabledComboInner, kDisabledComboInner);
        rc = CRect(rc.left + 2, rc.top + 2, rc.right - 1, rc.bottom - 2);
    }

    if (bFocusLook) {
        CRect f(rc.left, rc.top, rc.right - 1, rc.bottom);
        if (m_bComboLook) {
            COLORREF h = ::GetSysColor(COLOR_HIGHLIGHT);
            CRect inner = f;
            ::InflateRect(&inner, -1, -1);
            dc.FillSolidRect(&inner, h);
            COLORREF inverse = RGB(255 - GetRValue(h), 255 - GetGValue(h), 255 - GetBValue(h));
            CBrush frame;
            frame.CreateSolidBrush(inverse);
            dc.FrameRect(&f, frame);
        }
        dc.DrawFocusRect(&f);
    }

    ::InflateRect(&rc, -::GetSystemMetrics(SM_CXEDGE), -::GetSystemMetrics(SM_CYEDGE));
    rc.right -= 1;

    if (!m_bComboLook)
        DrawArrowAndSeparator(dc, bDisabled, rc);

    if (bDisabled)
        return;  // a disabled button shows no swatch and no text

    CRect swatch = rc;
    if (m_bComboLook)
        swatch.right = swatch.left + rc.Height();
    dc.FillSolidRect(&swatch, m_clrValue == CLR_DEFAULT ? m_clrDefault : m_clrValue);
    dc.FrameRect(&swatch, ::GetSysColorBrush(bFocusLook && m_bComboLook ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWFRAME));

    if (m_bComboLook) {
        rc.left += swatch.Width() + 2;
        rc.top -= 1;
        rc.bottom += 1;
        CString text = ComboText();
        HGDIOBJ hOldFont = dc.SelectObject(GetFont());
        dc.SetBkMode(TRANSPARENT);
        if (bFocusLook)
            dc.SetTextColor(::GetSysColor(COLOR_HIGHLIGHTTEXT));
        dc.DrawText(text, text.GetLength(), &rc, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
        dc.SelectObject(hOldFont);
    }
}
