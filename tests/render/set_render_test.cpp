// Sets on real pictures: a row's covers in their order, a stack's spines one above another,
// and one book's shadow falling on the next.
#include <algorithm>
#include <vector>

#include "arrangements.h"
#include "light_kinds.h"
#include "render_fixture.h"
#include "scene_values.h"
#include "shape_kinds.h"
#include "stage_layout.h"
#include "view_fit.h"

namespace {

constexpr UINT kWide = 480, kHigh = 360;

const Colour kRed = RGB(210, 40, 40), kGreen = RGB(40, 170, 60), kBlue = RGB(40, 70, 210);

class SetRenderTest : public RenderTest {
protected:
    void SetUp() override
    {
        RenderTest::SetUp();
        scene.m_nShape = ShapePaperback;
        FaceOn();
    }
    // Another product, a copy of the first with its own colour on one face.
    void AddProduct(int slot, Colour colour)
    {
        SceneProduct p;
        p.values.resize(kSceneValueCount);
        ProductValuesOf(scene, 0, p.values.data());
        std::copy(std::begin(scene.m_clrFace), std::end(scene.m_clrFace), std::begin(p.m_clrFace));
        p.m_clrFace[slot] = colour;
        scene.m_products.push_back(p);
    }
    void Frame()
    {
        ViewFit fit;
        ASSERT_TRUE(FitView(scene, static_cast<float>(kWide) / kHigh, 5.0f, &fit));
        scene.m_nZoom = fit.zoom, scene.m_nCentreX = fit.centreX, scene.m_nCentreY = fit.centreY;
    }
    DecodedImage Picture()
    {
        DecodedImage out;
        EXPECT_EQ(renderer.RenderPicture(kWide, kHigh, false, -1, out), S_OK);
        return out;
    }
    // The mean place of the pixels near a colour; count 0 when there are none.
    struct Blob {
        double x = 0, y = 0;
        size_t count = 0;
    };
    static Blob Find(const DecodedImage& p, Colour c)
    {
        Blob b;
        for (UINT y = 0; y < p.height; ++y)
            for (UINT x = 0; x < p.width; ++x) {
                const uint32_t v = p.pixels[y * p.width + x];
                const int r = (v >> 16) & 0xFF, g = (v >> 8) & 0xFF, bl = v & 0xFF;
                // The colour's hue: its strongest channel well above the others.
                const int want[3] = {GetRValue(c), GetGValue(c), GetBValue(c)};
                const int have[3] = {r, g, bl};
                const int top = static_cast<int>(std::max_element(want, want + 3) - want);
                bool match = true;
                for (int k = 0; k < 3; ++k)
                    if (k != top && have[top] < have[k] + 60)
                        match = false;
                if (match)
                    b.x += x, b.y += y, ++b.count;
            }
        if (b.count)
            b.x /= static_cast<double>(b.count), b.y /= static_cast<double>(b.count);
        return b;
    }
};

} // namespace

TEST_F(SetRenderTest, ARowShowsItsCoversLeftToRightInTheirOrder)
{
    scene.m_clrFace[SideFront] = kRed;
    AddProduct(SideFront, kGreen);
    AddProduct(SideFront, kBlue);
    scene.m_nArrange = ArrangeRow;
    Frame();
    const DecodedImage p = Picture();
    const Blob red = Find(p, kRed), green = Find(p, kGreen), blue = Find(p, kBlue);
    ASSERT_GT(red.count, kWide * kHigh / 20) << "each cover shows large";
    ASSERT_GT(green.count, kWide * kHigh / 20);
    ASSERT_GT(blue.count, kWide * kHigh / 20);
    EXPECT_LT(red.x, green.x);
    EXPECT_LT(green.x, blue.x);
    EXPECT_NEAR(red.y, blue.y, kHigh / 20.0) << "standing side by side";
}

TEST_F(SetRenderTest, AStackShowsItsSpinesOneAboveAnotherTheFirstAtTheBottom)
{
    scene.m_nShape = ShapeHardcover;
    scene.m_clrFace[SideLeft] = kRed;  // the spine
    AddProduct(SideLeft, kGreen);
    AddProduct(SideLeft, kBlue);
    scene.m_nArrange = ArrangeStack;
    scene.m_nRotation2 = 100;  // a little from above
    Frame();
    const DecodedImage p = Picture();
    const Blob red = Find(p, kRed), green = Find(p, kGreen), blue = Find(p, kBlue);
    ASSERT_GT(red.count, 200u) << "each spine shows";
    ASSERT_GT(green.count, 200u);
    ASSERT_GT(blue.count, 200u);
    EXPECT_GT(red.y, green.y) << "y runs down the picture";
    EXPECT_GT(green.y, blue.y);
}

TEST_F(SetRenderTest, ABookBehindAnotherTakesItsShadowFromTheKeyLight)
{
    scene.m_nLight = LightStudio;
    scene.m_nLightAzimuth = 300, scene.m_nLightElevation = 20, scene.m_nLightSize = 4;
    scene.m_nShadow = 100, scene.m_nKey = 100, scene.m_nSky = 20, scene.m_nLightSamples = 16;
    scene.m_nRotation2 = 95;
    // How much darker the right book's front is on its left half than on its right.
    // The camera as it starts, the picture's middle on the set's: where the front lies on
    // screen is worked out independently of the renderer's framing.
    auto leftOverRight = [&]() {
        const DecodedImage p = Picture();
        const StageLayout stage = SceneStage(scene);
        const PlacedProduct& book = stage.products.back();
        double halves[2] = {};
        int counts[2] = {};
        for (int i = 1; i < 20; ++i)
            for (int j = 2; j < 18; ++j) {
                const float fx = i / 20.0f, fy = j / 20.0f;
                if (fx > 0.45f && fx < 0.55f)
                    continue;
                const Vec3 w = book.Place({(fx - 0.5f) * book.spec.size[0], (fy - 0.5f) * book.spec.size[1],
                                           -0.5f * book.spec.size[2]});
                const ScreenPoint s = Project(scene, {w.x, w.y, w.z}, kWide, kHigh);
                const uint32_t v = p.pixels[static_cast<size_t>(s.y) * kWide + static_cast<size_t>(s.x)];
                halves[fx < 0.5f ? 0 : 1] += ((v >> 16) & 0xFF) + ((v >> 8) & 0xFF) + (v & 0xFF);
                ++counts[fx < 0.5f ? 0 : 1];
            }
        return (halves[0] / counts[0]) / (halves[1] / counts[1]);
    };
    scene.m_clrFace[SideFront] = RGB(230, 230, 230);
    const double alone = leftOverRight();
    AddProduct(SideFront, RGB(230, 230, 230));
    scene.m_nStagger = 20;  // the second two inches behind the first
    const double behind = leftOverRight();
    EXPECT_GT(alone, 0.9) << "alone, the front is about evenly lit";
    EXPECT_LT(behind, alone - 0.2) << "behind the first, its left half lies in that one's shadow";
}

TEST_F(SetRenderTest, ABoxSetShowsItsSlipcaseAndTheBooksSpines)
{
    scene.m_nShape = ShapeHardcover;
    scene.m_clrFace[SideLeft] = kRed;  // the spines
    AddProduct(SideLeft, kGreen);
    AddProduct(SideLeft, RGB(230, 230, 230));
    scene.m_products.back().values[kValueShape] = ShapeSlipcase;
    scene.m_products.back().m_clrFace[SideFront] = kBlue;  // the slipcase's big side
    scene.m_nArrange = ArrangeBoxSet;
    scene.m_nRotation1 = 135, scene.m_nRotation2 = 110;  // its side and its open end
    Frame();
    const DecodedImage p = Picture();
    const Blob red = Find(p, kRed), green = Find(p, kGreen), blue = Find(p, kBlue);
    EXPECT_GT(blue.count, kWide * kHigh / 20) << "the slipcase's side";
    EXPECT_GT(red.count, 500u) << "the first book's spine";
    EXPECT_GT(green.count, 500u) << "the second's";
    EXPECT_LT(red.x, green.x) << "in their order";
}

TEST_F(SetRenderTest, FromAboveARowsAndAFansProductsLieApartInTheirOrder)
{
    scene.m_nShape = ShapeBox;
    scene.m_nWidth = 60, scene.m_nHeight = 90, scene.m_nDepth = 20;
    scene.m_clrFace[SideTop] = kRed;
    AddProduct(SideTop, kGreen);
    AddProduct(SideTop, kBlue);
    scene.m_nRotation1 = 90, scene.m_nRotation2 = 179;  // looking down
    for (int arrange : {ArrangeRow, ArrangeFan}) {
        scene.m_nArrange = arrange;
        scene.m_nGap = 2;
        Frame();
        const DecodedImage p = Picture();
        // Along the row through the middle of the tops: each colour in one run, in order, with
        // something else between them.
        const Blob red = Find(p, kRed);
        ASSERT_GT(red.count, 100u) << "arrangement " << arrange;
        std::vector<int> runs;  // 0 red, 1 green, 2 blue, -1 anything else
        const UINT y = static_cast<UINT>(red.y);
        for (UINT x = 0; x < p.width; ++x) {
            const uint32_t v = p.pixels[y * p.width + x];
            const int r = (v >> 16) & 0xFF, g = (v >> 8) & 0xFF, b = v & 0xFF;
            const int kind = r > g + 60 && r > b + 60 ? 0 : g > r + 60 && g > b + 60 ? 1 : b > r + 60 && b > g + 60 ? 2 : -1;
            if (runs.empty() || runs.back() != kind)
                runs.push_back(kind);
        }
        runs.erase(std::remove(runs.begin(), runs.end(), -1), runs.end());
        EXPECT_EQ(runs, (std::vector<int>{0, 1, 2})) << "arrangement " << arrange << ": one run each, in order, apart";
    }
}

TEST_F(SetRenderTest, InTheEyesLightEachProductOnTheFloorCastsItsOwnShadow)
{
    // Two books far apart, seen from above: the floor between them is clear, before each dark.
    scene.m_nShadow = 100, scene.m_nShadowSoftness = 50;
    AddProduct(SideFront, kGreen);
    scene.m_nArrange = ArrangeFree;
    scene.m_nPlaceX = -90;
    scene.m_products.back().values[kValuePlaceX] = 90;
    scene.m_products.back().values[kValueTurn] = 30;
    scene.m_nRotation1 = 90, scene.m_nRotation2 = 179;
    Frame();
    const DecodedImage p = Picture();
    const StageLayout stage = SceneStage(scene);
    const float floorY = stage.size[1] / 2;
    auto brightness = [&](const Vec3& w) {
        const ScreenPoint s = Project(scene, {w.x, floorY, w.z}, kWide, kHigh);
        const uint32_t v = p.pixels[static_cast<size_t>(s.y) * kWide + static_cast<size_t>(s.x)];
        return static_cast<int>(((v >> 16) & 0xFF) + ((v >> 8) & 0xFF) + (v & 0xFF)) / 3;
    };
    const int between = brightness({0, 0, 0});
    EXPECT_GT(between, 245) << "nothing stands between them";
    for (const PlacedProduct& book : stage.products) {
        const Vec3 before = book.Place({0, 0, -book.spec.size[2] / 2 - 0.3f});
        EXPECT_LT(brightness(before), between - 40) << "before book " << book.product << "'s own front";
    }
}
