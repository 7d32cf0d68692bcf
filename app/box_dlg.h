// The main dialog: the scene, the owner of every Direct3D object, the host of the pages
// and the clock of the program.
#pragma once
#include <vector>

#include "afxwin.h"
#include "box_renderer.h"
#include "box_scene.h"

class CBoxDlg : public CDialog, public BoxScene {
public:
    CBoxDlg();
    ~CBoxDlg() override;

    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override {}
    void RefreshPages() override;

    // The renderer's operations, as the dialog uses them.
    LPCWSTR InitDirect3D() { return m_renderer.InitDirect3D(GetDlgItemHandle(1000)); }
    bool CheckDevice() { return m_renderer.CheckDevice(); }
    void RenderFrame() { m_renderer.RenderFrame(); }

    // The pending drag of a mouse move at pt (dialog client coordinates) over a preview at
    // rcPreview: replaces, never adds to, what was pending; outside the preview nothing changes.
    void TrackDrag(UINT nFlags, CPoint pt, const CRect& rcPreview);

    // Writes the last frame to the target chosen in the save dialog; a failure is reported
    // with the file and the reason.
    void SaveImageAs(const struct SaveTarget& target);

    const std::vector<CDialog*>& Pages() const { return m_vecPages; }
    BoxRenderer& Renderer() { return m_renderer; }
    int PendingDragX() const { return m_nDragDX; }
    int PendingDragY() const { return m_nDragDY; }

protected:
    void OnClose();
    void OnTimer(UINT_PTR nIDEvent);
    void OnSaveImage();
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnSelChangeTab(NMHDR* pNMHDR, LRESULT* pResult);
    void OnAbout();

    DECLARE_MESSAGE_MAP()

private:
    CRect PreviewRect() const;
    void CreatePages();
    void ShowFatalError(LPCWSTR pszReason);

    HICON m_hAppIcon = nullptr;
    BoxRenderer m_renderer{*this};
    CTabCtrl m_tabCtrl;
    CFileDialog m_dlgSaveImage;
    std::vector<CDialog*> m_vecPages;  // not owned: each page deletes itself
    CPoint m_ptLastMouse;
    int m_nDragDX = 0;
    int m_nDragDY = 0;
};
