// The colour button and its palette through real windows and messages: layout, the
// keyboard, what the parent is told and in which order, the looks, and clean-up.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "colour_palette_popup.h"
#include "colour_picker_xp.h"
#include "controls_test_resource.h"
#include "named_colours.h"
#include "offscreen_dc.h"

namespace {

const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kOffTable = RGB(0x12, 0x34, 0x56);

struct Note {
    UINT msg;
    COLORREF clr;
    bool operator==(const Note& o) const { return msg == o.msg && clr == o.clr; }
};
std::ostream& operator<<(std::ostream& os, const Note& n) { return os << (n.msg - WM_USER) << ":" << std::hex << n.clr; }

// The button's parent: records every colour message and any BN_CLICKED it sees.
class CHostDlg : public CDialog {
public:
    CHostDlg() : CDialog(IDD_COLOUR_HOST) {}
    BOOL OnInitDialog() override
    {
        button.SubclassDlgItem(IDC_COLOUR_BUTTON, this);
        return TRUE;
    }
    CColourPickerXP button;
    std::vector<Note> notes;
    int bnClicked = 0;
    LPARAM lastId = 0;

protected:
    LRESULT Record(UINT msg, WPARAM wp, LPARAM lp) { notes.push_back({msg, static_cast<COLORREF>(wp)}); lastId = lp; return 0; }
    LRESULT OnSelChange(WPARAM wp, LPARAM lp) { return Record(CLRN_SELCHANGE, wp, lp); }
    LRESULT OnDropDown(WPARAM wp, LPARAM lp) { return Record(CLRN_DROPDOWN, wp, lp); }
    LRESULT OnCloseUp(WPARAM wp, LPARAM lp) { return Record(CLRN_CLOSEUP, wp, lp); }
    LRESULT OnEndOk(WPARAM wp, LPARAM lp) { return Record(CLRN_SELENDOK, wp, lp); }
    LRESULT OnEndCancel(WPARAM wp, LPARAM lp) { return Record(CLRN_SELENDCANCEL, wp, lp); }
    void OnButtonClicked() { ++bnClicked; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CHostDlg, CDialog)
    ON_MESSAGE(CLRN_SELCHANGE, OnSelChange)
    ON_MESSAGE(CLRN_DROPDOWN, OnDropDown)
    ON_MESSAGE(CLRN_CLOSEUP, OnCloseUp)
    ON_MESSAGE(CLRN_SELENDOK, OnEndOk)
    ON_MESSAGE(CLRN_SELENDCANCEL, OnEndCancel)
    ON_BN_CLICKED(IDC_COLOUR_BUTTON, OnButtonClicked)
END_MESSAGE_MAP()

void Pump(DWORD ms = 30)
{
    DWORD end = ::GetTickCount() + ms;
    MSG msg;
    do {
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!CWnd::WalkPreTranslateTree(nullptr, &msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
        ::Sleep(2);
    } while (static_cast<LONG>(end - ::GetTickCount()) > 0);
}

BOOL CALLBACK CollectPalette(HWND hWnd, LPARAM lp)
{
    if (auto* p = dynamic_cast<CColourPalettePopup*>(CWnd::FromHandlePermanent(hWnd)))
        reinterpret_cast<std::vector<CColourPalettePopup*>*>(lp)->push_back(p);
    return TRUE;
}

std::vector<CColourPalettePopup*> OpenPalettes()
{
    std::vector<CColourPalettePopup*> found;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CollectPalette, reinterpret_cast<LPARAM>(&found));
    return found;
}

int ThreadWindowCount()
{
    int n = 0;
    ::EnumThreadWindows(::GetCurrentThreadId(), [](HWND, LPARAM lp) { ++*reinterpret_cast<int*>(lp); return TRUE; },
                        reinterpret_cast<LPARAM>(&n));
    return n;
}

class ColourPicker : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(host.Create(IDD_COLOUR_HOST, nullptr));
        host.button.SetDefaultLabel(L"Default");
        host.button.SetDefaultColour(0x00FFFFFF);
        Pump();
    }
    void TearDown() override
    {
        for (CColourPalettePopup* p : OpenPalettes())
            p->DestroyWindow();
        host.DestroyWindow();
    }

    // Opens the palette the way a click does (the reflected BN_CLICKED) and returns it.
    CColourPalettePopup* Open()
    {
        host.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_COLOUR_BUTTON, BN_CLICKED), reinterpret_cast<LPARAM>(host.button.m_hWnd));
        auto palettes = OpenPalettes();
        return palettes.size() == 1 ? palettes[0] : nullptr;
    }
    static void Key(CColourPalettePopup* p, UINT vk) { p->SendMessage(WM_KEYDOWN, vk, 0); }
    // Puts the highlight on a cell by moving the mouse over it.
    static void Hover(CColourPalettePopup* p, int cell)
    {
        CRect rc;
        POINT pt = {0, 0};  // the margin: no cell
        if (cell != CColourPalettePopup::CELL_NONE && p->CellRect(cell, &rc))
            pt = {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
        p->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(pt.x, pt.y));
    }

    CHostDlg host;
};

} // namespace

TEST_F(ColourPicker, PaletteLayoutIsEightByFiveCellsAndMarksTheInitialColour)
{
    host.button.SetColour(kRed);
    CColourPalettePopup* p = Open();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->Columns(), 8);
    EXPECT_EQ(p->Rows(), 5);
    EXPECT_EQ(p->CellSize(), 18);
    int e = p->Edge();
    CRect rcWindow;
    p->GetWindowRect(&rcWindow);
    EXPECT_EQ(rcWindow.Width(), 8 * 18 + 2 * e);
    EXPECT_EQ(rcWindow, p->WindowRect());
    EXPECT_EQ(rcWindow.Height(), 5 * 18 + 2 * e + p->DefaultBoxRect().Height() + 2 * e + p->CustomBoxRect().Height() + e);
    EXPECT_EQ(p->InitialCell(), 16);  // "Red"
    EXPECT_EQ(p->HotCell(), CColourPalettePopup::CELL_NONE);
    EXPECT_EQ(::GetCapture(), p->m_hWnd);
    // Cells start below the default box; index arithmetic both ways.
    CRect rc;
    ASSERT_TRUE(p->CellRect(9, &rc));
    EXPECT_EQ(rc, CRect(18 + e, 18 + e + p->DefaultBoxRect().Height() + e, 36 + e, 36 + e + p->DefaultBoxRect().Height() + e));
    EXPECT_EQ(p->IndexAt(1, 1), 9);
    EXPECT_EQ(p->IndexAt(4, 7), 39);
    EXPECT_EQ(p->IndexAt(5, 0), -1);
    EXPECT_EQ(p->IndexAt(-2, 3), -2);
    EXPECT_EQ(p->RowOf(39), 4);
    EXPECT_EQ(p->ColumnOf(39), 7);
    EXPECT_EQ(p->RowOf(40), -1);
    EXPECT_FALSE(p->CellRect(40, &rc));
    // One tool per cell, all of them with id 1; row 35 keeps its trailing space.
    EXPECT_EQ(p->ToolTip().GetToolCount(), 40);
    wchar_t text[80] = {};
    TTTOOLINFOW ti = {};
    ti.cbSize = sizeof(ti);
    ti.lpszText = text;
    ASSERT_TRUE(p->ToolTip().SendMessage(TTM_ENUMTOOLSW, 35, reinterpret_cast<LPARAM>(&ti)));
    EXPECT_STREQ(text, L"Pale green ");
    EXPECT_EQ(ti.uId, 1u);
    Key(p, VK_ESCAPE);

    struct Case { COLORREF clr; LPCWSTR def; LPCWSTR custom; int initial; };
    const Case cases[] = {
        {CLR_DEFAULT, L"Default", L"More Colors...", CColourPalettePopup::CELL_DEFAULT_BOX},
        {kOffTable, L"Default", L"More Colors...", CColourPalettePopup::CELL_CUSTOM_BOX},
        {kOffTable, L"Default", nullptr, CColourPalettePopup::CELL_NONE},
        {CLR_DEFAULT, nullptr, L"More Colors...", CColourPalettePopup::CELL_CUSTOM_BOX},
        {RGB(255, 255, 255), nullptr, nullptr, 39},
    };
    for (const Case& c : cases) {
        host.button.SetColour(c.clr);
        host.button.SetDefaultLabel(c.def);
        host.button.SetCustomLabel(c.custom);
        p = Open();
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->InitialCell(), c.initial) << std::hex << c.clr;
        Key(p, VK_ESCAPE);
    }
}

TEST_F(ColourPicker, AWideBoxTextWidensThePalette)
{
    host.button.SetDefaultLabel(L"A default label much wider than eight colour cells together");
    CColourPalettePopup* p = Open();
    ASSERT_NE(p, nullptr);
    int e = p->Edge();
    EXPECT_GT(p->WindowRect().Width(), 8 * 18 + 2 * e);
    EXPECT_EQ(p->DefaultBoxRect().Width(), p->WindowRect().Width() - 2 * e);
    CRect rc;
    p->CellRect(0, &rc);
    EXPECT_EQ(rc.left, e);  // the grid is not centred
    Key(p, VK_ESCAPE);
}

TEST_F(ColourPicker, ArrowKeysFollowTheTableWithAndWithoutEachBox)
{
    const int D = CColourPalettePopup::CELL_DEFAULT_BOX, C = CColourPalettePopup::CELL_CUSTOM_BOX,
              N = CColourPalettePopup::CELL_NONE;
    struct Step { int from; UINT key; int to; };
    struct Config { bool def, custom; std::vector<Step> steps; };
    const Config configs[] = {
        {true, true, {{39, VK_RIGHT, C}, {35, VK_DOWN, C}, {3, VK_UP, D}, {0, VK_LEFT, D}, {C, VK_DOWN, D},
                      {D, VK_DOWN, 0}, {D, VK_UP, C}, {D, VK_RIGHT, 0}, {D, VK_LEFT, C}, {C, VK_UP, 39},
                      {C, VK_RIGHT, D}, {C, VK_LEFT, 39}, {N, VK_DOWN, D}, {N, VK_UP, C}, {N, VK_RIGHT, D},
                      {N, VK_LEFT, C}, {7, VK_RIGHT, 8}, {8, VK_LEFT, 7}}},
        {false, false, {{39, VK_RIGHT, 0}, {35, VK_DOWN, 0}, {3, VK_UP, 39}, {0, VK_LEFT, 39}, {N, VK_DOWN, 0},
                        {N, VK_UP, 39}, {N, VK_RIGHT, 0}, {N, VK_LEFT, 39}}},
        {true, false, {{39, VK_RIGHT, D}, {35, VK_DOWN, D}, {3, VK_UP, D}, {0, VK_LEFT, D}, {D, VK_UP, 39},
                       {D, VK_LEFT, 39}, {D, VK_DOWN, 0}, {N, VK_UP, 39}, {N, VK_DOWN, D}}},
        {false, true, {{39, VK_RIGHT, C}, {35, VK_DOWN, C}, {3, VK_UP, C}, {0, VK_LEFT, C}, {C, VK_DOWN, 0},
                       {C, VK_UP, 39}, {C, VK_RIGHT, 0}, {N, VK_UP, C}, {N, VK_DOWN, 0}}},
    };
    for (const Config& config : configs) {
        host.button.SetDefaultLabel(config.def ? L"Default" : nullptr);
        host.button.SetCustomLabel(config.custom ? L"More Colors..." : nullptr);
        CColourPalettePopup* p = Open();
        ASSERT_NE(p, nullptr);
        SCOPED_TRACE(testing::Message() << "default box " << config.def << ", custom box " << config.custom);
        for (const Step& s : config.steps) {
            Hover(p, s.from);
            ASSERT_EQ(p->HotCell(), s.from);
            Key(p, s.key);
            EXPECT_EQ(p->HotCell(), s.to) << "from " << s.from << " key " << s.key;
        }
        // Every grid cell: across the rows and down the columns.
        for (int i = 0; i < 40; ++i) {
            Hover(p, i);
            Key(p, VK_RIGHT);
            if (i < 39) {
                EXPECT_EQ(p->HotCell(), i + 1);
            }
            Hover(p, i);
            Key(p, VK_DOWN);
            if (i < 32) {
                EXPECT_EQ(p->HotCell(), i + 8);
            }
            Hover(p, i);
            Key(p, VK_UP);
            if (i >= 8) {
                EXPECT_EQ(p->HotCell(), i - 8);
            }
            Hover(p, i);
            Key(p, VK_LEFT);
            if (i > 0) {
                EXPECT_EQ(p->HotCell(), i - 1);
            }
        }
        Key(p, VK_ESCAPE);
        EXPECT_TRUE(OpenPalettes().empty());
    }
}

TEST_F(ColourPicker, ParentHearsEachChoiceInOrder)
{
    host.button.SetColour(kRed);
    CColourPalettePopup* p = Open();
    ASSERT_NE(p, nullptr);
    Key(p, VK_RIGHT);   // default box
    Key(p, VK_RIGHT);   // Black
    Key(p, VK_RETURN);
    EXPECT_EQ(host.notes, (std::vector<Note>{{CLRN_DROPDOWN, kRed}, {CLRN_SELCHANGE, CLR_DEFAULT}, {CLRN_SELCHANGE, kBlack},
                                             {CLRN_CLOSEUP, kBlack}, {CLRN_SELENDOK, kBlack}, {CLRN_SELCHANGE, kBlack}}));
    EXPECT_EQ(host.lastId, IDC_COLOUR_BUTTON);
    EXPECT_EQ(host.button.GetRawColour(), kBlack);
    EXPECT_FALSE(host.button.IsPaletteOpen());
    EXPECT_TRUE(OpenPalettes().empty());

    // A release outside the palette cancels; one inside takes the highlighted cell.
    // (A posted message carries the pointer's position at the time it was posted.)
    for (bool inside : {false, true}) {
        host.notes.clear();
        p = Open();
        ASSERT_NE(p, nullptr);
        Hover(p, 16);
        CRect rc = p->WindowRect();
        ::SetCursorPos(inside ? rc.left + 5 : rc.right + 20, inside ? rc.top + 5 : rc.bottom + 20);
        p->PostMessage(WM_LBUTTONUP, 0, 0);
        Pump();
        EXPECT_EQ(host.notes.back(), inside ? (Note{CLRN_SELCHANGE, kRed}) : (Note{CLRN_SELENDCANCEL, kBlack}));
        EXPECT_TRUE(OpenPalettes().empty());
        if (inside)
            host.button.SetColour(kBlack);
    }

    // Escape: the colour the palette opened with.
    host.notes.clear();
    p = Open();
    ASSERT_NE(p, nullptr);
    Hover(p, 16);
    Key(p, VK_ESCAPE);
    EXPECT_EQ(host.notes, (std::vector<Note>{{CLRN_DROPDOWN, kBlack}, {CLRN_SELCHANGE, kRed}, {CLRN_CLOSEUP, kBlack},
                                             {CLRN_SELENDCANCEL, kBlack}}));
    EXPECT_EQ(host.button.GetRawColour(), kBlack);

    // The default box stores the marker; the colour with the default resolved is white.
    p = Open();
    Hover(p, CColourPalettePopup::CELL_DEFAULT_BOX);
    Key(p, VK_SPACE);
    EXPECT_EQ(host.button.GetRawColour(), CLR_DEFAULT);
    EXPECT_EQ(host.button.GetColour(TRUE), 0x00FFFFFFu);
    EXPECT_EQ(host.button.GetColour(FALSE), CLR_DEFAULT);
}

TEST_F(ColourPicker, AcceptingTheSameColourSendsNoChange)
{
    host.button.SetColour(kBlack);
    CColourPalettePopup* p = Open();
    ASSERT_NE(p, nullptr);
    Hover(p, 0);
    Key(p, VK_RETURN);
    EXPECT_EQ(host.notes, (std::vector<Note>{{CLRN_DROPDOWN, kBlack}, {CLRN_SELCHANGE, kBlack}, {CLRN_CLOSEUP, kBlack},
                                             {CLRN_SELENDOK, kBlack}}));
}

TEST_F(ColourPicker, LiveTrackingFollowsTheHighlightAndCancelUndoesIt)
{
    host.button.SetColour(kRed);
    host.button.SetLiveTrack(TRUE);
    CColourPalettePopup* p = Open();
    ASSERT_NE(p, nullptr);
    Hover(p, 26);  // Yellow
    EXPECT_EQ(host.button.GetRawColour(), RGB(255, 255, 0));
    Hover(p, CColourPalettePopup::CELL_NONE);
    EXPECT_EQ(host.button.GetRawColour(), kRed);
    Hover(p, 13);
    p->SendMessage(WM_ACTIVATEAPP, FALSE, 0);  // another application comes to the front
    EXPECT_EQ(host.button.GetRawColour(), kRed);
    EXPECT_EQ(host.notes.back(), (Note{CLRN_SELENDCANCEL, kRed}));
    Pump();
    EXPECT_TRUE(OpenPalettes().empty());
}

TEST_F(ColourPicker, KeysAndClicksOnTheButtonOpenItAndTheParentNeverSeesTheClick)
{
    auto keyDown = [&](UINT vk) {
        MSG msg = {host.button.m_hWnd, WM_KEYDOWN, vk, 0, 0, {0, 0}};
        return CWnd::WalkPreTranslateTree(host.m_hWnd, &msg);
    };
    EXPECT_TRUE(keyDown(VK_UP));
    EXPECT_TRUE(OpenPalettes().empty());
    for (UINT vk : {VK_DOWN, VK_F4}) {
        EXPECT_TRUE(keyDown(vk));
        auto open = OpenPalettes();
        ASSERT_EQ(open.size(), 1u) << vk;
        EXPECT_TRUE(host.button.IsPaletteOpen());
        Key(open[0], VK_ESCAPE);
    }
    host.button.SendMessage(BM_CLICK);
    Pump();
    ASSERT_EQ(OpenPalettes().size(), 1u);
    Key(OpenPalettes()[0], VK_ESCAPE);

    ::SetFocus(host.button.m_hWnd);
    host.button.PostMessage(WM_KEYDOWN, VK_SPACE, 0x00390001);
    host.button.PostMessage(WM_KEYUP, VK_SPACE, 0xC0390001);
    Pump(100);
    ASSERT_EQ(OpenPalettes().size(), 1u) << "Space is the push button's own click";
    Key(OpenPalettes()[0], VK_ESCAPE);
    EXPECT_EQ(host.bnClicked, 0);
    EXPECT_TRUE(host.button.GetStyle() & BS_OWNERDRAW);
}

TEST_F(ColourPicker, APaletteThatCannotBeMadeLeavesTheButtonClosed)
{
    LONG gdiBefore = AfxGdiLiveCount();
    HHOOK hook = ::SetWindowsHookExW(
        WH_CBT, [](int code, WPARAM wp, LPARAM lp) -> LRESULT { return code == HCBT_CREATEWND ? 1 : CallNextHookEx(nullptr, code, wp, lp); },
        nullptr, ::GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    CColourPalettePopup* p = Open();
    ::UnhookWindowsHookEx(hook);
    EXPECT_EQ(p, nullptr);
    EXPECT_FALSE(host.button.IsPaletteOpen());
    EXPECT_TRUE(host.notes.empty()) << "no drop-down without a palette";
    EXPECT_EQ(AfxGdiLiveCount(), gdiBefore) << "the palette's font and palette were freed";
    // And the button works again at once.
    p = Open();
    ASSERT_NE(p, nullptr);
    Key(p, VK_ESCAPE);
}

TEST_F(ColourPicker, FiveHundredOpenAndCloseCyclesLeaveNoGdiObjectOrWindowBehind)
{
    CColourPalettePopup* p = Open();  // the first opening registers the class and loads what is shared
    ASSERT_NE(p, nullptr);
    Key(p, VK_ESCAPE);
    Pump();
    LONG ownBefore = AfxGdiLiveCount(), createdBefore = AfxGdiCreatedCount();
    DWORD systemBefore = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    int windowsBefore = ThreadWindowCount();
    for (int i = 0; i < 500; ++i) {
        p = Open();
        ASSERT_NE(p, nullptr) << "cycle " << i;
        Hover(p, i % 40);
        ::RedrawWindow(p->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        Key(p, i % 2 ? VK_ESCAPE : VK_RETURN);
        if (i % 50 == 0)
            Pump(5);
    }
    Pump();
    EXPECT_EQ(AfxGdiLiveCount(), ownBefore);
    DWORD systemAfter = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    if (systemBefore != 0) {  // the platform counts: it must agree
        EXPECT_LE(systemAfter, systemBefore + 5) << systemBefore << " -> " << systemAfter;
    }
    EXPECT_EQ(ThreadWindowCount(), windowsBefore);
    std::printf("GDI objects alive in the wrappers: %ld before, %ld after 500 cycles (%ld made and deleted); "
                "platform count %lu -> %lu\n",
                ownBefore, AfxGdiLiveCount(), AfxGdiCreatedCount() - createdBefore, systemBefore, systemAfter);
    EXPECT_GT(AfxGdiCreatedCount() - createdBefore, 500 * 3);  // font, palette and the painting's pens and brushes
}

TEST_F(ColourPicker, PaletteStaysOnTheWorkArea)
{
    RECT work;
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    CRect rcHost, rcButton;
    host.GetWindowRect(&rcHost);
    host.button.GetWindowRect(&rcButton);
    // The button near the bottom right corner: the palette shifts left and opens above it.
    ::SetWindowPos(host.m_hWnd, nullptr, work.right - (rcButton.left - rcHost.left) - 60,
                   work.bottom - (rcButton.bottom - rcHost.top) - 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    host.button.GetWindowRect(&rcButton);
    ASSERT_GT(rcButton.left + 8 * 18, work.right);
    CColourPalettePopup* p = Open();
    ASSERT_NE(p, nullptr);
    CRect rc;
    p->GetWindowRect(&rc);
    EXPECT_EQ(rc.right, work.right) << "shifted left onto the edge";
    EXPECT_EQ(rc.bottom, rcButton.top) << "directly above the button";
    Key(p, VK_ESCAPE);
}

namespace {
// The colour dialog of the custom box, answered from inside its own message loop.
bool g_confirmDialog = true;
void CALLBACK AnswerColourDialog(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND hDlg = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), [](HWND h, LPARAM lp) {
        wchar_t cls[16] = {};
        ::GetClassNameW(h, cls, 16);
        if (::IsWindowVisible(h) && wcscmp(cls, L"#32770") == 0 && ::GetDlgItem(h, 706))
            *reinterpret_cast<HWND*>(lp) = h;
        return TRUE;
    }, reinterpret_cast<LPARAM>(&hDlg));
    if (!hDlg)
        return;  // not up yet: the timer fires again
    ::KillTimer(nullptr, id);
    if (g_confirmDialog) {
        ::SetDlgItemTextW(hDlg, 706, L"10");   // red, green, blue
        ::SetDlgItemTextW(hDlg, 707, L"20");
        ::SetDlgItemTextW(hDlg, 708, L"30");
    }
    ::PostMessageW(hDlg, WM_COMMAND, g_confirmDialog ? IDOK : IDCANCEL, 0);
}
} // namespace

TEST_F(ColourPicker, CustomBoxRunsTheColourDialog)
{
    for (bool confirm : {true, false}) {
        g_confirmDialog = confirm;
        host.notes.clear();
        host.button.SetColour(kOffTable);
        CColourPalettePopup* p = Open();
        ASSERT_NE(p, nullptr);
        Hover(p, CColourPalettePopup::CELL_CUSTOM_BOX);
        EXPECT_EQ(host.notes.back(), (Note{CLRN_SELCHANGE, kOffTable}));
        UINT_PTR timer = ::SetTimer(nullptr, 0, 100, &AnswerColourDialog);
        Key(p, VK_RETURN);
        ::KillTimer(nullptr, timer);
        COLORREF expected = confirm ? RGB(10, 20, 30) : kOffTable;
        EXPECT_EQ(host.notes.back(), (Note{confirm ? UINT(CLRN_SELCHANGE) : UINT(CLRN_SELENDCANCEL), expected}))
            << "confirmed " << confirm;
        EXPECT_EQ(host.button.GetRawColour(), expected);
        Pump();
        EXPECT_TRUE(OpenPalettes().empty());
    }
}

namespace {
// A theme API that records what it is asked to draw.
std::vector<std::pair<int, int>> g_drawn;  // part, state
HTHEME WINAPI FakeOpen(HWND, LPCWSTR) { return reinterpret_cast<HTHEME>(0x1234); }
HRESULT WINAPI FakeClose(HTHEME) { return S_OK; }
HRESULT WINAPI FakeDraw(HTHEME, HDC, int part, int state, const RECT*, const RECT*) { g_drawn.push_back({part, state}); return S_OK; }
HRESULT WINAPI FakeContent(HTHEME, HDC, int, int, const RECT* b, RECT* c) { *c = *b; ::InflateRect(c, -3, -3); return S_OK; }
BOOL WINAPI FakeThemed() { return TRUE; }

COLORREF DrawAndRead(CColourPickerXP& button, UINT itemState, int x, int y)
{
    HDC hScreen = ::GetDC(nullptr);
    HDC hMem = ::CreateCompatibleDC(hScreen);
    HBITMAP hBmp = ::CreateCompatibleBitmap(hScreen, 60, 22);
    HGDIOBJ hOld = ::SelectObject(hMem, hBmp);
    DRAWITEMSTRUCT dis = {};
    dis.CtlType = ODT_BUTTON;
    dis.itemState = itemState;
    dis.hwndItem = button.m_hWnd;
    dis.hDC = hMem;
    dis.rcItem = {0, 0, 60, 22};
    button.DrawItem(&dis);
    COLORREF c = ::GetPixel(hMem, x, y);
    ::SelectObject(hMem, hOld);
    ::DeleteObject(hBmp);
    ::DeleteDC(hMem);
    ::ReleaseDC(nullptr, hScreen);
    return c;
}
} // namespace

TEST_F(ColourPicker, ThemedLookAsksForTheRightStates)
{
    CThemeHelper::Api fake = {&FakeOpen, &FakeClose, &FakeDraw, &FakeContent, &FakeThemed};
    CThemeHelper::ResetForTesting(nullptr, &fake);
    struct Case { UINT state; int themeState; };
    const Case cases[] = {{0, 0}, {ODS_SELECTED | ODS_DISABLED, 7}, {ODS_HOTLIGHT | ODS_DISABLED, 6},
                          {ODS_FOCUS, 5}, {ODS_SELECTED, 3}, {ODS_HOTLIGHT, 2}};
    for (const Case& c : cases) {
        g_drawn.clear();
        DrawAndRead(host.button, c.state, 0, 0);
        ASSERT_FALSE(g_drawn.empty());
        EXPECT_EQ(g_drawn[0], std::make_pair(1, c.themeState)) << "item state " << std::hex << c.state;
    }
    CThemeHelper::ResetForTesting(nullptr);
}

TEST_F(ColourPicker, WithoutUxThemeTheLibraryIsAskedForOnceAndTheClassicLookIsDrawn)
{
    CThemeHelper::ResetForTesting("NoSuchUxTheme.dll");
    int attempts = CThemeHelper::LoadAttemptsForTesting();
    EXPECT_FALSE(CThemeHelper::IsAppThemed());
    CThemeHelper theme;
    EXPECT_FALSE(theme.Open(host.m_hWnd, L"BUTTON"));
    EXPECT_TRUE(theme.IsNull());
    RECT rc = {1, 2, 3, 4};
    EXPECT_EQ(theme.GetBackgroundContentRect(nullptr, 1, 1, &rc, &rc), E_FAIL);
    EXPECT_EQ(rc.left, 1);
    EXPECT_FALSE(CThemeHelper::IsAppThemed());
    EXPECT_EQ(CThemeHelper::LoadAttemptsForTesting(), attempts + 1);

    // Classic: the swatch in the colour, a black arrow at the right, a grey one when disabled.
    host.button.SetColour(RGB(0, 128, 255));
    EXPECT_EQ(DrawAndRead(host.button, 0, 20, 11), RGB(0, 128, 255));
    bool blackArrow = false;
    for (int x = 40; x < 58; ++x)
        blackArrow |= DrawAndRead(host.button, 0, x, 11) == RGB(0, 0, 0);
    EXPECT_TRUE(blackArrow);
    EXPECT_NE(DrawAndRead(host.button, ODS_DISABLED, 20, 11), RGB(0, 128, 255)) << "no swatch when disabled";
    CThemeHelper::ResetForTesting(nullptr);
}

TEST_F(ColourPicker, ComboLookNamesTheColour)
{
    host.button.SetComboLook(TRUE);
    host.button.SetColour(RGB(255, 128, 0));
    EXPECT_EQ(host.button.ComboText(), CString(L"R:255 G:128 B:0"));
    host.button.SetChannelLetters(L"X");
    EXPECT_EQ(host.button.ComboText(), CString(L"X:255  :128  :0"));
    host.button.SetColour(kRed);
    EXPECT_EQ(host.button.ComboText(), CString(L"Red"));
    host.button.SetNameWithValues(TRUE);
    EXPECT_EQ(host.button.ComboText(), CString(L"Red (X:255  :0  :0)"));
    host.button.SetColour(CLR_DEFAULT);
    EXPECT_EQ(host.button.ComboText(), CString(L"Default"));
    CRect rc;
    host.button.GetWindowRect(&rc);
    TEXTMETRICW tm = {};
    HDC hdc = ::GetDC(host.button.m_hWnd);
    HGDIOBJ old = ::SelectObject(hdc, host.button.GetFont());
    ::GetTextMetricsW(hdc, &tm);
    ::SelectObject(hdc, old);
    ::ReleaseDC(host.button.m_hWnd, hdc);
    EXPECT_EQ(rc.Height(), tm.tmHeight + 8);
}

TEST(ColourPickerClass, IsMadeFromItsRunTimeClass)
{
    const CRuntimeClass* rc = RUNTIME_CLASS(CColourPickerXP);
    EXPECT_STREQ(rc->m_lpszClassName, "CColourPickerXP");
    EXPECT_EQ(rc->m_pBaseClass, RUNTIME_CLASS(CButton));
    CObject* obj = rc->CreateObject();
    ASSERT_NE(obj, nullptr);
    EXPECT_TRUE(obj->IsKindOf(RUNTIME_CLASS(CButton)));
    EXPECT_TRUE(obj->IsKindOf(RUNTIME_CLASS(CWnd)));
    auto* button = dynamic_cast<CColourPickerXP*>(obj);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->GetColour(FALSE), CLR_DEFAULT);
    EXPECT_EQ(button->GetColour(TRUE), ::GetSysColor(COLOR_APPWORKSPACE));
    delete obj;
    EXPECT_EQ(RUNTIME_CLASS(CStatic)->CreateObject(), nullptr);  // no factory
}

TEST(OffscreenDC, CoversOnlyTheClipBoxAndCopiesToTheSamePlace)
{
    HDC hScreen = ::GetDC(nullptr);
    HDC hTarget = ::CreateCompatibleDC(hScreen);
    HBITMAP hBmp = ::CreateCompatibleBitmap(hScreen, 40, 40);
    HGDIOBJ hOld = ::SelectObject(hTarget, hBmp);
    RECT all = {0, 0, 40, 40};
    ::FillRect(hTarget, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::IntersectClipRect(hTarget, 10, 12, 30, 25);
    ::SetBkColor(hTarget, RGB(1, 2, 3));
    LONG gdi = AfxGdiLiveCount();
    {
        CDC target(hTarget);
        COffscreenDC dc(&target);
        dc.FillSolidRect(15, 15, 2, 2, RGB(200, 0, 0));  // target coordinates
        EXPECT_EQ(AfxGdiLiveCount(), gdi + 2);  // its DC and bitmap
    }
    EXPECT_EQ(AfxGdiLiveCount(), gdi);
    ::SelectClipRgn(hTarget, nullptr);
    EXPECT_EQ(::GetPixel(hTarget, 15, 15), RGB(200, 0, 0));
    EXPECT_EQ(::GetPixel(hTarget, 11, 13), RGB(1, 2, 3));      // filled with the background colour
    EXPECT_EQ(::GetPixel(hTarget, 5, 5), RGB(255, 255, 255));  // outside the clip box: untouched
    EXPECT_EQ(::GetPixel(hTarget, 30, 25), RGB(255, 255, 255));
    ::SelectObject(hTarget, hOld);
    ::DeleteObject(hBmp);
    ::DeleteDC(hTarget);
    ::ReleaseDC(nullptr, hScreen);
}
