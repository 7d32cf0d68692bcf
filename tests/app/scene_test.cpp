// Scene files in the real main dialog: a saved scene comes back whole and draws the same
// picture, a bad file changes nothing, unusable pictures are named together, the question
// before changes are lost does what its answers say, and dropped files land where dropped.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <dlgs.h>

#include <algorithm>
#include <fstream>

#include "dialog_helpers.h"
#include "recent_scenes.h"
#include "render_harness.h"
#include "resource.h"
#include "scene_file.h"
#include "sides_page.h"

namespace {

std::wstring SceneFolder()
{
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"zelmora scenes \x043A";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

void WriteText(const std::wstring& path, const std::string& text)
{
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    ::WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    ::CloseHandle(h);
}

std::string ReadText(const std::wstring& path)
{
    std::string text;
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    char buf[4096];
    DWORD got = 0;
    while (h != INVALID_HANDLE_VALUE && ::ReadFile(h, buf, sizeof buf, &got, nullptr) && got)
        text.append(buf, got);
    ::CloseHandle(h);
    return text;
}

// Lets the dialog's ticks run until a frame newer than `after` is drawn and then one more
// tick, so that what the pages show has reached the scene and the picture.
Frame NextFrame(CBoxDlg& d, unsigned long long after)
{
    for (DWORD start = ::GetTickCount(); d.Renderer().FramesDrawn() <= after && ::GetTickCount() - start < 10000;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageW(&msg);
        ::Sleep(5);
    }
    return ReadFrame(d.Renderer());
}

CString WindowTitle(CBoxDlg& d)
{
    wchar_t text[256] = {};
    ::GetWindowTextW(d.m_hWnd, text, 256);
    return text;
}

int Trackbar(CBoxDlg& d, int page, int id)
{
    return static_cast<int>(::SendDlgItemMessageW(*d.Pages()[page], id, TBM_GETPOS, 0, 0));
}

// Changes every value, colour and face of the window.
void ChangeEverything(CBoxDlg& d, int step)
{
    for (int i = 0; i < kSceneValueCount; ++i)
        d.*g_sceneValues[i].pField = g_sceneValues[i].nMin + step + i;
    for (int s = 0; s < kSideCount; ++s)
        d.m_clrFace[s] = RGB(40 * s, step, 255 - s);
    d.m_clrBackground = 0xFF000000u | static_cast<DWORD>(step * 0x010203);
    d.RefreshPages();
    auto* page = dynamic_cast<CSidesPage*>(d.Pages()[1]);
    for (int s = 0; s < kSideCount; ++s)
        page->OnClearSide(s);
    page->PutSideImage(step % 2 ? SideTop : SideFront, TestImagePath(L"quadrants.png").c_str(), nullptr);
}

} // namespace

TEST(SceneInWindow, ASavedSceneComesBackWholeAndDrawsTheSamePicture)
{
    const std::wstring path = SceneFolder() + L"\\box \x00E9.zelmora";
    CBoxDlg dlg;
    RunMainDialog(dlg, [&](CBoxDlg& d) {
        EXPECT_EQ(WindowTitle(d), CString(L"Zelmora"));
        d.m_nWidth = 150; d.m_nHeight = 90; d.m_nRotation1 = 200; d.m_nRotation2 = 70; d.m_nDistance = 260;
        d.m_nZoom = 600; d.m_nAmbient = 80; d.m_nDiffuse = 150; d.m_nDepth = 60;
        d.m_clrFace[SideLeft] = RGB(200, 30, 30);
        d.m_clrBackground = 0xFF203040;
        d.RefreshPages();
        auto* page = dynamic_cast<CSidesPage*>(d.Pages()[1]);
        ASSERT_TRUE(page->PutSideImage(SideFront, TestImagePath(L"quadrants.png").c_str(), nullptr));
        const Frame before = NextFrame(d, d.Renderer().FramesDrawn());
        const SceneDescription saved = d.CurrentScene();

        ASSERT_TRUE(d.SaveSceneTo(path.c_str()));
        EXPECT_EQ(WindowTitle(d), CString(L"box \x00E9 - Zelmora"));
        EXPECT_FALSE(d.HasUnsavedChanges());

        ChangeEverything(d, 7);
        EXPECT_TRUE(d.HasUnsavedChanges());
        NextFrame(d, d.Renderer().FramesDrawn());

        ASSERT_TRUE(d.OpenScene(path.c_str()));
        EXPECT_TRUE(d.CurrentScene() == saved);
        EXPECT_FALSE(d.HasUnsavedChanges());
        // The pages show it: trackbars, the colour button, the path text.
        EXPECT_EQ(Trackbar(d, 0, IDC_WIDTH), 150);
        EXPECT_EQ(Trackbar(d, 2, IDC_ZOOM), 600);
        EXPECT_EQ(Trackbar(d, 3, IDC_DIFFUSE), 150);
        NextFrame(d, d.Renderer().FramesDrawn());
        wchar_t label[16] = {};
        ::GetDlgItemTextW(*d.Pages()[2], IDC_ZOOM_VALUE, label, 16);
        EXPECT_STREQ(label, L"600") << "the value stands beside its trackbar";
        EXPECT_EQ(page->ColourButton(SideLeft).GetColour(TRUE), RGB(200, 30, 30));
        wchar_t shown[MAX_PATH] = {};
        ::GetDlgItemTextW(*page, IDC_PATH_FRONT, shown, MAX_PATH);
        EXPECT_EQ(std::wstring(shown), TestImagePath(L"quadrants.png"));
        EXPECT_EQ(d.m_picture[SideTop], nullptr);

        const Frame after = NextFrame(d, d.Renderer().FramesDrawn());
        ASSERT_EQ(after.pixels.size(), before.pixels.size());
        EXPECT_TRUE(after.pixels == before.pixels) << "the reopened scene draws the same preview";
    });
    ::DeleteFileW(path.c_str());
}

TEST(SceneInWindow, ABadSceneChangesNothingAndUnusablePicturesAreNamedTogether)
{
    const std::wstring folder = SceneFolder();
    CBoxDlg dlg;
    RunMainDialog(dlg, [&](CBoxDlg& d) {
        ChangeEverything(d, 3);
        const SceneDescription current = d.CurrentScene();
        const std::string good = SceneFileText(SceneDescription(), L"");
        struct Case { std::string text; const wchar_t* says; };
        const Case cases[] = {
            {"{\"zelmora-scene\": 1, \"width\": }", L"expected a value"},
            {"{\"zelmora-scene\": 1, \"zoom\": 5000}", L"\"zoom\": 5000: expected a whole number from 150 to 1200"},
            {"{\"zelmora-scene\": 3}", L"version 3"},
            {"PNG, not a scene", L"expected a JSON object"},
        };
        for (const Case& c : cases) {
            const std::wstring path = folder + L"\\bad.zelmora";
            WriteText(path, c.text);
            std::wstring text;
            AnswerMessageBox(L"Zelmora", IDOK, &text);
            EXPECT_FALSE(d.OpenScene(path.c_str()));
            EXPECT_NE(text.find(path), std::wstring::npos) << text;
            EXPECT_NE(text.find(c.says), std::wstring::npos) << text;
            EXPECT_TRUE(d.CurrentScene() == current);
            EXPECT_TRUE(d.ScenePath().IsEmpty());
        }

        // A missing and a broken picture, one on another computer and a device: the scene
        // opens, one message names them all, and none is opened that could hang or connect.
        SceneDescription scene;
        scene.values[kValueWidth] = 222;
        scene.facePaths[SideFront] = folder + L"\\missing.png";
        scene.facePaths[SideBack] = TestImagePath(L"truncated.png");
        scene.facePaths[SideTop] = TestImagePath(L"quadrants.png");
        scene.facePaths[SideLeft] = L"\\\\host\\share\\left.png";
        scene.facePaths[SideRight] = folder + L"\\COM1";
        ASSERT_EQ(WriteSceneFile(folder + L"\\partly.zelmora", scene), S_OK);
        std::wstring text;
        AnswerMessageBox(L"Zelmora", IDOK, &text);
        EXPECT_TRUE(d.OpenScene((folder + L"\\partly.zelmora").c_str()));
        EXPECT_NE(text.find(folder + L"\\missing.png: the file was not found"), std::wstring::npos) << text;
        EXPECT_NE(text.find(TestImagePath(L"truncated.png") + L": the picture is damaged"), std::wstring::npos) << text;
        EXPECT_NE(text.find(L"\\\\host\\share\\left.png: it is on another computer"), std::wstring::npos) << text;
        EXPECT_NE(text.find(L"\\COM1: it names a device"), std::wstring::npos) << text;
        EXPECT_NE(text.find(L"keeps their names"), std::wstring::npos) << text;
        EXPECT_EQ(d.m_nWidth, 222);
        EXPECT_NE(d.m_picture[SideTop], nullptr);
        EXPECT_EQ(d.m_picture[SideFront], nullptr);  // not the picture it had before
        EXPECT_EQ(d.m_picture[SideBack], nullptr);
        EXPECT_EQ(d.m_picture[SideLeft], nullptr);
        EXPECT_FALSE(d.HasUnsavedChanges());

        // Another change and a save: every picture the user did not touch is still named.
        d.m_nWidth = 230;
        d.RefreshPages();
        NextFrame(d, d.Renderer().FramesDrawn());
        ASSERT_TRUE(d.SaveSceneTo((folder + L"\\partly.zelmora").c_str()));
        SceneDescription saved;
        std::wstring error;
        ASSERT_TRUE(ReadSceneFile(folder + L"\\partly.zelmora", &saved, &error)) << error;
        EXPECT_EQ(saved.values[kValueWidth], 230);
        for (int s = 0; s < kSideCount; ++s)
            EXPECT_EQ(saved.facePaths[s], scene.facePaths[s]) << g_faceNames[s];
    });
    ::DeleteFileW((folder + L"\\bad.zelmora").c_str());
    ::DeleteFileW((folder + L"\\partly.zelmora").c_str());
}

TEST(SceneInWindow, TheQuestionBeforeChangesAreLostDoesWhatItsAnswersSay)
{
    const std::wstring path = SceneFolder() + L"\\asked.zelmora";
    CBoxDlg dlg;
    bool closedOnCancel = true;
    RunMainDialog(dlg, [&](CBoxDlg& d) {
        ASSERT_TRUE(d.SaveSceneTo(path.c_str()));
        const std::string savedText = ReadText(path);
        EXPECT_TRUE(d.ConfirmDiscardChanges()) << "nothing changed: no question";

        d.m_nDepth = 99;
        d.RefreshPages();
        std::wstring text;
        AnswerMessageBox(L"Zelmora", IDCANCEL, &text);
        d.SendMessage(WM_CLOSE);  // the close box, answered Cancel: the window stays
        EXPECT_EQ(text, L"Save changes to asked.zelmora?");
        closedOnCancel = !::IsWindow(d.m_hWnd) || d.ScenePath().IsEmpty();
        EXPECT_TRUE(d.HasUnsavedChanges());

        AnswerMessageBox(L"Zelmora", IDNO, nullptr);
        EXPECT_TRUE(d.ConfirmDiscardChanges());
        EXPECT_EQ(ReadText(path), savedText) << "No leaves the file as it was";

        AnswerMessageBox(L"Zelmora", IDYES, nullptr);
        EXPECT_TRUE(d.ConfirmDiscardChanges());
        EXPECT_NE(ReadText(path).find("\"depth\": 99"), std::string::npos) << "Yes saves";
        EXPECT_FALSE(d.HasUnsavedChanges());
    });
    EXPECT_FALSE(closedOnCancel);
    ::DeleteFileW(path.c_str());
}

TEST(SceneInWindow, DroppedFilesLandWhereTheyAreDropped)
{
    const std::wstring path = SceneFolder() + L"\\dropped.zelmora";
    SceneDescription scene;
    scene.values[kValueHeight] = 33;
    ASSERT_EQ(WriteSceneFile(path, scene), S_OK);

    // What the shell hands over: a DROPFILES block with the wide names after it.
    auto drop = [](CBoxDlg& d, const std::wstring& file, POINT pt) {
        const size_t bytes = sizeof(DROPFILES) + (file.size() + 2) * sizeof(wchar_t);
        HGLOBAL h = ::GlobalAlloc(GHND, bytes);
        auto* df = static_cast<DROPFILES*>(::GlobalLock(h));
        df->pFiles = sizeof(DROPFILES);
        df->pt = pt;
        df->fWide = TRUE;
        memcpy(reinterpret_cast<BYTE*>(df) + sizeof(DROPFILES), file.c_str(), file.size() * sizeof(wchar_t));
        ::GlobalUnlock(h);
        d.SendMessage(WM_DROPFILES, reinterpret_cast<WPARAM>(h));
    };
    CBoxDlg dlg;
    RunMainDialog(dlg, [&](CBoxDlg& d) {
        drop(d, path, POINT{20, 20});
        EXPECT_EQ(d.m_nHeight, 33);
        EXPECT_EQ(d.ScenePath(), CString(path.c_str()));

        // A picture on the Back row of the Side images page goes onto the back face.
        TabCtrl_SetCurSel(::GetDlgItem(d, IDC_TAB_PAGES), 1);
        NMHDR nm = {::GetDlgItem(d, IDC_TAB_PAGES), IDC_TAB_PAGES, static_cast<UINT>(TCN_SELCHANGE)};
        d.SendMessage(WM_NOTIFY, IDC_TAB_PAGES, reinterpret_cast<LPARAM>(&nm));
        RECT rc;
        ::GetWindowRect(::GetDlgItem(*d.Pages()[1], IDC_PATH_BACK), &rc);
        POINT pt = {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
        ::ScreenToClient(d, &pt);
        drop(d, TestImagePath(L"quadrants.png"), pt);
        EXPECT_NE(d.m_picture[SideBack], nullptr);
        EXPECT_EQ(d.m_picture[SideFront], nullptr);
        EXPECT_TRUE(d.HasUnsavedChanges());
        AnswerMessageBox(L"Zelmora", IDNO, nullptr);  // the close after the check asks
    });
    ::DeleteFileW(path.c_str());
}

TEST(SceneInWindow, SaveSceneAsAsksAboutTheFileItWillWrite)
{
    const std::wstring folder = SceneFolder();
    const std::wstring existing = folder + L"\\box.v2.zelmora", typed = folder + L"\\box.v2";
    WriteText(existing, "precious");
    CBoxDlg dlg;
    RunMainDialog(dlg, [&](CBoxDlg& d) {
        std::wstring question;
        bool bStillOpen = false;
        OnSaveDialog([&](HWND dialog) {
            ::SendMessageW(dialog, CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>(typed.c_str()));
            AnswerMessageBox(L"Confirm Save As", IDNO, &question);
            ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
            Later::After(1500, [&, dialog] {
                bStillOpen = ::IsWindow(dialog) && ::IsWindowVisible(dialog);
                ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
            });
        });
        ::SendMessageW(d.m_hWnd, WM_COMMAND, ID_SCENE_SAVE_AS, 0);
        EXPECT_NE(question.find(existing + L" already exists"), std::wstring::npos) << question;
        EXPECT_TRUE(bStillOpen) << "No keeps the dialog open for another name";
        EXPECT_EQ(ReadText(existing), "precious");
        EXPECT_TRUE(d.ScenePath().IsEmpty());
    });
    ::DeleteFileW(existing.c_str());
}

namespace {

// Runs the window until its last change has become an undo step (at most ten seconds).
void UntilSettled(CBoxDlg& d)
{
    for (int i = 0; i < 200 && !(d.History().Current() && d.History().Current()->scene == d.CurrentScene()); ++i)
        PumpFor(50);
    PumpFor(50);
}

} // namespace

TEST(SceneInWindow, UndoAndRedoGoThroughEveryKindOfChangeOneSettledChangeAStep)
{
    const std::wstring path = SceneFolder() + L"\\undone.zelmora", otherPath = SceneFolder() + L"\\other.zelmora";
    CBoxDlg dlg;
    RunMainDialog(dlg, [&](CBoxDlg& d) {
        ASSERT_TRUE(d.SaveSceneTo(path.c_str()));
        UntilSettled(d);
        const SceneDescription start = d.CurrentScene();
        EXPECT_FALSE(d.History().CanUndo());

        d.m_nDepth = 55;  // a value
        d.RefreshPages();
        UntilSettled(d);
        wchar_t title[64] = {};
        ::GetWindowTextW(d.m_hWnd, title, 64);
        EXPECT_STREQ(title, L"*undone - Zelmora") << "unsaved changes shown the Windows way";
        HWND hList = ::GetDlgItem(*d.Pages()[4], IDC_TEMPLATE_LIST);  // a template
        ::SendMessageW(hList, LB_SETCURSEL, 4, 0);
        d.Pages()[4]->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_TEMPLATE_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(hList));
        UntilSettled(d);
        const SceneDescription templated = d.CurrentScene();
        auto* pSides = static_cast<CSidesPage*>(d.Pages()[1]);  // a picture
        ASSERT_TRUE(pSides->PutSideImage(SideFront, TestImagePath(L"quadrants.png").c_str(), nullptr));
        const PictureRef pLoaded = d.m_picture[SideFront];
        UntilSettled(d);
        const SceneDescription pictured = d.CurrentScene();
        for (int move = 0; move < 20; ++move) {  // a drag: many quick moves
            d.m_nRotation1 += 2;
            d.RefreshPages();
            PumpFor(20);
        }
        UntilSettled(d);
        const SceneDescription dragged = d.CurrentScene();

        auto command = [&](UINT id) { d.SendMessage(WM_COMMAND, id, 0); };
        command(ID_SCENE_UNDO);
        EXPECT_TRUE(d.CurrentScene() == pictured) << "the whole drag is one step";
        command(ID_SCENE_UNDO);
        EXPECT_TRUE(d.CurrentScene() == templated);
        EXPECT_EQ(d.m_picture[SideFront], nullptr) << "the picture is off its face again";
        command(ID_SCENE_UNDO);
        command(ID_SCENE_UNDO);
        EXPECT_TRUE(d.CurrentScene() == start);
        EXPECT_EQ(::SendDlgItemMessageW(*d.Pages()[0], IDC_DEPTH, TBM_GETPOS, 0, 0), start.values[kValueDepth])
            << "the pages show it";
        ::GetWindowTextW(d.m_hWnd, title, 64);
        EXPECT_STREQ(title, L"undone - Zelmora");
        EXPECT_FALSE(d.History().CanUndo());

        for (int step = 0; step < 4; ++step)
            command(ID_SCENE_REDO);
        EXPECT_TRUE(d.CurrentScene() == dragged);
        EXPECT_EQ(d.m_picture[SideFront], pLoaded) << "the very picture comes back, not the file reread";
        EXPECT_FALSE(d.History().CanRedo());
        command(ID_SCENE_UNDO);
        d.m_nWidth = 33;  // a change after an undo: redo has nothing to bring back over it
        d.RefreshPages();
        UntilSettled(d);
        EXPECT_FALSE(d.History().CanRedo());
        ASSERT_TRUE(d.SaveSceneTo(path.c_str()));

        // Opening another scene is undone with its file: the title follows the scene back.
        SceneDescription other = d.CurrentScene();
        other.values[kValueHeight] = 77;
        ASSERT_EQ(WriteSceneFile(otherPath, other), S_OK);
        ASSERT_TRUE(d.OpenScene(otherPath.c_str()));
        UntilSettled(d);
        EXPECT_EQ(WindowTitle(d), CString(L"other - Zelmora"));
        command(ID_SCENE_UNDO);
        EXPECT_EQ(WindowTitle(d), CString(L"undone - Zelmora")) << "the scene before the open, under its own name";
        EXPECT_EQ(d.ScenePath(), CString(path.c_str())) << "and Save writes to that file";
        command(ID_SCENE_REDO);
        EXPECT_EQ(WindowTitle(d), CString(L"other - Zelmora"));
    });
    ::DeleteFileW(path.c_str());
    ::DeleteFileW(otherPath.c_str());
}

TEST(SceneInWindow, NewSceneTheQuestionOverTheWindowAndTheSceneNameForPictures)
{
    const std::wstring path = SceneFolder() + L"\\poster.zelmora";
    CBoxDlg dlg;
    RunMainDialog(dlg, [&](CBoxDlg& d) {
        ASSERT_TRUE(d.SaveSceneTo(path.c_str()));
        // Save Image suggests the scene's name, in the scene's folder.
        wchar_t suggested[MAX_PATH] = {}, folder[MAX_PATH] = {};
        OnSaveDialog([&](HWND dialog) {
            ::SendMessageW(dialog, CDM_GETSPEC, MAX_PATH, reinterpret_cast<LPARAM>(suggested));
            ::SendMessageW(dialog, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(folder));
            ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        d.SendMessage(WM_COMMAND, IDC_SAVE_IMAGE, 0);
        EXPECT_STREQ(suggested, L"poster");
        EXPECT_EQ(_wcsicmp(folder, SceneFolder().c_str()), 0) << folder;

        // The question about unsaved changes appears over the window, not mid-screen.
        ::SetWindowPos(d.m_hWnd, nullptr, 20, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        d.m_nDepth = 77;
        d.RefreshPages();
        RECT rcBox = {}, rcMain = {};
        std::wstring question;
        WhenShown(L"Zelmora", [&](HWND box) {
            ::GetWindowRect(box, &rcBox);
            ::GetWindowRect(d.m_hWnd, &rcMain);
            ::GetDlgItemTextW(box, 0xFFFF, &question.assign(256, L'\0')[0], 256);
            ::PostMessageW(box, WM_COMMAND, IDNO, 0);
        });
        d.SendMessage(WM_COMMAND, ID_SCENE_NEW, 0);  // Ctrl+N, answered No
        EXPECT_EQ(question.c_str(), std::wstring(L"Save changes to poster.zelmora?"));
        EXPECT_NEAR((rcBox.left + rcBox.right) / 2, (rcMain.left + rcMain.right) / 2, 2);
        EXPECT_NEAR((rcBox.top + rcBox.bottom) / 2, (rcMain.top + rcMain.bottom) / 2, 2);
        // ... and the window holds the start scene, with no file.
        EXPECT_TRUE(d.CurrentScene() == SceneDescription());
        EXPECT_TRUE(d.ScenePath().IsEmpty());
        wchar_t title[64] = {};
        ::GetWindowTextW(d.m_hWnd, title, 64);
        EXPECT_STREQ(title, L"Zelmora");
    });
    ::DeleteFileW(path.c_str());
}

TEST(SceneInWindow, TheLastScenesComeBackFromTheSceneMenuAndAGoneOneLeavesIt)
{
    const std::wstring first = SceneFolder() + L"\\recent one.zelmora", second = SceneFolder() + L"\\recent & two.zelmora";
    CBoxDlg dlg;
    RunMainDialog(dlg, [&](CBoxDlg& d) {
        ASSERT_TRUE(d.SaveSceneTo(first.c_str()));
        ASSERT_TRUE(d.SaveSceneTo(second.c_str()));
        std::vector<std::wstring> recent = RecentScenes();
        ASSERT_GE(recent.size(), 2u);
        EXPECT_EQ(_wcsicmp(recent[0].c_str(), second.c_str()), 0) << "newest first";
        EXPECT_EQ(_wcsicmp(recent[1].c_str(), first.c_str()), 0);

        d.SendMessage(WM_COMMAND, ID_SCENE_RECENT_FIRST + 1, 0);
        EXPECT_EQ(_wcsicmp(d.ScenePath().GetString(), first.c_str()), 0) << "the second entry opens the first scene";
        EXPECT_EQ(_wcsicmp(RecentScenes()[0].c_str(), first.c_str()), 0) << "and it is first again";

        ::DeleteFileW(second.c_str());
        std::wstring message;
        AnswerMessageBox(L"Zelmora", IDOK, &message);
        d.SendMessage(WM_COMMAND, ID_SCENE_RECENT_FIRST + 1, 0);
        EXPECT_NE(message.find(L"Unable to open scene"), std::wstring::npos) << message;
        recent = RecentScenes();
        EXPECT_TRUE(std::none_of(recent.begin(), recent.end(),
                                 [&](const std::wstring& p) { return _wcsicmp(p.c_str(), second.c_str()) == 0; }))
            << "a scene that is gone leaves the list";
    });
    ::DeleteFileW(first.c_str());
}

TEST(SceneInWindow, ViewsOfYourOwnAreNamedGoneToKeptWithTheSceneAndUndone)
{
    const std::wstring path = SceneFolder() + L"\\views.zelmora";
    CBoxDlg dlg;
    std::wstring refusal;
    RunMainDialog(dlg, [&](CBoxDlg& d) {
        CDialog* page = d.Pages()[4];
        HWND hList = ::GetDlgItem(*page, IDC_VIEW_LIST);
        auto click = [&](int id) { page->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); };
        auto name = [&](const wchar_t* text, UINT key) {  // typed into the name being edited
            HWND hEdit = reinterpret_cast<HWND>(::SendMessageW(hList, LVM_GETEDITCONTROL, 0, 0));
            ASSERT_NE(hEdit, nullptr) << "the name is open for typing";
            ::SetWindowTextW(hEdit, text);
            ::SendMessageW(hEdit, WM_KEYDOWN, key, 0);
            PumpFor(50);
        };
        auto select = [&](int index) {
            LVITEMW state = {};
            state.stateMask = state.state = LVIS_SELECTED;
            ::SendMessageW(hList, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&state));
        };
        d.m_nRotation1 = 150, d.m_nRotation2 = 110, d.m_nDistance = 220, d.m_nZoom = 760, d.m_nCentreX = 120;
        d.RefreshPages();
        const SceneDescription hero = d.CurrentScene();
        click(IDC_VIEW_ADD);
        name(L"  Hero ", VK_RETURN);
        d.m_nRotation1 = 40;
        d.RefreshPages();
        click(IDC_VIEW_ADD);
        name(L"ignored", VK_ESCAPE);  // Escape: the name it was given
        ASSERT_EQ(d.CurrentScene().views.size(), 2u);
        EXPECT_EQ(d.CurrentScene().views[0].name, L"Hero");
        EXPECT_EQ(d.CurrentScene().views[1].name, L"View 1");

        AnswerMessageBox(L"Zelmora", IDOK, &refusal);
        click(IDC_VIEW_RENAME);
        name(L"HERO", VK_RETURN);
        PumpFor(300);
        EXPECT_EQ(d.CurrentScene().views[1].name, L"View 1") << "two views never share a name";

        d.m_nRotation1 = 300, d.m_nZoom = 500, d.m_nDistance = 100;
        d.RefreshPages();
        select(0);
        for (int v : kViewValues)
            EXPECT_EQ(d.CurrentScene().values[v], hero.values[v]) << g_sceneValues[v].pszName;
        EXPECT_EQ(::SendDlgItemMessageW(*d.Pages()[2], IDC_ZOOM, TBM_GETPOS, 0, 0), 760) << "the pages show it";

        UntilSettled(d);
        select(1);
        click(IDC_VIEW_DELETE);
        EXPECT_EQ(::SendMessageW(hList, LVM_GETITEMCOUNT, 0, 0), 1);
        UntilSettled(d);
        d.SendMessage(WM_COMMAND, ID_SCENE_UNDO, 0);
        EXPECT_EQ(d.CurrentScene().views.size(), 2u) << "a deleted view comes back with Undo";
        PumpFor(100);
        EXPECT_EQ(::SendMessageW(hList, LVM_GETITEMCOUNT, 0, 0), 2) << "and the list shows it";
        ASSERT_TRUE(d.SaveSceneTo(path.c_str()));
    });
    EXPECT_NE(refusal.find(L"a view named \"Hero\" already"), std::wstring::npos) << refusal;

    // The saved scene's view is the window's: zelmora-render's --view sets the same values.
    SceneDescription read;
    std::wstring error;
    ASSERT_TRUE(ReadSceneFile(path, &read, &error)) << error;
    EXPECT_NE(ReadText(path).find("{\"name\": \"Hero\", \"rotation1\": 150, \"rotation2\": 110, \"distance\": 220, "
                                  "\"zoom\": 760, \"centre-x\": 120}"),
              std::string::npos)
        << ReadText(path);
    std::wstring expected;
    ASSERT_EQ(ApplySceneOption(read, "view", L"hero", L"", &expected), OptionResult::Applied) << expected;
    EXPECT_EQ(read.values[kValueCentreX], 120);
    EXPECT_EQ(read.values[kValueRotation1], 150);
    ::DeleteFileW(path.c_str());
}

// A set made elsewhere (zelmora-render, a scene file) keeps every product through the
// window: their pictures drawn, their values and names saved back as they came.
TEST(SceneInWindow, ASetsProductsComeThroughOpenSaveAndUndoWhole)
{
    const std::wstring folder = SceneFolder();
    const std::wstring path = folder + L"\\set.zelmora", copy = folder + L"\\set copy.zelmora";
    SceneDescription set;
    ChooseShape(set.values, ShapePaperback);
    set.faceColours[SideFront] = RGB(200, 30, 30);
    SetProductCount(set, 3);
    set.products[0].facePaths[SideFront] = TestImagePath(L"quadrants.png");
    set.products[1].values[kValuePages] = 700;
    set.products[1].facePaths[SideBack] = folder + L"\\not there.png";  // kept by name
    ASSERT_EQ(WriteSceneFile(path, set), S_OK);
    CBoxDlg dlg;
    RunMainDialog(dlg, [&](CBoxDlg& d) {
        std::wstring text;
        AnswerMessageBox(L"Zelmora", IDOK, &text);
        ASSERT_TRUE(d.OpenScene(path.c_str()));
        EXPECT_NE(text.find(L"not there.png"), std::wstring::npos) << "the missing picture is named: " << text;
        ASSERT_EQ(d.m_products.size(), 2u);
        EXPECT_NE(d.m_products[0].m_picture[SideFront], nullptr) << "the second product's picture is drawn";
        EXPECT_EQ(d.m_products[1].m_picture[SideBack], nullptr);
        EXPECT_TRUE(d.CurrentScene() == set);
        NextFrame(d, d.Renderer().FramesDrawn());

        // A change and its undo: the set comes back with it.
        d.m_nRotation1 = 30;
        d.RefreshPages();
        for (int i = 0; i < 200 && !(d.History().Current() && d.History().Current()->scene == d.CurrentScene()); ++i)
            PumpFor(50);
        d.OnUndo();
        EXPECT_TRUE(d.CurrentScene() == set);
        EXPECT_NE(d.m_products[0].m_picture[SideFront], nullptr);

        ASSERT_TRUE(d.SaveSceneTo(copy.c_str()));
    });
    SceneDescription saved;
    std::wstring error;
    ASSERT_TRUE(ReadSceneFile(copy, &saved, &error)) << error;
    EXPECT_TRUE(saved == set);
    ::DeleteFileW(path.c_str());
    ::DeleteFileW(copy.c_str());
}

// Several pictures dropped together on a book make a series, one book per cover; on a box, or
// with one that cannot be read, they change nothing and say why.
TEST(SceneInWindow, SeveralCoversDroppedTogetherMakeASeries)
{
    auto drop = [](CBoxDlg& d, const std::vector<std::wstring>& files) {
        std::wstring names;
        for (const std::wstring& f : files)
            names += f + L'\0';
        const size_t bytes = sizeof(DROPFILES) + (names.size() + 1) * sizeof(wchar_t);
        HGLOBAL h = ::GlobalAlloc(GHND, bytes);
        auto* df = static_cast<DROPFILES*>(::GlobalLock(h));
        df->pFiles = sizeof(DROPFILES);
        df->pt = {20, 20};
        df->fWide = TRUE;
        memcpy(reinterpret_cast<BYTE*>(df) + sizeof(DROPFILES), names.c_str(), names.size() * sizeof(wchar_t));
        ::GlobalUnlock(h);
        d.SendMessage(WM_DROPFILES, reinterpret_cast<WPARAM>(h));
    };
    const std::vector<std::wstring> covers = {TestImagePath(L"cover-6x9-300.png"), TestImagePath(L"quadrants.png"),
                                              TestImagePath(L"checker.png")};
    CBoxDlg dlg;
    RunMainDialog(dlg, [&](CBoxDlg& d) {
        std::wstring text;
        AnswerMessageBox(L"Zelmora", IDOK, &text);
        drop(d, covers);
        EXPECT_NE(text.find(L"choose a book or a case"), std::wstring::npos) << text;
        EXPECT_TRUE(d.m_products.empty()) << "a box makes no series";

        d.m_nShape = ShapePaperback;
        d.RefreshPages();
        drop(d, covers);
        ASSERT_EQ(d.m_products.size(), 2u);
        const SceneDescription series = d.CurrentScene();
        EXPECT_EQ(series.facePaths[SideCover], covers[0]);
        EXPECT_EQ(series.products[0].facePaths[SideCover], covers[1]);
        EXPECT_EQ(series.products[1].facePaths[SideCover], covers[2]);
        EXPECT_NE(d.m_products[1].m_picture[SideCover], nullptr);
        for (int i = 0; i < 200 && !(d.History().Current() && d.History().Current()->scene == d.CurrentScene()); ++i)
            PumpFor(50);

        AnswerMessageBox(L"Zelmora", IDOK, &text);
        drop(d, {covers[0], TestImagePath(L"truncated.png")});
        EXPECT_NE(text.find(L"truncated.png"), std::wstring::npos) << text;
        EXPECT_TRUE(d.CurrentScene() == series) << "nothing changed";

        d.OnUndo();
        EXPECT_TRUE(d.m_products.empty()) << "undone, the single book again";
    });  // no scene file: the close asks nothing (an answer left waiting would take a later test's box)
}

// The Set page: the pages edit the product chosen in its list, which keeps its place in the
// set; duplicating, moving and removing change the set as its list shows, and undo takes
// each change back with its pictures.
TEST(SceneInWindow, TheSetPagesListChoosesTheProductThePagesEditAndItsChangesAreUndone)
{
    CBoxDlg dlg;
    RunMainDialog(dlg, [&](CBoxDlg& d) {
        CDialog* setPage = d.Pages()[6];
        HWND hList = ::GetDlgItem(*setPage, IDC_SET_LIST);
        auto click = [&](int id) { setPage->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)::GetDlgItem(*setPage, id)); };
        auto choose = [&](int k) {
            ::SendMessageW(hList, LB_SETCURSEL, k, 0);
            setPage->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SET_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(hList));
        };
        auto settle = [&]() {
            for (int i = 0; i < 200 && !(d.History().Current() && d.History().Current()->scene == d.CurrentScene()); ++i)
                PumpFor(50);
        };
        auto* pSides = static_cast<CSidesPage*>(d.Pages()[1]);
        d.m_nShape = ShapePaperback;
        ASSERT_TRUE(pSides->PutSideImage(SideFront, TestImagePath(L"quadrants.png").c_str(), nullptr));
        d.RefreshPages();
        settle();
        EXPECT_EQ(::SendDlgItemMessageW(*setPage, IDC_ARRANGE, CB_GETCURSEL, 0, 0), d.m_nArrange) << "the arrangement shown";
        click(IDC_SET_DUPLICATE);
        settle();
        EXPECT_EQ(::SendMessageW(hList, LB_GETCOUNT, 0, 0), 2);
        EXPECT_EQ(d.ChosenProduct(), 1) << "the copy is chosen";
        d.m_nPages = 500;  // as the Box Dimensions page would: the chosen one's
        d.RefreshPages();
        settle();
        SceneDescription scene = d.CurrentScene();
        EXPECT_EQ(scene.values[kValuePages], 300) << "the first as it was";
        EXPECT_EQ(scene.products[0].values[kValuePages], 500);
        EXPECT_FALSE(scene.products[0].facePaths[SideFront].empty()) << "duplicated with its picture";
        choose(0);
        EXPECT_EQ(d.m_nPages, 300) << "the pages show the first";
        EXPECT_TRUE(d.CurrentScene() == scene) << "choosing changes nothing";
        click(IDC_SET_DOWN);
        settle();
        scene = d.CurrentScene();
        EXPECT_EQ(scene.values[kValuePages], 500) << "moved down: the copy is first";
        EXPECT_EQ(scene.products[0].values[kValuePages], 300);
        EXPECT_EQ(d.ChosenProduct(), 1) << "the moved one stays chosen";
        click(IDC_SET_REMOVE);
        settle();
        EXPECT_TRUE(d.m_products.empty());
        EXPECT_EQ(d.m_nPages, 500);
        d.OnUndo();
        EXPECT_TRUE(d.CurrentScene() == scene) << "the removal undone";
        EXPECT_NE(PicturesOf(d, 1)[SideFront], nullptr) << "with its picture";
        EXPECT_EQ(::SendMessageW(hList, LB_GETCOUNT, 0, 0), 2);
    });
}
