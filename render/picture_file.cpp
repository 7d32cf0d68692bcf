#include "picture_file.h"

HRESULT RenderPictureToFile(BoxRenderer& renderer, const PictureRequest& request, const PictureFormat& format,
                            const std::wstring& path, PictureDrawTimings* pTimings,
                            const std::function<void(const wchar_t*)>& onStage)
{
    PictureFileWriter file;
    HRESULT hr = file.Open(path, format, request.width, request.height);
    if (FAILED(hr))
        return hr;
    hr = renderer.RenderPicture(
        request,
        [&](const uint32_t* pRows, UINT, UINT count) {
            if (onStage)
                onStage(L"compressing");
            return file.AddRows(pRows, count);
        },
        pTimings, onStage);
    if (FAILED(hr))
        return hr;  // the file is dropped unwritten
    if (onStage)
        onStage(L"writing");
    return file.Commit();
}
