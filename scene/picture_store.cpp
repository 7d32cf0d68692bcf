#include "picture_store.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cwctype>

#include "file_open.h"
#include "image_header.h"
#include "tga_decoder.h"
#include "wic_decoder.h"

namespace {

// The file as pixels, by the platform's codecs, else as TGA. TGA comes first for .tga
// names: a TGA has no signature to be recognised by, and Wine's codec for it ignores where
// the picture's first row is stored. A file of no other kind is tried as TGA only when its
// first bytes make a TGA header of a plausible size, so that no file is read whole to find
// that it is not a picture. An animated GIF is decoded from its first frame alone.
HRESULT DecodeFaceImage(LPCWSTR pszPath, const ImageHeader& header, UINT maxSide, DecodedImage& image)
{
    if (HasTgaName(pszPath) && SUCCEEDED(DecodeTga(pszPath, maxSide, image)))
        return S_OK;
    std::vector<BYTE> firstFrame;
    HRESULT hr = header.bMoreFrames && ReadFirstGifFrame(pszPath, header, &firstFrame)
                     ? DecodeWithWic(firstFrame.data(), firstFrame.size(), maxSide, image)
                     : DecodeWithWic(pszPath, maxSide, image);
    if (SUCCEEDED(hr) || hr == E_INVALIDARG || header.kind != ImageKind::Unknown)  // E_INVALIDARG: a size no picture has
        return hr;
    unsigned char head[18] = {};
    HANDLE hFile = OpenFileToRead(pszPath);
    DWORD got = 0;
    if (hFile != INVALID_HANDLE_VALUE) {
        ::ReadFile(hFile, head, sizeof(head), &got, nullptr);
        ::CloseHandle(hFile);
    }
    ImageHeader tga = ParseImageHeader(head, got, true);
    if (tga.kind != ImageKind::Tga || !IsPlausibleImageSize(tga.width, tga.height))
        return hr;
    return DecodeTga(pszPath, maxSide, image);
}

bool CheckFacePicture(LPCWSTR pszPath, ImageHeader* pHeader, FaceLoadFailure* pWhy)
{
    *pWhy = FaceLoadFailure();
    if (!pszPath || !*pszPath) {
        pWhy->reason = FaceLoadFailure::Unreadable;
        return false;
    }
    if (ClassifyPath(pszPath) == PathKind::Device) {  // never opened: reading one can block for ever
        pWhy->reason = FaceLoadFailure::Device;
        return false;
    }
    const ImageHeader header = ReadImageHeader(pszPath);
    if (!header.bReadable) {
        pWhy->reason = FaceLoadFailure::Unreadable;
        return false;
    }
    if (header.kind != ImageKind::Unknown && header.width > 0 && header.height > 0 &&
        !IsPlausibleImageSize(header.width, header.height)) {
        *pWhy = {FaceLoadFailure::TooLarge, header.width, header.height};
        return false;
    }
    if (header.kind != ImageKind::Unknown && header.kind != ImageKind::Tga && (header.width == 0 || header.height == 0)) {
        // A picture whose structure names no size (no frame header, no frame): nothing to decode.
        pWhy->reason = FaceLoadFailure::Damaged;
        return false;
    }
    *pHeader = header;
    return true;
}

// The longest side a picture of that size is held at: halved while each side keeps at least
// `span` pixels, as the device's smaller copies halve it (a picture smaller than twice the
// span stays whole, so that what the device draws from it is what it drew before); span 0:
// maxSide.
UINT SideForSpan(const ImageHeader& header, UINT span, UINT maxSide)
{
    if (span == 0 || header.width == 0 || header.height == 0)
        return maxSide;
    const UINT shorter = std::min(header.width, header.height), longer = std::max(header.width, header.height);
    UINT halvings = 0;
    while (halvings < 16 && (shorter >> (halvings + 1)) >= span)
        ++halvings;
    const UINT side = (longer + (1u << halvings) - 1) >> halvings;
    return std::clamp(side, 1u, maxSide);
}

bool Decode(LPCWSTR pszPath, UINT maxSide, DecodedImage* pImage, ImageHeader* pHeader, FaceLoadFailure* pWhy,
            UINT span = 0)
{
    if (!CheckFacePicture(pszPath, pHeader, pWhy))
        return false;
    maxSide = SideForSpan(*pHeader, span, maxSide);
    const HRESULT hr = DecodeFaceImage(pszPath, *pHeader, maxSide, *pImage);
    if (FAILED(hr)) {
        // E_INVALIDARG: the decoder read a size no face takes (a kind whose header we do not
        // walk ourselves, such as TIFF).
        pWhy->reason = hr == E_INVALIDARG                  ? FaceLoadFailure::TooLarge
                       : pHeader->kind == ImageKind::Unknown ? FaceLoadFailure::NotAPicture
                                                             : FaceLoadFailure::Damaged;
        return false;
    }
    return true;
}

// When and how large the file was last written; false when it cannot be asked.
bool FileStamp(LPCWSTR pszPath, unsigned long long* pStamp, unsigned long long* pSize)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!::GetFileAttributesExW(pszPath, GetFileExInfoStandard, &data))
        return false;
    *pStamp = static_cast<unsigned long long>(data.ftLastWriteTime.dwHighDateTime) << 32 | data.ftLastWriteTime.dwLowDateTime;
    *pSize = static_cast<unsigned long long>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
    return true;
}

std::wstring FoldedPath(const wchar_t* pszPath)
{
    std::wstring key = pszPath;
    for (wchar_t& c : key)
        c = static_cast<wchar_t>(std::towlower(c));
    return key;
}

} // namespace

std::wstring FaceLoadReason(const FaceLoadFailure& why)
{
    switch (why.reason) {
    case FaceLoadFailure::Unreadable:
        return L"the file was not found or cannot be read";
    case FaceLoadFailure::Device:
        return kDeviceRefusal;
    case FaceLoadFailure::NotAPicture:
        return L"it is not a picture Zelmora reads (JPEG, PNG, BMP, GIF, TIFF, ICO, TGA)";
    case FaceLoadFailure::TooLarge: {
        UINT side = 1;
        while (static_cast<unsigned long long>(side * 2) * (side * 2) <= kMaxImagePixels)
            side *= 2;
        const std::wstring size =
            why.width ? L": " + std::to_wstring(why.width) + L" x " + std::to_wstring(why.height) + L" pixels" : L"";
        return L"the picture is too large" + size + L" (Zelmora reads up to " + std::to_wstring(side) + L" x " +
               std::to_wstring(side) + L")";
    }
    default:
        return L"the picture is damaged and cannot be read";
    }
}

bool DecodeFacePicture(const wchar_t* pszPath, unsigned maxSide, DecodedImage* pImage, bool* pbJpeg,
                       FaceLoadFailure* pWhy)
{
    ImageHeader header;
    if (!Decode(pszPath, maxSide, pImage, &header, pWhy))
        return false;
    *pbJpeg = header.kind == ImageKind::Jpeg;
    return true;
}

PictureStore& PictureStore::Shared()
{
    static PictureStore store;
    return store;
}

PictureRef PictureStore::Load(const wchar_t* pszPath, FaceLoadFailure* pWhy, unsigned span)
{
    FaceLoadFailure why;
    if (!pWhy)
        pWhy = &why;
    *pWhy = FaceLoadFailure();
    unsigned long long stamp = 0, size = 0;
    const bool bStamped = pszPath && *pszPath && ClassifyPath(pszPath) != PathKind::Device && FileStamp(pszPath, &stamp, &size);
    const std::wstring key = bStamped ? FoldedPath(pszPath) : std::wstring();
    if (bStamped) {
        std::lock_guard<std::mutex> hold(m_lock);
        for (const Entry& e : m_entries)
            if (e.key == key && e.stamp == stamp && e.size == size && (e.span == 0 || (span && e.span >= span)))
                if (PictureRef held = e.picture.lock())
                    return held;
    }

    auto picture = std::make_shared<ScenePicture>();
    ImageHeader header;
    if (!Decode(pszPath, ScenePicture::kMaxPictureSide, &picture->pixels, &header, pWhy, span))
        return nullptr;
    picture->serial = NewPictureSerial();
    picture->path = pszPath;
    picture->width = header.width ? header.width : picture->pixels.width;
    picture->height = header.height ? header.height : picture->pixels.height;
    picture->bJpeg = header.kind == ImageKind::Jpeg;
    if (bStamped) {
        std::lock_guard<std::mutex> hold(m_lock);
        // Held whole (it was no larger than the span asked for), it serves every span.
        const bool bWhole = picture->pixels.width == picture->width && picture->pixels.height == picture->height;
        m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(),
                                       [&](const Entry& e) { return e.picture.expired() || e.key == key; }),
                        m_entries.end());
        m_entries.push_back({key, stamp, size, bWhole ? 0u : span, picture});
    }
    return picture;
}

bool LoadSideImage(BoxScene& scene, int nSlot, const wchar_t* pszPath, FaceLoadFailure* pWhy, unsigned span)
{
    FaceLoadFailure why;
    if (!pWhy)
        pWhy = &why;
    *pWhy = FaceLoadFailure();
    if (nSlot < 0 || nSlot >= kPictureCount) {
        pWhy->reason = FaceLoadFailure::Unreadable;
        return false;
    }
    PictureRef picture = PictureStore::Shared().Load(pszPath, pWhy, span);
    if (!picture)
        return false;
    scene.m_picture[nSlot] = std::move(picture);
    return true;
}

void ClearSideImage(BoxScene& scene, int nSlot)
{
    if (nSlot >= 0 && nSlot < kPictureCount)
        scene.m_picture[nSlot].reset();
}

unsigned long long NewPictureSerial()
{
    static std::atomic<unsigned long long> s_nextSerial{0};
    return ++s_nextSerial;
}
