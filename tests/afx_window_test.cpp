// Windows the framework makes itself, the application's command map and its registry
// section, and the GDI owners' bookkeeping.
#include <gtest/gtest.h>

#include <vector>

#include "afx_test_resource.h"
#include "afxwin.h"

namespace {

class CTestApp : public CWinApp {
public:
    CTestApp() : CWinApp(L"ZelmoraFrameworkTest") {}
    int helpCalls = 0;
    void OnHelpCommand() { ++helpCalls; }

protected:
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestApp, CWinApp)
    ON_COMMAND(ID_HELP, OnHelpCommand)
END_MESSAGE_MAP()

// A window of our own class: records the messages it sees from the very first.
class CRecordingWnd : public CWnd {
public:
    std::vector<UINT> seen;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        seen.push_back(message);
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

} // namespace

TEST(FrameworkApp, HelpFromAnyDialogReachesTheApplicationsCommandMap)
{
    CTestApp app;
    CDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_TEST_MODAL, nullptr));
    app.m_pMainWnd = &dlg;
    HELPINFO hi = {};
    hi.cbSize = sizeof(hi);
    // F1 over a control: the system sends WM_HELP up to the dialog.
    ::SendMessageW(::GetDlgItem(dlg, IDC_TEST_EDIT), WM_HELP, 0, reinterpret_cast<LPARAM>(&hi));
    EXPECT_EQ(app.helpCalls, 1);
    dlg.SendMessage(WM_COMMAND, ID_HELP, 0);
    EXPECT_EQ(app.helpCalls, 2);
    dlg.SendMessage(WM_COMMAND, 0xE147, 0);  // no entry anywhere: nothing happens
    EXPECT_EQ(app.helpCalls, 2);
    app.m_pMainWnd = nullptr;
    dlg.DestroyWindow();
}

TEST(FrameworkApp, SectionKeyLivesUnderTheApplicationsKey)
{
    CTestApp app;
    EXPECT_EQ(app.GetSectionKey(L""), nullptr);
    HKEY hKey = app.GetSectionKey(L"Palette");
    ASSERT_NE(hKey, nullptr);
    DWORD value = 0x123456;
    ASSERT_EQ(::RegSetValueExW(hKey, L"CUSTOM_COLOR_3", 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), 4), ERROR_SUCCESS);
    ::RegCloseKey(hKey);
    DWORD read = 0, size = 4;
    EXPECT_EQ(::RegGetValueW(HKEY_CURRENT_USER, L"Software\\ZelmoraFrameworkTest\\Palette", L"CUSTOM_COLOR_3",
                             RRF_RT_REG_DWORD, nullptr, &read, &size), ERROR_SUCCESS);
    EXPECT_EQ(read, 0x123456u);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\ZelmoraFrameworkTest");
}

TEST(FrameworkWindows, OwnClassesAreBoundFromTheFirstMessageAndSystemClassesAfterCreation)
{
    CRecordingWnd wnd;
    LPCWSTR cls = AfxRegisterWndClass(CS_HREDRAW, nullptr, ::GetSysColorBrush(COLOR_MENU));
    ASSERT_TRUE(wnd.CreateEx(0, cls, L"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
    ASSERT_FALSE(wnd.seen.empty());
    EXPECT_TRUE(wnd.seen.front() == WM_GETMINMAXINFO || wnd.seen.front() == WM_NCCREATE) << wnd.seen.front();
    EXPECT_EQ(CWnd::FromHandlePermanent(wnd.m_hWnd), &wnd);
    EXPECT_EQ(wnd.GetParentOwner(), wnd.m_hWnd);  // top-level: itself

    CToolTipCtrl tip;
    ASSERT_TRUE(tip.Create(&wnd));
    EXPECT_EQ(CWnd::FromHandlePermanent(tip.m_hWnd), &tip);
    RECT rc = {0, 0, 10, 10};
    EXPECT_TRUE(tip.AddTool(&wnd, L"tip", &rc, 1));
    EXPECT_EQ(tip.GetToolCount(), 1);
    HWND hTip = tip.m_hWnd;
    wnd.DestroyWindow();  // takes the owned tooltip with it
    EXPECT_FALSE(::IsWindow(hTip));
    EXPECT_EQ(tip.m_hWnd, nullptr) << "unbound at its last message";
    EXPECT_EQ(wnd.m_hWnd, nullptr);
}

TEST(FrameworkWindows, ParentOwnerOfANestedChildIsTheTopLevelWindow)
{
    CDialog top, child;
    ASSERT_TRUE(top.Create(IDD_TEST_MODAL, nullptr));
    ASSERT_TRUE(child.Create(IDD_TEST_CHILD, &top));
    CWnd button;
    ASSERT_TRUE(button.Attach(::GetDlgItem(child, IDC_TEST_BUTTON)));
    EXPECT_EQ(button.GetParentOwner(), top.m_hWnd);
    EXPECT_EQ(button.GetParent(), child.m_hWnd);
    EXPECT_EQ(button.GetDlgCtrlID(), IDC_TEST_BUTTON);
    EXPECT_TRUE(button.ModifyStyle(0, BS_OWNERDRAW));
    EXPECT_FALSE(button.ModifyStyle(0, BS_OWNERDRAW)) << "nothing to change";
    button.Detach();
    top.DestroyWindow();
}

TEST(FrameworkGdi, OwnersCountWhatTheyMadeAndDeleteItOnce)
{
    LONG before = AfxGdiLiveCount();
    {
        CPen pen(PS_SOLID, 1, RGB(1, 2, 3));
        CBrush brush;
        brush.CreateSolidBrush(RGB(4, 5, 6));
        CFont font;
        LOGFONTW lf = {};
        lf.lfHeight = 12;
        font.CreateFontIndirect(&lf);
        CDC dc;
        dc.CreateCompatibleDC(nullptr);
        EXPECT_EQ(AfxGdiLiveCount(), before + 4);
        HBRUSH hBrush = brush.Detach();  // the caller owns it now
        EXPECT_EQ(AfxGdiLiveCount(), before + 3);
        ::DeleteObject(hBrush);
        EXPECT_FALSE(brush.DeleteObject());
    }
    EXPECT_EQ(AfxGdiLiveCount(), before);
}
