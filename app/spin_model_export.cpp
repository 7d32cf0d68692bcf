// Save Image's other types: a 360 spin (its pictures, one animated PNG or one web page) and
// the box as a 3D model.
#include <algorithm>

#include "box_dlg.h"
#include "image_export.h"
#include "model_file.h"
#include "output_folder.h"
#include "picture_writer.h"
#include "spin_files.h"
#include "spin_views.h"
#include "view_fit.h"

void CBoxDlg::SaveSpinAs(const SaveTarget& target, const ExportSettings& settings, int count)
{
    const SIZE size = ExportSize(settings);
    const UINT width = static_cast<UINT>(size.cx), height = static_cast<UINT>(size.cy);
    const SceneDescription scene = CurrentScene();
    std::vector<SpinView> views;
    if (!SpinViews(scene, count, kSpinSceneElevation, static_cast<float>(width) / static_cast<float>(height),
                   kDefaultFitMargin, &views)) {
        CString message;
        message.Format(L"Unable to save the spin\n%ls: at some views the camera is too close to the box to frame it; "
                       L"move it further away (Distance).",
                       target.strPath.GetString());
        MessageBox(message, L"Error", MB_OK | MB_ICONERROR);
        return;
    }
    // The dialog asked about the name typed; the pictures have names of their own, and an
    // animated PNG or a page the name with its type appended.
    const bool bFrames = target.spinFormats == kSpinFrames;
    const std::wstring first = bFrames ? SpinFrameName(target.strPath.GetString(), 1, count) : target.strPath.str();
    if ((bFrames || target.bExtensionAppended) && ::GetFileAttributesW(first.c_str()) != INVALID_FILE_ATTRIBUTES) {
        CString question;
        question.Format(bFrames ? L"%ls already exists, and the spin's other pictures may too.\nDo you want to replace them?"
                                : L"%ls already exists.\nDo you want to replace it?",
                        first.c_str());
        if (MessageBox(question, L"Confirm Save As", MB_YESNO | MB_ICONWARNING) != IDYES)
            return;
    }

    // A folder typed into the name that is not there yet is made, as zelmora-render makes it.
    std::wstring folderError;
    if (!MakeOutputFolder(target.strPath.GetString(), &folderError)) {
        MessageBox((L"Unable to save the spin\n" + folderError).c_str(), L"Error", MB_OK | MB_ICONERROR);
        return;
    }
    const PictureFormat format = SaveFormat(target, settings);
    const PictureRequest request{width, height, format.bAlpha, -1, settings.supersample};
    CWaitCursor wait;
    BusyWindow busy(m_hWnd);
    m_bDrawingSpin = true;
    const wchar_t* pszOutOfView = nullptr;
    std::wstring failed;
    // An animated PNG or a page gathers the pictures and appears once all are in it.
    SpinFileWriter gathered;
    HRESULT hr = bFrames ? S_OK
                         : gathered.Open(SpinFiles::For(target.strPath.GetString(), target.spinFormats, count),
                                         static_cast<UINT>(views.size()), width, height, format, kSpinDelayMs, &failed);
    for (size_t i = 0; i < views.size() && SUCCEEDED(hr) && !pszOutOfView; ++i) {
        CString title;
        title.Format(L"360 spin: picture %u of %u... - Zelmora", static_cast<unsigned>(i + 1),
                     static_cast<unsigned>(views.size()));
        SetWindowText(title);
        for (int v = 0; v < kSceneValueCount; ++v)
            this->*g_sceneValues[v].pField = views[i].values[v];
        m_fRotation1Fraction = views[i].rotation1Fraction;
        failed = bFrames ? SpinFrameName(target.strPath.GetString(), static_cast<int>(i) + 1, count)
                         : target.strPath.str();
        pszOutOfView = OutOfViewReason(SceneVisibility(*this, static_cast<float>(width) / static_cast<float>(height)));
        if (pszOutOfView)
            break;
        DecodedImage picture;
        hr = m_renderer.RenderPicture(request, picture);
        if (SUCCEEDED(hr))
            hr = bFrames ? WriteWhileResponding(picture, format, failed.c_str()) : gathered.Add(picture, &failed);
    }
    if (SUCCEEDED(hr) && !pszOutOfView && !bFrames)
        hr = gathered.Commit(&failed);
    scene.ApplyTo(*this);
    m_fRotation1Fraction = 0;
    m_renderer.ReleasePictureTargets();
    m_bDrawingSpin = false;
    UpdateTitle();
    if (FAILED(hr) || pszOutOfView) {
        CString message;
        message.Format(L"Unable to save the spin\n%ls: %ls", failed.c_str(),
                       pszOutOfView ? pszOutOfView
                       : hr == D3DERR_NOTAVAILABLE || hr == D3DERR_OUTOFVIDEOMEMORY || hr == E_OUTOFMEMORY
                           ? L"the pictures are too large for this computer's memory; choose a smaller size"
                           : WriteFailureReason(failed, hr).c_str());
        MessageBox(message, L"Error", MB_OK | MB_ICONERROR);
    }
}

void CBoxDlg::SaveModelAs(const SaveTarget& target)
{
    if (target.bExtensionAppended && ::GetFileAttributesW(target.strPath) != INVALID_FILE_ATTRIBUTES) {
        CString question;
        question.Format(L"%ls already exists.\nDo you want to replace it?", target.strPath.GetString());
        if (MessageBox(question, L"Confirm Save As", MB_YESNO | MB_ICONWARNING) != IDYES)
            return;
    }
    CWaitCursor wait;
    const SceneDescription scene = CurrentScene();
    ModelFileFailure failure;
    if (WriteModelFile(scene, kModelTextureSide, 90, target.strPath.GetString(), &failure))
        return;
    CString message;
    if (failure.face < 0)
        message.Format(L"Unable to save the model\n%ls: %ls", target.strPath.GetString(), failure.reason.c_str());
    else
        message.Format(L"Unable to save the model\n%ls\n\nThe %ls face's picture %ls: %ls", target.strPath.GetString(),
                       WideFromUtf8(g_faceNames[failure.face]).c_str(), failure.PathIn(scene).c_str(),
                       failure.reason.c_str());
    MessageBox(message, L"Error", MB_OK | MB_ICONERROR);
}
