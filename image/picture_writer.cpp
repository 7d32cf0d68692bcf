#include "picture_writer.h"

#include <cwctype>

#include "file_open.h"
#include "file_replace.h"
#include "jpeg_encoder.h"
#include "picture_record.h"
#include "png_encoder.h"

HRESULT EncodePicture(const DecodedImage& image, const PictureFormat& format, std::vector<BYTE>* pBytes,
                      PictureTimings* pTimings)
{
    if (format.bJpeg) {
        const HRESULT hr = EncodeJpeg(image, format.quality, format.dpi, pBytes);
        if (SUCCEEDED(hr))
            AddJpegRecord(*pBytes, format.record);
        return hr;
    }
    PngOptions png;
    png.bAlpha = format.bAlpha;
    png.dpi = format.dpi;
    png.record = format.record;
    PngTimings timings;
    HRESULT hr = EncodePng(image, png, pBytes, &timings);
    if (pTimings) {
        pTimings->filterSeconds = timings.filterSeconds;
        pTimings->compressSeconds = timings.deflateSeconds;
        pTimings->encodeSeconds = timings.wallSeconds;
    }
    return hr;
}

HRESULT PictureFileWriter::Open(const std::wstring& path, const PictureFormat& format, UINT width, UINT height)
{
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return E_ACCESSDENIED;
    if (width == 0 || height == 0)
        return E_INVALIDARG;
    m_format = format;
    m_nRows = 0;
    HRESULT hr = m_file.Open(path.c_str());
    if (FAILED(hr))
        return hr;
    m_width = width;
    m_height = height;
    if (format.bJpeg) {
        try {
            m_rgb.resize(static_cast<size_t>(width) * height * 3);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        return S_OK;
    }
    PngOptions png;
    png.bAlpha = format.bAlpha;
    png.dpi = format.dpi;
    png.record = format.record;
    m_png = std::make_unique<PngStreamEncoder>(width, height, png, [this](const BYTE* p, size_t n) {
        return n > 0xFFFFFFFFu ? E_INVALIDARG : m_file.Write(p, static_cast<DWORD>(n));
    });
    return m_png->Begin();
}

HRESULT PictureFileWriter::AddRows(const uint32_t* pRows, UINT count)
{
    if (m_png)
        return m_png->AddRows(pRows, count);
    if (m_nRows + count > m_height)
        return E_INVALIDARG;
    PackRgb(pRows, static_cast<size_t>(count) * m_width, &m_rgb[static_cast<size_t>(m_nRows) * m_width * 3]);
    m_nRows += count;
    return S_OK;
}

HRESULT PictureFileWriter::Commit()
{
    HRESULT hr = S_OK;
    if (m_png) {
        hr = m_png->Finish();
    } else {
        std::vector<BYTE> bytes;
        hr = m_nRows == m_height ? EncodeJpegRgb(m_rgb.data(), m_width, m_height, m_format.quality, m_format.dpi, &bytes)
                                 : E_UNEXPECTED;
        std::vector<BYTE>().swap(m_rgb);
        if (SUCCEEDED(hr))
            AddJpegRecord(bytes, m_format.record);
        if (SUCCEEDED(hr) && bytes.size() > 0xFFFFFFF0u)
            hr = E_FAIL;
        if (SUCCEEDED(hr))
            hr = m_file.Write(bytes.data(), static_cast<DWORD>(bytes.size()));
    }
    if (SUCCEEDED(hr))
        hr = m_file.Commit();
    m_file.Abandon();
    return hr;
}

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
