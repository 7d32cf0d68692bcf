// A book's cover as it is drawn: the cover picture with what lies outside the trim (the
// bleed, a case wrap's turn-ins) replaced at every mip level by the trim's own edge. Seen
// small or at a slant the texture is read from a smaller level, where the trim's edge texels
// would otherwise hold some of the bleed's colour.
#include <algorithm>
#include <cmath>

#include "box_renderer.h"
#include "book_cover.h"
#include "face_textures.h"

const ShapeSpec* BoxRenderer::FrameSpecOf(int product) const
{
    for (const PlacedProduct& placed : m_frameStage.products)
        if (placed.product == product)
            return &placed.spec;
    return nullptr;
}

IDirect3DTexture9* BoxRenderer::CoverTexture(int product)
{
    const PictureRef& cover = PicturesOf(m_scene, product)[SideCover];
    IDirect3DTexture9* pPicture = m_faceTextures.For(m_pDevice, cover);
    const ShapeSpec* pSpec = FrameSpecOf(product);
    if (!pSpec || !pSpec->bCover || !pPicture || product < 0 || product >= kMaxProducts)
        return pPicture;
    const ShapeSpec& spec = *pSpec;
    CoverCopy& copy = m_coverCopies[product];
    const unsigned long long serial = cover->serial;
    if (copy.texture && serial == copy.serial && spec.cover == copy.layout)
        return copy.texture;
    copy.texture.Reset();
    D3DSURFACE_DESC desc = {};
    pPicture->GetLevelDesc(0, &desc);
    const UINT levels = pPicture->GetLevelCount();
    if (FAILED(m_pDevice->CreateTexture(desc.Width, desc.Height, levels, 0, desc.Format, D3DPOOL_MANAGED,
                                                &copy.texture, nullptr)))
        return pPicture;  // no memory for the copy: the picture as it is
    const CoverLayout& l = spec.cover;
    for (UINT level = 0; level < levels; ++level) {
        D3DSURFACE_DESC ld = {};
        pPicture->GetLevelDesc(level, &ld);
        D3DLOCKED_RECT from = {}, to = {};
        if (FAILED(pPicture->LockRect(level, &from, nullptr, D3DLOCK_READONLY)))
            break;
        if (FAILED(copy.texture->LockRect(level, &to, nullptr, 0))) {
            pPicture->UnlockRect(level);
            break;
        }
        UINT x0, x1, y0, y1;
        TexelsInside(l.back[0], l.front[1], ld.Width, &x0, &x1);
        TexelsInside(l.top, l.bottom, ld.Height, &y0, &y1);
        for (UINT y = 0; y < ld.Height; ++y) {
            const UINT sy = std::clamp(y, y0, y1 - 1);
            const auto* source = reinterpret_cast<const DWORD*>(static_cast<const BYTE*>(from.pBits) + sy * from.Pitch);
            auto* row = reinterpret_cast<DWORD*>(static_cast<BYTE*>(to.pBits) + y * to.Pitch);
            std::fill(row, row + x0, source[x0]);
            std::copy(source + x0, source + x1, row + x0);
            std::fill(row + x1, row + ld.Width, source[x1 - 1]);
        }
        copy.texture->UnlockRect(level);
        pPicture->UnlockRect(level);
    }
    copy.serial = serial;
    copy.layout = l;
    return copy.texture;
}
