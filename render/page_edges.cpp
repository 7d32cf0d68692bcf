// The paper edges of a book's page block: many fine pages of the paper's colour, each a
// little lighter or darker than the next, the block a little darker toward its covers.
#include <algorithm>
#include <cmath>
#include <vector>

#include "book_cover.h"
#include "box_renderer.h"

namespace {

constexpr UINT kPageTexels = 1024;  // across the pages
constexpr UINT kAlongTexels = 4;    // along them: the same all the way

std::vector<float> PageShades()
{
    std::vector<float> shades(kPageTexels);
    unsigned int seed = 0x9E3779B9u;
    for (UINT i = 0; i < kPageTexels; ++i) {
        seed = seed * 1664525u + 1013904223u;  // a fixed sequence: every picture the same
        const float t = (static_cast<float>(i) + 0.5f) / kPageTexels;
        const float grain = 0.94f + 0.06f * static_cast<float>(seed >> 8) / static_cast<float>(1u << 24);
        const float nearCover = std::exp(-t / 0.03f) + std::exp(-(1 - t) / 0.03f);
        shades[i] = grain * (1.0f - 0.14f * nearCover);
    }
    return shades;
}

} // namespace

IDirect3DTexture9* BoxRenderer::PaperTexture(bool bAcross)
{
    IDirect3DDevice9* pDevice = m_scene.m_pDevice;
    if (m_nPaperTexture != m_scene.m_nPaper) {
        SafeRelease(m_pPaperTexture[0]);
        SafeRelease(m_pPaperTexture[1]);
        m_nPaperTexture = m_scene.m_nPaper;
    }
    IDirect3DTexture9*& pTexture = m_pPaperTexture[bAcross ? 1 : 0];
    if (pTexture || !pDevice)
        return pTexture;
    const UINT width = bAcross ? kPageTexels : kAlongTexels, height = bAcross ? kAlongTexels : kPageTexels;
    if (FAILED(pDevice->CreateTexture(width, height, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &pTexture, nullptr)))
        return nullptr;
    const COLORREF paper = PaperOf(m_scene.m_nPaper).edgeColour;
    std::vector<float> shades = PageShades();
    for (UINT level = 0; level < pTexture->GetLevelCount(); ++level) {
        D3DSURFACE_DESC desc = {};
        D3DLOCKED_RECT locked;
        pTexture->GetLevelDesc(level, &desc);
        if (FAILED(pTexture->LockRect(level, &locked, nullptr, 0)))
            break;
        for (UINT y = 0; y < desc.Height; ++y) {
            auto* row = reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch);
            for (UINT x = 0; x < desc.Width; ++x) {
                const float shade = shades[std::min<size_t>(bAcross ? x : y, shades.size() - 1)];
                auto channel = [&](BYTE c) { return static_cast<DWORD>(std::lround(std::min(255.0f, c * shade))); };
                row[x] = 0xFF000000u | channel(GetRValue(paper)) << 16 | channel(GetGValue(paper)) << 8 |
                         channel(GetBValue(paper));
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
