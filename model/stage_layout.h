// Where each product of a scene stands: its shape, laid down and turned, moved onto the
// floor as the scene's arrangement places it, and the whole set as one mesh. A scene of one
// product is that product where it always stood, centred on the origin.
#pragma once
#include <vector>

#include "camera_math.h"
#include "shapes.h"

struct PlacedProduct {
    int product = 0;       // 0: the scene's first, k: BoxScene::m_products[k - 1]
    ShapeSpec spec;        // as built, centred on the origin
    bool bLying = false;   // laid on its back, its front up and its head away
    float tilt = 0;        // radians its head leans to the left (-x), about its front's normal
    float turn = 0;        // radians about the vertical, after it is laid down and tilted
    Vec3 at = {0, 0, 0};   // where its centre stands
    // A point of its mesh where the set places it, and a normal turned with it.
    Vec3 Place(const Vec3& p) const;
    Vec3 Turn(const Vec3& n) const;
    bool operator==(const PlacedProduct& o) const
    {
        return product == o.product && spec == o.spec && bLying == o.bLying && tilt == o.tilt && turn == o.turn &&
               at.x == o.at.x &&
               at.y == o.at.y && at.z == o.at.z;
    }
};

struct StageLayout {
    std::vector<PlacedProduct> products;
    // The whole set's bounds, centred on the origin (y down: the floor at size[1] / 2).
    float size[3] = {};
    bool IsSet() const { return products.size() > 1; }
    bool operator==(const StageLayout& o) const { return products == o.products; }
    bool operator!=(const StageLayout& o) const { return !(*this == o); }
};

// Product k's values, the stage's and its own, as g_sceneValues orders them.
void ProductValuesOf(const BoxScene& scene, int k, int* values);
// Product k's shape: its values and its cover picture.
ShapeSpec ProductShape(const BoxScene& scene, int k, std::wstring* pNote = nullptr, std::wstring* pRefusal = nullptr);
inline int ProductCount(const BoxScene& scene)
{
    return 1 + static_cast<int>(scene.m_products.size());
}
// Where product k of the set is held: 0 the scene's own fields, j m_products[j - 1] (the
// chosen product and the first change places; past the last: the fields).
inline int StoredProduct(const BoxScene& scene, int k)
{
    const int count = static_cast<int>(scene.m_products.size()), chosen = scene.m_nChosenProduct;
    if (k <= 0 || k > count)
        k = 0;
    if (chosen <= 0 || chosen > count)
        return k;
    return k == chosen ? 0 : k == 0 ? chosen : k;
}
// Product k's pictures.
inline const PictureRef (&PicturesOf(const BoxScene& scene, int k))[kPictureCount]
{
    const int held = StoredProduct(scene, k);
    return held == 0 ? scene.m_picture : scene.m_products[static_cast<size_t>(held - 1)].m_picture;
}
// Product k's colours.
inline const Colour (&ColoursOf(const BoxScene& scene, int k))[kPictureCount]
{
    const int held = StoredProduct(scene, k);
    return held == 0 ? scene.m_clrFace : scene.m_products[static_cast<size_t>(held - 1)].m_clrFace;
}

// A product as the stage takes it: its shape, and where `free` stands it (place-x and
// place-z in tenths of a unit, turn in degrees).
struct StageProduct {
    ShapeSpec spec;
    int placeX = 0, placeZ = 0, turn = 0;
};
// The products (the first the scene's own) where the stage's values (as g_sceneValues
// orders them) place them.
StageLayout PlaceProducts(const int* values, const std::vector<StageProduct>& products);
StageLayout SceneStage(const BoxScene& scene);
// What framing, the floor and the light take the scene's model to be: the first product's
// shape with the whole set's size.
ShapeSpec StageShape(const StageLayout& stage);
ShapeSpec StageShape(const BoxScene& scene);

// Every product's mesh where the set places it, its parts naming their product.
ShapeMesh StageMesh(const StageLayout& stage);

// A shadow's rectangle on the floor: its middle, its own sides' direction (x, z) and its
// extent along them.
struct ShadowFootprint {
    float centre[2];
    float axis[2];
    float left, right, front, back;
    float sigma;
};

// The contact shadow's rectangles: for one product the whole model's footprint, blurred by
// sigma; for a set each product's that stands on the floor (not on another), along its own
// turned sides, blurred by `spread` of its footprint's mean width and depth.
std::vector<ShadowFootprint> ShadowFootprints(const StageLayout& stage, const ShapeSpec& frame, float sigma, float spread);
