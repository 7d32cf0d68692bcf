// The main dialog in-process: start-up, the render tick, pages, the drag, shutdown.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <vector>

#include "box_dlg.h"
#include "box_templates.h"
#include "light_kinds.h"
#include "scene_description.h"
#include "shapes.h"
#include "dialog_helpers.h"
#include "sides_page.h"
#include "render_harness.h"
#include "resource.h"

namespace {

// Runs the real main dialog modally and calls `check` from inside its loop after `ticks`
// render ticks' worth of time, then closes it the way the close box does.
class DialogRun {
public:
    static void Run(CBoxDlg& dlg, std::function<void(CBoxDlg&)> check, UINT delayMs = 300)
    {
        s_pDlg = &dlg;
        s_check = std::move(check);
        s_delayMs = delayMs;
        UINT_PTR starter = ::SetTimer(nullptr, 0, 50, &Start);
        dlg.DoModal();
        ::KillTimer(nullptr, starter);
    }

private:
    static void CALLBACK Start(HWND, UINT, UINT_PTR id, DWORD)
    {
        ::KillTimer(nullptr, id);
        if (!s_pDlg->m_hWnd)
            return;
        ::SetTimer(nullptr, 0, s_delayMs, &Check);
    }
    static void CALLBACK Check(HWND, UINT, UINT_PTR id, DWORD)
    {
        ::KillTimer(nullptr, id);
        if (s_check)
            s_check(*s_pDlg);
        ::PostMessageW(s_pDlg->m_hWnd, WM_CLOSE, 0, 0);
    }
    static inline CBoxDlg* s_pDlg = nullptr;
    static inline std::function<void(CBoxDlg&)> s_check;
    static inline UINT s_delayMs = 300;
};

// Lets the dialog's own timer run for about ms milliseconds.
void Pump(DWORD ms)
{
    DWORD end = ::GetTickCount() + ms;
    MSG msg;
    while (static_cast<LONG>(end - ::GetTickCount()) > 0) {
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!CWnd::WalkPreTranslateTree(nullptr, &msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
        ::Sleep(5);
    }
}

int TrackbarPos(CDialog* pPage, int id) { return static_cast<int>(::SendDlgItemMessageW(*pPage, id, TBM_GETPOS, 0, 0)); }
int TrackbarMin(CDialog* pPage, int id) { return static_cast<int>(::SendDlgItemMessageW(*pPage, id, TBM_GETRANGEMIN, 0, 0)); }
int TrackbarMax(CDialog* pPage, int id) { return static_cast<int>(::SendDlgItemMessageW(*pPage, id, TBM_GETRANGEMAX, 0, 0)); }

} // namespace

TEST(MainDialog, StartsWithEveryPageAtItsDefaultsAndDrawsFrames)
{
    CBoxDlg dlg;
    bool checked = false;
    DialogRun::Run(dlg, [&](CBoxDlg& d) {
        checked = true;
        ASSERT_EQ(d.Pages().size(), 7u);
        CDialog* dims = d.Pages()[0];
        CDialog* rot = d.Pages()[2];
        CDialog* light = d.Pages()[3];
        CDialog* floor = d.Pages()[5];
        EXPECT_EQ(TrackbarPos(dims, IDC_WIDTH), 80);
        EXPECT_EQ(TrackbarPos(dims, IDC_HEIGHT), 120);
        EXPECT_EQ(TrackbarPos(dims, IDC_DEPTH), 20);
        EXPECT_EQ(TrackbarMin(dims, IDC_WIDTH), 1);
        EXPECT_EQ(TrackbarMax(dims, IDC_DEPTH), 300);
        EXPECT_EQ(TrackbarPos(rot, IDC_ROTATION1), 135);
        EXPECT_EQ(TrackbarPos(rot, IDC_ROTATION2), 120);
        EXPECT_EQ(TrackbarPos(rot, IDC_DISTANCE), 200);
        EXPECT_EQ(TrackbarPos(rot, IDC_ZOOM), 750);
        EXPECT_EQ(TrackbarMax(rot, IDC_ZOOM), 1200);
        EXPECT_EQ(TrackbarPos(light, IDC_AMBIENT), 30);
        EXPECT_EQ(TrackbarPos(light, IDC_DIFFUSE), 100);
        EXPECT_EQ(TrackbarPos(floor, IDC_REFLECTION), 0);
        EXPECT_EQ(TrackbarPos(floor, IDC_REFLECTION_FADE), 50);
        EXPECT_EQ(TrackbarMin(floor, IDC_REFLECTION_FADE), 1);
        EXPECT_EQ(TrackbarPos(floor, IDC_SHADOW), 0);
        EXPECT_EQ(TrackbarPos(floor, IDC_SHADOW_SOFTNESS), 40);
        EXPECT_EQ(d.m_clrBackground, 0xFFFFFFFFu);
        for (int s = 0; s < kPictureCount; ++s)  // white, a screen dark
            EXPECT_EQ(d.m_clrFace[s], s == SideScreen ? 0u : 0x00FFFFFFu);

        // Only the first page is visible.
        for (size_t i = 0; i < d.Pages().size(); ++i)
            EXPECT_EQ(::IsWindowVisible(*d.Pages()[i]) != 0, i == 0) << "page " << i;

        IDirect3DSurface9* pFrame = nullptr;
        EXPECT_TRUE(SUCCEEDED(d.Renderer().CopyLastFrame(&pFrame))) << "no frame drawn";
        if (pFrame)
            pFrame->Release();
    });
    EXPECT_TRUE(checked);
    EXPECT_EQ(dlg.Renderer().m_pDevice, nullptr);  // released on close
}

TEST(MainDialog, PreviewShowsTheFrameThatWasDrawn)
{
    CBoxDlg dlg;
    size_t differing = 1;
    int width = 0;
    DialogRun::Run(dlg, [&](CBoxDlg& d) {
        d.m_clrBackground = 0xFF3060C0;
        ::Sleep(50);
        MSG msg;
        for (int i = 0; i < 20; ++i) {  // let a few ticks draw the new background
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                ::DispatchMessageW(&msg);
            ::Sleep(10);
        }
        Frame copy = ReadFrame(d.Renderer());
        Frame shown = GrabWindow(::GetDlgItem(d, IDC_PREVIEW));
        width = copy.width;
        ASSERT_EQ(copy.width, shown.width);
        ASSERT_EQ(copy.height, shown.height);
        differing = 0;
        for (size_t i = 0; i < copy.pixels.size(); ++i)
            if (copy.pixels[i] != shown.pixels[i]) ++differing;
        EXPECT_EQ(shown.At(2, 2).b, 0xC0);
    });
    EXPECT_GT(width, 0);
    EXPECT_EQ(differing, 0u);
}

TEST(MainDialog, AnUnchangedPreviewIsNotDrawnAgainButRepaintsWhenUncovered)
{
    CBoxDlg dlg;
    unsigned long long idleReadbacks = 99, drawn = 99, changedReadbacks = 0, changedDrawn = 0, uncoverReadbacks = 99;
    size_t differing = 1;
    DialogRun::Run(dlg, [&](CBoxDlg& d) {
        if (!::GetParent(::GetDlgItem(d, IDC_PREVIEW)) || !d.Renderer().Mirror().FramesShown()) {
            GTEST_SKIP() << "the device presents into the preview itself here";
        }
        Pump(100);  // whatever was pending is shown now
        const PreviewMirror& mirror = d.Renderer().Mirror();
        unsigned long long readbacks = mirror.ReadbacksStarted(), frames = d.Renderer().FramesDrawn();
        Pump(300);
        idleReadbacks = mirror.ReadbacksStarted() - readbacks;
        drawn = d.Renderer().FramesDrawn() - frames;

        readbacks = mirror.ReadbacksStarted();
        frames = d.Renderer().FramesDrawn();
        d.m_clrBackground = 0xFF20A040;
        Pump(100);
        changedReadbacks = mirror.ReadbacksStarted() - readbacks;
        changedDrawn = d.Renderer().FramesDrawn() - frames;

        // Covered and uncovered: painted from the copy, no read-back, the same pixels.
        readbacks = mirror.ReadbacksStarted();
        HWND hPreview = ::GetDlgItem(d, IDC_PREVIEW);
        ::InvalidateRect(hPreview, nullptr, TRUE);
        ::UpdateWindow(hPreview);
        uncoverReadbacks = mirror.ReadbacksStarted() - readbacks;
        Frame copy = ReadFrame(d.Renderer());
        Frame shown = GrabWindow(hPreview);
        differing = 0;
        for (size_t i = 0; i < copy.pixels.size() && i < shown.pixels.size(); ++i)
            if (copy.pixels[i] != shown.pixels[i])
                ++differing;
        EXPECT_EQ(shown.At(2, 2).g, 0xA0);
    });
    EXPECT_EQ(idleReadbacks, 0u) << "nothing changed, nothing copied";
    EXPECT_EQ(drawn, 0u) << "nothing changed, nothing drawn";
    // Drawn once, and once more (sharp) if the 100 ms outlasted the 150 ms of rest on a busy
    // machine: never more.
    EXPECT_GE(changedDrawn, 1u) << "a change is drawn";
    EXPECT_LE(changedDrawn, 2u) << "a change is drawn once, and once sharp when it rests";
    EXPECT_EQ(changedReadbacks, changedDrawn);
    EXPECT_EQ(uncoverReadbacks, 0u);
    EXPECT_EQ(differing, 0u);
}

TEST(MainDialog, ALargePreviewShowsItsMovingFrameAndRepaintsIt)
{
    CBoxDlg dlg;
    bool bLarge = false;
    int shownGreen = 0, repaintedGreen = 0, keptGreen = 0;
    unsigned long long repaintReadbacks = 99;
    DialogRun::Run(dlg, [&](CBoxDlg& d) {
        HWND hPreview = ::GetDlgItem(d, IDC_PREVIEW);
        ::SetWindowPos(d.m_hWnd, nullptr, 0, 0, 1270, 990, SWP_NOZORDER);
        Pump(400);
        RECT rc = {};
        ::GetClientRect(hPreview, &rc);
        bLarge = ::GetParent(hPreview) && d.Renderer().Mirror().FramesShown() &&
                 static_cast<unsigned long long>(rc.right) * rc.bottom > BoxRenderer::kLargePreviewPixels;
        if (!bLarge)
            return;
        // A change shown before the scene rests: the moving frame, not multisampled.
        d.m_clrBackground = 0xFF20A040;
        Pump(40);
        shownGreen = GrabWindow(hPreview).At(2, 2).g;
        const unsigned long long readbacks = d.Renderer().Mirror().ReadbacksStarted();
        ::InvalidateRect(hPreview, nullptr, TRUE);
        ::UpdateWindow(hPreview);
        repaintReadbacks = d.Renderer().Mirror().ReadbacksStarted() - readbacks;
        repaintedGreen = GrabWindow(hPreview).At(2, 2).g;
        keptGreen = ReadFrame(d.Renderer()).At(2, 2).g;  // the last frame, as a copy of it is asked for
    });
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Zelmora", L"Window");  // the next window opens at its size
    if (!bLarge)
        GTEST_SKIP() << "no large preview shown through the mirror here";
    EXPECT_EQ(shownGreen, 0xA0);
    EXPECT_EQ(repaintedGreen, 0xA0);
    EXPECT_EQ(keptGreen, 0xA0);
    EXPECT_EQ(repaintReadbacks, 0u);
}

TEST(MainDialog, DragReplacesThePendingMoveAndOnlyInsideThePreview)
{
    CBoxDlg dlg;
    const CRect preview(10, 10, 310, 260);
    dlg.TrackDrag(0, CPoint(110, 110), preview);
    dlg.TrackDrag(MK_LBUTTON, CPoint(115, 110), preview);
    dlg.TrackDrag(MK_LBUTTON, CPoint(120, 112), preview);
    EXPECT_EQ(dlg.PendingDragX(), 5);  // the last move only, not 10
    EXPECT_EQ(dlg.PendingDragY(), 2);

    dlg.TrackDrag(MK_LBUTTON, CPoint(400, 400), preview);  // outside: nothing changes
    EXPECT_EQ(dlg.PendingDragX(), 5);
    dlg.TrackDrag(MK_LBUTTON, CPoint(310, 120), preview);  // the right edge is outside
    EXPECT_EQ(dlg.PendingDragX(), 5);
    dlg.TrackDrag(MK_LBUTTON, CPoint(10, 10), preview);    // the top-left corner is inside
    EXPECT_EQ(dlg.PendingDragX(), -110);
    EXPECT_EQ(dlg.PendingDragY(), -102);

    dlg.TrackDrag(0, CPoint(50, 50), preview);  // moving without the button clears it
    EXPECT_EQ(dlg.PendingDragX(), 0);
    EXPECT_EQ(dlg.PendingDragY(), 0);
}

TEST(MainDialog, DraggedRotationsStopAtTheTrackbarEnds)
{
    CBoxDlg dlg;
    int rotation1 = 0, rotation2 = 0, shown1 = 0, backAt = 0;
    DialogRun::Run(dlg, [&](CBoxDlg& d) {
        CRect preview(0, 0, 1000, 1000);
        d.TrackDrag(0, CPoint(0, 0), preview);
        d.TrackDrag(MK_LBUTTON, CPoint(300, 100), preview);  // 135 + 300, 120 + 100
        Pump(200);
        rotation1 = d.m_nRotation1;
        rotation2 = d.m_nRotation2;
        shown1 = TrackbarPos(d.Pages()[2], IDC_ROTATION1);
        d.TrackDrag(MK_LBUTTON, CPoint(0, 100), preview);    // 300 to the left from 360
        Pump(200);
        backAt = d.m_nRotation1;
    });
    EXPECT_EQ(rotation1, 360);
    EXPECT_EQ(rotation2, 179);
    EXPECT_EQ(shown1, 360);
    EXPECT_EQ(backAt, 60);  // no wrap-around: 360 - 300
}

TEST(MainDialog, SelectingATabShowsExactlyItsPage)
{
    CBoxDlg dlg;
    std::vector<bool> visible;
    DialogRun::Run(dlg, [&](CBoxDlg& d) {
        HWND hTab = ::GetDlgItem(d, IDC_TAB_PAGES);
        ::SendMessageW(hTab, TCM_SETCURSEL, 3, 0);
        NMHDR hdr = {hTab, IDC_TAB_PAGES, static_cast<UINT>(TCN_SELCHANGE)};
        d.SendMessage(WM_NOTIFY, IDC_TAB_PAGES, reinterpret_cast<LPARAM>(&hdr));
        for (CDialog* p : d.Pages())
            visible.push_back(::IsWindowVisible(*p) != 0);
    });
    EXPECT_EQ(visible, (std::vector<bool>{false, false, false, true, false, false, false}));
}

TEST(MainDialog, TemplateMovesEveryTrackbarAtOnce)
{
    CBoxDlg dlg;
    int width = 0, depth = 0, r1 = 0, r2 = 0, reflection = 0;
    DialogRun::Run(dlg, [&](CBoxDlg& d) {
        d.m_nReflection = 60;  // the floor is not the template's
        d.RefreshPages();
        HWND hList = ::GetDlgItem(*d.Pages()[4], IDC_TEMPLATE_LIST);
        EXPECT_EQ(::SendMessageW(hList, LB_GETCOUNT, 0, 0), 9);
        EXPECT_EQ(::SendMessageW(hList, LB_GETCURSEL, 0, 0), LB_ERR);
        ::SendMessageW(hList, LB_SETCURSEL, 4, 0);  // "3-sided Cube, Left Rotation"
        d.Pages()[4]->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_TEMPLATE_LIST, LBN_SELCHANGE),
                                  reinterpret_cast<LPARAM>(hList));
        width = TrackbarPos(d.Pages()[0], IDC_WIDTH);
        depth = TrackbarPos(d.Pages()[0], IDC_DEPTH);
        r1 = TrackbarPos(d.Pages()[2], IDC_ROTATION1);
        r2 = TrackbarPos(d.Pages()[2], IDC_ROTATION2);
        reflection = TrackbarPos(d.Pages()[5], IDC_REFLECTION);
    });
    EXPECT_EQ(reflection, 60);
    EXPECT_EQ(width, 80);
    EXPECT_EQ(depth, 80);
    EXPECT_EQ(r1, 120);
    EXPECT_EQ(r2, 110);
}

namespace {
IDirect3D9* WINAPI NoDirect3D(UINT) { return nullptr; }

CString s_fatalText;
HWND s_fatalOwner = reinterpret_cast<HWND>(1);
void CALLBACK AnswerFatalMessage(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND hBox = ::FindWindowW(L"#32770", L"Zelmora Error");
    if (!hBox)
        return;
    ::KillTimer(nullptr, id);
    wchar_t text[1024] = {};
    ::GetDlgItemTextW(hBox, 0xFFFF, text, 1024);
    s_fatalText = text;
    s_fatalOwner = ::GetWindow(hBox, GW_OWNER);
    ::PostMessageW(hBox, WM_COMMAND, IDOK, 0);
}
} // namespace

TEST(MainDialog, FailedDeviceSetUpShowsTheFatalMessageAndQuits)
{
    BoxRenderer::s_pfnDirect3DCreate = &NoDirect3D;
    UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &AnswerFatalMessage);
    CBoxDlg dlg;
    INT_PTR result = dlg.DoModal();
    ::KillTimer(nullptr, timer);
    BoxRenderer::s_pfnDirect3DCreate = &Direct3DCreate9;
    MSG msg;
    EXPECT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));  // the application ends
    EXPECT_EQ(result, -1);
    EXPECT_EQ(s_fatalText, CString(L"Error initializing 3D Accelerator:\nUnable to create device\n\nPlease send this "
                                   L"error message with your 3D accelerator model to support@zelmora.example\n"
                                   L"Application will now quit."));
    EXPECT_EQ(s_fatalOwner, nullptr);
}

TEST(MainDialog, AValueTypedBesideItsTrackbarAndTheWheelOverThePreview)
{
    CBoxDlg dlg;
    int afterRange = 0, afterEscape = 0, afterTyped = 0, trackbar = 0, zoomBefore = 0, zoomAfter = 0;
    int afterFullWidth = 0;
    bool bBalloonKeptItOpen = false, bClosed = false, bF2Opened = false;
    struct Refused {
        std::wstring typed, shown;
        int width;
        bool bOpen;
    };
    std::vector<Refused> refused;
    DialogRun::Run(dlg, [&](CBoxDlg& d) {
        CDialog* dims = d.Pages()[0];
        auto editor = [&] {  // the typed value's field: an edit without an id (the page's own have theirs)
            for (HWND h = ::FindWindowExW(*dims, nullptr, L"EDIT", nullptr); h; h = ::FindWindowExW(*dims, h, L"EDIT", nullptr))
                if (::GetDlgCtrlID(h) == 0)
                    return h;
            return HWND{};
        };
        auto type = [&](const wchar_t* text, UINT key) {
            ::SendMessageW(::GetDlgItem(*dims, IDC_WIDTH_VALUE), WM_LBUTTONDOWN, MK_LBUTTON, 0);
            HWND hEdit = editor();
            if (!hEdit)
                return;
            ::SetWindowTextW(hEdit, text);
            ::SendMessageW(hEdit, WM_KEYDOWN, key, 0);
        };
        type(L"999", VK_RETURN);  // beyond the range: held to 300, the field stays to say so
        afterRange = d.m_nWidth;
        bBalloonKeptItOpen = editor() != nullptr;
        ::SendMessageW(editor(), WM_KEYDOWN, VK_ESCAPE, 0);
        bClosed = editor() == nullptr;
        type(L"7", VK_ESCAPE);  // Escape keeps the value
        afterEscape = d.m_nWidth;
        type(L"45", VK_RETURN);
        afterTyped = d.m_nWidth;
        trackbar = TrackbarPos(dims, IDC_WIDTH);
        // Typed key by key, as a person types: what is not a whole number stays as typed and is
        // refused with the range; the width stays.
        for (const wchar_t* text : {L"150.5", L"1e9", L"1,5", L"0x10", L"12a"}) {
            ::SendMessageW(::GetDlgItem(*dims, IDC_WIDTH_VALUE), WM_LBUTTONDOWN, MK_LBUTTON, 0);
            HWND hEdit = editor();
            ::SendMessageW(hEdit, EM_SETSEL, 0, -1);
            for (const wchar_t* c = text; *c; ++c)
                ::SendMessageW(hEdit, WM_CHAR, *c, 0);
            ::SendMessageW(hEdit, WM_KEYDOWN, VK_RETURN, 0);
            wchar_t shown[32] = {};
            ::GetWindowTextW(editor(), shown, 32);
            refused.push_back({text, shown, d.m_nWidth, editor() != nullptr});
            ::SendMessageW(editor(), WM_KEYDOWN, VK_ESCAPE, 0);
        }
        type(L"\xFF16\xFF10", VK_RETURN);  // full-width digits, as an input method types them
        afterFullWidth = d.m_nWidth;
        ::SendDlgItemMessageW(*dims, IDC_WIDTH, WM_KEYDOWN, VK_F2, 0);  // F2 on the trackbar opens it too
        bF2Opened = editor() != nullptr;
        ::SendMessageW(editor(), WM_KEYDOWN, VK_ESCAPE, 0);

        // Three notches of the wheel towards the screen over the preview: zoom in.
        zoomBefore = d.m_nZoom;
        RECT rc;
        ::GetWindowRect(::GetDlgItem(d.m_hWnd, IDC_PREVIEW), &rc);
        MSG wheel = {};
        wheel.hwnd = dims->m_hWnd;
        wheel.message = WM_MOUSEWHEEL;
        wheel.wParam = MAKEWPARAM(0, 3 * WHEEL_DELTA);
        wheel.lParam = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
        EXPECT_TRUE(d.PreTranslateMessage(&wheel));
        zoomAfter = d.m_nZoom;
        MSG elsewhere = wheel;  // over the pages the wheel is theirs
        elsewhere.lParam = MAKELPARAM(rc.right + 50, (rc.top + rc.bottom) / 2);
        d.PreTranslateMessage(&elsewhere);
        EXPECT_EQ(d.m_nZoom, zoomAfter);
    });
    EXPECT_EQ(afterRange, 300);
    EXPECT_TRUE(bBalloonKeptItOpen);
    EXPECT_TRUE(bClosed);
    EXPECT_EQ(afterEscape, 300);
    EXPECT_EQ(afterTyped, 45);
    EXPECT_EQ(trackbar, 45);
    ASSERT_EQ(refused.size(), 5u);
    for (const Refused& r : refused) {
        EXPECT_EQ(r.shown, r.typed) << "the field shows what was typed";
        EXPECT_EQ(r.width, 45) << r.typed << L" changes nothing";
        EXPECT_TRUE(r.bOpen) << r.typed << L" is refused where it was typed";
    }
    EXPECT_EQ(afterFullWidth, 60);
    EXPECT_TRUE(bF2Opened);
    EXPECT_EQ(zoomAfter, zoomBefore + 30);
}

TEST(MainDialog, KeepBoxSizeTakesOnlyTheTemplatesView)
{
    CBoxDlg dlg;
    int width = 0, depth = 0, rotation1 = 0, centreX = -1;
    DialogRun::Run(dlg, [&](CBoxDlg& d) {
        d.m_nWidth = 150;
        d.m_nDepth = 60;
        d.m_nCentreX = 300;
        d.RefreshPages();
        CDialog* templates = d.Pages()[4];
        ::CheckDlgButton(*templates, IDC_KEEP_BOX_SIZE, BST_CHECKED);
        HWND hList = ::GetDlgItem(*templates, IDC_TEMPLATE_LIST);
        ::SendMessageW(hList, LB_SETCURSEL, 8, 0);
        templates->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_TEMPLATE_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(hList));
        width = TrackbarPos(d.Pages()[0], IDC_WIDTH);
        depth = d.m_nDepth;
        rotation1 = d.m_nRotation1;
        centreX = d.m_nCentreX;
    });
    EXPECT_EQ(width, 150);
    EXPECT_EQ(depth, 60);
    EXPECT_EQ(rotation1, g_boxTemplates[8].nRotation1);
    EXPECT_EQ(centreX, 0) << "the template's view has the box in the middle";
}

TEST(MainDialog, ABookGetsItsOwnViewsAfterTheNineAndABoxDoesNot)
{
    CBoxDlg dlg;
    LRESULT boxCount = 0, bookCount = 0, backToBox = 0;
    int rotation2 = 0, zoom = 0;
    wchar_t hero[64] = L"";
    DialogRun::Run(dlg, [&](CBoxDlg& d) {
        CDialog* templates = d.Pages()[4];
        CDialog* dims = d.Pages()[0];
        HWND hList = ::GetDlgItem(*templates, IDC_TEMPLATE_LIST);
        boxCount = ::SendMessageW(hList, LB_GETCOUNT, 0, 0);
        ::SendDlgItemMessageW(*dims, IDC_SHAPE, CB_SETCURSEL, ShapeHardcover, 0);
        dims->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SHAPE, CBN_SELCHANGE), (LPARAM)::GetDlgItem(*dims, IDC_SHAPE));
        d.RefreshPages();
        bookCount = ::SendMessageW(hList, LB_GETCOUNT, 0, 0);
        ::SendMessageW(hList, LB_GETTEXT, kFirstBookTemplate + 1, reinterpret_cast<LPARAM>(hero));
        ::SendMessageW(hList, LB_SETCURSEL, kFirstBookTemplate + 1, 0);
        templates->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_TEMPLATE_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(hList));
        rotation2 = d.m_nRotation2, zoom = d.m_nZoom;
        ::SendDlgItemMessageW(*dims, IDC_SHAPE, CB_SETCURSEL, ShapeBox, 0);
        dims->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SHAPE, CBN_SELCHANGE), (LPARAM)::GetDlgItem(*dims, IDC_SHAPE));
        d.RefreshPages();
        backToBox = ::SendMessageW(hList, LB_GETCOUNT, 0, 0);
    });
    EXPECT_EQ(boxCount, 9) << "a box's Templates page lists the nine";
    EXPECT_EQ(bookCount, kBoxTemplateCount);
    EXPECT_STREQ(hero, L"Book, Three-Quarter Hero");
    EXPECT_EQ(rotation2, 100) << "a little above";
    EXPECT_GT(zoom, 1000) << "through a long lens";
    EXPECT_EQ(backToBox, 9);
}

TEST(MainDialog, AnOpenBookAndADeviceShowTheirOwnPictureRowsAndChoices)
{
    CBoxDlg dlg;
    struct Seen {
        bool spread, screen, cover, pose, binding, trim, screenSize, camera, ink, read;
    } openBook = {}, phone = {}, eReader = {};
    int pose = -1, read = -1, openAngle = -1, screenWidth = -1, screenHeight = -1, corner = -1, bump = -1;
    std::wstring gutterNote, phoneScreen, refused, phoneCorner;
    DialogRun::Run(dlg, [&](CBoxDlg& d) {
        CDialog* dims = d.Pages()[0];
        CDialog* sides = d.Pages()[1];
        auto choose = [&](int id, int item) {
            ::SendDlgItemMessageW(*dims, id, CB_SETCURSEL, item, 0);
            dims->SendMessage(WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), (LPARAM)::GetDlgItem(*dims, id));
            d.RefreshPages();
        };
        auto seen = [&]() {
            // The rows as the page shows them (the page itself need not be the one in front).
            auto shown = [&](int id) { return (::GetWindowLongW(::GetDlgItem(*sides, id), GWL_STYLE) & WS_VISIBLE) != 0; };
            auto onPage = [&](int id) { return (::GetWindowLongW(::GetDlgItem(*dims, id), GWL_STYLE) & WS_VISIBLE) != 0; };
            return Seen{shown(IDC_PATH_SPREAD), shown(IDC_PATH_SCREEN), shown(IDC_PATH_COVER),
                        ::IsWindowEnabled(::GetDlgItem(*dims, IDC_POSE)) != 0,
                        ::IsWindowEnabled(::GetDlgItem(*dims, IDC_BINDING)) != 0,
                        onPage(IDC_TRIM), onPage(IDC_SCREEN_SIZE), onPage(IDC_CAMERA_BUMP), onPage(IDC_INK), onPage(IDC_READ)};
        };
        auto type = [&](int id, const wchar_t* text) {
            ::SetDlgItemTextW(*dims, id, text);
            dims->SendMessage(WM_COMMAND, MAKEWPARAM(id, EN_KILLFOCUS), (LPARAM)::GetDlgItem(*dims, id));
            d.RefreshPages();
        };
        auto field = [&](int id) {
            wchar_t text[64] = L"";
            ::GetDlgItemTextW(*dims, id, text, 64);
            return std::wstring(text);
        };
        choose(IDC_SHAPE, ShapeOpenBook);
        openBook = seen();
        type(IDC_READ, L"30%");
        read = d.m_nRead;
        AnswerMessageBox(L"Zelmora", IDOK, &refused);
        type(IDC_OPEN_ANGLE, L"500");  // past the range: said, the book stays as it lies
        openAngle = d.m_nOpenAngle;
        // A spread whose four quadrants meet at the gutter: said on the page.
        auto* pSides = static_cast<CSidesPage*>(d.Pages()[1]);
        ASSERT_TRUE(pSides->PutSideImage(SideSpread, TestImagePath(L"quadrants.png").c_str(), nullptr));
        d.RefreshPages();
        wchar_t note[512] = L"";
        ::GetDlgItemTextW(*dims, IDC_BOOK_NOTE, note, 512);
        gutterNote = note;
        choose(IDC_SHAPE, ShapePhone);
        phone = seen();
        phoneScreen = field(IDC_SCREEN_SIZE), phoneCorner = field(IDC_CORNER);
        type(IDC_SCREEN_SIZE, L"3x6in");
        screenWidth = d.m_nScreenWidth, screenHeight = d.m_nScreenHeight;
        type(IDC_CORNER, L"0.25in");
        corner = d.m_nCorner;
        ::SendDlgItemMessageW(*dims, IDC_CAMERA_BUMP, BM_SETCHECK, BST_UNCHECKED, 0);
        dims->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_CAMERA_BUMP, BN_CLICKED), (LPARAM)::GetDlgItem(*dims, IDC_CAMERA_BUMP));
        bump = d.m_nCameraBump;
        choose(IDC_POSE, PoseFlat);
        pose = d.m_nPose;
        choose(IDC_SHAPE, ShapeEReader);
        eReader = seen();
    });
    EXPECT_TRUE(openBook.read && openBook.trim && !openBook.screenSize) << "an open book's read and open angle beside its trim";
    EXPECT_EQ(read, 30) << "typed as the field shows it, with its %";
    EXPECT_EQ(openAngle, 180);
    EXPECT_NE(refused.find(L"60"), std::wstring::npos) << refused;
    EXPECT_TRUE(phone.screenSize && phone.camera && !phone.trim && !phone.ink && !phone.read)
        << "a phone's screen, frame and camera in place of a book's fields";
    EXPECT_EQ(phoneScreen, L"2.65x5.75in") << "its kind's own screen until one is typed";
    EXPECT_EQ(phoneCorner, L"0.400in");
    EXPECT_EQ(screenWidth, 3000);
    EXPECT_EQ(screenHeight, 6000);
    EXPECT_EQ(corner, 250);
    EXPECT_EQ(bump, 0);
    EXPECT_TRUE(eReader.ink && !eReader.camera) << "an e-reader's ink, and no camera";
    EXPECT_TRUE(openBook.spread && openBook.cover && openBook.binding) << "an open book's spread, cover and binding";
    EXPECT_FALSE(openBook.screen || openBook.pose);
    EXPECT_TRUE(phone.screen && phone.pose) << "a phone's screen and pose";
    EXPECT_FALSE(phone.spread || phone.cover || phone.binding);
    EXPECT_EQ(pose, PoseFlat) << "the pose chosen is the scene's";
    EXPECT_NE(gutterNote.find(L"of the gutter is hidden"), std::wstring::npos) << gutterNote;
}

TEST(MainDialog, FitToPicturesTakesTheBoxsProportionsFromTheFrontAndLeftPictures)
{
    CBoxDlg dlg;
    std::wstring withoutPicture;
    int unchangedWidth = 0, width = 0, height = 0, depth = 0, trackbar = 0;
    RunMainDialog(dlg, [&](CBoxDlg& d) {
        CDialog* dims = d.Pages()[0];
        auto fit = [&] { dims->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_FIT_TO_PICTURES, BN_CLICKED), 0); };
        AnswerMessageBox(L"Zelmora", IDOK, &withoutPicture);
        fit();  // no front picture: said, nothing changed
        unchangedWidth = d.m_nWidth;
        auto* pSides = static_cast<CSidesPage*>(d.Pages()[1]);
        ASSERT_TRUE(pSides->PutSideImage(SideFront, TestImagePath(L"wide-300x100.png").c_str(), nullptr));
        ASSERT_TRUE(pSides->PutSideImage(SideLeft, TestImagePath(L"quadrants.png").c_str(), nullptr));
        fit();  // height 120 would make the front 360 wide: all three shrink to fit 300
        width = d.m_nWidth, height = d.m_nHeight, depth = d.m_nDepth;
        trackbar = TrackbarPos(dims, IDC_WIDTH);
    });
    EXPECT_NE(withoutPicture.find(L"front face"), std::wstring::npos) << withoutPicture;
    EXPECT_EQ(unchangedWidth, 80);
    EXPECT_EQ(width, 300);
    EXPECT_EQ(height, 100);
    EXPECT_EQ(depth, 100);
    EXPECT_EQ(trackbar, 300) << "the page shows it";
}

TEST(MainDialog, ABookIsChosenTypedAndGivenItsCoverThroughThePages)
{
    CBoxDlg dlg;
    std::wstring badTrim, notACover, coverReread;
    int shape = -1, topLight = -1, trimWidth = 0, trimAfterBad = 0, trimTyped = 0, trimTypedBack = 0;
    bool coverRowShown = false, widthEnabled = true, coverLoaded = false, squareLoaded = true, widthOpened = true;
    bool wrapOnPaperback = true, wrapOnHardcover = false;
    int boxWidth = 0, widthAfterExchange = 0, widthShown = 0, wrapTyped = 0;
    wchar_t trimShown[32] = {}, shapeShown[32] = {}, paperShown[32] = {};
    RunMainDialog(dlg, [&](CBoxDlg& d) {
        CDialog* dims = d.Pages()[0];
        auto* pSides = static_cast<CSidesPage*>(d.Pages()[1]);
        ::GetDlgItemTextW(*dims, IDC_SHAPE, shapeShown, 32);  // as the window opens
        ::GetDlgItemTextW(*dims, IDC_PAPER, paperShown, 32);
        ::SendDlgItemMessageW(*dims, IDC_SHAPE, CB_SETCURSEL, ShapePaperback, 0);
        dims->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SHAPE, CBN_SELCHANGE), (LPARAM)::GetDlgItem(*dims, IDC_SHAPE));
        shape = d.m_nShape, topLight = d.m_nTopLight;
        coverRowShown = ::IsWindowVisible(::GetDlgItem(*pSides, IDC_BROWSE_COVER)) != FALSE ||
                        (::GetWindowLongW(::GetDlgItem(*pSides, IDC_BROWSE_COVER), GWL_STYLE) & WS_VISIBLE);
        widthEnabled = ::IsWindowEnabled(::GetDlgItem(*dims, IDC_WIDTH)) != FALSE;
        // The box's trackbars rest showing the book's size; neither the exchange nor a click on
        // the value changes the box's own width.
        boxWidth = d.m_nWidth;
        widthShown = TrackbarPos(dims, IDC_WIDTH);
        ::SendMessageW(::GetDlgItem(*dims, IDC_WIDTH_VALUE), WM_LBUTTONDOWN, MK_LBUTTON, 0);
        widthOpened = false;
        for (HWND h = ::FindWindowExW(*dims, nullptr, L"EDIT", nullptr); h; h = ::FindWindowExW(*dims, h, L"EDIT", nullptr))
            widthOpened |= ::GetDlgCtrlID(h) == 0;
        dims->UpdateData(TRUE);
        widthAfterExchange = d.m_nWidth;
        wrapOnPaperback = ::IsWindowEnabled(::GetDlgItem(*dims, IDC_WRAP)) != FALSE;
        auto type = [&](const wchar_t* text) {
            ::SetDlgItemTextW(*dims, IDC_TRIM, text);
            dims->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_TRIM, EN_KILLFOCUS), (LPARAM)::GetDlgItem(*dims, IDC_TRIM));
        };
        trimWidth = d.m_nTrimWidth;
        AnswerMessageBox(L"Zelmora", IDOK, &badTrim);
        type(L"0x9in");  // refused, said, the field back to the book's trim
        trimAfterBad = d.m_nTrimWidth;
        ::GetDlgItemTextW(*dims, IDC_TRIM, trimShown, 32);
        ::SetFocus(::GetDlgItem(*dims, IDC_TRIM));  // typed with Enter, the field keeps the focus
        type(L"5.5x8.5in");
        trimTyped = d.m_nTrimWidth;
        type(L"6x9in");  // what the field showed before the last change: a change of its own
        trimTypedBack = d.m_nTrimWidth;
        AnswerMessageBox(L"Zelmora", IDOK, &notACover);
        squareLoaded = pSides->LoadSideFromFile(SideCover, TestImagePath(L"quadrants.png").c_str());
        coverLoaded = pSides->LoadSideFromFile(SideCover, TestImagePath(L"cover-6x9-300.png").c_str());
        AnswerMessageBox(L"Zelmora", IDOK, &coverReread);  // the paperback's cover, kept
        ::SendDlgItemMessageW(*dims, IDC_SHAPE, CB_SETCURSEL, ShapeHardcover, 0);
        dims->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SHAPE, CBN_SELCHANGE), (LPARAM)::GetDlgItem(*dims, IDC_SHAPE));
        d.RefreshPages();
        wrapOnHardcover = ::IsWindowEnabled(::GetDlgItem(*dims, IDC_WRAP)) != FALSE;
        ::SetDlgItemTextW(*dims, IDC_WRAP, L"0.75in");
        dims->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_WRAP, EN_KILLFOCUS), (LPARAM)::GetDlgItem(*dims, IDC_WRAP));
        wrapTyped = d.m_nWrap;
    });
    EXPECT_STREQ(shapeShown, L"Box") << "the lists show the scene's choice from the start";
    EXPECT_STREQ(paperShown, L"White");
    EXPECT_EQ(shape, ShapePaperback);
    EXPECT_EQ(topLight, kTopLightForBooks);
    EXPECT_TRUE(coverRowShown) << "the Side images page offers the whole cover";
    EXPECT_FALSE(widthEnabled) << "a book's size is its trim and pages";
    EXPECT_NEAR(widthShown, 60, 1) << "the resting Width shows the 6 in book's width";
    EXPECT_FALSE(widthOpened) << "a resting value opens no field for typing";
    EXPECT_EQ(widthAfterExchange, boxWidth) << "what a resting trackbar shows never reaches the scene";
    EXPECT_FALSE(wrapOnPaperback);
    EXPECT_TRUE(wrapOnHardcover) << "the hardcover's case wrap has a field";
    EXPECT_EQ(wrapTyped, 750);
    EXPECT_NE(coverReread.find(L"now read as the Hardcover's cover"), std::wstring::npos) << coverReread;
    EXPECT_NE(coverReread.find(L"pixels wide"), std::wstring::npos) << "the size it should have: " << coverReread;
    EXPECT_NE(badTrim.find(L"0x9in"), std::wstring::npos) << badTrim;
    EXPECT_EQ(trimAfterBad, trimWidth);
    EXPECT_STREQ(trimShown, L"6x9in");
    EXPECT_EQ(trimTyped, 5500);
    EXPECT_EQ(trimTypedBack, 6000);
    EXPECT_FALSE(squareLoaded);
    EXPECT_NE(notACover.find(L"not a cover for this book"), std::wstring::npos) << notACover;
    EXPECT_TRUE(coverLoaded) << "a cover made for the book loads without a word";
}

TEST(MainDialog, TheLightPageSwitchesToTheStudioAndItsFinishAndTone)
{
    CBoxDlg dlg;
    int light = -1, finish = -1, key = 0, tone = -1;
    bool ambientBefore = false, keyBefore = true, ambientAfter = true, keyAfter = false, frameChanged = false;
    bool toneBefore = true, toneAfter = false, toneChanged = false;
    RunMainDialog(dlg, [&](CBoxDlg& d) {
        CDialog* page = d.Pages()[3];
        ambientBefore = ::IsWindowEnabled(::GetDlgItem(*page, IDC_AMBIENT)) != FALSE;
        keyBefore = ::IsWindowEnabled(::GetDlgItem(*page, IDC_KEY)) != FALSE;
        toneBefore = ::IsWindowEnabled(::GetDlgItem(*page, IDC_TONE)) != FALSE;
        key = TrackbarPos(page, IDC_KEY);  // greyed, but showing its value
        d.m_nShadow = 60;
        d.RenderFrame();
        const Frame eye = ReadFrame(d.Renderer());
        ::SendDlgItemMessageW(*page, IDC_LIGHT_KIND, CB_SETCURSEL, LightStudio, 0);
        page->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_LIGHT_KIND, CBN_SELCHANGE), (LPARAM)::GetDlgItem(*page, IDC_LIGHT_KIND));
        ::SendDlgItemMessageW(*page, IDC_FINISH, CB_SETCURSEL, FinishGloss, 0);
        page->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_FINISH, CBN_SELCHANGE), (LPARAM)::GetDlgItem(*page, IDC_FINISH));
        light = d.m_nLight, finish = d.m_nFinish;
        ambientAfter = ::IsWindowEnabled(::GetDlgItem(*page, IDC_AMBIENT)) != FALSE;
        keyAfter = ::IsWindowEnabled(::GetDlgItem(*page, IDC_KEY)) != FALSE;
        toneAfter = ::IsWindowEnabled(::GetDlgItem(*page, IDC_TONE)) != FALSE;
        d.RenderFrame();
        const Frame studio = ReadFrame(d.Renderer());
        frameChanged = studio.pixels != eye.pixels;
        ::SendDlgItemMessageW(*page, IDC_TONE, CB_SETCURSEL, ToneNeutral, 0);
        page->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_TONE, CBN_SELCHANGE), (LPARAM)::GetDlgItem(*page, IDC_TONE));
        tone = d.m_nTone;
        d.RenderFrame();
        toneChanged = ReadFrame(d.Renderer()).pixels != studio.pixels;
    });
    EXPECT_TRUE(ambientBefore);
    EXPECT_FALSE(keyBefore);
    EXPECT_EQ(key, 100);
    EXPECT_EQ(light, LightStudio);
    EXPECT_EQ(finish, FinishGloss);
    EXPECT_FALSE(ambientAfter);
    EXPECT_TRUE(keyAfter);
    EXPECT_TRUE(frameChanged) << "the preview is drawn in the studio's light";
    EXPECT_FALSE(toneBefore) << "the tone is the studio's";
    EXPECT_TRUE(toneAfter);
    EXPECT_EQ(tone, ToneNeutral);
    EXPECT_TRUE(toneChanged) << "the preview is toned";
}

TEST(MainDialog, ARememberedPlaceOffEveryMonitorOpensOnOne)
{
    // Kept as the window's corner and client size: one that spanned a monitor now gone, a
    // corner of a few pixels on the screen, a title bar above it.
    const LONG kept[][5] = {{-2000, 100, 2100, 700, 0}, {-1000 + 5, -800 + 4, 1000, 800, 0}, {200, -400, 900, 650, 0},
                            {30000, 30000, 900, 650, 0}};
    for (const auto& placement : kept) {
        HKEY hKey = nullptr;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Zelmora", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &hKey,
                                    nullptr),
                  ERROR_SUCCESS);
        ::RegSetValueExW(hKey, L"Window", 0, REG_BINARY, reinterpret_cast<const BYTE*>(placement), sizeof placement);
        ::RegCloseKey(hKey);
        CBoxDlg dlg;
        RECT window = {}, work = {};
        RunMainDialog(dlg, [&](CBoxDlg& d) {
            ::GetWindowRect(d.m_hWnd, &window);
            MONITORINFO monitor = {};
            monitor.cbSize = sizeof monitor;
            ::GetMonitorInfoW(::MonitorFromWindow(d.m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor);
            work = monitor.rcWork;
        });
        EXPECT_TRUE(window.left >= work.left && window.top >= work.top && window.right <= work.right &&
                    window.bottom <= work.bottom)
            << "kept at " << placement[0] << "," << placement[1] << ": opened at " << window.left << "," << window.top
            << " - " << window.right << "," << window.bottom << " on a work area up to " << work.right << ","
            << work.bottom;
    }
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Zelmora", L"Window");
}
