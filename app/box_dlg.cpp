#include "box_dlg.h"

#include <shellapi.h>

#include <algorithm>

#include <thread>

#include "about_dlg.h"
#include "dimensions_page.h"
#include "shape_kinds.h"
#include "floor_page.h"
#include "set_page.h"
#include "image_export.h"
#include "light_page.h"
#include "picture_file.h"
#include "picture_writer.h"
#include "product.h"
#include "recent_scenes.h"
#include "resource.h"
#include "scene_values.h"
#include "view_fit.h"
#include "rotation_page.h"
#include "sides_page.h"
#include "templates_page.h"

namespace {
constexpr UINT_PTR kRenderTimer = 0;
constexpr UINT_PTR kOpenAtStartTimer = 1;  // once the window is on screen: its messages have a window to sit on
constexpr UINT kRenderIntervalMs = 10;

// The tab control's pages, in their order: caption, dialog template, and how one is made for
// the window (whose scene it edits).
struct PageRow {
    const wchar_t* pszCaption;
    UINT nTemplate;
    CScenePage* (*pfnCreate)(CBoxDlg& dlg, std::vector<SceneView>* pViews);
};
template <class Page>
CScenePage* MakePage(CBoxDlg& dlg, std::vector<SceneView>*)
{
    return new Page(&dlg);
}
CScenePage* MakeTemplatesPage(CBoxDlg& dlg, std::vector<SceneView>* pViews)
{
    return new CTemplatesPage(&dlg, pViews);
}
CScenePage* MakeSetPage(CBoxDlg& dlg, std::vector<SceneView>*)
{
    return new CSetPage(&dlg, &dlg);
}
const PageRow kPages[] = {
    {L"Box Dimensions", IDD_PAGE_DIMENSIONS, MakePage<CDimensionsPage>},
    {L"Side images", IDD_PAGE_SIDES, MakePage<CSidesPage>},
    {L"Rotation", IDD_PAGE_ROTATION, MakePage<CRotationPage>},
    {L"Light", IDD_PAGE_LIGHT, MakePage<CLightPage>},
    {L"Templates", IDD_PAGE_TEMPLATES, MakeTemplatesPage},
    {L"Floor", IDD_PAGE_FLOOR, MakePage<CFloorPage>},
    {L"Set", IDD_PAGE_SET, MakeSetPage},
};
}

BEGIN_MESSAGE_MAP(CBoxDlg, CDialog)
    ON_WM_CLOSE()
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
    ON_WM_TIMER()
    ON_BN_CLICKED(IDC_SAVE_IMAGE, OnSaveImage)
    ON_WM_MOUSEMOVE()
    ON_NOTIFY(TCN_SELCHANGE, IDC_TAB_PAGES, OnSelChangeTab)
    ON_BN_CLICKED(IDC_ABOUT, OnAbout)
    ON_BN_CLICKED(IDC_SCENE, OnSceneMenu)
    ON_COMMAND(ID_SCENE_OPEN, OnOpenScene)
    ON_COMMAND(ID_SCENE_SAVE, OnSaveScene)
    ON_COMMAND(ID_SCENE_SAVE_AS, OnSaveSceneAs)
    ON_COMMAND(ID_SCENE_NEW, OnNewScene)
    ON_COMMAND(ID_SCENE_UNDO, OnUndo)
    ON_COMMAND(ID_NEXT_PAGE, OnNextPage)
    ON_COMMAND(ID_VIEW_FIT, OnFitInFrame)
    ON_COMMAND_RANGE(ID_SCENE_RECENT_FIRST, ID_SCENE_RECENT_FIRST + kRecentSceneCount - 1, OnRecentScene)
    ON_COMMAND(ID_PREV_PAGE, OnPrevPage)
    ON_COMMAND(ID_SCENE_REDO, OnRedo)
    ON_MESSAGE(WM_DROPFILES, OnDropFiles)
    ON_MESSAGE(WM_SIZE, OnSizeMessage)
    ON_MESSAGE(WM_GETMINMAXINFO, OnGetMinMaxInfo)
END_MESSAGE_MAP()

CBoxDlg::CBoxDlg()
    : CDialog(IDD_ZELMORA_DIALOG, nullptr),
      m_dlgOpenScene(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, L"Zelmora Scenes|*.zelmora|All Files|*.*||",
                     nullptr),
      m_dlgSaveScene()
{
    // The pages set the values they show as they open; the start scene gives the others theirs.
    SetStartScene(*this);
    m_hAppIcon = static_cast<HICON>(::LoadImageW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME),
                                                 IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
}

CBoxDlg::~CBoxDlg()
{
    m_history.Clear();
    m_renderer.Release();
}

BOOL CBoxDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    RememberLayout();
    m_tabCtrl.Attach(GetDlgItemHandle(IDC_TAB_PAGES));

    // Before any page exists, so that the colour buttons start from the defaults.
    for (int s = 0; s < kPictureCount; ++s)
        m_clrFace[s] = DefaultFaceColour(s);

    CreatePages();

    SetIcon(m_hAppIcon, TRUE);
    SetIcon(m_hAppIcon, FALSE);

    if (LPCWSTR reason = InitDirect3D()) {
        ShowFatalError(reason);
        ::PostQuitMessage(0);
        return FALSE;
    }

    LRESULT unused = 0;
    OnSelChangeTab(nullptr, &unused);
    RestoreWindowPlacement();
    ::DragAcceptFiles(m_hWnd, TRUE);
    m_hAccelTable = ::LoadAcceleratorsW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(IDR_SCENE_KEYS));
    SetTimer(kRenderTimer, kRenderIntervalMs, nullptr);
    if (!m_strOpenAtStart.IsEmpty())
        SetTimer(kOpenAtStartTimer, 1, nullptr);
    return TRUE;
}

BOOL CBoxDlg::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == 'F' && !(::GetKeyState(VK_CONTROL) & 0x8000) &&
        !(::GetKeyState(VK_MENU) & 0x8000) && !IsTextField(pMsg->hwnd)) {
        POINT pt;
        ::GetCursorPos(&pt);
        ::ScreenToClient(m_hWnd, &pt);
        if (PreviewRect().PtInRect(CPoint(pt.x, pt.y))) {
            OnFitInFrame();  // F with the pointer over the preview
            return TRUE;
        }
    }
    if (pMsg->message == WM_MOUSEWHEEL) {
        POINT pt = {static_cast<short>(LOWORD(pMsg->lParam)), static_cast<short>(HIWORD(pMsg->lParam))};
        ::ScreenToClient(m_hWnd, &pt);
        if (PreviewRect().PtInRect(CPoint(pt.x, pt.y))) {
            // A notch is ten steps of zoom (a degree of the field of view); away zooms out.
            const int notches = static_cast<short>(HIWORD(pMsg->wParam)) / WHEEL_DELTA;
            const SceneValue& zoom = g_sceneValues[kValueZoom];
            m_nZoom = std::clamp(m_nZoom + notches * 10, zoom.nMin, zoom.nMax);
            RefreshPages();
            return TRUE;
        }
    }
    return CDialog::PreTranslateMessage(pMsg);
}

SIZE CBoxDlg::ExportSize(const ExportSettings& settings) const
{
    if (settings.width)
        return {static_cast<LONG>(settings.width), static_cast<LONG>(settings.height)};
    return PreviewSize();
}

float CBoxDlg::ExportAspect() const
{
    const SIZE size = ExportSize(m_export);
    return static_cast<float>(size.cx) / static_cast<float>(std::max(1L, size.cy));
}

void CBoxDlg::OnFitInFrame()
{
    ViewFit fit;
    if (!FitView(*this, ExportAspect(), kDefaultFitMargin, &fit))
        return;
    ApplyFit(*this, fit);
    RefreshPages();
}

void CBoxDlg::CreatePages()
{
    for (int i = 0; i < static_cast<int>(ARRAYSIZE(kPages)); ++i) {
        CScenePage* pPage = kPages[i].pfnCreate(*this, &m_views);
        // The two pages the window itself talks to.
        if (auto* pSides = dynamic_cast<CSidesPage*>(pPage))
            m_pSidesPage = pSides;
        if (auto* pDimensions = dynamic_cast<CDimensionsPage*>(pPage))
            m_pDimensionsPage = pDimensions;
        m_tabCtrl.InsertItem(i, kPages[i].pszCaption);

        CRect rcClient, rcItem;
        m_tabCtrl.GetClientRect(&rcClient);
        m_tabCtrl.GetItemRect(0, &rcItem);
        CRect rcPage(rcClient.left + 1, rcClient.top + rcItem.Height() + 3, rcClient.right - 3, rcClient.bottom - 3);

        m_vecPages.push_back(pPage);
        pPage->Create(kPages[i].nTemplate, &m_tabCtrl);  // the page writes its defaults here
        pPage->MoveWindow(&rcPage, TRUE);
        pPage->ShowWindow(SW_HIDE);
    }
}

void CBoxDlg::ShowFatalError(LPCWSTR pszReason)
{
    CString message;
    message.Format(L"Error initializing 3D Accelerator:\n%ls\n\nPlease send this error message with your 3D "
                   L"accelerator model to " ZELMORA_SUPPORT_EMAIL_W L"\nApplication will now quit.",
                   pszReason);
    ::MessageBoxW(nullptr, message, L"Zelmora Error", MB_OK | MB_ICONERROR);
}

void CBoxDlg::RefreshPages()
{
    for (CDialog* pPage : m_vecPages)
        pPage->UpdateData(FALSE);
    ShowShapeControls();
}

void CBoxDlg::ShowShapeControls()
{
    if (m_pDimensionsPage)
        m_pDimensionsPage->ShowBookFields();
    if (m_pSidesPage)
        m_pSidesPage->ShowShapeRows(m_nShape);
}

void CBoxDlg::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == kOpenAtStartTimer) {
        KillTimer(kOpenAtStartTimer);
        OpenScene(m_strOpenAtStart);
        return;
    }
    if (m_bDrawingSpin || !CheckDevice())
        return;  // busy with a spin, or the device lost or recovering: a pending drag stays pending
    m_renderer.FitPreview();
    m_renderer.SetExportAspect(m_export.width ? ExportAspect() : 0.0f);
    // The pages' trackbars are read as they move (and written by whoever changes the scene),
    // so a tick with nothing moving reads no control at all.
    RenderFrame();
    if (m_nDragDX != 0 || m_nDragDY != 0) {
        if (m_bDragMoves) {
            // The box follows the pointer across the picture.
            const SIZE preview = PreviewSize();
            const SceneValue& centre = g_sceneValues[kValueCentreX];
            m_nCentreX = std::clamp(m_nCentreX + m_nDragDX * 2000 / static_cast<int>(std::max(1L, preview.cx)),
                                    centre.nMin, centre.nMax);
            m_nCentreY = std::clamp(m_nCentreY + m_nDragDY * 2000 / static_cast<int>(std::max(1L, preview.cy)),
                                    centre.nMin, centre.nMax);
        } else {
            m_nRotation1 += m_nDragDX;
            m_nRotation2 += m_nDragDY;
        }
        m_nDragDX = 0;
        m_nDragDY = 0;
        // Held to the trackbars' ranges, as the trackbars would hold them, and shown there: on
        // the pages that show them (setting every control of every page is rounds of
        // messages each tick, a third of a drag's time, for values that did not change).
        const SceneValueIndex dragged[] = {kValueCentreX, kValueCentreY, kValueRotation1, kValueRotation2};
        for (SceneValueIndex v : dragged)
            this->*g_sceneValues[v].pField =
                std::clamp(this->*g_sceneValues[v].pField, g_sceneValues[v].nMin, g_sceneValues[v].nMax);
        for (CDialog* pPage : m_vecPages) {
            const auto* pScenePage = dynamic_cast<const CScenePage*>(pPage);
            if (!pScenePage || std::any_of(std::begin(dragged), std::end(dragged),
                                           [&](SceneValueIndex v) { return pScenePage->ShowsValue(v); }))
                pPage->UpdateData(FALSE);
        }
    }
    ShowShapeControls();
    NoteSceneChanges();
}

CRect CBoxDlg::PreviewRect() const
{
    CRect rc;
    HWND hPreview = GetDlgItemHandle(IDC_PREVIEW);
    ::GetClientRect(hPreview, &rc);
    ::MapWindowPoints(hPreview, m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

void CBoxDlg::OnMouseMove(UINT nFlags, CPoint point)
{
    TrackDrag(nFlags, point, PreviewRect());
}

void CBoxDlg::TrackDrag(UINT nFlags, CPoint pt, const CRect& rcPreview)
{
    if (!rcPreview.PtInRect(pt))
        return;
    CPoint local(pt.x - rcPreview.left, pt.y - rcPreview.top);
    if (nFlags & (MK_LBUTTON | MK_RBUTTON)) {
        // The right button, or Shift with the left, moves the box in the frame; the left turns it.
        m_bDragMoves = (nFlags & MK_RBUTTON) || (nFlags & MK_SHIFT);
        m_nDragDX = local.x - m_ptLastMouse.x;
        m_nDragDY = local.y - m_ptLastMouse.y;
    } else {
        m_nDragDX = 0;
        m_nDragDY = 0;
    }
    m_ptLastMouse = local;
}

void CBoxDlg::ShowPage(int nPage)
{
    const int count = static_cast<int>(m_vecPages.size());
    m_tabCtrl.SetCurSel((nPage % count + count) % count);
    LRESULT unused = 0;
    OnSelChangeTab(nullptr, &unused);
}

void CBoxDlg::OnNextPage()
{
    ShowPage(m_tabCtrl.GetCurSel() + 1);
}

void CBoxDlg::OnPrevPage()
{
    ShowPage(m_tabCtrl.GetCurSel() - 1);
}

void CBoxDlg::OnSelChangeTab(NMHDR*, LRESULT*)
{
    for (size_t i = 0; i < m_vecPages.size(); ++i)
        m_vecPages[i]->ShowWindow(static_cast<int>(i) == m_tabCtrl.GetCurSel() ? SW_SHOW : SW_HIDE);
}

SIZE CBoxDlg::PreviewSize() const
{
    CRect rc = PreviewRect();
    return {rc.Width(), rc.Height()};
}

BusyWindow::BusyWindow(HWND hWnd) : m_hWnd(hWnd)
{
    // Whatever the dialog that led here covered is painted now, before the long work.
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    m_bWasEnabled = !::EnableWindow(m_hWnd, FALSE);
}

BusyWindow::~BusyWindow()
{
    // Clicks and keys given while it worked were meant for a window that did not answer:
    // none of them starts anything now (a second Save among them).
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE) ||
           ::PeekMessageW(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
    }
    if (m_bWasEnabled)
        ::EnableWindow(m_hWnd, TRUE);
}

void CBoxDlg::OnSaveImage()
{
    // A scene's pictures are named after it: in the folder saved to last, else the scene's.
    if (const CString& scenePath = ScenePath(); !scenePath.IsEmpty()) {
        const int slash = std::max(scenePath.ReverseFind(L'\\'), scenePath.ReverseFind(L'/'));
        CString name = scenePath.Mid(slash + 1);
        const int dot = name.ReverseFind(L'.');
        if (dot > 0)
            name = name.Left(dot);
        const CString folder = m_strImageFolder.IsEmpty() ? scenePath.Left(slash + 1) : m_strImageFolder;
        m_dlgSaveImage.SetFileName(folder + name);
    }
    m_dlgSaveImage.Prepare(m_export, PreviewSize(), m_renderer.MaxPictureSide());
    if (m_dlgSaveImage.DoModal() != IDOK)
        return;
    const float oldAspect = ExportAspect();
    m_export = m_dlgSaveImage.Chosen();
    if (RefitForAspect(*this, oldAspect, ExportAspect(), kDefaultFitMargin))
        RefreshPages();
    SaveTarget target = DecideSaveTarget(m_dlgSaveImage.GetPathName(), m_dlgSaveImage.GetFileExt(),
                                         m_dlgSaveImage.m_ofn.nFilterIndex);
    if (!target.bSupported) {
        MessageBox(L"Only PNG or JPEG are supported", L"Unknown format", MB_OK | MB_ICONERROR);
        return;
    }
    const int slash = std::max(target.strPath.ReverseFind(L'\\'), target.strPath.ReverseFind(L'/'));
    m_strImageFolder = target.strPath.Left(slash + 1);
    if (target.kind == SaveKind::Spin)
        SaveSpinAs(target, m_export, m_dlgSaveImage.SpinCount());
    else if (target.kind == SaveKind::Model)
        SaveModelAs(target);
    else
        SaveImageAs(target, m_export);
}

void CBoxDlg::SaveImageAs(const SaveTarget& target, const ExportSettings& settings)
{
    // The dialog asked about the name as typed; ask about the name we are going to write.
    if (target.bExtensionAppended && ::GetFileAttributesW(target.strPath) != INVALID_FILE_ATTRIBUTES) {
        CString question;
        question.Format(L"%ls already exists.\nDo you want to replace it?", target.strPath.GetString());
        if (MessageBox(question, L"Confirm Save As", MB_YESNO | MB_ICONWARNING) != IDYES)
            return;
    }

    const PictureFormat format = SaveFormat(target, settings);
    DecodedImage picture;
    HRESULT hr;
    const SIZE size = ExportSize(settings);
    const UINT width = static_cast<UINT>(size.cx), height = static_cast<UINT>(size.cy);
    if (const wchar_t* reason = OutOfViewReason(SceneVisibility(*this, static_cast<float>(width) / static_cast<float>(height)))) {
        CString message;
        message.Format(L"Unable to save image\n%ls: %ls", target.strPath.GetString(), reason);
        MessageBox(message, L"Error", MB_OK | MB_ICONERROR);
        return;
    }

    const PictureRequest request{width, height, format.bAlpha, -1, settings.supersample};
    if (!settings.width && !format.bAlpha && settings.supersample == 1) {
        hr = m_renderer.ReadLastFrame(picture);  // the preview's own frame
        if (SUCCEEDED(hr))
            hr = WriteWhileResponding(picture, format, target.strPath);
    } else {
        CWaitCursor wait;
        BusyWindow busy(m_hWnd);
        // Each stage of a large picture takes a second or more: the title says which one,
        // and looking at the queue between them keeps the window from counting as hung.
        auto onStage = [&](const wchar_t* stage) {
            CString title;
            title.Format(L"%u x %u picture: %ls... - Zelmora", width, height, stage);
            SetWindowText(title);
            MSG msg;
            ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
        };
        if (static_cast<unsigned long long>(width) * height > kWholePicturePixels) {
            hr = RenderPictureToFile(m_renderer, request, format, target.strPath.GetString(), nullptr, onStage);
        } else {
            hr = m_renderer.RenderPicture(request, picture, nullptr, onStage);
            if (SUCCEEDED(hr))
                hr = WriteWhileResponding(picture, format, target.strPath);
        }
        m_renderer.ReleasePictureTargets();  // a large picture's surfaces are not kept for the preview
    }
    UpdateTitle();
    if (FAILED(hr)) {
        CString message;
        message.Format(L"Unable to save image\n%ls: %ls", target.strPath.GetString(),
                       hr == D3DERR_NOTAVAILABLE
                           ? L"the device drew nothing: the picture is too large for this computer's memory "
                             L"(choose a smaller size)"
                       : hr == D3DERR_OUTOFVIDEOMEMORY || hr == E_OUTOFMEMORY
                           ? L"the picture is too large for this computer's memory; choose a smaller size"
                           : WriteFailureReason(target.strPath.GetString(), hr).c_str());
        MessageBox(message, L"Error", MB_OK | MB_ICONERROR);
    }
}

HRESULT CBoxDlg::WriteWhileResponding(const DecodedImage& picture, const PictureFormat& format, LPCWSTR pszPath)
{
    // A large picture takes seconds to compress: the window keeps painting and says what it
    // is doing, but takes no input until the file is written.
    CString title;
    title.Format(L"%u x %u picture: saving... - Zelmora", picture.width, picture.height);
    SetWindowText(title);
    HRESULT hr = E_FAIL;
    volatile LONG bDone = 0;
    std::thread writer([&] {
        hr = WritePicture(picture, format, pszPath);
        ::InterlockedExchange(&bDone, 1);
        ::PostMessageW(m_hWnd, WM_NULL, 0, 0);  // wakes the loop below
    });
    const BOOL bWasEnabled = !::EnableWindow(m_hWnd, FALSE);
    while (!bDone) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {  // kept for the loop that owns it
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
            // Painted, but taking no input: a click meant for the unanswering window is dropped.
            if ((msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) ||
                (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST))
                continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    }
    writer.join();
    if (bWasEnabled)
        ::EnableWindow(m_hWnd, TRUE);
    return hr;
}

void CBoxDlg::OnAbout()
{
    CAboutDlg dlg;
    dlg.DoModal();  // the render timer keeps drawing under it
}

void CBoxDlg::OnClose()
{
    if (!ConfirmDiscardChanges())
        return;
    KillTimer(kRenderTimer);
    SaveWindowPlacement();
    m_history.Clear();  // its pictures go before the device
    m_renderer.Release();
    m_tabCtrl.Detach();
    for (CDialog* pPage : m_vecPages)
        pPage->DestroyWindow();  // each page deletes itself
    m_vecPages.clear();
    m_pSidesPage = nullptr;
    EndDialog(IDOK);
}
