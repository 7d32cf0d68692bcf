// The set's products list: which product the pages edit, and adding, duplicating, removing
// and moving products. The chosen product is held in the scene's own fields (where the
// pages read and write) and the first in its place; the set's order never changes by it.
#include <algorithm>
#include <array>

#include "box_dlg.h"
#include "sides_page.h"

namespace {
// The file name alone.
std::wstring NameOf(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}
} // namespace

std::vector<std::wstring> CBoxDlg::ProductCaptions() const
{
    const SceneDescription scene = CurrentScene();
    std::vector<std::wstring> captions;
    for (int k = 0; k < ProductCount(scene); ++k) {
        const ProductDescription& p = k == 0 ? scene : scene.products[static_cast<size_t>(k - 1)];
        std::wstring caption = std::to_wstring(k + 1) + L"  " + ShapeOf(p.values[kValueShape]).pszCaption;
        // What tells it apart: its cover, else its front, spread or screen.
        for (int slot : {static_cast<int>(SideCover), static_cast<int>(SideFront), SideSpread, SideScreen})
            if (!p.facePaths[slot].empty()) {
                caption += L": " + NameOf(p.facePaths[slot]);
                break;
            }
        captions.push_back(caption);
    }
    return captions;
}

void CBoxDlg::ExchangeHeld(int k)
{
    if (k <= 0 || k > static_cast<int>(m_products.size()))
        return;
    SceneDescription held = HeldScene();
    SwapProduct(held, k);
    held.ApplyTo(*this);  // values and colours
    for (int s = 0; s < kPictureCount; ++s) {
        std::swap(m_picture[s], m_products[static_cast<size_t>(k - 1)].m_picture[s]);
        if (m_pSidesPage)
            m_pSidesPage->RestoreSide(s, held.facePaths[s].c_str(), m_picture[s]);
    }
    m_productFiles = held.products;
}

void CBoxDlg::ChooseProduct(int k)
{
    if (k < 0 || k > static_cast<int>(m_products.size()) || k == m_nChosenProduct)
        return;
    ExchangeHeld(m_nChosenProduct);  // the first back in the fields
    ExchangeHeld(k);
    m_nChosenProduct = k;
    if (m_pSidesPage)
        m_pSidesPage->ShowSideColours();
    RefreshPages();
}

void CBoxDlg::ChangeProducts(ProductChange change)
{
    int chosen = m_nChosenProduct;
    ChooseProduct(0);
    SceneDescription scene = CurrentScene();
    // Every product in the set's order, with its pictures as held now.
    std::vector<ProductDescription> all = {scene};
    all.insert(all.end(), scene.products.begin(), scene.products.end());
    std::vector<std::array<PictureRef, kPictureCount>> pictures;
    for (int k = 0; k < ProductCount(*this); ++k) {
        std::array<PictureRef, kPictureCount> p;
        std::copy(std::begin(PicturesOf(*this, k)), std::end(PicturesOf(*this, k)), p.begin());
        pictures.push_back(p);
    }
    const size_t at = static_cast<size_t>(chosen);
    switch (change) {
    case ProductChange::Add:
    case ProductChange::Duplicate:
        if (all.size() >= static_cast<size_t>(kMaxProducts))
            break;
        all.insert(all.begin() + static_cast<long>(at) + 1, all[at]);
        pictures.insert(pictures.begin() + static_cast<long>(at) + 1, pictures[at]);
        if (change == ProductChange::Add) {  // the same shape and size, its own pictures to come
            ProductDescription& added = all[at + 1];
            for (int s = 0; s < kPictureCount; ++s) {
                added.facePaths[s].clear();
                added.faceColours[s] = DefaultFaceColour(s);
            }
            pictures[at + 1] = {};
        }
        chosen += 1;
        break;
    case ProductChange::Remove:
        if (all.size() <= 1)
            break;
        all.erase(all.begin() + static_cast<long>(at));
        pictures.erase(pictures.begin() + static_cast<long>(at));
        chosen = std::min(chosen, static_cast<int>(all.size()) - 1);
        break;
    case ProductChange::MoveUp:
    case ProductChange::MoveDown: {
        const int to = chosen + (change == ProductChange::MoveUp ? -1 : 1);
        if (to < 0 || to >= static_cast<int>(all.size()))
            break;
        std::swap(all[at], all[static_cast<size_t>(to)]);
        std::swap(pictures[at], pictures[static_cast<size_t>(to)]);
        chosen = to;
        break;
    }
    }
    // The stage's values stay the scene's whichever product is now first.
    for (int i = 0; i < kSceneValueCount; ++i)
        if (!g_sceneValues[i].bProduct)
            all[0].values[i] = scene.values[i];
    static_cast<ProductDescription&>(scene) = all[0];
    scene.products.assign(all.begin() + 1, all.end());
    scene.ApplyTo(*this);
    for (int s = 0; s < kPictureCount; ++s)
        if (m_pSidesPage)
            m_pSidesPage->RestoreSide(s, scene.facePaths[s].c_str(), pictures[0][static_cast<size_t>(s)]);
    for (size_t k = 1; k < pictures.size(); ++k)
        for (int s = 0; s < kPictureCount; ++s)
            m_products[k - 1].m_picture[s] = pictures[k][static_cast<size_t>(s)];
    m_productFiles = scene.products;
    ChooseProduct(chosen);
    if (m_pSidesPage)
        m_pSidesPage->ShowSideColours();
    RefreshPages();
}
