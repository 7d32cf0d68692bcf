// The main dialog in-process: start-up, the render tick, pages, the drag, shutdown.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <vector>

#include "box_dlg.h"
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
        ASSERT_EQ(d.Pages().size(), 5u);
        CDialog* dims = d.Pages()[0];
        CDialog* rot = d.Pages()[2];
        CDialog* light = d.Pages()[3];
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
        EXPECT_EQ(d.m_clrBackground, 0xFFFFFFFFu);
        for (COLORREF c : d.m_clrFace)
            EXPECT_EQ(c, 0x00FFFFFFu);

        // Only the first page is visible.
        for (size_t i = 0; i < d.Pages().size(); ++i)
            EXPECT_EQ(::IsWindowVisible(*d.Pages()[i]) != 0, i == 0) << "page " << i;

        IDirect3DSurface9* pFrame = nullptr;
        EXPECT_TRUE(SUCCEEDED(d.Renderer().CopyLastFrame(&pFrame))) << "no frame drawn";
        if (pFrame)
            pFrame->Release();
    });
    EXPECT_TRUE(checked);
    EXPECT_EQ(dlg.m_pDevice, nullptr);  // released on close
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
