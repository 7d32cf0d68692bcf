#include "face_textures.h"

#include <wincodec.h>

#include <algorithm>
#include <cstring>
#include <cwchar>

#include "box_renderer.h"
#include "file_open.h"
#include "image_header.h"
#include "image_resample.h"
#include "tga_decoder.h"
#include "wic_decoder.h"

namespace {

// {6F1B7C2E-4A53-4D1B-9E0C-5A4D0F7A1C01}
const GUID kPictureSizeGuid = {0x6f1b7c2e, 0x4a53, 0x4d1b, {0x9e, 0x0c, 0x5a, 0x4d, 0x0f, 0x7a, 0x1c, 0x02}};
const GUID kFaceSerialGuid = {0x6f1b7c2e, 0x4a53, 0x4d1b, {0x9e, 0x0c, 0x5a, 0x4d, 0x0f, 0x7a, 0x1c, 0x01}};

// Artwork keeps its own pixels up to the largest picture the decoders read: a face seen
// close up in a large picture shows all of them. Where the device has no room for a texture
// that size, it gets the largest half, quarter.. that fits.
constexpr UINT kFaceTextureMaxSide = 8192;

UINT NearestPowerOfTwo(UINT n)
{
    UINT p = 1;
    while (p < n && p < (1u << 30))
        p <<= 1;
    return (p - n > n - p / 2 && p > 1) ? p / 2 : p;
}

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

HRESULT FillLevel(IDirect3DTexture9* pTexture, UINT level, const DecodedImage& image)
{
    D3DLOCKED_RECT locked;
    HRESULT hr = pTexture->LockRect(level, &locked, nullptr, 0);
    if (FAILED(hr))
        return hr;
    for (UINT y = 0; y < image.height; ++y)
        std::memcpy(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch, &image.pixels[static_cast<size_t>(y) * image.width],
                    image.width * 4);
    return pTexture->UnlockRect(level);
}

// A managed texture with a full mipmap chain, each level the area average, in light, of the
// one above: a fine black and white pattern seen small is the grey it looks (188), not 128.
HRESULT CreateFaceTexture(IDirect3DDevice9* pDevice, LPCWSTR pszPath, const ImageHeader& header,
                          IDirect3DTexture9** ppTexture)
{
    D3DCAPS9 caps = {};
    pDevice->GetDeviceCaps(&caps);
    UINT maxSide = std::min({kFaceTextureMaxSide, static_cast<UINT>(caps.MaxTextureWidth),
                             static_cast<UINT>(caps.MaxTextureHeight)});
    if (maxSide == 0)
        maxSide = kFaceTextureMaxSide;

    DecodedImage image;
    HRESULT hr = DecodeFaceImage(pszPath, header, maxSide, image);
    if (FAILED(hr))
        return hr;

    if (caps.TextureCaps & D3DPTEXTURECAPS_POW2) {
        UINT w = std::min(NearestPowerOfTwo(image.width), maxSide), h = std::min(NearestPowerOfTwo(image.height), maxSide);
        image = ResampleImage(image, w, h);
    }

    IDirect3DTexture9* pTexture = nullptr;
    while (FAILED(hr = pDevice->CreateTexture(image.width, image.height, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                              &pTexture, nullptr))) {
        if ((hr != D3DERR_OUTOFVIDEOMEMORY && hr != E_OUTOFMEMORY) || (image.width <= 1024 && image.height <= 1024))
            return hr;
        image = ResampleImage(image, std::max(1u, image.width / 2), std::max(1u, image.height / 2), true);
    }
    for (UINT level = 0, levels = pTexture->GetLevelCount(); level < levels && SUCCEEDED(hr); ++level) {
        if (level > 0)
            image = ResampleImage(image, std::max(1u, image.width / 2), std::max(1u, image.height / 2), true);
        hr = FillLevel(pTexture, level, image);
    }
    if (FAILED(hr)) {
        pTexture->Release();
        return hr;
    }
    // Tells this picture apart from any other, even one that later gets the same address.
    static unsigned long long s_nextSerial = 0;
    const unsigned long long serial = ++s_nextSerial;
    pTexture->SetPrivateData(kFaceSerialGuid, &serial, sizeof(serial), 0);
    const SIZE picture = {static_cast<LONG>(header.width ? header.width : image.width),
                          static_cast<LONG>(header.height ? header.height : image.height)};
    pTexture->SetPrivateData(kPictureSizeGuid, &picture, sizeof(picture), 0);
    *ppTexture = pTexture;
    return S_OK;
}

} // namespace

SIZE FacePictureSize(IDirect3DTexture9* pTexture)
{
    SIZE size = {};
    DWORD bytes = sizeof(size);
    if (!pTexture || FAILED(pTexture->GetPrivateData(kPictureSizeGuid, &size, &bytes)))
        return SIZE{};
    return size;
}

unsigned long long FaceTextureSerial(IDirect3DTexture9* pTexture)
{
    unsigned long long serial = 0;
    DWORD size = sizeof(serial);
    if (!pTexture || FAILED(pTexture->GetPrivateData(kFaceSerialGuid, &serial, &size)))
        return 0;
    return serial;
}

unsigned long long FaceTextureBytes(IDirect3DTexture9* pTexture)
{
    D3DSURFACE_DESC desc = {};
    pTexture->GetLevelDesc(0, &desc);
    return static_cast<unsigned long long>(desc.Width) * desc.Height * 4 * 4 / 3;
}

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

bool DecodeFacePicture(LPCWSTR pszPath, UINT maxSide, DecodedImage* pImage, bool* pbJpeg, FaceLoadFailure* pWhy)
{
    ImageHeader header;
    if (!CheckFacePicture(pszPath, &header, pWhy))
        return false;
    const HRESULT hr = DecodeFaceImage(pszPath, header, maxSide, *pImage);
    if (FAILED(hr)) {
        pWhy->reason = hr == E_INVALIDARG ? FaceLoadFailure::TooLarge
                       : header.kind == ImageKind::Unknown ? FaceLoadFailure::NotAPicture
                                                           : FaceLoadFailure::Damaged;
        return false;
    }
    *pbJpeg = header.kind == ImageKind::Jpeg;
    return true;
}

bool LoadSideImage(BoxScene& scene, int nSlot, LPCWSTR pszPath, FaceLoadFailure* pWhy)
{
    FaceLoadFailure why;
    if (!pWhy)
        pWhy = &why;
    *pWhy = FaceLoadFailure();
    if (nSlot < 0 || nSlot >= kPictureCount || !scene.m_pDevice) {
        pWhy->reason = FaceLoadFailure::Unreadable;
        return false;
    }
    ImageHeader header;
    if (!CheckFacePicture(pszPath, &header, pWhy))
        return false;

    IDirect3DTexture9* pTexture = nullptr;
    const HRESULT hr = CreateFaceTexture(scene.m_pDevice, pszPath, header, &pTexture);
    if (FAILED(hr) || !pTexture) {
        // E_INVALIDARG: the decoder read a size no face takes (a kind whose header we do not
        // walk ourselves, such as TIFF).
        pWhy->reason = hr == E_INVALIDARG                 ? FaceLoadFailure::TooLarge
                       : header.kind == ImageKind::Unknown ? FaceLoadFailure::NotAPicture
                                                           : FaceLoadFailure::Damaged;
        return false;
    }
    IDirect3DTexture9*& slot = scene.m_pFaceTexture[nSlot];
    pTexture->AddRef();
    IDirect3DTexture9* pOld = slot;
    slot = pTexture;
    if (pOld)
        pOld->Release();
    pTexture->Release();  // the scene's reference is the only one now
    return true;
}

void ClearSideImage(BoxScene& scene, int nSlot)
{
    if (nSlot >= 0 && nSlot < kPictureCount)
        SafeRelease(scene.m_pFaceTexture[nSlot]);
}
