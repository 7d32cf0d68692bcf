// An owner-drawn push button showing a colour swatch and a drop-down arrow. A click, Down
// or F4 opens the colour palette below it; the choice comes back from the palette and goes
// on to the button's parent as CLRN_* messages. Drawn with the visual styles when the
// application is themed, with the classic frame controls otherwise.
#pragma once
#include "afxwin.h"
#include "colour_messages.h"
#include "theme_helper.h"

class CColourPickerXP : public CButton {
    DECLARE_DYNCREATE(CColourPickerXP)
public:
    CColourPickerXP();
    ~CColourPickerXP() override;

    BOOL PreTranslateMessage(MSG* pMsg) override;
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

    // With bResolveDefault, CLR_DEFAULT comes back as the default colour.
    virtual COLORREF GetColour(BOOL bResolveDefault) const;
    virtual COLORREF GetRawColour() const;
    virtual void SetColour(COLORREF clr);
    virtual COLORREF GetDefaultColour() const;
    virtual void SetDefaultColour(COLORREF clr);
    virtual void SetCustomLabel(LPCWSTR pszText);
    virtual void SetDefaultLabel(LPCWSTR pszText);
    virtual void SetCustomColourSection(LPCWSTR pszSection);
    virtual void SetLiveTrack(BOOL bLiveTrack);
    virtual BOOL GetLiveTrack() const;
    virtual void SetComboLook(BOOL bComboLook);
    virtual BOOL GetComboLook() const;
    virtual void SetChannelLetters(LPCWSTR pszLetters);
    virtual void SetNameWithValues(BOOL bNameWithValues);
    virtual BOOL GetNameWithValues() const;
    virtual void PaintDropPart(BOOL bHot);

    BOOL IsPaletteOpen() const { return m_bPaletteOpen; }
    // The text the combo look shows for the current colour.
    CString ComboText() const;

protected:
    void PreSubclassWindow() override;
    BOOL OnClicked();
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    LRESULT OnPaletteAccept(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaletteCancel(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaletteHot(WPARAM wParam, LPARAM lParam);
    void OnMouseMove(UINT nFlags, CPoint point);
    LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void Repaint() { if (IsWindow()) Invalidate(FALSE); }
    void NotifyParent(UINT nMessage, COLORREF clr);
    void DrawThemedBackground(CDC& dc, UINT state, BOOL bDisabled, CRect& rc);
    void DrawClassicBackground(CDC& dc, UINT state, BOOL bDisabled, CRect& rc);
    void DrawComboDropPart(CDC& dc, UINT state, BOOL bDisabled, BOOL bThemed, CRect& rc);
    void DrawArrowAndSeparator(CDC& dc, BOOL bDisabled, CRect& rc);

    COLORREF m_clrValue = CLR_DEFAULT;
    COLORREF m_clrDefault;
    CString m_strDefaultLabel = L"Automatic";
    CString m_strCustomLabel = L"More Colors...";
    BOOL m_bPaletteOpen = FALSE;
    BOOL m_bLiveTrack = FALSE;
    BOOL m_bHover = FALSE;
    BOOL m_bFlatMenu = FALSE;
    BOOL m_bComboLook = FALSE;
    BOOL m_bNameWithValues = FALSE;
    CString m_strChannelLetters = L"RGB";
    CString m_strCustomColourSection;
    CThemeHelper m_themeButton;
    CThemeHelper m_themeEdit;
    CThemeHelper m_themeComboBox;
};
