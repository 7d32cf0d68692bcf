// A set's products on the floor: where each arrangement places them, worked out from the
// mesh the renderer is given.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "arrangements.h"
#include "scene_values.h"
#include "shape_kinds.h"
#include "slipcase_shape.h"
#include "stage_layout.h"

namespace {

struct Scene : BoxScene {
    // Paperbacks of these page counts (the first is the scene's own).
    Scene(int arrange, std::initializer_list<int> pages)
    {
        SetStartScene(*this);
        m_nShape = ShapePaperback;
        m_nArrange = arrange;
        m_nPages = *pages.begin();
        for (const int* pCount = pages.begin() + 1; pCount != pages.end(); ++pCount) {
            const int count = *pCount;
            SceneProduct p;
            p.values.resize(kSceneValueCount);
            ProductValuesOf(*this, 0, p.values.data());
            p.values[kValuePages] = count;
            p.values[kValueTrimWidth] = 5000 + count;  // each its own size
            m_products.push_back(p);
        }
    }
    void RefreshPages() override {}
};

struct Extent {
    float lo[3] = {1e30f, 1e30f, 1e30f}, hi[3] = {-1e30f, -1e30f, -1e30f};
};

// Each product's extent, from the vertices of the set's mesh.
std::vector<Extent> Extents(const StageLayout& stage)
{
    const ShapeMesh mesh = StageMesh(stage);
    std::vector<Extent> extents(stage.products.size());
    for (const ShapeMesh::Part& part : mesh.parts)
        for (unsigned i = part.firstIndex; i < part.firstIndex + 3 * part.triangleCount; ++i) {
            const BoxVertex& v = mesh.vertices[mesh.indices[i]];
            Extent& e = extents[static_cast<size_t>(part.product)];
            const float p[3] = {v.x, v.y, v.z};
            for (int a = 0; a < 3; ++a)
                e.lo[a] = std::min(e.lo[a], p[a]), e.hi[a] = std::max(e.hi[a], p[a]);
        }
    return extents;
}

constexpr float kTouch = 1e-3f;

} // namespace

TEST(Stage, OneProductStandsWhereItAlwaysStood)
{
    Scene scene(ArrangeRow, {300});
    const StageLayout stage = SceneStage(scene);
    ASSERT_EQ(stage.products.size(), 1u);
    const ShapeMesh set = StageMesh(stage), own = ShapeOf(ShapePaperback).pfnBuild(stage.products[0].spec);
    ASSERT_EQ(set.vertices.size(), own.vertices.size());
    for (size_t i = 0; i < own.vertices.size(); ++i)
        ASSERT_EQ(std::memcmp(&set.vertices[i], &own.vertices[i], sizeof(BoxVertex)), 0) << "vertex " << i;
}

TEST(Stage, ARowAndAFanStandOnTheFloorLeftToRightWithoutTouching)
{
    for (int arrange : {ArrangeRow, ArrangeFan}) {
        Scene scene(arrange, {300, 120, 700, 40});
        scene.m_nStagger = 8;
        const StageLayout stage = SceneStage(scene);
        const std::vector<Extent> e = Extents(stage);
        ASSERT_EQ(e.size(), 4u);
        const float floorY = stage.size[1] * 0.5f;
        for (size_t k = 0; k < e.size(); ++k) {
            EXPECT_NEAR(e[k].hi[1], floorY, kTouch) << "arrangement " << arrange << ", product " << k << " on the floor";
            if (k == 0)
                continue;
            EXPECT_GT(e[k].lo[0] + e[k].hi[0], e[k - 1].lo[0] + e[k - 1].hi[0]) << "left to right in their order";
        }
    }
    // Side by side in a row: the footprints apart by the gap.
    Scene row(ArrangeRow, {300, 120, 700});
    const std::vector<Extent> e = Extents(SceneStage(row));
    for (size_t k = 1; k < e.size(); ++k)
        EXPECT_NEAR(e[k].lo[0] - e[k - 1].hi[0], row.m_nGap * 0.1f, kTouch);
}

TEST(Stage, AFansProductsNeverMeetWhateverTheSpread)
{
    for (int spread : {1, 12, 45}) {
        Scene scene(ArrangeFan, {300, 300, 300, 300, 300});
        scene.m_nSpread = spread, scene.m_nGap = 0;
        const StageLayout stage = SceneStage(scene);
        // Neighbours' front corners, nearest to each other on the arc, stay apart.
        for (size_t k = 1; k < stage.products.size(); ++k) {
            const PlacedProduct &a = stage.products[k - 1], &b = stage.products[k];
            const Vec3 aCorner = a.Place({a.spec.size[0] * 0.5f, 0, -a.spec.size[2] * 0.5f});
            const Vec3 bCorner = b.Place({-b.spec.size[0] * 0.5f, 0, -b.spec.size[2] * 0.5f});
            EXPECT_GE(bCorner.x - aCorner.x, -kTouch) << "spread " << spread << ", products " << k - 1 << " and " << k;
        }
    }
}

TEST(Stage, AStackLiesEachBookOnTheOneBelowTheSameForTheSameSeed)
{
    Scene scene(ArrangeStack, {300, 120, 700});
    const StageLayout stage = SceneStage(scene);
    const std::vector<Extent> e = Extents(stage);
    EXPECT_NEAR(e[0].hi[1], stage.size[1] * 0.5f, kTouch) << "the first lies on the floor";
    for (size_t k = 1; k < e.size(); ++k) {
        EXPECT_NEAR(e[k].hi[1], e[k - 1].lo[1], kTouch) << "product " << k << " lies on the one below (y is down)";
        const float thickness = stage.products[k].spec.size[2];
        EXPECT_NEAR(e[k].hi[1] - e[k].lo[1], thickness, kTouch) << "lying flat";
    }
    EXPECT_TRUE(SceneStage(scene) == stage);
    scene.m_nSeed = 2;
    EXPECT_FALSE(SceneStage(scene) == stage) << "another seed, another stack";
}

TEST(Stage, AChosenProductHeldInTheScenesOwnPlaceKeepsItsPlaceInTheSet)
{
    Scene scene(ArrangeRow, {300, 120, 700});
    const StageLayout before = SceneStage(scene);
    // The third held where the first was, and the first in its place: the window's choice.
    for (const SceneValue& v : g_sceneValues)
        if (v.bProduct)
            std::swap(scene.*v.pField, scene.m_products[1].values[static_cast<size_t>(&v - g_sceneValues)]);
    scene.m_nChosenProduct = 2;
    EXPECT_TRUE(SceneStage(scene) == before) << "the same set, in the same order";
    int values[kSceneValueCount];
    ProductValuesOf(scene, 2, values);
    EXPECT_EQ(values[kValuePages], 700);
    ProductValuesOf(scene, 0, values);
    EXPECT_EQ(values[kValuePages], 300);
}

TEST(Stage, APhoneLyingOnAnOpenBookRestsOnItsPagesItsScreenUp)
{
    Scene scene(ArrangeStack, {300, 300});
    scene.m_nShape = ShapeOpenBook;
    scene.m_products[0].values[kValueShape] = ShapePhone;
    scene.m_products[0].values[kValuePose] = PoseFlat;
    const StageLayout stage = SceneStage(scene);
    const std::vector<Extent> e = Extents(stage);
    EXPECT_NEAR(e[0].hi[1], stage.size[1] * 0.5f, kTouch) << "the book lies on the floor, as it lies";
    EXPECT_NEAR(e[0].hi[1] - e[0].lo[1], stage.products[0].spec.size[1], kTouch) << "open, not laid on its side";
    EXPECT_NEAR(e[1].hi[1], e[0].lo[1], kTouch) << "the phone on the book";
    EXPECT_GT(e[1].lo[0], e[0].lo[0]);
    EXPECT_LT(e[1].hi[0], e[0].hi[0]) << "within the book's width";
    const ShapeMesh mesh = StageMesh(stage);
    for (const ShapeMesh::Part& part : mesh.parts)
        if (part.slot == SideScreen)
            EXPECT_LT(mesh.vertices[mesh.indices[part.firstIndex]].ny, -0.99f) << "the screen looks up";
}

TEST(Stage, TwelveOfEveryShapeAreAllInTheSetsMesh)
{
    for (int shape = 0; shape < kShapeCount; ++shape) {
        Scene scene(ArrangeRow, {300, 300, 300, 300, 300, 300, 300, 300, 300, 300, 300, 300});
        scene.m_nEdgeRadius = 20;  // a rounded box has the most vertices
        for (SceneProduct& p : scene.m_products)
            p.values[kValueShape] = shape, p.values[kValueEdgeRadius] = 20;
        scene.m_nShape = shape;
        const std::vector<Extent> e = Extents(SceneStage(scene));
        ASSERT_EQ(e.size(), 12u);
        for (size_t k = 0; k < e.size(); ++k)
            EXPECT_LT(e[k].lo[0], e[k].hi[0]) << "shape " << shape << ": product " << k << " is drawn";
    }
}

TEST(Stage, ABoxSetsBooksStandInsideTheirSlipcaseOnItsFloorOnePulledOut)
{
    Scene scene(ArrangeBoxSet, {300, 120, 700, 300});
    scene.m_products.back().values[kValueShape] = ShapeSlipcase;
    scene.m_nPull = 50, scene.m_nPulled = 2;
    const StageLayout stage = SceneStage(scene);
    const std::vector<Extent> e = Extents(stage);
    const Extent& slipcase = e.back();
    EXPECT_NEAR(slipcase.hi[1], stage.size[1] * 0.5f, kTouch) << "the slipcase stands on the floor";
    for (size_t k = 0; k + 1 < e.size(); ++k) {
        EXPECT_NEAR(e[k].hi[1], slipcase.hi[1] - kSlipcaseBoard, kTouch) << "book " << k << " on the case's floor";
        EXPECT_GT(e[k].lo[0], slipcase.lo[0] + kSlipcaseBoard - kTouch) << "book " << k << " between its sides";
        EXPECT_LT(e[k].hi[0], slipcase.hi[0] - kSlipcaseBoard + kTouch);
        EXPECT_LT(e[k].hi[2], slipcase.hi[2] - kSlipcaseBoard + kTouch) << "short of its closed end";
        if (k)
            EXPECT_GE(e[k].lo[0], e[k - 1].hi[0] - kTouch) << "books " << k - 1 << " and " << k << " apart";
        // The spines at the open end, the second book half its width out.
        const float out = slipcase.lo[2] - e[k].lo[2];
        EXPECT_NEAR(out, k == 1 ? 0.5f * stage.products[k].spec.size[0] : 0.0f, 0.05f) << "book " << k;
    }
}

TEST(Stage, TheLastOfALeanRestsOnTheFloorAndOnTheOneBeforeItWithoutEnteringIt)
{
    for (int angle : {5, 15, 40}) {
        Scene scene(ArrangeLean, {300, 120, 700});
        scene.m_nLeanAngle = angle;
        scene.m_products[0].values[kValueTrimHeight] = 5000;  // a short one to lean on, at 40 degrees
        const StageLayout stage = SceneStage(scene);
        const std::vector<Extent> e = Extents(stage);
        const ShapeMesh mesh = StageMesh(stage);
        const float floorY = stage.size[1] * 0.5f;
        EXPECT_NEAR(e[2].hi[1], floorY, kTouch) << angle << " degrees: it stands on the floor";
        const Extent& below = e[1];
        // How close it comes to the one before at that one's top (edges crossing its height),
        // and below it (corners lower down).
        const float top = below.lo[1];
        float nearest = 1e30f;
        for (const ShapeMesh::Part& part : mesh.parts)
            for (unsigned t = part.firstIndex; part.product == 2 && t < part.firstIndex + 3 * part.triangleCount; t += 3)
                for (int k = 0; k < 3; ++k) {
                    const BoxVertex& a = mesh.vertices[mesh.indices[t + k]];
                    const BoxVertex& b = mesh.vertices[mesh.indices[t + (k + 1) % 3]];
                    if (a.y >= top)
                        nearest = std::min(nearest, a.x - below.hi[0]);
                    if ((a.y - top) * (b.y - top) < 0)
                        nearest = std::min(nearest, a.x + (b.x - a.x) * (top - a.y) / (b.y - a.y) - below.hi[0]);
                }
        EXPECT_GE(nearest, -kTouch) << angle << " degrees: it does not enter the one before";
        EXPECT_LT(nearest, 0.05f) << angle << " degrees: it touches it";
    }
}

TEST(Stage, FreeStandsEachWhereItsOwnValuesSay)
{
    Scene scene(ArrangeFree, {300, 300});
    scene.m_products[0].values[kValuePlaceX] = 80, scene.m_products[0].values[kValuePlaceZ] = -30;
    scene.m_products[0].values[kValueTurn] = 90;
    const StageLayout stage = SceneStage(scene);
    const PlacedProduct &first = stage.products[0], &second = stage.products[1];
    EXPECT_NEAR(second.at.x - first.at.x, 8.0f, kTouch);
    EXPECT_NEAR(second.at.z - first.at.z, -3.0f, kTouch);
    const Vec3 front = second.Turn({0, 0, -1});
    EXPECT_NEAR(front.x, -1.0f, kTouch) << "turned a quarter clockwise seen from above, its front faces left";
}

TEST(Stage, TheContactShadowLiesUnderEachProductOnTheFloorTurnedWithIt)
{
    Scene stack(ArrangeStack, {300, 120, 700});
    StageLayout stage = SceneStage(stack);
    std::vector<ShadowFootprint> f = ShadowFootprints(stage, StageShape(stage), 1.0f, 0.1f);
    ASSERT_EQ(f.size(), 1u) << "only the bottom of a stack stands on the floor";
    EXPECT_NEAR(f[0].right - f[0].left, stage.products[0].spec.size[0], kTouch);
    EXPECT_NEAR(f[0].back - f[0].front, stage.products[0].spec.size[1], kTouch) << "lying: its height runs away";

    Scene free(ArrangeFree, {300, 300});
    free.m_products[0].values[kValuePlaceX] = 120, free.m_products[0].values[kValueTurn] = 30;
    stage = SceneStage(free);
    f = ShadowFootprints(stage, StageShape(stage), 1.0f, 0.1f);
    ASSERT_EQ(f.size(), 2u);
    const PlacedProduct& turned = stage.products[1];
    const Vec3 side = turned.Turn({1, 0, 0});
    EXPECT_NEAR(f[1].axis[0], side.x, kTouch);
    EXPECT_NEAR(f[1].axis[1], side.z, kTouch);
    EXPECT_NEAR(f[1].right - f[1].left, turned.spec.size[0], kTouch) << "its own width, not the set's";
    EXPECT_NEAR(f[1].back - f[1].front, turned.spec.size[2], kTouch);
    EXPECT_NEAR(f[1].centre[0], turned.at.x, kTouch);
    EXPECT_NEAR(f[1].sigma, 0.1f * (turned.spec.size[0] + turned.spec.size[2]) / 2, kTouch);

    Scene one(ArrangeRow, {300});
    stage = SceneStage(one);
    f = ShadowFootprints(stage, StageShape(stage), 0.7f, 0.1f);
    ASSERT_EQ(f.size(), 1u);
    EXPECT_EQ(f[0].sigma, 0.7f) << "a single product's blur as it always was";
}
