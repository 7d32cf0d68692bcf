// A book's cover as it is drawn: the cover picture with what lies outside the trim (the
// bleed, a case wrap's turn-ins) replaced by the trim's own edge before its mip levels are
// made. Seen small or at a slant the texture is read from a smaller level, whose edge texels
// then hold only the cover's colours, never the bleed's.
#include <algorithm>
#include <cmath>

#include "box_renderer.h"
#include "book_cover.h"
#include "face_textures.h"

namespace {

DecodedImage InsideTheTrim(const DecodedImage& picture, const CoverLayout& l)
{
    DecodedImage out;
    unsigned x0, x1, y0, y1;
    TexelsInside(l.back[0], l.front[1], picture.width, &x0, &x1);
    TexelsInside(l.top, l.bottom, picture.height, &y0, &y1);
    if (x0 >= x1 || y0 >= y1)
        return out;
    out.width = picture.width, out.height = picture.height;
    out.pixels.resize(picture.pixels.size());
    for (unsigned y = 0; y < picture.height; ++y) {
        const uint32_t* source = &picture.pixels[static_cast<size_t>(std::clamp(y, y0, y1 - 1)) * picture.width];
        uint32_t* row = &out.pixels[static_cast<size_t>(y) * picture.width];
        std::fill(row, row + x0, source[x0]);
        std::copy(source + x0, source + x1, row + x0);
        std::fill(row + x1, row + picture.width, source[x1 - 1]);
    }
    return out;
}

} // namespace

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
    const ShapeSpec* pSpec = FrameSpecOf(product);
    if (!pSpec || !pSpec->bCover || !cover || product < 0 || product >= kMaxProducts)
        return m_faceTextures.For(m_pDevice, cover);
    CoverCopy& copy = m_coverCopies[product];
    const unsigned long long serial = cover->serial;
    if (copy.texture && serial == copy.serial && pSpec->cover == copy.layout)
        return copy.texture;
    copy.texture.Reset();
    const DecodedImage inside = InsideTheTrim(cover->pixels, pSpec->cover);
    if (inside.pixels.empty() || FAILED(CreateMippedTexture(m_pDevice, inside, &copy.texture)))
        return m_faceTextures.For(m_pDevice, cover);  // no memory for the copy: the picture as it is
    copy.serial = serial;
    copy.layout = pSpec->cover;
    return copy.texture;
}
