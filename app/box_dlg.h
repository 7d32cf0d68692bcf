// The main dialog: the scene, the owner of every Direct3D object, the host of the pages
// and the clock of the program.
#pragma once
#include <vector>

#include "afxdlgs.h"
#include "afxwin.h"
#include "box_renderer.h"
#include "box_scene.h"
#include "export_dialog.h"
#include "product_list.h"
#include "scene_history.h"
#include "scene_save_dialog.h"
#include "scene_description.h"

// An edit control has the keyboard: its keys (undo, letters) are its own.
bool IsTextField(HWND hWnd);

// While a picture is made (seconds, in the studio's light): the window painted first, then
// taking no input; what was clicked or typed meanwhile is dropped when it ends.
class BusyWindow {
public:
    explicit BusyWindow(HWND hWnd);
    ~BusyWindow();
    BusyWindow(const BusyWindow&) = delete;
    BusyWindow& operator=(const BusyWindow&) = delete;

private:
    HWND m_hWnd;
    bool m_bWasEnabled = false;
};

class CBoxDlg : public CDialog, public BoxScene, public ProductList {
public:
    CBoxDlg();
    ~CBoxDlg() override;

    BOOL OnInitDialog() override;
    // The mouse wheel over the preview zooms, wherever the keyboard focus is.
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void OnOK() override {}
    void OnCancel() override {}
    void RefreshPages() override;
    // The set's products as the pages show them.
    std::vector<std::wstring> ProductCaptions() const override;
    int ChosenProduct() const override { return m_nChosenProduct; }
    void ChooseProduct(int k) override;
    void ChangeProducts(ProductChange change) override;

    // The renderer's operations, as the dialog uses them.
    LPCWSTR InitDirect3D() { return m_renderer.InitDirect3D(GetDlgItemHandle(1000)); }
    bool CheckDevice() { return m_renderer.CheckDevice(); }
    void RenderFrame() { m_renderer.RenderFrame(); }

    // The pending drag of a mouse move at pt (dialog client coordinates) over a preview at
    // rcPreview: replaces, never adds to, what was pending; outside the preview nothing changes.
    void TrackDrag(UINT nFlags, CPoint pt, const CRect& rcPreview);

    // Writes the picture chosen in the save dialog: the preview's frame, or at another size
    // or with a transparent background drawn off screen as zelmora-render draws it. A
    // failure is reported with the file and the reason.
    void SaveImageAs(const struct SaveTarget& target, const ExportSettings& settings);
    // The "360 spin" type: count pictures all the way round from the current view, framed
    // once, named as zelmora-render --spin names them (box.png: box-01.png, ...), progress
    // on the caption. The scene is as it was afterwards.
    void SaveSpinAs(const struct SaveTarget& target, const ExportSettings& settings, int count);
    // The "glTF binary" type: the box as a 3D model.
    void SaveModelAs(const struct SaveTarget& target);
    // The preview's size in pixels, the size of its frame.
    SIZE PreviewSize() const;
    // The size of the pictures Save Image writes with these settings: theirs, else the preview's.
    SIZE ExportSize(const ExportSettings& settings) const;

    // Scene files. Opening applies every value through the pages and loads the face
    // pictures; a picture that cannot be used is named in one message and left off. A file
    // that is not a scene is named with what is wrong, and nothing changes.
    bool OpenScene(const CString& path);
    bool SaveSceneTo(const CString& path);
    // Everything a scene file would hold, as the window shows it now.
    SceneDescription CurrentScene() const;
    // The scene file in use ("" for none) and whether the window differs from it.
    const CString& ScenePath() const { return m_documents[m_nDocument].path; }
    bool HasUnsavedChanges() const
    {
        return !ScenePath().IsEmpty() && CurrentScene() != m_documents[m_nDocument].saved;
    }
    // Asks "Save changes to box.zelmora?" when there are any: false when the user cancels
    // (or the save failed), so the close or open must not go on.
    bool ConfirmDiscardChanges();
    // Opened once the window is up: the scene file named on the command line.
    void OpenAtStart(const CString& path) { m_strOpenAtStart = path; }
    // Puts a dropped file where it was dropped: a scene opens, a picture on a face's row of
    // the Side images page goes onto that face. pt in dialog client coordinates.
    void DropFile(const CString& path, CPoint pt);
    // Files dropped together: one as DropFile takes it; several pictures on a book or case
    // make a series, one product per cover in their order (nothing changes if any fails).
    void DropFiles(const std::vector<CString>& paths, CPoint pt);

    // Undo and redo through every change of the scene (Ctrl+Z; Ctrl+Y or Ctrl+Shift+Z).
    void OnUndo();
    void OnRedo();
    const CSceneHistory& History() const { return m_history; }

    const std::vector<CDialog*>& Pages() const { return m_vecPages; }
    BoxRenderer& Renderer() { return m_renderer; }
    int PendingDragX() const { return m_nDragDX; }
    int PendingDragY() const { return m_nDragDY; }

protected:
    void OnClose();
    void OnSceneMenu();
    void OnOpenScene();
    void OnSaveScene();
    void OnSaveSceneAs();
    LRESULT OnDropFiles(WPARAM wParam, LPARAM lParam);
    void OnTimer(UINT_PTR nIDEvent);
    void OnSaveImage();
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnSelChangeTab(NMHDR* pNMHDR, LRESULT* pResult);
    LRESULT OnSizeMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetMinMaxInfo(WPARAM wParam, LPARAM lParam);
    // Ctrl+Tab and Ctrl+Shift+Tab: the next and the previous page, round.
    void OnNextPage();
    void OnPrevPage();
    void ShowPage(int nPage);
    // "Fit in frame" (and F over the preview): the zoom and centre that fill the picture.
    void OnFitInFrame();
    // The proportions of the pictures Save Image writes: the chosen size's, else the preview's.
    float ExportAspect() const;
    // One of the last eight scenes, from the Scene menu.
    void OnRecentScene(UINT nID);
    // Ctrl+N: the start scene, after the question about unsaved changes.
    void OnNewScene();
    void OnAbout();

    DECLARE_MESSAGE_MAP()

private:
    CRect PreviewRect() const;
    void CreatePages();
    void ShowFatalError(LPCWSTR pszReason);
    void UpdateTitle();
    // The layout of the template, the smallest window; where the window was last time.
    void RememberLayout();
    void RestoreWindowPlacement();
    void SaveWindowPlacement() const;
    // Once a tick: a change that has settled becomes an undo step; the title follows
    // whether the scene file is out of date.
    void NoteSceneChanges();
    void ShowStep(const struct SceneStep& step);
    HRESULT WriteWhileResponding(const struct DecodedImage& picture, const struct PictureFormat& format,
                                 LPCWSTR pszPath);

    HICON m_hAppIcon = nullptr;
    BoxRenderer m_renderer{*this};
    CTabCtrl m_tabCtrl;
    CExportFileDialog m_dlgSaveImage;
    CFileDialog m_dlgOpenScene;
    CSceneSaveDialog m_dlgSaveScene;
    class CSidesPage* m_pSidesPage = nullptr;
    class CDimensionsPage* m_pDimensionsPage = nullptr;
    // The controls a book or case adds (the Dimensions page's, the cover row): shown as the
    // scene is after the pages' exchange, which is the trackbars' alone.
    void ShowShapeControls();
    CString m_strOpenAtStart;
    CString m_strImageFolder;          // where Save Image wrote last, with its separator
    // Every scene file the window has shown (opened, new, saved under its name), by number,
    // with what it holds; m_nDocument is the one in use ("" for none). Undo brings back the
    // scene file of its step with the scene, so that the title and Save follow.
    struct SceneDocument {
        CString path;
        SceneDescription saved;
    };
    std::vector<SceneDocument> m_documents{1};
    size_t m_nDocument = 0;
    void BeginDocument(const CString& path, const SceneDescription& saved);

    CSceneHistory m_history;
    SceneDescription m_lastSeenScene;  // as the last tick saw it
    DWORD m_nLastSceneChange = 0;      // when it last changed
    bool m_bTitleShowsChanges = false;
    bool m_bDrawingSpin = false;       // the scene shows a spin's step: no tick may draw or record it
    ExportSettings m_export;           // Save Image's options, kept for the run and in scenes
    std::vector<SceneView> m_views;    // the scene's own views, listed on the Templates page
    // A set's products after the first as the scene names them: their pictures' paths (their
    // values and pictures are the scene's m_products).
    std::vector<ProductDescription> m_productFiles;
    // Takes the scene's other products' pictures from their files; what could not be used,
    // a line each (its name is kept all the same).
    CString PutProductPictures(const SceneDescription& scene);
    // The scene as it is held: the chosen product first (CurrentScene puts it in its place).
    SceneDescription HeldScene() const;
    // Exchanges where product k (held at m_products[k - 1]) and the one in the fields are held.
    void ExchangeHeld(int k);
    std::vector<CDialog*> m_vecPages;  // not owned: each page deletes itself
    SIZE m_szInitialClient = {};
    SIZE m_szMinWindow = {};
    std::vector<CRect> m_rcInitialControls;  // as the template lays them out, by anchor
    CPoint m_ptLastMouse;
    bool m_bDragMoves = false;  // the pending drag moves the box rather than turning it
    int m_nDragDX = 0;
    int m_nDragDY = 0;
};
