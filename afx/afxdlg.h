// CDialog: a dialog from a template resource, run modally by our own loop (so that
// PreTranslateMessage sees every message first) or created modeless as a child.
#pragma once
#include "afxwnd.h"

class CDialog : public CWnd {
public:
    CDialog() = default;
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    virtual INT_PTR DoModal();
    // Modeless: creates the dialog as a child (or owned popup) of pParentWnd.
    virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    void EndDialog(int nResult);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    UINT m_nIDTemplate = 0;
    CWnd* m_pParentWnd = nullptr;

protected:
    // Keys of the whole dialog, whatever control or page has the focus: the modal loop
    // turns them into commands to the dialog before anything else sees them.
    HACCEL m_hAccelTable = nullptr;

    DECLARE_MESSAGE_MAP()

private:
    HWND CreateFromTemplate(HWND hWndParent);
    HWND ModalOwner() const;

    bool m_bInModal = false;
    bool m_bEndModal = false;
    int m_nModalResult = -1;
};

INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
