#include "face_textures.h"

#include <algorithm>
#include <cstring>

#include "image_resample.h"

namespace {

UINT NearestPowerOfTwo(UINT n)
{
    UINT p = 1;
    while (p < n && p < (1u << 30))
        p <<= 1;
    return (p - n > n - p / 2 && p > 1) ? p / 2 : p;
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

} // namespace

HRESULT CreateMippedTexture(IDirect3DDevice9* pDevice, const DecodedImage& picture, IDirect3DTexture9** ppTexture)
{
    D3DCAPS9 caps = {};
    pDevice->GetDeviceCaps(&caps);
    UINT maxSide = std::min({ScenePicture::kMaxPictureSide, static_cast<UINT>(caps.MaxTextureWidth),
                             static_cast<UINT>(caps.MaxTextureHeight)});
    if (maxSide == 0)
        maxSide = ScenePicture::kMaxPictureSide;
    UINT w = picture.width, h = picture.height;
    if (caps.TextureCaps & D3DPTEXTURECAPS_POW2) {
        w = std::min(NearestPowerOfTwo(w), maxSide);
        h = std::min(NearestPowerOfTwo(h), maxSide);
    } else {
        FitWithin(w, h, maxSide, &w, &h);
    }
    DecodedImage image;
    const DecodedImage* pLevel = &picture;
    if (w != picture.width || h != picture.height) {
        image = ResampleImage(picture, w, h);
        pLevel = &image;
    }

    ComPtr<IDirect3DTexture9> texture;
    HRESULT hr;
    while (FAILED(hr = pDevice->CreateTexture(pLevel->width, pLevel->height, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                              &texture, nullptr))) {
        if ((hr != D3DERR_OUTOFVIDEOMEMORY && hr != E_OUTOFMEMORY) || (pLevel->width <= 1024 && pLevel->height <= 1024))
            return hr;
        image = ResampleImage(*pLevel, std::max(1u, pLevel->width / 2), std::max(1u, pLevel->height / 2), true);
        pLevel = &image;
    }
    for (UINT level = 0, levels = texture->GetLevelCount(); level < levels && SUCCEEDED(hr); ++level) {
        if (level > 0) {
            image = ResampleImage(*pLevel, std::max(1u, pLevel->width / 2), std::max(1u, pLevel->height / 2), true);
            pLevel = &image;
        }
        hr = FillLevel(texture, level, *pLevel);
    }
    if (FAILED(hr))
        return hr;
    *ppTexture = texture.Detach();
    return S_OK;
}

IDirect3DTexture9* FaceTextures::For(IDirect3DDevice9* pDevice, const PictureRef& picture)
{
    if (!picture || !pDevice)
        return nullptr;
    for (const Entry& e : m_entries)
        if (e.pKey == picture.get() && e.serial == picture->serial)
            return e.texture;
    ComPtr<IDirect3DTexture9> texture;
    if (picture->pixels.pixels.empty() || FAILED(CreateMippedTexture(pDevice, picture->pixels, &texture)))
        return nullptr;
    DropUnheld();  // a picture let go of since is not drawn again: its memory goes now
    m_entries.push_back({picture, picture.get(), picture->serial, std::move(texture)});
    return m_entries.back().texture;
}

void FaceTextures::DropUnheld()
{
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        if (it->picture.expired())
            it = m_entries.erase(it);
        else
            ++it;
    }
}

void FaceTextures::Release()
{
    m_entries.clear();
}

unsigned long long FaceTextureBytes(IDirect3DTexture9* pTexture)
{
    D3DSURFACE_DESC desc = {};
    pTexture->GetLevelDesc(0, &desc);
    return static_cast<unsigned long long>(desc.Width) * desc.Height * 4 * 4 / 3;
}
