#include "model_file.h"

#include "box_model.h"
#include "face_textures.h"
#include "file_open.h"
#include "file_replace.h"
#include "picture_writer.h"

bool IsModelName(const std::wstring& path)
{
    return path.size() > 4 && _wcsicmp(path.c_str() + path.size() - 4, L".glb") == 0;
}

bool WriteModelFile(const SceneDescription& scene, int textureSide, int quality, const std::wstring& path,
                    ModelFileFailure* pFailure)
{
    if (scene.values[kValueShape] != 0) {
        // Drawn as a box it would be a wrong model without a word.
        *pFailure = {-1, L"3D models are made of the box shape only; books and cases are pictures, spins and "
                         L"scenes (choose the box shape for a model)"};
        return false;
    }
    ModelFace faces[kSideCount];
    for (int s = 0; s < kSideCount; ++s) {
        faces[s].pszName = g_faceNames[s];
        faces[s].colour = scene.faceColours[s];
        const std::wstring& picturePath = scene.facePaths[s];
        if (picturePath.empty())
            continue;
        std::wstring refusal = PathRefusal(picturePath, !scene.faceNamedByFile[s]);
        DecodedImage picture;
        FaceLoadFailure why;
        if (refusal.empty() &&
            !DecodeFacePicture(picturePath.c_str(), static_cast<UINT>(textureSide), &picture, &faces[s].bJpeg, &why))
            refusal = FaceLoadReason(why);
        // A JPEG stays a JPEG (photographs are smaller so); anything else becomes a PNG.
        PictureFormat format;
        format.bJpeg = faces[s].bJpeg;
        format.quality = quality;
        if (refusal.empty() && FAILED(EncodePicture(picture, format, &faces[s].picture)))
            refusal = L"the picture could not be encoded for the model (out of memory?)";
        if (!refusal.empty()) {
            *pFailure = {s, refusal};
            return false;
        }
    }
    const std::vector<BYTE> model =
        BuildBoxModel(scene.values[kValueWidth], scene.values[kValueHeight], scene.values[kValueDepth],
                      scene.values[kValueEdgeRadius], faces);
    const HRESULT hr = ReplaceFileContents(path.c_str(), model.data(), static_cast<DWORD>(model.size()));
    if (FAILED(hr)) {
        *pFailure = {-1, WriteFailureReason(path, hr)};
        return false;
    }
    return true;
}
