#include "colour_palette_popup.h"

#include <vector>

#include "named_colours.h"

namespace {

constexpr int kMaxPaletteEntries = 100;
constexpr int kGridColumns = 8;
#ifndef CS_DROPSHADOW
#define CS_DROPSHADOW 0x00020000
#endif

COLORREF Blend(COLORREF menu, COLORREF highlight)
{
    auto channel = [](int m, int h) { return static_cast<BYTE>((207 * m + 48 * h) / 256); };
    return RGB(channel(GetRValue(menu), GetRValue(highlight)), channel(GetGValue(menu), GetGValue(highlight)),
               channel(GetBValue(menu), GetBValue(highlight)));
}

// The limits a palette must stay within: the work area of the monitor nearest to it, or
// the primary screen where the monitor functions are missing.
CRect ScreenLimits(HWND hWnd)
{
    typedef HMONITOR(WINAPI * MonitorFromWindowFn)(HWND, DWORD);
    typedef BOOL(WINAPI * GetMonitorInfoFn)(HMONITOR, LPMONITORINFO);
    HMODULE hUser = ::GetModuleHandleA("USER32.DLL");
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wcast-function-type"
    auto pfnMonitorFromWindow = reinterpret_cast<MonitorFromWindowFn>(::GetProcAddress(hUser, "MonitorFromWindow"));
    auto pfnGetMonitorInfo = reinterpret_cast<GetMonitorInfoFn>(::GetProcAddress(hUser, "GetMonitorInfoA"));
#pragma GCC diagnostic pop
    if (pfnMonitorFromWindow && pfnGetMonitorInfo) {
        MONITORINFO mi = {};
        mi.cbSize = sizeof(mi);
        if (pfnGetMonitorInfo(pfnMonitorFromWindow(hWnd, MONITOR_DEFAULTTONEAREST), &mi))
            return CRect(mi.rcWork);
    }
    return CRect(0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
}

} // namespace

BOOL IsWindowsXPOrLater()
{
    OSVERSIONINFOA vi = {};
    vi.dwOSVersionInfoSize = sizeof(vi);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!::GetVersionExA(&vi))
        return FALSE;
#pragma GCC diagnostic pop
    return vi.dwPlatformId == VER_PLATFORM_WIN32_NT &&
           (vi.dwMajorVersion > 5 || (vi.dwMajorVersion == 5 && vi.dwMinorVersion >= 1));
}

BEGIN_MESSAGE_MAP(CColourPalettePopup, CWnd)
    ON_WM_NCDESTROY()
    ON_WM_LBUTTONUP()
    ON_WM_PAINT()
    ON_WM_MOUSEMOVE()
    ON_WM_KEYDOWN()
    ON_WM_QUERYNEWPALETTE()
    ON_WM_PALETTECHANGED()
    ON_WM_KILLFOCUS()
    ON_WM_ACTIVATEAPP()
END_MESSAGE_MAP()

CColourPalettePopup::CColourPalettePopup(CPoint pt, COLORREF clrInitial, CWnd* pOwnerButton, LPCWSTR pszDefaultText,
                                         LPCWSTR pszCustomText, LPCWSTR pszRegistrySection)
{
    InitPalette();
    m_clrInitial = m_clrReport = clrInitial;
    m_pOwnerButton = pOwnerButton;
    m_strDefaultLabel = pszDefaultText;
    m_strCustomLabel = pszCustomText;
    m_strCustomColourSection = pszRegistrySection;
    Create(pt, clrInitial, pOwnerButton, pszDefaultText, pszCustomText);
}

CColourPalettePopup::~CColourPalettePopup()
{
    m_font.DeleteObject();
    m_palette.DeleteObject();
}

void CColourPalettePopup::InitPalette()
{
    if (g_nNamedColours > kMaxPaletteEntries)
        g_nNamedColours = kMaxPaletteEntries;

    m_nColumns = m_nRows = 0;
    m_nCellSize = 18;
    m_nEdge = ::GetSystemMetrics(SM_CXEDGE);
    m_nHotCell = m_nInitialCell = CELL_NONE;
    m_clrInitial = m_clrReport = 0;
    m_pOwnerButton = nullptr;
    m_bDialogOpen = FALSE;

    m_bIsXP = IsWindowsXPOrLater();
    m_bFlatMenu = FALSE;
    if (m_bIsXP)
        ::SystemParametersInfoA(SPI_GETFLATMENU, 0, &m_bFlatMenu, 0);

    m_clrMenu = ::GetSysColor(COLOR_MENU);
    m_clrHotBorder = ::GetSysColor(COLOR_HIGHLIGHT);
    m_clrHotFill = ::GetSysColor(m_bIsXP ? COLOR_MENUHILIGHT : COLOR_HIGHLIGHT);
    m_clrHotText = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    m_clrMenuText = ::GetSysColor(COLOR_MENUTEXT);
    m_clrInitialFill = Blend(m_clrMenu, m_clrHotBorder);

    // The colour square inside a cell keeps at least 5 pixels.
    if (m_nCellSize - 2 * m_nEdge - 2 < 5)
        m_nCellSize = 2 * m_nEdge + 7;

    NONCLIENTMETRICSW ncm = {};
    ncm.cbSize = sizeof(ncm);
    if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0))
        m_font.CreateFontIndirect(&ncm.lfMessageFont);

    std::vector<BYTE> buffer(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * g_nNamedColours);
    auto* pLogPalette = reinterpret_cast<LOGPALETTE*>(buffer.data());
    pLogPalette->palVersion = 0x300;
    pLogPalette->palNumEntries = static_cast<WORD>(g_nNamedColours);
    for (int i = 0; i < g_nNamedColours; ++i) {
        COLORREF c = g_namedColours[i].crColour;
        pLogPalette->palPalEntry[i] = {GetRValue(c), GetGValue(c), GetBValue(c), 0};
    }
    m_palette.CreatePalette(pLogPalette);
}

BOOL CColourPalettePopup::Create(CPoint pt, COLORREF clrInitial, CWnd* pOwnerButton, LPCWSTR pszDefaultText,
                                 LPCWSTR pszCustomText)
{
    m_clrInitial = m_clrReport = clrInitial;
    m_pOwnerButton = pOwnerButton;

    UINT classStyle = CS_VREDRAW | CS_HREDRAW | CS_CLASSDC | CS_SAVEBITS;
    BOOL bDropShadow = FALSE;
    if (m_bIsXP && ::SystemParametersInfoA(SPI_GETDROPSHADOW, 0, &bDropShadow, 0) && bDropShadow)
        classStyle |= CS_DROPSHADOW;
    LPCWSTR pszClass = AfxRegisterWndClass(classStyle, nullptr, ::GetSysColorBrush(COLOR_MENU), nullptr);

    // Keep the dialog from repainting while the palette takes activation from it.
    HWND hTopLevel = pOwnerButton ? pOwnerButton->GetParentOwner() : nullptr;
    if (hTopLevel)
        ::SendMessageW(hTopLevel, WM_SETREDRAW, FALSE, 0);
    BOOL bCreated = CreateEx(0, pszClass, L"", WS_POPUP | WS_VISIBLE, pt.x, pt.y, 100, 100,
                             pOwnerButton ? pOwnerButton->m_hWnd : nullptr, nullptr);
    if (hTopLevel) {
        ::SendMessageW(hTopLevel, WM_NCACTIVATE, TRUE, 0);  // its caption stays active
        ::SendMessageW(hTopLevel, WM_SETREDRAW, TRUE, 0);
    }
    if (!bCreated)
        return FALSE;

    if (pszCustomText)
        m_strCustomLabel = pszCustomText;
    if (pszDefaultText)
        m_strDefaultLabel = pszDefaultText;

    ComputeLayout();
    AddCellTips();
    LocateInitialCell(clrInitial);
    SetCapture();
    return TRUE;
}

int CColourPalettePopup::IndexAt(int nRow, int nColumn) const
{
    if ((nRow == CELL_CUSTOM_BOX || nColumn == CELL_CUSTOM_BOX) && HasCustomBox())
        return CELL_CUSTOM_BOX;
    if ((nRow == CELL_DEFAULT_BOX || nColumn == CELL_DEFAULT_BOX) && HasDefaultBox())
        return CELL_DEFAULT_BOX;
    if (nRow >= 0 && nRow < m_nRows && nColumn >= 0 && nColumn < m_nColumns &&
        nRow * m_nColumns + nColumn < g_nNamedColours)
        return nRow * m_nColumns + nColumn;
    return CELL_NONE;
}

int CColourPalettePopup::RowOf(int nIndex) const
{
    if (nIndex == CELL_CUSTOM_BOX)
        return HasCustomBox() ? CELL_CUSTOM_BOX : CELL_NONE;
    if (nIndex == CELL_DEFAULT_BOX)
        return HasDefaultBox() ? CELL_DEFAULT_BOX : CELL_NONE;
    return nIndex >= 0 && nIndex < g_nNamedColours && m_nColumns > 0 ? nIndex / m_nColumns : CELL_NONE;
}

int CColourPalettePopup::ColumnOf(int nIndex) const
{
    if (nIndex == CELL_CUSTOM_BOX)
        return HasCustomBox() ? CELL_CUSTOM_BOX : CELL_NONE;
    if (nIndex == CELL_DEFAULT_BOX)
        return HasDefaultBox() ? CELL_DEFAULT_BOX : CELL_NONE;
    return nIndex >= 0 && nIndex < g_nNamedColours && m_nColumns > 0 ? nIndex % m_nColumns : CELL_NONE;
}

BOOL CColourPalettePopup::CellRect(int nIndex, RECT* pRect) const
{
    if (nIndex == CELL_CUSTOM_BOX) {
        *pRect = m_rcCustomBox;
        return TRUE;
    }
    if (nIndex == CELL_DEFAULT_BOX) {
        *pRect = m_rcDefaultBox;
        return TRUE;
    }
    if (nIndex < 0 || nIndex >= g_nNamedColours || m_nColumns <= 0)
        return FALSE;
    pRect->left = ColumnOf(nIndex) * m_nCellSize + m_nEdge;
    pRect->top = RowOf(nIndex) * m_nCellSize + m_nEdge;
    if (HasDefaultBox())
        pRect->top += m_rcDefaultBox.Height() + m_nEdge;
    pRect->right = pRect->left + m_nCellSize;
    pRect->bottom = pRect->top + m_nCellSize;
    return TRUE;
}

void CColourPalettePopup::LocateInitialCell(COLORREF clr)
{
    if (clr == CLR_DEFAULT && HasDefaultBox()) {
        m_nInitialCell = CELL_DEFAULT_BOX;
        return;
    }
    for (int i = 0; i < g_nNamedColours; ++i) {
        if (g_namedColours[i].crColour == clr) {
            m_nInitialCell = i;
            return;
        }
    }
    m_nInitialCell = HasCustomBox() ? CELL_CUSTOM_BOX : CELL_NONE;
}

void CColourPalettePopup::ComputeLayout()
{
    int w = 0, h = 0;
    if (HasDefaultBox() || HasCustomBox()) {
        CClientDC dc(m_hWnd);
        HGDIOBJ hOldFont = dc.SelectObject(m_font);
        SIZE sizeDefault = dc.GetTextExtent(m_strDefaultLabel, m_strDefaultLabel.GetLength());
        SIZE sizeCustom = dc.GetTextExtent(m_strCustomLabel, m_strCustomLabel.GetLength());
        dc.SelectObject(hOldFont);
        w = (sizeDefault.cx > sizeCustom.cx ? sizeDefault.cx : sizeCustom.cx) + 2 * m_nEdge;
        h = (sizeDefault.cy > sizeCustom.cy ? sizeDefault.cy : sizeCustom.cy) + 4 * m_nEdge + 2;
    }

    m_nColumns = kGridColumns;
    m_nRows = g_nNamedColours / m_nColumns + (g_nNamedColours % m_nColumns ? 1 : 0);

    CRect rc;
    GetWindowRect(&rc);
    m_rcWindow = CRect(rc.left, rc.top, rc.left + m_nColumns * m_nCellSize + 2 * m_nEdge,
                       rc.top + m_nRows * m_nCellSize + 2 * m_nEdge);

    if (HasDefaultBox()) {
        if (w > m_rcWindow.Width())
            m_rcWindow.right = m_rcWindow.left + w;
        int inner = m_rcWindow.Width() - 2 * m_nEdge;
        m_rcDefaultBox = CRect(m_nEdge, m_nEdge, m_nEdge + inner, 2 * m_nEdge + h);
        m_rcWindow.bottom += m_rcDefaultBox.Height() + 2 * m_nEdge;
    } else {
        m_rcDefaultBox = CRect();
    }
    if (HasCustomBox()) {
        if (w > m_rcWindow.Width())
            m_rcWindow.right = m_rcWindow.left + w;
        int inner = m_rcWindow.Width() - 2 * m_nEdge;
        int y = m_rcWindow.Height();
        m_rcCustomBox = CRect(m_nEdge, y, m_nEdge + inner, y + m_nEdge + h);
        m_rcWindow.bottom += m_rcCustomBox.Height() + m_nEdge;
    } else {
        m_rcCustomBox = CRect();
    }

    CRect limits = ScreenLimits(m_hWnd);
    if (m_rcWindow.right > limits.right)
        ::OffsetRect(&m_rcWindow, limits.right - m_rcWindow.right, 0);
    if (m_rcWindow.left < limits.left)
        ::OffsetRect(&m_rcWindow, limits.left - m_rcWindow.left, 0);
    if (m_rcWindow.bottom > limits.bottom) {
        CRect rcButton;
        if (m_pOwnerButton)
            m_pOwnerButton->GetWindowRect(&rcButton);
        ::OffsetRect(&m_rcWindow, 0, -(m_rcWindow.Height() + rcButton.Height()));
    }
    MoveWindow(&m_rcWindow, TRUE);
}

void CColourPalettePopup::AddCellTips()
{
    if (!m_toolTip.Create(this))
        return;  // the palette works without tooltips
    for (int i = 0; i < g_nNamedColours; ++i) {
        CRect rc;
        CellRect(i, &rc);
        m_toolTip.AddTool(this, g_namedColours[i].szName, &rc, 1);
    }
}

BOOL CColourPalettePopup::PreTranslateMessage(MSG* pMsg)
{
    if (m_toolTip.m_hWnd)
        m_toolTip.RelayEvent(pMsg);
    if (::GetCapture() != m_hWnd)
        SetCapture();
    return CWnd::PreTranslateMessage(pMsg);
}

void CColourPalettePopup::OnPaint()
{
    CPaintDC dc(m_hWnd);
    if (HasDefaultBox())
        PaintCell(&dc, CELL_DEFAULT_BOX);
    for (int i = 0; i < g_nNamedColours; ++i)
        PaintCell(&dc, i);
    if (HasCustomBox())
        PaintCell(&dc, CELL_CUSTOM_BOX);
    CRect rc;
    GetClientRect(&rc);
    DrawFrameEdge(&dc, rc, EDGE_RAISED, BF_RECT);
}

void CColourPalettePopup::DrawFrameEdge(CDC* pDC, RECT rc, UINT nEdge, UINT nSides)
{
    if (!m_bFlatMenu) {
        pDC->DrawEdge(&rc, nEdge, nSides);
        return;
    }
    CPen pen(PS_SOLID, 1, ::GetSysColor(COLOR_GRAYTEXT));
    HGDIOBJ hOldPen = pDC->SelectObject(pen);
    rc.right -= 1;
    rc.bottom -= 1;
    if (nSides & BF_TOP) {
        pDC->MoveTo(rc.left, rc.top);
        pDC->LineTo(rc.right + 1, rc.top);
    }
    if (nSides & BF_BOTTOM) {
        pDC->MoveTo(rc.left, rc.bottom);
        pDC->LineTo(rc.right + 1, rc.bottom);
    }
    if (nSides & BF_LEFT) {
        pDC->MoveTo(rc.left, rc.top);
        pDC->LineTo(rc.left, rc.bottom + 1);
    }
    if (nSides & BF_RIGHT) {
        pDC->MoveTo(rc.right, rc.top);
        pDC->LineTo(rc.right, rc.bottom + 1);
    }
    pDC->SelectObject(hOldPen);
}

void CColourPalettePopup::PaintCell(CDC* pDC, int nIndex)
{
    CRect r;
    if (!CellRect(nIndex, &r))
        return;
    bool bBox = nIndex == CELL_DEFAULT_BOX || nIndex == CELL_CUSTOM_BOX;
    int outer = bBox ? 2 : 0, inner = bBox ? 3 : 2;

    bool bHighlighted = true;
    COLORREF clrFlatFill = 0, clrText = m_clrMenuText, clrTopLeft = 0, clrBottomRight = 0;
    if (nIndex == m_nHotCell) {
        clrFlatFill = m_clrHotFill;
        clrText = m_bFlatMenu ? m_clrHotText : m_clrMenuText;
        clrTopLeft = ::GetSysColor(COLOR_BTNHIGHLIGHT);
        clrBottomRight = ::GetSysColor(COLOR_BTNSHADOW);
    } else if (nIndex == m_nInitialCell) {
        clrFlatFill = m_clrInitialFill;
        clrTopLeft = ::GetSysColor(COLOR_BTNSHADOW);
        clrBottomRight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    } else {
        bHighlighted = false;
    }

    HPALETTE hOldPalette = nullptr;
    bool bPaletteDevice = !bBox && (pDC->GetDeviceCaps(RASTERCAPS) & RC_PALETTE);
    if (bPaletteDevice) {
        hOldPalette = pDC->SelectPalette(m_palette, FALSE);
        pDC->RealizePalette();
    }

    if (bHighlighted) {
        if (outer) {
            pDC->FillSolidRect(&r, m_clrMenu);
            ::InflateRect(&r, -outer, -outer);
        }
        if (m_bFlatMenu) {
            CPen pen(PS_SOLID, 1, m_clrHotBorder);
            CBrush brush;
            brush.CreateSolidBrush(clrFlatFill);
            HGDIOBJ hOldPen = pDC->SelectObject(pen);
            HGDIOBJ hOldBrush = pDC->SelectObject(brush);
            pDC->Rectangle(&r);
            pDC->SelectObject(hOldBrush);
            pDC->SelectObject(hOldPen);
            ::InflateRect(&r, -(inner - 1), -(inner - 1));
        } else {
            pDC->FillSolidRect(&r, m_clrMenu);
            pDC->Draw3dRect(&r, clrTopLeft, clrBottomRight);
            ::InflateRect(&r, -inner, -inner);
        }
    } else {
        pDC->FillSolidRect(&r, m_clrMenu);
        ::InflateRect(&r, -(outer + inner), -(outer + inner));
    }

    if (bBox) {
        const CString& text = nIndex == CELL_DEFAULT_BOX ? m_strDefaultLabel : m_strCustomLabel;
        HGDIOBJ hOldFont = pDC->SelectObject(m_font);
        pDC->SetTextColor(clrText);
        pDC->SetBkMode(TRANSPARENT);
        pDC->DrawText(text, text.GetLength(), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        pDC->SelectObject(hOldFont);

        CRect rcSeparator;
        CellRect(nIndex, &rcSeparator);
        rcSeparator.left += 2;
        rcSeparator.right -= 2;
        rcSeparator.top -= 1;
        rcSeparator.bottom += 1;
        DrawFrameEdge(pDC, rcSeparator, EDGE_ETCHED, nIndex == CELL_DEFAULT_BOX ? BF_BOTTOM : BF_TOP);
    } else {
        ::InflateRect(&r, -1, -1);
        CPen pen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW));
        CBrush brush;
        brush.CreateSolidBrush(g_namedColours[nIndex].crColour | 0x02000000);  // palette-relative
        HGDIOBJ hOldPen = pDC->SelectObject(pen);
        HGDIOBJ hOldBrush = pDC->SelectObject(brush);
        pDC->Rectangle(&r);
        pDC->SelectObject(hOldBrush);
        pDC->SelectObject(hOldPen);
    }

    if (bPaletteDevice)
        pDC->SelectPalette(hOldPalette, FALSE);
}

void CColourPalettePopup::OnMouseMove(UINT, CPoint point)
{
    int nIndex = CELL_NONE;
    if (HasCustomBox() && m_rcCustomBox.PtInRect(point)) {
        nIndex = CELL_CUSTOM_BOX;
    } else if (HasDefaultBox() && m_rcDefaultBox.PtInRect(point)) {
        nIndex = CELL_DEFAULT_BOX;
    } else {
        for (int i = 0; i < g_nNamedColours; ++i) {
            CRect rc;
            if (CellRect(i, &rc) && rc.PtInRect(point)) {
                nIndex = i;
                break;
            }
        }
    }
    if (nIndex != m_nHotCell)
        MoveHot(nIndex);
    Default();
}

void CColourPalettePopup::OnLButtonUp(UINT, CPoint)
{
    Default();
    DWORD pos = ::GetMessagePos();
    POINT pt = {static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
    ClosePalette(m_rcWindow.PtInRect(pt) ? CLRN_SELENDOK : CLRN_SELENDCANCEL);
}

int CColourPalettePopup::CellAfterKey(UINT nKey) const
{
    const bool D = HasDefaultBox(), C = HasCustomBox();
    const int first = 0, last = g_nNamedColours - 1;
    const int hot = m_nHotCell;
    const bool bOnDefault = hot == CELL_DEFAULT_BOX && D, bOnCustom = hot == CELL_CUSTOM_BOX && C;
    const bool bOnGrid = hot >= 0 && hot < g_nNamedColours;
    const int r = RowOf(hot), c = ColumnOf(hot);
    // Where the grid runs out: the boxes in the order given, else the wrap cell.
    auto fallback = [&](bool bCustomFirst, int wrap) {
        if (bCustomFirst)
            return C ? CELL_CUSTOM_BOX : D ? CELL_DEFAULT_BOX : wrap;
        return D ? CELL_DEFAULT_BOX : C ? CELL_CUSTOM_BOX : wrap;
    };

    switch (nKey) {
    case VK_DOWN:
        if (bOnDefault)
            return first;
        if (!bOnGrid)
            return D ? CELL_DEFAULT_BOX : first;  // from the custom box or no cell
        if (int next = IndexAt(r + 1, c); next >= 0)
            return next;
        return fallback(true, first);
    case VK_UP:
        if (bOnCustom)
            return last;
        if (!bOnGrid)
            return C ? CELL_CUSTOM_BOX : last;  // from the default box or no cell
        if (r > 0)
            return IndexAt(r - 1, c);
        return fallback(false, last);
    case VK_RIGHT: {
        if (bOnDefault)
            return first;
        if (!bOnGrid)
            return D ? CELL_DEFAULT_BOX : first;
        int next = c < m_nColumns - 1 ? IndexAt(r, c + 1) : IndexAt(r + 1, 0);
        return next >= 0 ? next : fallback(true, first);
    }
    case VK_LEFT:
        if (bOnCustom)
            return last;
        if (!bOnGrid)
            return C ? CELL_CUSTOM_BOX : last;
        if (c > 0)
            return IndexAt(r, c - 1);
        if (r > 0)
            return IndexAt(r - 1, m_nColumns - 1);
        return fallback(false, last);
    default:
        return hot;
    }
}

void CColourPalettePopup::OnKeyDown(UINT nChar, UINT, UINT)
{
    switch (nChar) {
    case VK_RETURN:
    case VK_SPACE:
        ClosePalette(CLRN_SELENDOK);
        return;
    case VK_ESCAPE:
        m_clrReport = m_clrInitial;
        ClosePalette(CLRN_SELENDCANCEL);
        return;
    case VK_DOWN:
    case VK_UP:
    case VK_RIGHT:
    case VK_LEFT:
        MoveHot(CellAfterKey(nChar));
        Default();
        return;
    default:
        Default();
    }
}

void CColourPalettePopup::MoveHot(int nIndex)
{
    CClientDC dc(m_hWnd);
    if (m_nHotCell != CELL_NONE) {
        int old = m_nHotCell;
        m_nHotCell = CELL_NONE;
        PaintCell(&dc, old);  // loses the hot look
    }
    m_nHotCell = nIndex;
    PaintCell(&dc, nIndex);

    COLORREF clr;
    if (nIndex == CELL_CUSTOM_BOX) {
        clr = m_clrInitial;
    } else if (nIndex == CELL_DEFAULT_BOX) {
        clr = m_clrReport = CLR_DEFAULT;
    } else if (nIndex >= 0 && nIndex < g_nNamedColours) {
        clr = m_clrReport = g_namedColours[nIndex].crColour;
    } else {
        clr = m_clrReport = m_clrInitial;
    }
    if (m_pOwnerButton)
        m_pOwnerButton->SendMessage(CLRN_SELCHANGE, clr, 0);
}

void CColourPalettePopup::ClosePalette(UINT nMessage)
{
    ::ReleaseCapture();
    if (nMessage == CLRN_SELENDOK && m_nHotCell == CELL_CUSTOM_BOX)
        RunCustomColourDialog(&nMessage);
    if (nMessage == CLRN_SELENDCANCEL)
        m_clrReport = m_clrInitial;
    if (m_pOwnerButton)
        m_pOwnerButton->SendMessage(nMessage, m_clrReport, 0);
    // While the colour dialog runs, the palette stays for the dialog's own end.
    if (!m_bDialogOpen)
        DestroyWindow();
}

void CColourPalettePopup::RunCustomColourDialog(UINT* pMessage)
{
    m_bDialogOpen = TRUE;

    COLORREF custom[16];
    HKEY hKey = nullptr;
    CWinApp* pApp = AfxGetApp();
    if (!m_strCustomColourSection.IsEmpty() && pApp)
        hKey = pApp->GetSectionKey(m_strCustomColourSection);
    for (int i = 0; i < 16; ++i) {
        custom[i] = RGB(255, 255, 255);
        if (!hKey)
            continue;
        wchar_t name[32];
        wsprintfW(name, L"CUSTOM_COLOR_%d", i);
        DWORD value = 0, size = sizeof(value), type = 0;
        if (::RegQueryValueExW(hKey, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS &&
            size == sizeof(value))
            custom[i] = value;
    }

    CColorDialog dlg(m_clrInitial, CC_FULLOPEN | CC_ANYCOLOR, this);
    for (int i = 0; i < 16; ++i)
        dlg.m_cc.lpCustColors[i] = custom[i];
    if (dlg.DoModal() == IDOK)
        m_clrReport = dlg.GetColor();
    else
        *pMessage = CLRN_SELENDCANCEL;

    if (hKey) {
        for (int i = 0; i < 16; ++i) {
            wchar_t name[32];
            wsprintfW(name, L"CUSTOM_COLOR_%d", i);
            DWORD value = dlg.m_cc.lpCustColors[i];
            ::RegSetValueExW(hKey, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
        }
        ::RegCloseKey(hKey);
    }
    m_bDialogOpen = FALSE;
}

void CColourPalettePopup::OnKillFocus(CWnd*)
{
    Default();
    ::ReleaseCapture();
}

void CColourPalettePopup::OnActivateApp(BOOL bActive, DWORD)
{
    Default();
    if (!bActive)
        ClosePalette(CLRN_SELENDCANCEL);
}

BOOL CColourPalettePopup::OnQueryNewPalette()
{
    Invalidate(FALSE);
    return static_cast<BOOL>(Default());
}

void CColourPalettePopup::OnPaletteChanged(CWnd* pFocusWnd)
{
    Default();
    if (pFocusWnd != this)
        Invalidate(FALSE);
}
