#include "model_file.h"

#include <cstring>

#include "box_model.h"
#include "face_textures.h"
#include "file_open.h"
#include "file_replace.h"
#include "output_folder.h"
#include "picture_writer.h"

bool IsModelName(const std::wstring& path)
{
    return path.size() > 4 && _wcsicmp(path.c_str() + path.size() - 4, L".glb") == 0;
}

bool WriteModelFile(const RenderJob& job, std::wstring* pError)
{
    ModelFace faces[kSideCount];
    for (int s = 0; s < kSideCount; ++s) {
        faces[s].pszName = g_faceNames[s];
        faces[s].colour = job.faceColours[s];
        const std::wstring& path = job.facePaths[s];
        if (path.empty())
            continue;
        const std::wstring option = L"--" + std::wstring(g_faceNames[s], g_faceNames[s] + strlen(g_faceNames[s]));
        std::wstring refusal = PathRefusal(path, !job.faceNamedByFile[s]);
        DecodedImage picture;
        FaceLoadFailure why;
        if (refusal.empty() &&
            !DecodeFacePicture(path.c_str(), static_cast<UINT>(job.modelTextureSize), &picture, &faces[s].bJpeg, &why))
            refusal = FaceLoadReason(why);
        if (!refusal.empty()) {
            *pError = option + L" " + path + L": " + refusal;
            return false;
        }
        // A JPEG stays a JPEG (photographs are smaller so); anything else becomes a PNG.
        PictureFormat format;
        format.bJpeg = faces[s].bJpeg;
        format.quality = job.quality;
        const HRESULT hr = EncodePicture(picture, format, &faces[s].picture);
        if (FAILED(hr)) {
            *pError = option + L" " + path + L": the picture could not be encoded for the model (out of memory?)";
            return false;
        }
    }
    const std::vector<BYTE> model =
        BuildBoxModel(job.values[kValueWidth], job.values[kValueHeight], job.values[kValueDepth], faces);
    if (!MakeOutputFolder(job.output, pError))
        return false;
    const HRESULT hr = ReplaceFileContents(job.output.c_str(), model.data(), static_cast<DWORD>(model.size()));
    if (FAILED(hr)) {
        *pError = job.output + L": " + WriteFailureReason(job.output, hr);
        return false;
    }
    return true;
}
