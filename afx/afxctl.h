// Wrappers of the system controls the program talks to.
#pragma once
#include "afxwnd.h"

class CStatic : public CWnd {
    DECLARE_DYNAMIC(CStatic)
};

// An owner-drawn button draws itself: its parent's WM_DRAWITEM comes back to DrawItem.
class CButton : public CWnd {
    DECLARE_DYNAMIC(CButton)
public:
    virtual void DrawItem(LPDRAWITEMSTRUCT) {}

protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class CToolTipCtrl : public CWnd {
    DECLARE_DYNAMIC(CToolTipCtrl)
public:
    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = 0);
    // A tool over rc of pWnd's client area, showing pszText.
    BOOL AddTool(CWnd* pWnd, LPCWSTR pszText, LPCRECT rc, UINT_PTR nIDTool);
    void RelayEvent(MSG* pMsg) { SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(pMsg)); }
    int GetToolCount() const { return static_cast<int>(SendMessage(TTM_GETTOOLCOUNT)); }
};

class CTabCtrl : public CWnd {
public:
    LONG InsertItem(int nItem, LPCWSTR pszText)
    {
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<LPWSTR>(pszText);
        return static_cast<LONG>(SendMessage(TCM_INSERTITEMW, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&item)));
    }
    int GetCurSel() const { return static_cast<int>(SendMessage(TCM_GETCURSEL)); }
    int SetCurSel(int nItem) { return static_cast<int>(SendMessage(TCM_SETCURSEL, static_cast<WPARAM>(nItem))); }
    BOOL GetItemRect(int nItem, LPRECT rc) const
    {
        return static_cast<BOOL>(SendMessage(TCM_GETITEMRECT, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(rc)));
    }
};

class CListBox : public CWnd {
public:
    int AddString(LPCWSTR psz) { return static_cast<int>(SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(psz))); }
    void ResetContent() { SendMessage(LB_RESETCONTENT); }
    int GetCurSel() const { return static_cast<int>(SendMessage(LB_GETCURSEL)); }
    int SetCurSel(int nSelect) { return static_cast<int>(SendMessage(LB_SETCURSEL, static_cast<WPARAM>(nSelect))); }
    int GetCount() const { return static_cast<int>(SendMessage(LB_GETCOUNT)); }
};
