#include "picture_writer.h"

#include "file_open.h"

#include <objidl.h>
#include <ocidl.h>
#include <wincodec.h>

#include <cwctype>

#include "com_scope.h"
#include "file_replace.h"
#include "png_encoder.h"

namespace {

// JPEG by the platform's codec: 24-bit BGR rows, the quality as the encoder's option.
HRESULT EncodeJpeg(const DecodedImage& image, const PictureFormat& format, std::vector<BYTE>* pBytes)
{
    ComScope com;
    ComPtr<IWICImagingFactory> factory;
    HRESULT hr = CreateImagingFactory(&factory);
    ComPtr<IStream> stream;
    if (SUCCEEDED(hr))
        hr = ::CreateStreamOnHGlobal(nullptr, TRUE, &stream);
    ComPtr<IWICBitmapEncoder> encoder;
    if (SUCCEEDED(hr))
        hr = factory->CreateEncoder(GUID_ContainerFormatJpeg, nullptr, &encoder);
    if (SUCCEEDED(hr))
        hr = encoder->Initialize(stream.p, WICBitmapEncoderNoCache);
    ComPtr<IWICBitmapFrameEncode> frame;
    ComPtr<IPropertyBag2> options;
    if (SUCCEEDED(hr))
        hr = encoder->CreateNewFrame(&frame, &options);
    if (SUCCEEDED(hr) && options.p) {
        PROPBAG2 option = {};
        option.pstrName = const_cast<LPOLESTR>(L"ImageQuality");
        VARIANT value;
        ::VariantInit(&value);
        value.vt = VT_R4;
        value.fltVal = static_cast<float>(format.quality) / 100.0f;
        options->Write(1, &option, &value);
    }
    if (SUCCEEDED(hr))
        hr = frame->Initialize(options.p);
    if (SUCCEEDED(hr))
        hr = frame->SetSize(image.width, image.height);
    if (SUCCEEDED(hr) && format.dpi > 0)
        hr = frame->SetResolution(format.dpi, format.dpi);
    WICPixelFormatGUID pixelFormat = GUID_WICPixelFormat24bppBGR;
    if (SUCCEEDED(hr))
        hr = frame->SetPixelFormat(&pixelFormat);
    if (SUCCEEDED(hr) && !IsEqualGUID(pixelFormat, GUID_WICPixelFormat24bppBGR))
        hr = WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT;
    if (SUCCEEDED(hr)) {
        const UINT stride = (image.width * 3 + 3) & ~3u;
        std::vector<BYTE> rows(static_cast<size_t>(stride) * image.height);
        for (UINT y = 0; y < image.height; ++y) {
            BYTE* dst = &rows[static_cast<size_t>(y) * stride];
            const uint32_t* src = &image.pixels[static_cast<size_t>(y) * image.width];
            for (UINT x = 0; x < image.width; ++x) {
                const uint32_t c = src[x];
                dst[x * 3 + 0] = static_cast<BYTE>(c);
                dst[x * 3 + 1] = static_cast<BYTE>(c >> 8);
                dst[x * 3 + 2] = static_cast<BYTE>(c >> 16);
            }
        }
        hr = frame->WritePixels(image.height, stride, static_cast<UINT>(rows.size()), rows.data());
    }
    if (SUCCEEDED(hr))
        hr = frame->Commit();
    if (SUCCEEDED(hr))
        hr = encoder->Commit();

    HGLOBAL hGlobal = nullptr;
    if (SUCCEEDED(hr))
        hr = ::GetHGlobalFromStream(stream.p, &hGlobal);
    if (SUCCEEDED(hr)) {
        STATSTG stat = {};
        stream->Stat(&stat, STATFLAG_NONAME);
        const BYTE* p = static_cast<const BYTE*>(::GlobalLock(hGlobal));
        if (!p)
            return E_OUTOFMEMORY;
        pBytes->assign(p, p + stat.cbSize.QuadPart);
        ::GlobalUnlock(hGlobal);
    }
    return hr;
}

} // namespace

HRESULT EncodePicture(const DecodedImage& image, const PictureFormat& format, std::vector<BYTE>* pBytes,
                      PictureTimings* pTimings)
{
    if (format.bJpeg)
        return EncodeJpeg(image, format, pBytes);
    PngOptions png;
    png.bAlpha = format.bAlpha;
    png.dpi = format.dpi;
    PngTimings timings;
    HRESULT hr = EncodePng(image, png, pBytes, &timings);
    if (pTimings) {
        pTimings->filterSeconds = timings.filterSeconds;
        pTimings->compressSeconds = timings.deflateSeconds;
        pTimings->encodeSeconds = timings.wallSeconds;
    }
    return hr;
}

namespace {

} // namespace

std::wstring WriteFailureReason(const std::wstring& path, HRESULT hr)
{
    const PathKind kind = ClassifyPath(path);
    if (kind == PathKind::Device)
        return L"the name is one Windows keeps for a device; choose another";
    if (path.size() >= 2 && path[1] == L':') {
        const wchar_t root[4] = {path[0], L':', L'\\', 0};
        if (::GetDriveTypeW(root) == DRIVE_NO_ROOT_DIR)
            return L"the drive is not there";
    }
    switch (hr) {
    case E_ACCESSDENIED:
    case HRESULT_FROM_WIN32(ERROR_WRITE_PROTECT):
    case HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION):
        return L"cannot write here (read-only, or in use?)";
    case HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND):
    case HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND):
    case HRESULT_FROM_WIN32(ERROR_BAD_NETPATH):
    case HRESULT_FROM_WIN32(ERROR_BAD_NET_NAME):
    case HRESULT_FROM_WIN32(ERROR_NETWORK_UNREACHABLE):
        if (kind == PathKind::Network)
            return L"the network folder cannot be reached (the computer or the share is not there, or the folder "
                   L"does not exist)";
        return hr == HRESULT_FROM_WIN32(ERROR_BAD_NETPATH) ? L"the drive is not there" : L"the folder does not exist";
    case HRESULT_FROM_WIN32(ERROR_INVALID_DRIVE):
    case HRESULT_FROM_WIN32(ERROR_NOT_READY):
        return L"the drive is not there";
    case HRESULT_FROM_WIN32(ERROR_INVALID_NAME):
    case HRESULT_FROM_WIN32(ERROR_BAD_PATHNAME):
    case HRESULT_FROM_WIN32(ERROR_DIRECTORY):
        return L"the name is not allowed here";
    case HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE):
        return L"the path is too long";
    case HRESULT_FROM_WIN32(ERROR_DISK_FULL):
    case HRESULT_FROM_WIN32(ERROR_HANDLE_DISK_FULL):
        return L"the disk is full";
    case E_OUTOFMEMORY:
        return L"there is not enough memory to encode the picture";
    default: {
        wchar_t code[16];
        swprintf(code, 16, L"0x%08lX", static_cast<unsigned long>(hr));
        return std::wstring(L"the picture could not be written (") + code + L")";
    }
    }
}

HRESULT WritePicture(const DecodedImage& image, const PictureFormat& format, const std::wstring& path,
                     PictureTimings* pTimings)
{
    // Refused before the work of encoding (the replacement would refuse it too).
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return E_ACCESSDENIED;
    std::vector<BYTE> bytes;
    HRESULT hr = EncodePicture(image, format, &bytes, pTimings);
    if (FAILED(hr))
        return hr;
    if (bytes.empty() || bytes.size() > 0xFFFFFFF0u)
        return E_FAIL;
    LARGE_INTEGER t0, t1, freq;
    ::QueryPerformanceCounter(&t0);
    hr = ReplaceFileContents(path.c_str(), bytes.data(), static_cast<DWORD>(bytes.size()));
    ::QueryPerformanceCounter(&t1);
    ::QueryPerformanceFrequency(&freq);
    if (pTimings)
        pTimings->writeSeconds = static_cast<double>(t1.QuadPart - t0.QuadPart) / static_cast<double>(freq.QuadPart);
    return hr;
}
