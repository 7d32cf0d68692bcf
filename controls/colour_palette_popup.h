// The popup a colour button opens below itself: an optional default box, the grid of
// named colours and an optional custom box that opens the system colour dialog. It holds
// the mouse capture while open, reports every highlight change and the final choice to
// the button, and deletes itself once its window is gone.
#pragma once
#include "afxwin.h"
#include "colour_messages.h"

class CColourPalettePopup : public CWnd {
public:
    enum { CELL_DEFAULT_BOX = -3, CELL_CUSTOM_BOX = -2, CELL_NONE = -1 };

    // Each text may be null (empty): an empty box text leaves that box out.
    CColourPalettePopup(CPoint pt, COLORREF clrInitial, CWnd* pOwnerButton, LPCWSTR pszDefaultText,
                        LPCWSTR pszCustomText, LPCWSTR pszRegistrySection);
    ~CColourPalettePopup() override;

    BOOL Create(CPoint pt, COLORREF clrInitial, CWnd* pOwnerButton, LPCWSTR pszDefaultText, LPCWSTR pszCustomText);
    BOOL PreTranslateMessage(MSG* pMsg) override;

    int IndexAt(int nRow, int nColumn) const;
    int RowOf(int nIndex) const;
    int ColumnOf(int nIndex) const;
    BOOL CellRect(int nIndex, RECT* pRect) const;
    // The cell the highlight moves to from the current one when nKey is pressed.
    int CellAfterKey(UINT nKey) const;

    // What tests and the button may look at.
    int HotCell() const { return m_nHotCell; }
    int InitialCell() const { return m_nInitialCell; }
    int Rows() const { return m_nRows; }
    int Columns() const { return m_nColumns; }
    int CellSize() const { return m_nCellSize; }
    int Edge() const { return m_nEdge; }
    CRect WindowRect() const { return m_rcWindow; }
    CRect DefaultBoxRect() const { return m_rcDefaultBox; }
    CRect CustomBoxRect() const { return m_rcCustomBox; }
    COLORREF ReportColour() const { return m_clrReport; }
    BOOL IsDialogOpen() const { return m_bDialogOpen; }
    CToolTipCtrl& ToolTip() { return m_toolTip; }

protected:
    void OnNcDestroy() { CWnd::OnNcDestroy(); }
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnPaint();
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    BOOL OnQueryNewPalette();
    void OnPaletteChanged(CWnd* pFocusWnd);
    void OnKillFocus(CWnd* pNewWnd);
    void OnActivateApp(BOOL bActive, DWORD dwThreadID);
    void PostNcDestroy() override { delete this; }
    DECLARE_MESSAGE_MAP()

private:
    void InitPalette();
    void LocateInitialCell(COLORREF clr);
    void ComputeLayout();
    void AddCellTips();
    void MoveHot(int nIndex);
    void ClosePalette(UINT nMessage);
    void RunCustomColourDialog(UINT* pMessage);
    void PaintCell(CDC* pDC, int nIndex);
    void DrawFrameEdge(CDC* pDC, RECT rc, UINT nEdge, UINT nSides);
    bool HasDefaultBox() const { return !m_strDefaultLabel.IsEmpty(); }
    bool HasCustomBox() const { return !m_strCustomLabel.IsEmpty(); }

    int m_nColumns = 0;
    int m_nRows = 0;
    int m_nCellSize = 18;
    int m_nEdge = 0;
    int m_nHotCell = CELL_NONE;
    int m_nInitialCell = CELL_NONE;
    CString m_strDefaultLabel;
    CString m_strCustomLabel;
    CRect m_rcCustomBox;
    CRect m_rcDefaultBox;
    CRect m_rcWindow;
    CFont m_font;
    CPalette m_palette;
    COLORREF m_clrInitial = 0;
    COLORREF m_clrReport = 0;
    CToolTipCtrl m_toolTip;
    CWnd* m_pOwnerButton = nullptr;
    BOOL m_bDialogOpen = FALSE;
    BOOL m_bIsXP = FALSE;
    BOOL m_bFlatMenu = FALSE;
    COLORREF m_clrMenu = 0;
    COLORREF m_clrHotBorder = 0;
    COLORREF m_clrHotFill = 0;
    COLORREF m_clrHotText = 0;
    COLORREF m_clrMenuText = 0;
    COLORREF m_clrInitialFill = 0;
    CString m_strCustomColourSection;
};
