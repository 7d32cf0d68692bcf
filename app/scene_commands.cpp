// The main dialog's scene files: open, save, the title that names them, the question before
// changes are lost and the dropped files.
#include <windows.h>
#include <shellapi.h>

#include "box_dlg.h"
#include "file_open.h"
#include "picture_store.h"
#include "picture_writer.h"
#include "recent_scenes.h"
#include "resource.h"
#include "scene_file.h"
#include "sides_page.h"

namespace {

CString FileNameOf(const CString& path)
{
    int slash = path.ReverseFind(L'\\') > path.ReverseFind(L'/') ? path.ReverseFind(L'\\') : path.ReverseFind(L'/');
    return path.Mid(slash + 1);
}

bool IsSceneFileName(const CString& path)
{
    CString name = FileNameOf(path);
    int dot = name.ReverseFind(L'.');
    return dot >= 0 && name.Mid(dot + 1).CompareNoCase(kSceneFileExtension) == 0;
}

} // namespace

bool IsTextField(HWND hWnd)
{
    wchar_t className[16] = {};
    return hWnd && ::GetClassNameW(hWnd, className, 16) && _wcsicmp(className, L"Edit") == 0;
}

SceneDescription CBoxDlg::CurrentScene() const
{
    SceneDescription scene = HeldScene();
    if (m_nChosenProduct > 0 && m_nChosenProduct <= static_cast<int>(scene.products.size()))
        SwapProduct(scene, m_nChosenProduct);  // each in its place in the set
    return scene;
}

SceneDescription CBoxDlg::HeldScene() const
{
    SceneDescription scene;
    scene.TakeFrom(*this);
    static_cast<ExportSettings&>(scene) = m_export;
    scene.views = m_views;
    for (int s = 0; s < kPictureCount; ++s)
        scene.facePaths[s] = m_pSidesPage ? m_pSidesPage->SidePath(s).GetString() : L"";
    for (size_t k = 0; k < scene.products.size() && k < m_productFiles.size(); ++k)
        for (int s = 0; s < kPictureCount; ++s) {
            scene.products[k].facePaths[s] = m_productFiles[k].facePaths[s];
            scene.products[k].faceNamedByFile[s] = m_productFiles[k].faceNamedByFile[s];
        }
    return scene;
}

CString CBoxDlg::PutProductPictures(const SceneDescription& scene)
{
    m_productFiles = scene.products;
    CString problems;
    for (size_t k = 0; k < scene.products.size() && k < m_products.size(); ++k)
        for (int s = 0; s < kPictureCount; ++s) {
            const std::wstring& path = scene.products[k].facePaths[s];
            PictureRef& picture = m_products[k].m_picture[s];
            picture.reset();
            if (path.empty())
                continue;
            std::wstring reason = PathRefusal(path, !scene.products[k].faceNamedByFile[s]);
            FaceLoadFailure why;
            if (reason.empty() && !(picture = PictureStore::Shared().Load(path.c_str(), &why)))
                reason = FaceLoadReason(why);
            if (!reason.empty())
                problems += CString(L"\n") + path.c_str() + L": " + reason.c_str();
        }
    return problems;
}

bool CBoxDlg::OpenScene(const CString& path)
{
    SceneDescription scene;
    std::wstring error;
    if (!ReadSceneFile(path.GetString(), &scene, &error)) {
        CString message;
        message.Format(L"Unable to open scene\n%ls\n\n%ls", path.GetString(), error.c_str());
        MessageBox(message, L"Zelmora", MB_OK | MB_ICONERROR);
        return false;
    }

    ChooseProduct(0);
    scene.ApplyTo(*this);
    m_export = scene;
    m_views = scene.views;
    CString problems;
    for (int s = 0; s < kPictureCount; ++s) {
        if (scene.facePaths[s].empty()) {
            m_pSidesPage->OnClearSide(s);
            continue;
        }
        // A network path the scene's author chose is not opened for them: it would connect
        // to that host with the user's sign-in.
        std::wstring reason = PathRefusal(scene.facePaths[s], !scene.faceNamedByFile[s]);
        FaceLoadFailure why;
        if (reason.empty() && !m_pSidesPage->PutSideImage(s, scene.facePaths[s].c_str(), &why))
            reason = FaceLoadReason(why);
        if (!reason.empty()) {
            // The scene's own picture or none, never the last one's; the name stays in the scene.
            m_pSidesPage->KeepSideReference(s, scene.facePaths[s].c_str());
            problems += CString(L"\n") + scene.facePaths[s].c_str() + L": " + reason.c_str();
        }
    }
    problems += PutProductPictures(scene);
    m_pSidesPage->ShowSideColours();
    RefreshPages();

    BeginDocument(path, CurrentScene());  // what the window shows: a left-off picture is no change
    UpdateTitle();
    RememberRecentScene(FullPath(path.GetString()));
    if (!problems.IsEmpty())
        MessageBox(L"The scene is open, but these face pictures could not be used:" + problems +
                       L"\n\nThe scene keeps their names: saving it does not lose them. Put a picture on the "
                       L"face, or clear it, to change that.",
                   L"Zelmora", MB_OK | MB_ICONWARNING);
    return true;
}

bool CBoxDlg::SaveSceneTo(const CString& path)
{
    const SceneDescription scene = CurrentScene();
    HRESULT hr = WriteSceneFile(path.GetString(), scene);
    if (FAILED(hr)) {
        CString message;
        message.Format(L"Unable to save scene\n%ls: %ls", path.GetString(),
                       WriteFailureReason(path.GetString(), hr).c_str());
        MessageBox(message, L"Error", MB_OK | MB_ICONERROR);
        return false;
    }
    m_documents[m_nDocument] = {path, scene};
    UpdateTitle();
    RememberRecentScene(FullPath(path.GetString()));
    return true;
}

void CBoxDlg::BeginDocument(const CString& path, const SceneDescription& saved)
{
    m_documents.push_back({path, saved});
    m_nDocument = m_documents.size() - 1;
}

void CBoxDlg::UpdateTitle()
{
    m_bTitleShowsChanges = HasUnsavedChanges();
    if (ScenePath().IsEmpty()) {
        SetWindowText(L"Zelmora");
        return;
    }
    CString name = FileNameOf(ScenePath());
    int dot = name.ReverseFind(L'.');
    SetWindowText((m_bTitleShowsChanges ? L"*" : L"") + (dot > 0 ? name.Left(dot) : name) + L" - Zelmora");
}

void CBoxDlg::NoteSceneChanges()
{
    // A change counts once it has rested this long with no mouse button held: a drag, a
    // held key or a run of clicks on one trackbar is one step.
    constexpr DWORD kSettledMs = 300;
    const SceneDescription scene = CurrentScene();
    const DWORD now = ::GetTickCount();
    if (scene != m_lastSeenScene) {
        m_lastSeenScene = scene;
        m_nLastSceneChange = now;
    }
    const bool bButtonHeld = (::GetKeyState(VK_LBUTTON) & 0x8000) || (::GetKeyState(VK_RBUTTON) & 0x8000);
    if (!m_history.Current() || (!bButtonHeld && now - m_nLastSceneChange >= kSettledMs))
        m_history.Record(scene, PicturesOf(*this, 0), m_nDocument);
    if ((!ScenePath().IsEmpty() && scene != m_documents[m_nDocument].saved) != m_bTitleShowsChanges)
        UpdateTitle();
}

void CBoxDlg::ShowStep(const SceneStep& step)
{
    ChooseProduct(0);
    step.scene.ApplyTo(*this);
    m_export = step.scene;
    m_views = step.scene.views;
    for (int s = 0; s < kPictureCount; ++s)
        m_pSidesPage->RestoreSide(s, step.scene.facePaths[s].c_str(), step.faces[s]);
    PutProductPictures(step.scene);
    m_pSidesPage->ShowSideColours();
    RefreshPages();
    m_lastSeenScene = CurrentScene();  // shown, not changed: no new step
    if (step.document < m_documents.size())
        m_nDocument = step.document;
    UpdateTitle();
}

void CBoxDlg::OnUndo()
{
    if (IsTextField(::GetFocus())) {
        ::SendMessageW(::GetFocus(), EM_UNDO, 0, 0);  // the typing is undone, not the scene
        return;
    }
    m_history.Record(CurrentScene(), PicturesOf(*this, 0), m_nDocument);  // a change not yet settled is undone first
    if (const SceneStep* pStep = m_history.Undo())
        ShowStep(*pStep);
}

void CBoxDlg::OnRedo()
{
    if (IsTextField(::GetFocus()))
        return;
    if (m_history.Current() && !(m_history.Current()->scene == CurrentScene()))
        return;  // a change since the undo: there is nothing to redo onto it
    if (const SceneStep* pStep = m_history.Redo())
        ShowStep(*pStep);
}

bool CBoxDlg::ConfirmDiscardChanges()
{
    if (!HasUnsavedChanges())
        return true;
    CString question;
    question.Format(L"Save changes to %ls?", FileNameOf(ScenePath()).GetString());
    switch (MessageBox(question, L"Zelmora", MB_YESNOCANCEL | MB_ICONWARNING)) {
    case IDYES:
        return SaveSceneTo(CString(ScenePath()));
    case IDNO:
        return true;
    default:
        return false;
    }
}

void CBoxDlg::OnSceneMenu()
{
    HMENU hMenu = ::CreatePopupMenu();
    ::AppendMenuW(hMenu, MF_STRING, ID_SCENE_NEW, L"&New Scene\tCtrl+N");
    ::AppendMenuW(hMenu, MF_STRING, ID_SCENE_OPEN, L"&Open Scene...\tCtrl+O");
    ::AppendMenuW(hMenu, MF_STRING, ID_SCENE_SAVE, L"&Save Scene\tCtrl+S");
    ::AppendMenuW(hMenu, MF_STRING, ID_SCENE_SAVE_AS, L"Save Scene &As...\tCtrl+Shift+S");
    ::AppendMenuW(hMenu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(hMenu, MF_STRING | (m_history.CanUndo() ? 0 : MF_GRAYED), ID_SCENE_UNDO, L"&Undo\tCtrl+Z");
    ::AppendMenuW(hMenu, MF_STRING | (m_history.CanRedo() ? 0 : MF_GRAYED), ID_SCENE_REDO, L"&Redo\tCtrl+Y");
    const std::vector<std::wstring> recent = RecentScenes();
    if (!recent.empty())
        ::AppendMenuW(hMenu, MF_SEPARATOR, 0, nullptr);
    for (size_t i = 0; i < recent.size(); ++i) {
        // "&1 box.zelmora", the folder after it; & in a name is shown, not taken as a key.
        std::wstring item = L"&" + std::to_wstring(i + 1) + L" ";
        for (wchar_t c : recent[i])
            item += c == L'&' ? std::wstring(L"&&") : std::wstring(1, c);
        ::AppendMenuW(hMenu, MF_STRING, ID_SCENE_RECENT_FIRST + static_cast<UINT>(i), item.c_str());
    }
    CRect rc;
    ::GetWindowRect(GetDlgItemHandle(IDC_SCENE), &rc);
    ::TrackPopupMenu(hMenu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, rc.left, rc.bottom, 0, m_hWnd, nullptr);
    ::DestroyMenu(hMenu);
}

void CBoxDlg::OnRecentScene(UINT nID)
{
    const std::vector<std::wstring> recent = RecentScenes();
    const size_t index = nID - ID_SCENE_RECENT_FIRST;
    if (index >= recent.size() || !ConfirmDiscardChanges())
        return;
    if (!OpenScene(recent[index].c_str()) && ::GetFileAttributesW(recent[index].c_str()) == INVALID_FILE_ATTRIBUTES)
        ForgetRecentScene(recent[index]);  // gone: said once, then off the list
}

void CBoxDlg::OnNewScene()
{
    if (!ConfirmDiscardChanges())
        return;
    const SceneDescription start;
    ChooseProduct(0);
    start.ApplyTo(*this);
    m_export = start;
    m_views = start.views;
    for (int s = 0; s < kPictureCount; ++s)
        m_pSidesPage->OnClearSide(s);
    PutProductPictures(start);
    m_pSidesPage->ShowSideColours();
    RefreshPages();
    BeginDocument(CString(), CurrentScene());
    UpdateTitle();
}

void CBoxDlg::OnOpenScene()
{
    if (!ConfirmDiscardChanges() || m_dlgOpenScene.DoModal() != IDOK)
        return;
    OpenScene(m_dlgOpenScene.GetPathName());
}

void CBoxDlg::OnSaveScene()
{
    if (ScenePath().IsEmpty())
        OnSaveSceneAs();
    else
        SaveSceneTo(CString(ScenePath()));
}

void CBoxDlg::OnSaveSceneAs()
{
    if (m_dlgSaveScene.DoModal() == IDOK)
        SaveSceneTo(m_dlgSaveScene.ScenePath());
}

LRESULT CBoxDlg::OnDropFiles(WPARAM wParam, LPARAM)
{
    auto hDrop = reinterpret_cast<HDROP>(wParam);
    POINT pt = {};
    ::DragQueryPoint(hDrop, &pt);
    std::vector<CString> paths;
    const UINT count = ::DragQueryFileW(hDrop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count && i <= static_cast<UINT>(kMaxProducts); ++i) {
        const UINT length = ::DragQueryFileW(hDrop, i, nullptr, 0);
        if (length > 0 && length < 32768) {
            std::wstring buffer(length + 1, L'\0');
            ::DragQueryFileW(hDrop, i, &buffer[0], length + 1);
            paths.push_back(buffer.c_str());
        }
    }
    ::DragFinish(hDrop);
    DropFiles(paths, CPoint(pt.x, pt.y));
    return 0;
}

void CBoxDlg::DropFiles(const std::vector<CString>& paths, CPoint pt)
{
    if (paths.size() == 1)
        DropFile(paths[0], pt);
    if (paths.size() <= 1)
        return;
    for (const CString& path : paths)
        if (IsSceneFileName(path)) {
            MessageBox(L"Drop one scene file (.zelmora) at a time.", L"Zelmora", MB_OK | MB_ICONINFORMATION);
            return;
        }
    if (!TakesCover(m_nShape) || paths.size() > static_cast<size_t>(kMaxProducts)) {
        CString message;
        message.Format(L"Several pictures dropped together make a series of books, one per cover (at most %d): "
                       L"choose a book or a case on the Box Dimensions page first.",
                       kMaxProducts);
        if (TakesCover(m_nShape))
            message.Format(L"A series holds at most %d books; %u pictures were dropped.", kMaxProducts,
                           static_cast<unsigned>(paths.size()));
        MessageBox(message, L"Zelmora", MB_OK | MB_ICONINFORMATION);
        return;
    }
    // Every cover read before anything changes: one that cannot be used leaves the scene as it was.
    CString problems;
    std::vector<PictureRef> covers;
    for (const CString& path : paths) {
        std::wstring reason = PathRefusal(path.GetString(), true);
        FaceLoadFailure why;
        PictureRef cover;
        if (reason.empty() && !(cover = PictureStore::Shared().Load(path.GetString(), &why)))
            reason = FaceLoadReason(why);
        if (!reason.empty())
            problems += L"\n" + path + L": " + reason.c_str();
        covers.push_back(cover);
    }
    if (!problems.IsEmpty()) {
        MessageBox(L"These pictures cannot be covers; nothing was changed:" + problems, L"Zelmora",
                   MB_OK | MB_ICONWARNING);
        return;
    }
    ChooseProduct(0);
    SceneDescription scene = CurrentScene();
    scene.products.clear();
    scene.facePaths[SideCover] = paths[0].GetString();
    SetProductCount(scene, static_cast<int>(paths.size()));
    for (size_t k = 1; k < paths.size(); ++k) {
        scene.products[k - 1].facePaths[SideCover] = paths[k].GetString();
        scene.products[k - 1].faceNamedByFile[SideCover] = false;
    }
    scene.ApplyTo(*this);
    m_pSidesPage->PutSideImage(SideCover, paths[0], nullptr);
    PutProductPictures(scene);
    RefreshPages();
}

void CBoxDlg::DropFile(const CString& path, CPoint pt)
{
    if (IsSceneFileName(path)) {
        if (ConfirmDiscardChanges())
            OpenScene(path);
        return;
    }
    int side = -1;
    if (m_pSidesPage && ::IsWindowVisible(m_pSidesPage->m_hWnd)) {
        POINT local = {pt.x, pt.y};
        ::MapWindowPoints(m_hWnd, m_pSidesPage->m_hWnd, &local, 1);
        side = m_pSidesPage->SideAtPoint(CPoint(local.x, local.y));
    }
    if (side >= 0)
        m_pSidesPage->LoadSideFromFile(side, path);
    else
        MessageBox(L"Drop a scene file (.zelmora) anywhere on the window, or a picture on a face's row of the Side "
                   L"images page.",
                   L"Zelmora", MB_OK | MB_ICONINFORMATION);
}
