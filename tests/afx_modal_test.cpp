// The modal loop: what ends it, what it gives PreTranslateMessage, and the owner's state.
#include <gtest/gtest.h>

#include <vector>

#include "afx_test_resource.h"
#include "afxwin.h"

namespace {

constexpr UINT_PTR kStepTimer = 1;

// Runs a script of steps, one per timer tick, inside its own modal loop.
class CScriptedDlg : public CDialog {
public:
    explicit CScriptedDlg(CWnd* pParent = nullptr) : CDialog(IDD_TEST_MODAL, pParent) {}
    std::vector<void (*)(CScriptedDlg&)> steps;
    size_t next = 0;
    std::vector<UINT> preTranslated;  // key messages this dialog was offered
    bool ownerWasDisabled = false;
    HWND owner = nullptr;
    int okCalls = 0;
    int cancelCalls = 0;
    bool endOnOk = true;

    BOOL OnInitDialog() override
    {
        owner = ::GetWindow(m_hWnd, GW_OWNER);
        ownerWasDisabled = owner && !::IsWindowEnabled(owner);
        SetTimer(kStepTimer, 10, nullptr);
        return TRUE;
    }
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message == WM_KEYDOWN || pMsg->message == WM_CHAR)
            preTranslated.push_back(pMsg->message);
        return CDialog::PreTranslateMessage(pMsg);
    }
    void OnOK() override { ++okCalls; if (endOnOk) CDialog::OnOK(); }
    void OnCancel() override { ++cancelCalls; CDialog::OnCancel(); }

protected:
    void OnTimer(UINT_PTR)
    {
        if (next < steps.size())
            steps[next++](*this);
        else
            EndDialog(-2);  // the script ran out: fail the test rather than hang
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CScriptedDlg, CDialog)
    ON_WM_TIMER()
END_MESSAGE_MAP()

// A control that swallows every key: nothing above it may see one.
class CKeyEater : public CWnd {
public:
    int eaten = 0;
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message == WM_KEYDOWN) { ++eaten; return TRUE; }
        return FALSE;
    }
};

void PostKey(HWND hWnd, UINT vk)
{
    ::PostMessageW(hWnd, WM_KEYDOWN, vk, 1);
    ::PostMessageW(hWnd, WM_KEYUP, vk, 0xC0000001);
}

bool QuitPending()
{
    MSG msg;
    return ::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
}

} // namespace

TEST(FrameworkModal, EndDialogReturnsItsValueAndDestroysTheWindow)
{
    CScriptedDlg dlg;
    dlg.steps = {[](CScriptedDlg& d) { d.EndDialog(4321); }};
    EXPECT_EQ(dlg.DoModal(), 4321);
    EXPECT_EQ(dlg.m_hWnd, nullptr);
}

TEST(FrameworkModal, EscapeAndEnterBecomeCancelAndOkThroughTheDialogKeys)
{
    CScriptedDlg dlg;
    dlg.endOnOk = false;
    dlg.steps = {
        [](CScriptedDlg& d) { PostKey(::GetDlgItem(d, IDC_TEST_EDIT), VK_RETURN); },
        [](CScriptedDlg& d) { PostKey(::GetDlgItem(d, IDC_TEST_EDIT), VK_ESCAPE); },
        [](CScriptedDlg&) {},
    };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.okCalls, 1);
    EXPECT_EQ(dlg.cancelCalls, 1);
    // The dialog was offered the keys sent to its child control.
    EXPECT_FALSE(dlg.preTranslated.empty());
}

TEST(FrameworkModal, PreTranslateRunsFromTheTargetWindowUpToTheDialog)
{
    static CKeyEater eater;
    CScriptedDlg dlg;
    dlg.steps = {
        [](CScriptedDlg& d) {
            eater.SubclassDlgItem(IDC_TEST_EDIT, &d);
            PostKey(eater, VK_ESCAPE);
        },
        [](CScriptedDlg& d) { eater.UnsubclassWindow(); d.EndDialog(7); },
    };
    EXPECT_EQ(dlg.DoModal(), 7);
    EXPECT_EQ(eater.eaten, 1);
    EXPECT_EQ(dlg.cancelCalls, 0);  // the eaten Escape never reached the dialog
    EXPECT_TRUE(dlg.preTranslated.empty());
}

TEST(FrameworkModal, QuitMessageEndsTheLoopAndIsPassedOn)
{
    CScriptedDlg dlg;
    dlg.steps = {[](CScriptedDlg&) { ::PostQuitMessage(3); }};
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_TRUE(QuitPending());  // the outer loop must see it too
}

TEST(FrameworkModal, QuitPostedDuringInitEndsBeforeTheDialogIsShown)
{
    struct CFailingDlg : CDialog {
        CFailingDlg() : CDialog(IDD_TEST_MODAL) {}
        bool everShown = false;
        BOOL OnInitDialog() override { ::PostQuitMessage(0); return FALSE; }
        BOOL PreTranslateMessage(MSG*) override
        {
            everShown = everShown || ::IsWindowVisible(m_hWnd);
            return FALSE;
        }
    } dlg;
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_FALSE(dlg.everShown);
    EXPECT_TRUE(QuitPending());
}

TEST(FrameworkModal, OwnerIsDisabledWhileTheDialogRunsAndEnabledAfter)
{
    CScriptedDlg owner;
    ASSERT_TRUE(owner.Create(IDD_TEST_MODAL, nullptr));
    CScriptedDlg dlg(&owner);
    dlg.steps = {[](CScriptedDlg& d) { d.EndDialog(IDOK); }};
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.owner, owner.m_hWnd);
    EXPECT_TRUE(dlg.ownerWasDisabled);
    EXPECT_TRUE(::IsWindowEnabled(owner));
    owner.DestroyWindow();
}

TEST(FrameworkModal, NestedModalLoopsKeepTheOuterDialogsTimerRunning)
{
    // A second dialog run from inside the first: the outer one's ticks continue under it.
    static int outerTicksDuringInner = 0;
    CScriptedDlg outer;
    outer.steps = {
        [](CScriptedDlg& o) {
            CScriptedDlg inner(&o);
            inner.steps.assign(20, [](CScriptedDlg&) {});
            inner.steps.push_back([](CScriptedDlg& i) { i.EndDialog(IDOK); });
            size_t before = o.next;
            o.steps.insert(o.steps.end(), 50, [](CScriptedDlg&) {});
            inner.DoModal();
            outerTicksDuringInner = static_cast<int>(o.next - before);
            o.EndDialog(IDOK);
        },
    };
    EXPECT_EQ(outer.DoModal(), IDOK);
    EXPECT_GT(outerTicksDuringInner, 5);
}
