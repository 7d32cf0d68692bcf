#include "picture_file.h"

HRESULT RenderPictureToFile(BoxRenderer& renderer, const PictureRequest& request, const PictureFormat& format,
                            const std::wstring& path, bool* pBackgroundOnly, PictureDrawTimings* pTimings,
                            const std::function<void(const wchar_t*)>& onStage)
{
    *pBackgroundOnly = false;
    PictureFileWriter file;
    HRESULT hr = file.Open(path, format, request.width, request.height);
    if (FAILED(hr))
        return hr;
    bool bBackgroundOnly = true;
    const uint32_t background = renderer.Background();
    hr = renderer.RenderPicture(
        request,
        [&](const uint32_t* pRows, UINT, UINT count) {
            const size_t n = static_cast<size_t>(count) * request.width;
            if (bBackgroundOnly)
                bBackgroundOnly = IsBackgroundOnly(pRows, n, background, request.bTransparent);
            if (onStage)
                onStage(L"compressing");
            return file.AddRows(pRows, count);
        },
        pTimings, onStage);
    if (FAILED(hr))
        return hr;  // the file is dropped unwritten
    if (bBackgroundOnly) {
        *pBackgroundOnly = true;
        return S_FALSE;
    }
    if (onStage)
        onStage(L"writing");
    return file.Commit();
}
