// An open book's spread as it is drawn: its spread picture, or, where it has none, its left
// and right page pictures put side by side (made again only when either page or the paper's
// colour changes).
#include "box_renderer.h"
#include "picture_store.h"
#include "spread_of_pages.h"

IDirect3DTexture9* BoxRenderer::SpreadTexture(int product)
{
    const PictureRef(&pictures)[kPictureCount] = PicturesOf(m_scene, product);
    if (pictures[SideSpread] || (!pictures[SideLeft] && !pictures[SideRight]) || product < 0 || product >= kMaxProducts)
        return m_faceTextures.For(m_pDevice, pictures[SideSpread]);
    const Colour paper = ColoursOf(m_scene, product)[SideSpread];
    SpreadCopy& copy = m_spreadCopies[product];
    const unsigned long long left = pictures[SideLeft] ? pictures[SideLeft]->serial : 0;
    const unsigned long long right = pictures[SideRight] ? pictures[SideRight]->serial : 0;
    if (!copy.made || copy.left != left || copy.right != right || copy.paper != paper) {
        auto made = std::make_shared<ScenePicture>();
        made->pixels = SpreadOfPages(pictures[SideLeft] ? &pictures[SideLeft]->pixels : nullptr,
                                     pictures[SideRight] ? &pictures[SideRight]->pixels : nullptr,
                                     OpaqueArgbOf(paper));
        made->width = made->pixels.width, made->height = made->pixels.height;
        made->serial = NewPictureSerial();
        copy = {left, right, paper, std::move(made)};
    }
    return m_faceTextures.For(m_pDevice, copy.made);
}
