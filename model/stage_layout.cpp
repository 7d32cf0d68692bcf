#include "stage_layout.h"

#include <algorithm>
#include <cmath>
#include <tuple>

#include "arrangements.h"
#include "scene_shape.h"
#include "scene_values.h"
#include "shape_kinds.h"
#include "slipcase_shape.h"

namespace {

constexpr float kDegToRad = 3.14159265f / 180.0f;
// What a book in a slipcase has round it: room to slide.
constexpr float kBookClearance = 0.02f;

// The same small numbers for the same seed: a stack does not change between frames.
struct SeededNumbers {
    unsigned state;
    explicit SeededNumbers(int seed) : state(static_cast<unsigned>(seed) * 2654435761u + 12345u) {}
    float Next()  // -1..1
    {
        state = state * 1664525u + 1013904223u;
        return static_cast<float>(state >> 8) / static_cast<float>(1u << 23) - 1.0f;
    }
};

// Its extent along x, y and z as it is laid down and turned.
void PlacedBounds(const PlacedProduct& p, Vec3* pLo, Vec3* pHi)
{
    *pLo = {1e30f, 1e30f, 1e30f};
    *pHi = {-1e30f, -1e30f, -1e30f};
    for (float sx : {-0.5f, 0.5f})
        for (float sy : {-0.5f, 0.5f})
            for (float sz : {-0.5f, 0.5f}) {
                const Vec3 q = p.Place({sx * p.spec.size[0], sy * p.spec.size[1], sz * p.spec.size[2]});
                *pLo = {std::min(pLo->x, q.x), std::min(pLo->y, q.y), std::min(pLo->z, q.z)};
                *pHi = {std::max(pHi->x, q.x), std::max(pHi->y, q.y), std::max(pHi->z, q.z)};
            }
}

// Side by side, fronts to the camera, left to right in their order; each further back by
// the stagger.
void PlaceRow(const int* values, std::vector<PlacedProduct>& products)
{
    const float gap = static_cast<float>(values[kValueGap]) * 0.1f;
    const float stagger = static_cast<float>(values[kValueStagger]) * 0.1f;
    float x = 0;
    for (size_t k = 0; k < products.size(); ++k) {
        PlacedProduct& p = products[k];
        p.at = {x + p.spec.size[0] * 0.5f, -p.spec.size[1] * 0.5f, stagger * static_cast<float>(k)};
        x += p.spec.size[0] + gap;
    }
}

// Standing on an arc round a point in front of them, each facing it, like cards spread from
// the hand: the outer ones come forward and turn in, neighbours a spread apart and at least
// the gap apart where they come closest.
void PlaceFan(const int* values, std::vector<PlacedProduct>& products)
{
    const float step = static_cast<float>(values[kValueSpread]) * kDegToRad;
    if (step <= 0) {
        PlaceRow(values, products);
        return;
    }
    float widest = 0, deepest = 0;
    for (const PlacedProduct& p : products) {
        widest = std::max(widest, p.spec.size[0]);
        deepest = std::max(deepest, p.spec.size[2]);
    }
    const float gap = static_cast<float>(values[kValueGap]) * 0.1f;
    const float radius = (widest + gap) / (2.0f * std::sin(step * 0.5f)) + deepest * 0.5f;
    const float middle = 0.5f * static_cast<float>(products.size() - 1);
    for (size_t k = 0; k < products.size(); ++k) {
        PlacedProduct& p = products[k];
        const float angle = (static_cast<float>(k) - middle) * step;
        p.turn = -angle;  // its front toward the point
        p.at = {radius * std::sin(angle), -p.spec.size[1] * 0.5f, radius * (std::cos(angle) - 1.0f)};
    }
}

// Lying one on another, the first at the bottom, spines toward the camera (what lies flat of
// itself as it lies), each a little twisted and moved as the seed says.
void PlaceStack(const int* values, std::vector<PlacedProduct>& products)
{
    SeededNumbers numbers(values[kValueSeed]);
    float top = 0;  // y down: the floor at 0
    for (PlacedProduct& p : products) {
        // What already lies flat (an open book, a device on its back) stays as it lies,
        // facing the camera; the rest is laid down, spine toward it.
        const bool bFlat = p.spec.shape == ShapeOpenBook ||
                           (ShapeOf(p.spec.shape).ownPicture == SideScreen && p.spec.values[kValuePose] == PoseFlat);
        p.bLying = !bFlat;
        p.turn = (bFlat ? 0.0f : 90.0f * kDegToRad) + 4.0f * kDegToRad * numbers.Next();
        const float high = bFlat ? p.spec.size[1] : p.spec.size[2];
        const float reach = 0.04f * std::min(p.spec.size[0], bFlat ? p.spec.size[2] : p.spec.size[1]);
        p.at = {reach * numbers.Next(), top - high * 0.5f, reach * numbers.Next()};
        top -= high;
    }
}

// Books standing side by side spines out (toward the camera's start), in the set's slipcase
// when one of its products is one: the case made to hold them, its open end where the
// spines are, each book on its floor; one pulled part-way out as the stage says.
void PlaceBoxSet(const int* values, std::vector<PlacedProduct>& products)
{
    PlacedProduct* pCase = nullptr;
    float across = 0, high = 0, deep = 0;  // what the books take inside
    for (PlacedProduct& p : products) {
        if (p.spec.shape == ShapeSlipcase && !pCase) {
            pCase = &p;
            continue;
        }
        across += p.spec.size[2] + kBookClearance;
        high = std::max(high, p.spec.size[1]);
        deep = std::max(deep, p.spec.size[0]);
    }
    const float board = pCase ? kSlipcaseBoard : 0.0f;
    const float caseWidth = across + 2 * board, caseHeight = high + kBookClearance + 2 * board;
    const float caseDepth = deep + kBookClearance + board;
    float x = -0.5f * across;
    int book = 0;
    for (PlacedProduct& p : products) {
        if (&p == pCase)
            continue;
        ++book;
        const float pulled = book == values[kValuePulled] ? values[kValuePull] / 100.0f * p.spec.size[0] : 0.0f;
        p.turn = 90.0f * kDegToRad;  // the spine (-x) to the front (-z)
        p.at = {x + 0.5f * (p.spec.size[2] + kBookClearance), -board - 0.5f * p.spec.size[1],
                -0.5f * caseDepth + 0.5f * p.spec.size[0] - pulled};
        x += p.spec.size[2] + kBookClearance;
    }
    if (pCase) {
        pCase->spec.size[0] = caseWidth, pCase->spec.size[1] = caseHeight, pCase->spec.size[2] = caseDepth;
        pCase->at = {0, -0.5f * caseHeight, 0};
    }
}

// A row, the last leaning to the left on the one before it: standing on its bottom's left
// corner, its left edge on that one's top corner (or its own top corner on that one's side).
void PlaceLean(const int* values, std::vector<PlacedProduct>& products)
{
    PlaceRow(values, products);
    if (products.size() < 2)
        return;
    PlacedProduct& leaning = products.back();
    const PlacedProduct& below = products[products.size() - 2];
    const float angle = static_cast<float>(values[kValueLeanAngle]) * kDegToRad;
    const float w = leaning.spec.size[0], h = leaning.spec.size[1];
    const float edge = below.at.x + 0.5f * below.spec.size[0], height = below.spec.size[1];
    const float foot = edge + std::tan(angle) * std::min(height, h * std::cos(angle));  // its bottom-left corner
    leaning.tilt = angle;
    leaning.at.x = foot + 0.5f * w * std::cos(angle) - 0.5f * h * std::sin(angle);
    leaning.at.y = -(0.5f * w * std::sin(angle) + 0.5f * h * std::cos(angle));
}

// Each where its own place and turn say, standing on the floor.
void PlaceFree(const std::vector<StageProduct>& own, std::vector<PlacedProduct>& products)
{
    for (size_t k = 0; k < products.size(); ++k) {
        PlacedProduct& p = products[k];
        p.turn = -static_cast<float>(own[k].turn) * kDegToRad;
        p.at = {static_cast<float>(own[k].placeX) * 0.1f, -0.5f * p.spec.size[1], static_cast<float>(own[k].placeZ) * 0.1f};
    }
}

} // namespace

Vec3 PlacedProduct::Turn(const Vec3& n) const
{
    // Laid on its back: its front (-z) turns up (-y), its head (-y) away (+z).
    Vec3 laid = bLying ? Vec3{n.x, n.z, -n.y} : n;
    if (tilt != 0) {
        const float ct = std::cos(tilt), st = std::sin(tilt);
        laid = {laid.x * ct + laid.y * st, -laid.x * st + laid.y * ct, laid.z};
    }
    const float c = std::cos(turn), s = std::sin(turn);
    return {laid.x * c - laid.z * s, laid.y, laid.x * s + laid.z * c};
}

Vec3 PlacedProduct::Place(const Vec3& p) const
{
    const Vec3 t = Turn(p);
    return {t.x + at.x, t.y + at.y, t.z + at.z};
}

void ProductValuesOf(const BoxScene& scene, int k, int* values)
{
    SceneValuesOf(scene, values);
    const int held = StoredProduct(scene, k);
    if (held == 0)
        return;
    const std::vector<int>& own = scene.m_products[static_cast<size_t>(held - 1)].values;
    for (int i = 0; i < kSceneValueCount && i < static_cast<int>(own.size()); ++i)
        if (g_sceneValues[i].bProduct)
            values[i] = own[i];
}

ShapeSpec ProductShape(const BoxScene& scene, int k, std::wstring* pNote, std::wstring* pRefusal)
{
    if (StoredProduct(scene, k) == 0)
        return SceneShape(scene, pNote, pRefusal);
    int values[kSceneValueCount];
    ProductValuesOf(scene, k, values);
    const ScenePicture* pCover = PicturesOf(scene, k)[SideCover].get();
    return ShapeSpecOf(values, pCover ? pCover->width : 0, pCover ? pCover->height : 0, pNote, pRefusal);
}

StageLayout PlaceProducts(const int* values, const std::vector<StageProduct>& products)
{
    StageLayout stage;
    for (size_t k = 0; k < products.size(); ++k) {
        PlacedProduct p;
        p.product = static_cast<int>(k);
        p.spec = products[k].spec;
        stage.products.push_back(p);
    }
    if (!stage.IsSet()) {
        std::copy(std::begin(stage.products[0].spec.size), std::end(stage.products[0].spec.size), stage.size);
        return stage;
    }
    switch (values[kValueArrange]) {
    case ArrangeStack: PlaceStack(values, stage.products); break;
    case ArrangeFan: PlaceFan(values, stage.products); break;
    case ArrangeBoxSet: PlaceBoxSet(values, stage.products); break;
    case ArrangeLean: PlaceLean(values, stage.products); break;
    case ArrangeFree: PlaceFree(products, stage.products); break;
    default: PlaceRow(values, stage.products); break;
    }
    // Centred on the origin, as a single product is.
    Vec3 lo = {1e30f, 1e30f, 1e30f}, hi = {-1e30f, -1e30f, -1e30f};
    for (const PlacedProduct& p : stage.products) {
        Vec3 plo, phi;
        PlacedBounds(p, &plo, &phi);
        lo = {std::min(lo.x, plo.x), std::min(lo.y, plo.y), std::min(lo.z, plo.z)};
        hi = {std::max(hi.x, phi.x), std::max(hi.y, phi.y), std::max(hi.z, phi.z)};
    }
    const Vec3 mid = {(lo.x + hi.x) * 0.5f, (lo.y + hi.y) * 0.5f, (lo.z + hi.z) * 0.5f};
    for (PlacedProduct& p : stage.products)
        p.at = {p.at.x - mid.x, p.at.y - mid.y, p.at.z - mid.z};
    stage.size[0] = hi.x - lo.x;
    stage.size[1] = hi.y - lo.y;
    stage.size[2] = hi.z - lo.z;
    return stage;
}

StageLayout SceneStage(const BoxScene& scene)
{
    std::vector<StageProduct> products;
    int values[kSceneValueCount];
    for (int k = 0; k < ProductCount(scene); ++k) {
        ProductValuesOf(scene, k, values);
        products.push_back({ProductShape(scene, k), values[kValuePlaceX], values[kValuePlaceZ], values[kValueTurn]});
    }
    SceneValuesOf(scene, values);
    return PlaceProducts(values, products);
}

ShapeSpec StageShape(const StageLayout& stage)
{
    ShapeSpec shape = stage.products[0].spec;
    std::copy(std::begin(stage.size), std::end(stage.size), shape.size);
    return shape;
}

ShapeSpec StageShape(const BoxScene& scene)
{
    return StageShape(SceneStage(scene));
}

namespace {

// A set's parts in an order that puts alike parts side by side in the index list (a book's
// spine pieces, every product's page edges), each product's pictures apart: the renderer
// draws neighbours that look alike as one. A single product keeps its own order.
void GroupAlikeParts(ShapeMesh& mesh)
{
    auto key = [](const ShapeMesh::Part& p) {
        const bool bOwnPicture = p.look == PartLook::Picture || p.look == PartLook::Cover;
        return std::make_tuple(static_cast<int>(p.look), p.slot, p.tint, p.bGloss, p.bAcross,
                               bOwnPicture ? p.product : 0, p.product);
    };
    std::vector<ShapeMesh::Part> parts = mesh.parts;
    std::stable_sort(parts.begin(), parts.end(),
                     [&](const ShapeMesh::Part& a, const ShapeMesh::Part& b) { return key(a) < key(b); });
    std::vector<uint16_t> indices;
    indices.reserve(mesh.indices.size());
    for (ShapeMesh::Part& p : parts) {
        const unsigned first = static_cast<unsigned>(indices.size());
        indices.insert(indices.end(), mesh.indices.begin() + p.firstIndex,
                       mesh.indices.begin() + p.firstIndex + 3 * p.triangleCount);
        p.firstIndex = first;
    }
    mesh.parts.swap(parts);
    mesh.indices.swap(indices);
}

} // namespace

ShapeMesh StageMesh(const StageLayout& stage)
{
    ShapeMesh set;
    for (const PlacedProduct& p : stage.products) {
        ShapeMesh mesh = ShapeOf(p.spec.shape).pfnBuild(p.spec);
        const size_t base = set.vertices.size();
        const size_t firstIndex = set.indices.size();
        if (base + mesh.vertices.size() > 0xFFFF)
            break;  // indices are 16 bits: what does not fit is left out
        for (BoxVertex v : mesh.vertices) {
            const Vec3 at = p.Place({v.x, v.y, v.z});
            const Vec3 n = p.Turn({v.nx, v.ny, v.nz});
            v.x = at.x, v.y = at.y, v.z = at.z;
            v.nx = n.x, v.ny = n.y, v.nz = n.z;
            set.vertices.push_back(v);
        }
        for (uint16_t i : mesh.indices)
            set.indices.push_back(static_cast<uint16_t>(i + base));
        for (ShapeMesh::Part part : mesh.parts) {
            part.firstIndex += static_cast<unsigned>(firstIndex);
            part.product = p.product;
            set.parts.push_back(part);
        }
    }
    if (stage.IsSet())
        GroupAlikeParts(set);
    return set;
}

std::vector<ShadowFootprint> ShadowFootprints(const StageLayout& stage, const ShapeSpec& frame, float sigma, float spread)
{
    if (!stage.IsSet())
        return {{{0, 0}, {1, 0}, -frame.size[0] / 2, frame.size[0] / 2, -frame.size[2] / 2, frame.size[2] / 2, sigma}};
    // Each product that stands on the floor (not on another): its box's extent along its own
    // turned sides, seen from above.
    const float floorY = FloorY(frame);
    std::vector<ShadowFootprint> footprints;
    for (const PlacedProduct& placed : stage.products) {
        const Vec3 side = placed.Turn({1, 0, 0});
        const float length = std::hypot(side.x, side.z);
        if (length < 1e-4f)
            continue;
        ShadowFootprint f = {{placed.at.x, placed.at.z}, {side.x / length, side.z / length}, 1e9f, -1e9f, 1e9f, -1e9f, 0};
        float lowest = -1e9f;
        for (int corner = 0; corner < 8; ++corner) {
            const Vec3 p = placed.Place({(corner & 1 ? 0.5f : -0.5f) * placed.spec.size[0],
                                         (corner & 2 ? 0.5f : -0.5f) * placed.spec.size[1],
                                         (corner & 4 ? 0.5f : -0.5f) * placed.spec.size[2]});
            const float dx = p.x - f.centre[0], dz = p.z - f.centre[1];
            const float u = dx * f.axis[0] + dz * f.axis[1], v = -dx * f.axis[1] + dz * f.axis[0];
            f.left = std::min(f.left, u), f.right = std::max(f.right, u);
            f.front = std::min(f.front, v), f.back = std::max(f.back, v);
            lowest = std::max(lowest, p.y);  // y down
        }
        f.sigma = spread * (f.right - f.left + f.back - f.front) / 2;
        if (lowest > floorY - 0.01f * frame.size[1])
            footprints.push_back(f);
    }
    return footprints;
}
