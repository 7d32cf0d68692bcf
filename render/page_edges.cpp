// The page block's paper edges as the preview's texture, with their mip levels.
#include <algorithm>
#include <cmath>
#include <vector>

#include "book_cover.h"
#include "box_renderer.h"
#include "page_edge_image.h"

IDirect3DTexture9* BoxRenderer::PaperTexture(bool bAcross, int paper)
{
    IDirect3DDevice9* pDevice = m_pDevice;
    paper = std::clamp(paper, 0, kPaperCount - 1);
    ComPtr<IDirect3DTexture9>& texture = m_pPaperTexture[paper][bAcross ? 1 : 0];
    if (texture || !pDevice)
        return texture;
    const UINT width = bAcross ? kPageTexels : kAlongTexels, height = bAcross ? kAlongTexels : kPageTexels;
    if (FAILED(pDevice->CreateTexture(width, height, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr)))
        return nullptr;
    IDirect3DTexture9* pTexture = texture;
    const Colour edge = PaperOf(paper).edgeColour;
    std::vector<float> shades = PageEdgeShades();
    for (UINT level = 0; level < pTexture->GetLevelCount(); ++level) {
        D3DSURFACE_DESC desc = {};
        D3DLOCKED_RECT locked;
        pTexture->GetLevelDesc(level, &desc);
        if (FAILED(pTexture->LockRect(level, &locked, nullptr, 0)))
            break;
        for (UINT y = 0; y < desc.Height; ++y) {
            auto* row = reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch);
            for (UINT x = 0; x < desc.Width; ++x) {
                row[x] = PaperTexel(edge, shades[std::min<size_t>(bAcross ? x : y, shades.size() - 1)]);
            }
        }
        pTexture->UnlockRect(level);
        // The next level: each two pages averaged into one.
        std::vector<float> half(std::max<size_t>(1, shades.size() / 2));
        for (size_t i = 0; i < half.size(); ++i)
            half[i] = shades.size() > 1 ? (shades[2 * i] + shades[2 * i + 1]) / 2 : shades[0];
        shades.swap(half);
    }
    return pTexture;
}
