// The About box and its links, and the Side images page's colours and failure message,
// in-process with the real dialogs.
#include <gtest/gtest.h>

#include <vector>

#include <windows.h>
#include <shellapi.h>
#include <dlgs.h>

#include <algorithm>
#include <functional>
#include <string>

#include "about_dlg.h"
#include "box_dlg.h"
#include "dialog_helpers.h"
#include "image_export.h"
#include "picture_writer.h"
#include "product.h"
#include "render_harness.h"
#include "resource.h"
#include "sides_page.h"
#include "wic_decoder.h"

namespace {

struct ShellCall {
    std::wstring verb, file;
    int show = -1;
    int count = 0;
} g_shell;

HINSTANCE WINAPI RecordShell(HWND, LPCWSTR verb, LPCWSTR file, LPCWSTR, LPCWSTR, INT show)
{
    g_shell.verb = verb ? verb : L"";
    g_shell.file = file ? file : L"";
    g_shell.show = show;
    ++g_shell.count;
    return reinterpret_cast<HINSTANCE>(42);
}

COLORREF LinkTextColour(CAboutDlg& dlg, CLinkStatic& link)
{
    HDC hdc = ::CreateCompatibleDC(nullptr);
    ::SetTextColor(hdc, RGB(1, 1, 1));
    LRESULT brush = dlg.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hdc), reinterpret_cast<LPARAM>(link.m_hWnd));
    COLORREF c = ::GetTextColor(hdc);
    EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH)));
    EXPECT_EQ(::GetBkMode(hdc), TRANSPARENT);
    ::DeleteDC(hdc);
    return c;
}

} // namespace

TEST(AboutBox, LinksAreUnderlinedColouredByStateAndOpenTheirTargets)
{
    const COLORREF kBlue = RGB(0, 0, 255), kRed = RGB(255, 0, 0), kVisited = RGB(5, 34, 143);
    HFONT hUnderline = nullptr;
    {
        CAboutDlg dlg;
        ASSERT_TRUE(dlg.Create(IDD_ABOUTBOX, nullptr));
        CLinkStatic& link = dlg.HomepageLink();
        ASSERT_EQ(CWnd::FromHandlePermanent(::GetDlgItem(dlg, IDC_LINK_HOMEPAGE)), &link);
        EXPECT_TRUE(link.GetStyle() & SS_NOTIFY);
        hUnderline = link.GetFont();
        ASSERT_EQ(hUnderline, link.UnderlineFont());
        LOGFONTW lf = {}, lfDialog = {};
        ::GetObjectW(hUnderline, sizeof(lf), &lf);
        ::GetObjectW(dlg.GetFont(), sizeof(lfDialog), &lfDialog);
        EXPECT_TRUE(lf.lfUnderline);
        EXPECT_STREQ(lf.lfFaceName, lfDialog.lfFaceName);
        EXPECT_EQ(lf.lfHeight, lfDialog.lfHeight);

        EXPECT_EQ(LinkTextColour(dlg, link), kBlue);
        // Under the pointer: red, with the capture to see it leave.
        link.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
        EXPECT_TRUE(link.IsHover());
        EXPECT_EQ(::GetCapture(), link.m_hWnd);
        EXPECT_EQ(LinkTextColour(dlg, link), kRed);
        link.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
        EXPECT_EQ(::GetCapture(), link.m_hWnd) << "still inside";
        link.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(-5, 2));
        EXPECT_FALSE(link.IsHover());
        EXPECT_NE(::GetCapture(), link.m_hWnd);
        EXPECT_EQ(LinkTextColour(dlg, link), kBlue);

        // A click reaches the shell with the target, shown normally; the text stays.
        g_shell = {};
        CLinkStatic::s_pfnShellExecute = &RecordShell;
        dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_LINK_HOMEPAGE, STN_CLICKED), reinterpret_cast<LPARAM>(link.m_hWnd));
        dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_LINK_SUPPORT, STN_CLICKED),
                        reinterpret_cast<LPARAM>(dlg.SupportLink().m_hWnd));
        CLinkStatic::s_pfnShellExecute = &::ShellExecuteW;
        EXPECT_EQ(g_shell.count, 2);
        EXPECT_EQ(g_shell.verb, L"open");
        EXPECT_EQ(g_shell.file, L"mailto:" ZELMORA_SUPPORT_EMAIL_W);
        EXPECT_EQ(g_shell.show, SW_SHOWNORMAL);
        EXPECT_TRUE(link.IsVisited());
        EXPECT_EQ(link.GetWindowText(), CString(ZELMORA_HOMEPAGE_W));
        EXPECT_EQ(LinkTextColour(dlg, link), kVisited);
        link.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
        EXPECT_EQ(LinkTextColour(dlg, link), kVisited) << "visited stays visited under the pointer";
        link.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(-5, -5));

        // The cursor over the link is a real one (the system's hand).
        link.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(link.m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_HAND));
        dlg.DestroyWindow();
    }
    EXPECT_EQ(::GetObjectType(hUnderline), 0u) << "the underlined font went with the control";
    // A new About box starts unvisited.
    CAboutDlg again;
    ASSERT_TRUE(again.Create(IDD_ABOUTBOX, nullptr));
    EXPECT_FALSE(again.HomepageLink().IsVisited());
    again.DestroyWindow();
}

TEST(AboutBox, EscapeAndTheCloseBoxEndItLikeOk)
{
    for (UINT id : {UINT(IDOK), UINT(IDCANCEL), UINT(0)}) {
        CAboutDlg dlg;
        Later::After(150, [id] {
            HWND h = FindTopLevel(L"About Zelmora");
            if (id)
                ::PostMessageW(h, WM_COMMAND, id, 0);
            else
                ::PostMessageW(h, WM_SYSCOMMAND, SC_CLOSE, 0);
        });
        EXPECT_EQ(dlg.DoModal(), IDOK) << "command " << id;
    }
}

namespace {
// Runs the real main dialog modally, `check` from inside its loop, then closes it.
} // namespace

TEST(AboutBox, ThePreviewKeepsDrawingUnderIt)
{
    CBoxDlg dlg;
    unsigned long long during = 0;
    bool shown = false;
    RunMainDialog(dlg, [&](CBoxDlg& d) {
        unsigned long long before = d.Renderer().FramesDrawn();
        // Once the box is on screen (a busy machine shows it late), a change; a while later,
        // whether it was drawn under the box.
        std::function<void(int)> whenShown = [&](int triesLeft) {
            HWND h = FindTopLevel(L"About Zelmora");
            if (!h && triesLeft > 0) {
                Later::After(100, [&, triesLeft] { whenShown(triesLeft - 1); });
                return;
            }
            shown = h != nullptr;
            before = d.Renderer().FramesDrawn();
            d.m_clrBackground = 0xFF3060C0;
            Later::After(300, [&, h] {
                during = d.Renderer().FramesDrawn() - before;
                ::PostMessageW(h ? h : FindTopLevel(L"About Zelmora"), WM_COMMAND, IDOK, 0);
            });
        };
        Later::After(100, [&] { whenShown(150); });
        d.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_ABOUT, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(d, IDC_ABOUT)));
    });
    EXPECT_TRUE(shown);
    EXPECT_GE(during, 1u) << "the change drawn under the About box";
}

TEST(SidesPage, OnlyAnAcceptedColourReachesTheFaceWithTheDefaultResolved)
{
    CBoxDlg dlg;
    RunMainDialog(dlg, [](CBoxDlg& d) {
        auto* page = dynamic_cast<CSidesPage*>(d.Pages()[1]);
        ASSERT_NE(page, nullptr);
        CColourPickerXP& front = page->ColourButton(SideFront);
        EXPECT_EQ(CWnd::FromHandlePermanent(::GetDlgItem(*page, IDC_COLOUR_FRONT)), &front);
        EXPECT_EQ(front.GetRawColour(), 0x00FFFFFFu);
        EXPECT_EQ(front.GetDefaultColour(), 0x00FFFFFFu);

        front.SetColour(RGB(255, 0, 0));
        page->SendMessage(CLRN_SELCHANGE, RGB(255, 0, 0), IDC_COLOUR_FRONT);  // browsing only
        EXPECT_EQ(d.m_clrFace[SideFront], 0x00FFFFFFu);
        page->SendMessage(CLRN_SELENDOK, RGB(1, 2, 3), IDC_COLOUR_FRONT);  // the button's colour counts
        EXPECT_EQ(d.m_clrFace[SideFront], RGB(255, 0, 0));
        page->ColourButton(SideBottom).SetColour(CLR_DEFAULT);
        page->SendMessage(CLRN_SELENDOK, CLR_DEFAULT, IDC_COLOUR_BOTTOM);
        EXPECT_EQ(d.m_clrFace[SideBottom], 0x00FFFFFFu);
        EXPECT_EQ(page->SendMessage(CLRN_SELENDOK, 0, 4242), 0);  // not one of ours: ignored
        EXPECT_EQ(d.m_clrFace[SideFront], RGB(255, 0, 0));
    });
}

TEST(SidesPage, APictureThatCannotBeLoadedIsReportedAndChangesNothing)
{
    CBoxDlg dlg;
    RunMainDialog(dlg, [](CBoxDlg& d) {
        auto* page = dynamic_cast<CSidesPage*>(d.Pages()[1]);
        ASSERT_NE(page, nullptr);
        CString good = TestImagePath(L"quadrants.png").c_str();
        ASSERT_TRUE(page->LoadSideFromFile(SideTop, good));
        const PictureRef before = d.m_picture[SideTop];

        struct Case { std::wstring file; const wchar_t* says; };
        const Case cases[] = {{L"no-such-file.png", L"not found"},
                              {L"text.png", L"not a picture"},
                              {L"truncated.png", L"damaged"},
                              {L"huge-header.png", L"too large: 20000 x 20000"}};
        for (const Case& c : cases) {
            std::wstring text;
            AnswerMessageBox(L"Zelmora", IDOK, &text);
            CString path = TestImagePath(c.file).c_str();
            EXPECT_FALSE(page->LoadSideFromFile(SideTop, path));
            EXPECT_NE(text.find(path.GetString()), std::wstring::npos) << "names the file: " << text;
            EXPECT_NE(text.find(c.says), std::wstring::npos) << text;
            EXPECT_EQ(d.m_picture[SideTop], before);
            wchar_t shown[MAX_PATH] = {};
            ::GetDlgItemTextW(*page, IDC_PATH_TOP, shown, MAX_PATH);
            EXPECT_EQ(CString(shown), good);
        }
    });
}

TEST(SaveImage, AFailureNamesTheFileAndWhy)
{
    CBoxDlg dlg;
    RunMainDialog(dlg, [](CBoxDlg& d) {
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        struct Case { std::wstring path; const wchar_t* says; };
        const Case cases[] = {{std::wstring(temp) + L"no such folder\\box.png", L"the folder does not exist"},
                              {std::wstring(temp) + L"CON.png", L"Windows keeps for a device"},
                              {L"Q:\\box.png", L"the drive is not there"}};
        ::DeleteFileW(cases[0].path.c_str());  // what an earlier run may have left: the folder must be missing
        ::RemoveDirectoryW((std::wstring(temp) + L"no such folder").c_str());
        for (DWORD start = ::GetTickCount(); !d.Renderer().FramesDrawn() && ::GetTickCount() - start < 10000;) {
            MSG msg;  // a busy machine may not have drawn the first frame yet
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                ::DispatchMessageW(&msg);
            ::Sleep(5);
        }
        ASSERT_GT(d.Renderer().FramesDrawn(), 0u);
        for (const Case& c : cases) {
            std::wstring text;
            AnswerMessageBox(L"Error", IDOK, &text);
            d.SaveImageAs(DecideSaveTarget(c.path.c_str(), L"png", 1), ExportSettings());
            EXPECT_EQ(text.rfind(L"Unable to save image\n", 0), 0u) << text;
            EXPECT_NE(text.find(c.path + L": "), std::wstring::npos) << text;
            EXPECT_NE(text.find(c.says), std::wstring::npos) << text;
        }

        // The camera inside the box: a picture of nothing but the background is not a box
        // shot, whether it is the preview's frame or drawn at another size.
        d.m_nWidth = d.m_nHeight = d.m_nDepth = 300;
        d.RefreshPages();
        const unsigned long long drawn = d.Renderer().FramesDrawn();
        for (DWORD start = ::GetTickCount(); d.Renderer().FramesDrawn() < drawn + 2 && ::GetTickCount() - start < 10000;) {
            MSG msg;  // the preview's frame shows the new size
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                ::DispatchMessageW(&msg);
            ::Sleep(5);
        }
        const std::wstring inside = std::wstring(temp) + L"zelmora-inside.png";
        ExportSettings larger, transparent;
        larger.width = larger.height = 200;
        transparent.bTransparent = true;
        for (const ExportSettings& settings : {ExportSettings(), larger, transparent}) {
            std::wstring text;
            AnswerMessageBox(L"Error", IDOK, &text);
            d.SaveImageAs(DecideSaveTarget(inside.c_str(), L"png", 1), settings);
            EXPECT_NE(text.find(L"the box is out of view (the camera is inside it)"), std::wstring::npos) << text;
            EXPECT_EQ(::GetFileAttributesW(inside.c_str()), INVALID_FILE_ATTRIBUTES) << "nothing is written";
        }
    });
}

namespace {
// The handles this process holds, from the system's table of every process's handles
// (Wine keeps no per-process count: GetProcessHandleCount says 0 there).
size_t OpenHandleCount()
{
    struct Entry { ULONG pid; BYTE type; BYTE flags; USHORT value; PVOID object; ULONG access; };
    struct Table { ULONG count; Entry entries[1]; };
    using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    std::vector<BYTE> buffer(1 << 16);
    for (ULONG needed = 0;; buffer.resize(buffer.size() * 2)) {
        const LONG status = query(16 /* SystemHandleInformation */, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (status == 0)
            break;
        if (status != static_cast<LONG>(0xC0000004) || buffer.size() > (64u << 20))  // not a length mismatch
            return 0;
    }
    const auto* table = reinterpret_cast<const Table*>(buffer.data());
    size_t n = 0;
    for (ULONG i = 0; i < table->count; ++i)
        n += table->entries[i].pid == ::GetCurrentProcessId();
    return n;
}
} // namespace

TEST(SaveImage, ManySavesLeaveNoHandlesBehind)
{
    CBoxDlg dlg;
    RunMainDialog(dlg, [](CBoxDlg& d) {
        for (DWORD start = ::GetTickCount(); !d.Renderer().FramesDrawn() && ::GetTickCount() - start < 10000;) {
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                ::DispatchMessageW(&msg);
            ::Sleep(5);
        }
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        const std::wstring png = std::wstring(temp) + L"zelmora-handles.png", jpg = std::wstring(temp) + L"zelmora-handles.jpg";
        ExportSettings large;
        large.width = large.height = 300;
        auto saveEach = [&] {
            d.SaveImageAs(DecideSaveTarget(png.c_str(), L"png", 1), ExportSettings());
            d.SaveImageAs(DecideSaveTarget(jpg.c_str(), L"jpg", 2), ExportSettings());
            d.SaveImageAs(DecideSaveTarget(png.c_str(), L"png", 1), large);
        };
        saveEach();  // whatever is made once for the run (the codecs) is made now
        const size_t before = OpenHandleCount();
        ASSERT_GT(before, 0u);
        // Each save ends in a flush to the disk, which can take a second on a busy machine:
        // 60 saves show a handle lost per save as plainly as more would.
        for (int i = 0; i < 20; ++i)
            saveEach();
        const size_t after = OpenHandleCount();
        EXPECT_LE(after, before + 5) << "handles before " << before << ", after 60 saves " << after;
        ::DeleteFileW(png.c_str());
        ::DeleteFileW(jpg.c_str());
    });
}


TEST(SaveImage, TheOptionsRefuseWhatTheyCannotWrite)
{
    CBoxDlg dlg;
    RunMainDialog(dlg, [](CBoxDlg& d) {
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        const std::wstring jpg = std::wstring(temp) + L"zelmora-clear.jpg";
        ::DeleteFileW(jpg.c_str());
        std::wstring transparentAnswer, dpiAnswer;
        bool bDialogSeen = false;
        OnSaveDialog([&](HWND dialog) {
            bDialogSeen = true;
            // PNG files, "Transparent background" ticked, a name typed as .jpg.
            ::SendMessageW(FindDescendant(dialog, IDC_EXPORT_TRANSPARENT), BM_CLICK, 0, 0);
            ::SendMessageW(dialog, CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>(jpg.c_str()));
            AnswerMessageBox(L"Save Image", IDOK, &transparentAnswer);
            ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
            // Then a DPI of 0, with the transparency off.
            Later::After(1500, [&, dialog] {
                ::SendMessageW(FindDescendant(dialog, IDC_EXPORT_TRANSPARENT), BM_CLICK, 0, 0);
                ::SetWindowTextW(FindDescendant(dialog, IDC_EXPORT_DPI), L"0");
                AnswerMessageBox(L"Save Image", IDOK, &dpiAnswer);
                ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
                Later::After(1500, [dialog] { ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); });
            });
        });
        ::SendMessageW(d.m_hWnd, WM_COMMAND, IDC_SAVE_IMAGE, 0);
        EXPECT_TRUE(bDialogSeen);
        EXPECT_NE(transparentAnswer.find(L"JPEG has no transparency"), std::wstring::npos) << transparentAnswer;
        EXPECT_NE(dpiAnswer.find(L"The DPI must be a whole number from 1"), std::wstring::npos) << dpiAnswer;
        EXPECT_EQ(::GetFileAttributesW(jpg.c_str()), INVALID_FILE_ATTRIBUTES) << "nothing was written";
    });
}

TEST(SaveImage, SupersamplingChosenIsThePictureDrawnLargerAndAveragedDown)
{
    CBoxDlg dlg;
    RunMainDialog(dlg, [](CBoxDlg& d) {
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        const std::wstring png = std::wstring(temp) + L"zelmora-supersampled.png";
        ::DeleteFileW(png.c_str());
        OnSaveDialog([&](HWND dialog) {
            ::SendMessageW(FindDescendant(dialog, IDC_EXPORT_SUPERSAMPLE), CB_SETCURSEL, 1, 0);  // 2 x 2
            ::SendMessageW(dialog, CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>(png.c_str()));
            ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        });
        ::SendMessageW(d.m_hWnd, WM_COMMAND, IDC_SAVE_IMAGE, 0);

        std::vector<BYTE> written;
        HANDLE hFile = ::CreateFileW(png.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(hFile, INVALID_HANDLE_VALUE) << "the picture was written";
        written.resize(::GetFileSize(hFile, nullptr));
        DWORD got = 0;
        ::ReadFile(hFile, written.data(), static_cast<DWORD>(written.size()), &got, nullptr);
        ::CloseHandle(hFile);
        ::DeleteFileW(png.c_str());

        // The same picture as zelmora-render's --supersample 2 at the preview's size, and
        // not the picture drawn once.
        const SIZE size = d.PreviewSize();
        PictureFormat format;
        std::vector<BYTE> expected, plain;
        for (int supersample : {2, 1}) {
            DecodedImage picture;
            ASSERT_EQ(d.Renderer().RenderPicture({static_cast<UINT>(size.cx), static_cast<UINT>(size.cy), false, -1,
                                                  supersample},
                                                 picture),
                      D3D_OK);
            ASSERT_EQ(EncodePicture(picture, format, supersample == 2 ? &expected : &plain), S_OK);
        }
        EXPECT_TRUE(written == expected) << "the file holds the 2 x 2 supersampled picture";
        EXPECT_FALSE(written == plain);
    });
}

TEST(SaveImage, A360SpinIsItsPicturesAllRoundFramedOnceAndTheSceneStaysAsItWas)
{
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"zelmora spin \x043A";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    CBoxDlg dlg;
    std::vector<RECT> boxes;
    bool bSceneKept = false, bNoUndoStep = false;
    RunMainDialog(dlg, [&](CBoxDlg& d) {
        d.m_nReflection = 60;
        d.RefreshPages();
        for (int i = 0; i < 200 && !(d.History().Current() && d.History().Current()->scene == d.CurrentScene()); ++i)
            PumpFor(50);  // the reflection's change has become an undo step
        const SceneDescription before = d.CurrentScene();
        const bool bCouldUndo = d.History().CanUndo();
        OnSaveDialog([&](HWND dialog) {
            HWND hType = FindDescendant(dialog, cmb1);
            ::SendMessageW(hType, CB_SETCURSEL, kSaveSpinFilter - 1, 0);  // "360 spin"
            ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELENDOK), reinterpret_cast<LPARAM>(hType));
            ::SendMessageW(FindDescendant(dialog, IDC_EXPORT_TRANSPARENT), BM_SETCHECK, BST_CHECKED, 0);
            ::SendMessageW(FindDescendant(dialog, IDC_EXPORT_SPIN), CB_SETCURSEL, 0, 0);  // 24
            ::SendMessageW(dialog, CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>((folder + L"\\box").c_str()));
            ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        });
        ::SendMessageW(d.m_hWnd, WM_COMMAND, IDC_SAVE_IMAGE, 0);
        bSceneKept = d.CurrentScene() == before;
        PumpFor(600);
        bNoUndoStep = d.History().CanUndo() == bCouldUndo;
    });
    EXPECT_TRUE(bSceneKept);
    EXPECT_TRUE(bNoUndoStep) << "drawing the spin is no change of the scene";
    // box-01.png .. box-24.png, the box and its reflection inside the 5% margin in every one
    // and touching it in some: one framing for all.
    int nTouching = 0;
    for (int i = 1; i <= 24; ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"\\box-%02d.png", i);
        DecodedImage picture;
        ASSERT_EQ(DecodeWithWic((folder + name).c_str(), 0, picture), S_OK) << i;
        ASSERT_GT(picture.width, 0u) << i;
        RECT box = {LONG_MAX, LONG_MAX, -1, -1};
        // Decoded over white: whatever is not white is the box, its reflection or its shadow.
        for (UINT y = 0; y < picture.height; ++y)
            for (UINT x = 0; x < picture.width; ++x)
                if ((picture.pixels[y * picture.width + x] & 0xFFFFFF) != 0xFFFFFF) {
                    box.left = std::min<LONG>(box.left, x), box.right = std::max<LONG>(box.right, x + 1);
                    box.top = std::min<LONG>(box.top, y), box.bottom = std::max<LONG>(box.bottom, y + 1);
                }
        const LONG mx = static_cast<LONG>(picture.width) / 20, my = static_cast<LONG>(picture.height) / 20;
        EXPECT_TRUE(box.left >= mx - 1 && box.top >= my - 1 && box.right <= static_cast<LONG>(picture.width) - mx + 1 &&
                    box.bottom <= static_cast<LONG>(picture.height) - my + 1)
            << "picture " << i << ": " << box.left << "," << box.top << " " << box.right << "," << box.bottom;
        nTouching += box.top <= my + 2 || box.bottom >= static_cast<LONG>(picture.height) - my - 2 || box.left <= mx + 2 ||
                     box.right >= static_cast<LONG>(picture.width) - mx - 2;
        ::DeleteFileW((folder + name).c_str());
    }
    EXPECT_GT(nTouching, 0);
    ::RemoveDirectoryW(folder.c_str());
}


// The spin's other two types: one animated PNG, one web page, each from one drawing of the
// 24 views, into a folder typed with the name that is not there yet.
TEST(SaveImage, A360SpinAsOneAnimatedPngOrOneWebPageIntoANewFolder)
{
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"zelmora spin types";
    const std::wstring made = folder + L"\\made";
    CBoxDlg dlg;
    RunMainDialog(dlg, [&](CBoxDlg& d) {
        for (DWORD type : {kSaveSpinApngFilter, kSaveSpinPageFilter}) {
            OnSaveDialog([&](HWND dialog) {
                HWND hType = FindDescendant(dialog, cmb1);
                ::SendMessageW(hType, CB_SETCURSEL, type - 1, 0);
                ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELENDOK), reinterpret_cast<LPARAM>(hType));
                ::SendMessageW(FindDescendant(dialog, IDC_EXPORT_SPIN), CB_SETCURSEL, 0, 0);  // 24
                ::SendMessageW(dialog, CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>((made + L"\\turn").c_str()));
                ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
            });
            ::SendMessageW(d.m_hWnd, WM_COMMAND, IDC_SAVE_IMAGE, 0);
        }
    });
    std::string apng, page;
    for (auto [name, pText] : {std::pair{L"\\turn.png", &apng}, std::pair{L"\\turn.html", &page}}) {
        HANDLE h = ::CreateFileW((made + name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE) << "written: " << Utf8FromWide(made + name);
        pText->resize(::GetFileSize(h, nullptr));
        DWORD got = 0;
        ::ReadFile(h, pText->data(), static_cast<DWORD>(pText->size()), &got, nullptr);
        ::CloseHandle(h);
        ::DeleteFileW((made + name).c_str());
    }
    size_t frames = 0;
    for (size_t at = apng.find("fcTL"); at != std::string::npos; at = apng.find("fcTL", at + 4))
        ++frames;
    EXPECT_EQ(frames, 24u) << "an animated PNG of the 24 views";
    size_t pictures = 0;
    for (size_t at = page.find("data:image/"); at != std::string::npos; at = page.find("data:image/", at + 1))
        ++pictures;
    EXPECT_EQ(pictures, 24u) << "a page holding the 24 views";
    ::RemoveDirectoryW(made.c_str());
    ::RemoveDirectoryW(folder.c_str());
}

TEST(SaveImage, ClicksGivenWhileAPictureIsDrawnStartNothingAfterwards)
{
    CBoxDlg dlg;
    bool bEnabledAfter = false, bClickLeft = true;
    RunMainDialog(dlg, [&](CBoxDlg& d) {
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        const std::wstring png = std::wstring(temp) + L"zelmora-busy.png";
        ExportSettings large;
        large.width = large.height = 400;
        // A second click on Save Image while the first picture is drawn, as an impatient user
        // gives it: it waits in the queue until the window answers again.
        HWND hSave = ::GetDlgItem(d.m_hWnd, IDC_SAVE_IMAGE);
        ::PostMessageW(hSave, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        ::PostMessageW(hSave, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        d.SaveImageAs(DecideSaveTarget(png.c_str(), L"png", 1), large);
        bEnabledAfter = ::IsWindowEnabled(d.m_hWnd) != FALSE;
        MSG msg;
        bClickLeft = ::PeekMessageW(&msg, hSave, WM_LBUTTONDOWN, WM_LBUTTONUP, PM_NOREMOVE) != FALSE;
        ::DeleteFileW(png.c_str());
    });
    EXPECT_FALSE(bClickLeft) << "the click given while drawing would open the Save dialog again";
    EXPECT_TRUE(bEnabledAfter);
}
