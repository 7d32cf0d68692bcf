// Trackbar data exchange: positions both ways, and when a range is (not) installed.
#include <gtest/gtest.h>


#include "afx_test_resource.h"
#include "afxwin.h"

namespace {

class CSliderDlg : public CDialog {
public:
    int value = 0;
    DWORD rangeMin = 10, rangeMax = 500;
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Slider(pDX, IDC_TEST_SLIDER, value);
        DDV_MinMaxSlider(pDX, static_cast<DWORD>(value), rangeMin, rangeMax);
    }
    int Pos() const { return static_cast<int>(::SendDlgItemMessageW(m_hWnd, IDC_TEST_SLIDER, TBM_GETPOS, 0, 0)); }
    int Min() const { return static_cast<int>(::SendDlgItemMessageW(m_hWnd, IDC_TEST_SLIDER, TBM_GETRANGEMIN, 0, 0)); }
    int Max() const { return static_cast<int>(::SendDlgItemMessageW(m_hWnd, IDC_TEST_SLIDER, TBM_GETRANGEMAX, 0, 0)); }
    void SetPos(int p) { ::SendDlgItemMessageW(m_hWnd, IDC_TEST_SLIDER, TBM_SETPOS, TRUE, p); }
};

class SliderExchange : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dlg.Create(IDD_TEST_MODAL, nullptr)); }
    void TearDown() override { dlg.DestroyWindow(); }
    CSliderDlg dlg;
};

} // namespace

TEST_F(SliderExchange, ReadingTheControlInstallsTheRangeAndTakesThePosition)
{
    EXPECT_EQ(dlg.Max(), 100);  // a fresh trackbar's range
    dlg.SetPos(42);
    dlg.value = -7;
    dlg.UpdateData(TRUE);
    EXPECT_EQ(dlg.value, 42);
    EXPECT_EQ(dlg.Min(), 10);
    EXPECT_EQ(dlg.Max(), 500);
}

TEST_F(SliderExchange, ReadingInstallsTheRangeWhateverTheValue)
{
    dlg.rangeMin = 0;
    dlg.rangeMax = 5;  // the position read (0) lies inside; the rule does not look anyway
    dlg.UpdateData(TRUE);
    EXPECT_EQ(dlg.Max(), 5);
    dlg.rangeMax = 50;
    dlg.SetPos(0);
    dlg.UpdateData(TRUE);
    EXPECT_EQ(dlg.Max(), 50);
}

TEST_F(SliderExchange, WritingAnInRangeValueSetsRangeAndPosition)
{
    dlg.UpdateData(TRUE);
    dlg.rangeMax = 400;
    dlg.value = 300;
    dlg.UpdateData(FALSE);
    EXPECT_EQ(dlg.Max(), 400);
    EXPECT_EQ(dlg.Pos(), 300);
}

TEST_F(SliderExchange, WritingAnOutOfRangeValueLeavesTheRangeAndTheControlClamps)
{
    dlg.UpdateData(TRUE);  // range 10..500
    dlg.rangeMax = 1000;
    dlg.value = 2000;
    dlg.UpdateData(FALSE);
    EXPECT_EQ(dlg.Max(), 500);   // unchanged
    EXPECT_EQ(dlg.Pos(), 500);   // clamped by the control
    dlg.UpdateData(TRUE);        // the next read brings the clamped value back
    EXPECT_EQ(dlg.value, 500);
}

TEST_F(SliderExchange, NegativeValuesCountAsOutOfRange)
{
    dlg.UpdateData(TRUE);
    dlg.rangeMin = 0;
    dlg.rangeMax = 1000;
    dlg.value = -5;  // as unsigned, far above any maximum
    dlg.UpdateData(FALSE);
    EXPECT_EQ(dlg.Min(), 10);
    EXPECT_EQ(dlg.Max(), 500);
    EXPECT_EQ(dlg.Pos(), 10);
}

TEST_F(SliderExchange, PositionsAboveOneHundredNeedTheRangeFirst)
{
    // Why pages read their fresh trackbars before writing their defaults.
    dlg.value = 135;
    CDataExchange dx(&dlg, FALSE);
    DDX_Slider(&dx, IDC_TEST_SLIDER, dlg.value);  // position before the range
    EXPECT_EQ(dlg.Pos(), 100);
    dlg.UpdateData(TRUE);
    dlg.value = 135;
    dlg.UpdateData(FALSE);
    EXPECT_EQ(dlg.Pos(), 135);
}

TEST_F(SliderExchange, ExchangingWhatTheControlAlreadyShowsDoesNotRepaintIt)
{
    HWND hSlider = ::GetDlgItem(dlg, IDC_TEST_SLIDER);
    dlg.ShowWindow(SW_SHOWNOACTIVATE);  // a hidden window collects no update region
    dlg.value = 120;
    dlg.UpdateData(FALSE);
    auto repaintPending = [&] {
        RECT rc;
        return ::GetUpdateRect(hSlider, &rc, FALSE) != FALSE;
    };
    ::ValidateRect(hSlider, nullptr);
    dlg.UpdateData(TRUE);   // the range and position it has
    dlg.UpdateData(FALSE);
    EXPECT_FALSE(repaintPending()) << "the same position and range again repaint nothing";
    dlg.value = 121;
    dlg.UpdateData(FALSE);
    EXPECT_TRUE(repaintPending()) << "a new position is drawn";
    EXPECT_EQ(dlg.Pos(), 121);
}
