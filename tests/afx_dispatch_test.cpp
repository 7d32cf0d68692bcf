// How messages reach C++ objects: message maps and their chaining, commands and
// notifications, reflection to the child, subclassing and self-deletion.
#include <gtest/gtest.h>

#include <vector>

#include "afx_test_resource.h"
#include "afxwin.h"

namespace {

constexpr UINT WM_TEST_BASE_ONLY = WM_APP + 1;
constexpr UINT WM_TEST_OVERRIDDEN = WM_APP + 2;

class CBaseDlg : public CDialog {
public:
    std::vector<CString> calls;
    BOOL OnInitDialog() override
    {
        calls.push_back(L"init");
        // The object is bound to its window before the dialog's initialisation runs.
        initSawHandle = m_hWnd != nullptr && CWnd::FromHandlePermanent(m_hWnd) == this &&
                        GetDlgItemHandle(IDC_TEST_EDIT) != nullptr;
        return TRUE;
    }
    bool initSawHandle = false;

protected:
    LRESULT OnBaseOnly(WPARAM wp, LPARAM) { calls.push_back(L"base-only"); return static_cast<LRESULT>(wp) + 1; }
    LRESULT OnOverridden(WPARAM, LPARAM) { calls.push_back(L"base-overridden"); return 0; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseDlg, CDialog)
    ON_MESSAGE(WM_TEST_BASE_ONLY, OnBaseOnly)
    ON_MESSAGE(WM_TEST_OVERRIDDEN, OnOverridden)
END_MESSAGE_MAP()

// A second base class in front of nothing: handlers must still see the right `this`.
struct Payload {
    virtual ~Payload() = default;
    int value = 1234;
};

class CDerivedDlg : public CBaseDlg, public Payload {
public:
    int commandFromRange = 0;
    int clicks = 0;
    int selfValueSeen = 0;
    UINT_PTR timerSeen = 0;
    CPoint mouseSeen;
    HBRUSH parentBrush = reinterpret_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH));
    int ctlColorCalls = 0;
    UINT lastCtlColor = 99;

    void OnOK() override { calls.push_back(L"ok"); }

protected:
    LRESULT OnOverridden(WPARAM, LPARAM) { calls.push_back(L"derived-overridden"); selfValueSeen = value; return 7; }
    void OnButton() { ++clicks; selfValueSeen = value; }
    void OnRange(UINT nID) { commandFromRange = static_cast<int>(nID); }
    void OnTimer(UINT_PTR id) { timerSeen = id; }
    void OnMouseMove(UINT, CPoint pt) { mouseSeen = pt; }
    HBRUSH OnCtlColor(CDC*, CWnd*, UINT nCtlColor) { ++ctlColorCalls; lastCtlColor = nCtlColor; return parentBrush; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedDlg, CBaseDlg)
    ON_MESSAGE(WM_TEST_OVERRIDDEN, OnOverridden)
    ON_BN_CLICKED(IDC_TEST_BUTTON, OnButton)
    ON_COMMAND_RANGE(5000, 5010, OnRange)
    ON_WM_TIMER()
    ON_WM_MOUSEMOVE()
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

// A button that handles its own click and colour (reflection).
class CReflectingButton : public CWnd {
public:
    int ownClicks = 0;
    bool subclassedBeforeFirstMessage = false;
    HBRUSH ownBrush = reinterpret_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));

protected:
    void PreSubclassWindow() override { subclassedBeforeFirstMessage = m_hWnd != nullptr && ownClicks == 0; }
    void OnClicked() { ++ownClicks; }
    HBRUSH CtlColor(CDC*, UINT) { return ownBrush; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CReflectingButton, CWnd)
    ON_CONTROL_REFLECT(BN_CLICKED, OnClicked)
    ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

class FrameworkDispatch : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dlg.Create(IDD_TEST_MODAL, nullptr));
    }
    void TearDown() override { dlg.DestroyWindow(); }
    CDerivedDlg dlg;
};

} // namespace

TEST_F(FrameworkDispatch, InitDialogRunsWithTheObjectAlreadyBound)
{
    ASSERT_FALSE(dlg.calls.empty());
    EXPECT_EQ(dlg.calls.front(), CString(L"init"));
    EXPECT_TRUE(dlg.initSawHandle);
}

TEST_F(FrameworkDispatch, DerivedEntriesWinAndBaseEntriesAreStillFound)
{
    EXPECT_EQ(dlg.SendMessage(WM_TEST_OVERRIDDEN), 7);
    EXPECT_EQ(dlg.SendMessage(WM_TEST_BASE_ONLY, 41), 42);
    ASSERT_GE(dlg.calls.size(), 3u);
    EXPECT_EQ(dlg.calls[1], CString(L"derived-overridden"));
    EXPECT_EQ(dlg.calls[2], CString(L"base-only"));
    EXPECT_EQ(dlg.selfValueSeen, 1234);  // `this` adjusted past the second base
}

TEST_F(FrameworkDispatch, CommandsReachHandlersByIdCodeAndRange)
{
    ::SendMessageW(::GetDlgItem(dlg, IDC_TEST_BUTTON), BM_CLICK, 0, 0);
    EXPECT_EQ(dlg.clicks, 1);
    EXPECT_EQ(dlg.selfValueSeen, 1234);

    // A notification other than BN_CLICKED from the same id is not a click.
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_TEST_BUTTON, BN_SETFOCUS),
                    reinterpret_cast<LPARAM>(::GetDlgItem(dlg, IDC_TEST_BUTTON)));
    EXPECT_EQ(dlg.clicks, 1);

    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(5007, 0), 0);
    EXPECT_EQ(dlg.commandFromRange, 5007);
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(5011, 0), 0);
    EXPECT_EQ(dlg.commandFromRange, 5007);
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(5003, 1), 0);  // from an accelerator: the same command
    EXPECT_EQ(dlg.commandFromRange, 5003);

    // IDOK goes through the base's entry to the virtual override.
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_EQ(dlg.calls.back(), CString(L"ok"));
}

TEST_F(FrameworkDispatch, TypedHandlersGetTheirArguments)
{
    dlg.SendMessage(WM_TIMER, 17, 0);
    EXPECT_EQ(dlg.timerSeen, 17u);
    dlg.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-5, 300));
    EXPECT_EQ(dlg.mouseSeen, CPoint(-5, 300));
}

TEST_F(FrameworkDispatch, ChildNotificationsAreReflectedToTheChildFirst)
{
    CReflectingButton button;
    ASSERT_TRUE(button.SubclassDlgItem(IDC_TEST_BUTTON, &dlg));
    EXPECT_TRUE(button.subclassedBeforeFirstMessage);

    ::SendMessageW(button, BM_CLICK, 0, 0);
    EXPECT_EQ(button.ownClicks, 1);
    EXPECT_EQ(dlg.clicks, 0);  // the reflected click does not reach the parent

    HDC hdc = ::GetDC(dlg);
    LRESULT brush = dlg.SendMessage(WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(hdc), reinterpret_cast<LPARAM>(button.m_hWnd));
    EXPECT_EQ(brush, reinterpret_cast<LRESULT>(button.ownBrush));
    EXPECT_EQ(dlg.ctlColorCalls, 0);

    // A child that gives no brush leaves the answer to the parent.
    button.ownBrush = nullptr;
    brush = dlg.SendMessage(WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(hdc), reinterpret_cast<LPARAM>(button.m_hWnd));
    EXPECT_EQ(brush, reinterpret_cast<LRESULT>(dlg.parentBrush));
    EXPECT_EQ(dlg.lastCtlColor, static_cast<UINT>(CTLCOLOR_BTN));

    // Controls the framework does not know go straight to the parent.
    HWND hStatic = ::GetDlgItem(dlg, IDC_TEST_STATIC);
    brush = dlg.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hdc), reinterpret_cast<LPARAM>(hStatic));
    EXPECT_EQ(brush, reinterpret_cast<LRESULT>(dlg.parentBrush));
    EXPECT_EQ(dlg.lastCtlColor, static_cast<UINT>(CTLCOLOR_STATIC));
    ::ReleaseDC(dlg, hdc);
}

TEST_F(FrameworkDispatch, SubclassingKeepsTheOldProcedureAndGivesItBack)
{
    HWND hEdit = ::GetDlgItem(dlg, IDC_TEST_EDIT);
    auto original = ::GetWindowLongPtrW(hEdit, GWLP_WNDPROC);
    CWnd edit;
    ASSERT_TRUE(edit.SubclassWindow(hEdit));
    EXPECT_EQ(::GetWindowLongPtrW(hEdit, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&AfxWndProc));

    // Unhandled messages still get the edit control's own behaviour.
    edit.SetWindowText(L"kept");
    EXPECT_EQ(edit.GetWindowText(), CString(L"kept"));

    EXPECT_FALSE(edit.SubclassWindow(hEdit));  // bound once only
    EXPECT_EQ(edit.UnsubclassWindow(), hEdit);
    EXPECT_EQ(::GetWindowLongPtrW(hEdit, GWLP_WNDPROC), original);
    EXPECT_EQ(CWnd::FromHandlePermanent(hEdit), nullptr);
}

TEST_F(FrameworkDispatch, UnsubclassingLeavesALaterSubclasserInPlace)
{
    HWND hEdit = ::GetDlgItem(dlg, IDC_TEST_EDIT);
    CWnd edit;
    ASSERT_TRUE(edit.SubclassWindow(hEdit));
    static WNDPROC s_next = nullptr;
    s_next = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hEdit, GWLP_WNDPROC));
    WNDPROC later = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT { return ::CallWindowProcW(s_next, h, m, w, l); };
    ::SetWindowLongPtrW(hEdit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(later));
    edit.UnsubclassWindow();
    EXPECT_EQ(::GetWindowLongPtrW(hEdit, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(later));
}

namespace {

class CSelfDeletingDlg : public CDialog {
public:
    explicit CSelfDeletingDlg(bool* pDeleted) : m_pDeleted(pDeleted) {}
    ~CSelfDeletingDlg() override { *m_pDeleted = true; }

protected:
    void PostNcDestroy() override { delete this; }
    // Destroys itself from inside its own handler: the object must outlive the handler.
    LRESULT OnDestroySelf(WPARAM, LPARAM)
    {
        DestroyWindow();
        *m_pDeletedDuringHandler = *m_pDeleted;
        *m_pHandlerSawNullHandle = (m_hWnd == nullptr);
        return 0;
    }
    DECLARE_MESSAGE_MAP()

public:
    bool* m_pDeleted;
    bool* m_pHandlerSawNullHandle = nullptr;
    bool* m_pDeletedDuringHandler = nullptr;
};

BEGIN_MESSAGE_MAP(CSelfDeletingDlg, CDialog)
    ON_MESSAGE(WM_APP + 10, OnDestroySelf)
END_MESSAGE_MAP()

} // namespace

TEST(FrameworkLifetime, ChildDialogDeletesItselfAfterItsLastMessage)
{
    CBaseDlg parent;
    ASSERT_TRUE(parent.Create(IDD_TEST_MODAL, nullptr));

    bool deleted = false;
    bool sawNull = false;
    bool deletedDuringHandler = true;
    auto* page = new CSelfDeletingDlg(&deleted);
    page->m_pHandlerSawNullHandle = &sawNull;
    page->m_pDeletedDuringHandler = &deletedDuringHandler;
    ASSERT_TRUE(page->Create(IDD_TEST_CHILD, &parent));
    HWND hPage = page->m_hWnd;
    EXPECT_EQ(::GetParent(hPage), parent.m_hWnd);
    EXPECT_TRUE(::GetWindowLongW(hPage, GWL_STYLE) & WS_CHILD);

    ::SendMessageW(hPage, WM_APP + 10, 0, 0);
    EXPECT_FALSE(deletedDuringHandler) << "the object outlives the handler that destroyed its window";
    EXPECT_TRUE(deleted);
    EXPECT_TRUE(sawNull);
    EXPECT_FALSE(::IsWindow(hPage));
    EXPECT_EQ(CWnd::FromHandlePermanent(hPage), nullptr);
    parent.DestroyWindow();
}

TEST(FrameworkLifetime, DestroyingTheParentDeletesEveryChildPage)
{
    CBaseDlg parent;
    ASSERT_TRUE(parent.Create(IDD_TEST_MODAL, nullptr));
    bool deleted[3] = {};
    bool unused = false;
    for (bool& d : deleted) {
        auto* page = new CSelfDeletingDlg(&d);
        page->m_pHandlerSawNullHandle = page->m_pDeletedDuringHandler = &unused;
        ASSERT_TRUE(page->Create(IDD_TEST_CHILD, &parent));
    }
    parent.DestroyWindow();
    for (bool d : deleted)
        EXPECT_TRUE(d);
    EXPECT_EQ(parent.m_hWnd, nullptr);
}
