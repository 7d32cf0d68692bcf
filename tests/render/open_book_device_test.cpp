// An open book and the reading devices on real pictures: a spread's halves on their sides
// of a darker gutter, its squares kept square; a screen's picture inside its frame with
// rounded corners, bars of the screen's colour round a contained picture, an e-reader's greys.
#include <algorithm>
#include <memory>
#include <vector>

#include "light_kinds.h"
#include "picture_store.h"
#include "render_fixture.h"
#include "scene_values.h"
#include "shape_kinds.h"
#include "view_fit.h"

namespace {

constexpr UINT kWide = 480, kHigh = 480;  // square

// A picture made here, as the store would hold it.
PictureRef MakePicture(unsigned width, unsigned height, uint32_t (*pfnAt)(unsigned x, unsigned y, unsigned w, unsigned h))
{
    auto p = std::make_shared<ScenePicture>();
    p->width = p->pixels.width = width;
    p->height = p->pixels.height = height;
    p->pixels.pixels.resize(static_cast<size_t>(width) * height);
    for (unsigned y = 0; y < height; ++y)
        for (unsigned x = 0; x < width; ++x)
            p->pixels.pixels[static_cast<size_t>(y) * width + x] = pfnAt(x, y, width, height);
    p->serial = NewPictureSerial();
    return p;
}

struct Rgb {
    int r, g, b;
    int Sum() const { return r + g + b; }
};
Rgb At(const DecodedImage& p, int x, int y)
{
    const uint32_t v = p.pixels[static_cast<size_t>(y) * p.width + static_cast<size_t>(x)];
    return {static_cast<int>((v >> 16) & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>(v & 0xFF)};
}
bool IsGreen(Rgb c)
{
    return c.g > c.r + 60 && c.g > c.b + 60;
}

class OpenBookDeviceTest : public RenderTest {
protected:
    // The light books and devices are chosen in.
    void Studio()
    {
        scene.m_nLight = LightStudio;
        scene.m_nKey = 100, scene.m_nSky = 50, scene.m_nLightSamples = 4;
        scene.m_nLightAzimuth = 40, scene.m_nLightElevation = 50, scene.m_nLightSize = 12;
    }
    DecodedImage Picture(UINT side = kWide)
    {
        ViewFit fit;
        EXPECT_TRUE(FitView(scene, 1.0f, 5.0f, &fit));
        scene.m_nZoom = fit.zoom, scene.m_nCentreX = fit.centreX, scene.m_nCentreY = fit.centreY;
        DecodedImage out;
        EXPECT_EQ(renderer.RenderPicture(side, side, false, -1, out), S_OK);
        return out;
    }
    // Red on the left page, blue on the right, the gutter between them darker than either.
    void ExpectHalvesAroundADarkerGutter(const DecodedImage& p);
    // The smallest rectangle round the pixels that pass the test: left, top, right, bottom.
    template <typename Test>
    static std::vector<int> Bounds(const DecodedImage& p, Test test)
    {
        std::vector<int> b = {static_cast<int>(p.width), static_cast<int>(p.height), -1, -1};
        for (int y = 0; y < static_cast<int>(p.height); ++y)
            for (int x = 0; x < static_cast<int>(p.width); ++x)
                if (test(At(p, x, y)))
                    b = {std::min(b[0], x), std::min(b[1], y), std::max(b[2], x), std::max(b[3], y)};
        return b;
    }
};

// Red on the left page, blue on the right: each half of a 6 x 9 in spread with its bleed.
uint32_t Halves(unsigned x, unsigned, unsigned w, unsigned)
{
    return x < w / 2 ? 0xFFD22828u : 0xFF2846D2u;
}

uint32_t Red(unsigned, unsigned, unsigned, unsigned)
{
    return 0xFFD22828u;
}
uint32_t Blue(unsigned, unsigned, unsigned, unsigned)
{
    return 0xFF2846D2u;
}

TEST_F(OpenBookDeviceTest, ASpreadLiesEachHalfOnItsSideOfAGutterDarkerThanThePages)
{
    scene.m_nShape = ShapeOpenBook;
    Studio();
    scene.m_nRotation1 = 90, scene.m_nRotation2 = 160;  // from the foot, high above
    scene.m_picture[SideSpread] = MakePicture(1225, 925, Halves);
    const DecodedImage p = Picture();
    ExpectHalvesAroundADarkerGutter(p);
    // Without a spread, the left and right pictures are its pages: the same picture.
    scene.m_picture[SideSpread].reset();
    scene.m_picture[SideLeft] = MakePicture(612, 925, Red);
    scene.m_picture[SideRight] = MakePicture(613, 925, Blue);
    ExpectHalvesAroundADarkerGutter(Picture());
}

void OpenBookDeviceTest::ExpectHalvesAroundADarkerGutter(const DecodedImage& p)
{
    auto red = [](Rgb c) { return c.r > c.b + 60 && c.r > c.g + 60; };
    auto blue = [](Rgb c) { return c.b > c.r + 60 && c.b > c.g + 60; };
    const std::vector<int> left = Bounds(p, red), right = Bounds(p, blue);
    ASSERT_GT(left[2] - left[0], static_cast<int>(kWide / 5)) << "the left page shows large";
    ASSERT_GT(right[2] - right[0], static_cast<int>(kWide / 5)) << "the right page shows large";
    EXPECT_LT((left[0] + left[2]) / 2, (right[0] + right[2]) / 2) << "red on the left, blue on the right";
    EXPECT_LE(left[2], right[0] + 6) << "the halves meet at the gutter and do not cross it";
    // Across the middle of the book: the gutter's darkest is well below either page's middle.
    const int y = (std::max(left[1], right[1]) + std::min(left[3], right[3])) / 2;
    const int redMiddle = At(p, (left[0] + left[2]) / 2, y).Sum(), blueMiddle = At(p, (right[0] + right[2]) / 2, y).Sum();
    int darkest = 3 * 255, darkestX = 0;
    for (int x = left[2] - 12; x <= right[0] + 12; ++x)
        if (At(p, x, y).Sum() < darkest)
            darkest = At(p, x, y).Sum(), darkestX = x;
    EXPECT_LT(darkest, 0.9 * std::min(redMiddle, blueMiddle))
        << "at x " << darkestX << ": pages " << redMiddle << " and " << blueMiddle;
    // The curve, not a fold: beside the gutter the pages turn to or from the light over
    // several pixels on each side.
    int turned = 0;
    for (int x = left[2] - 30; x < left[2] - 2; ++x)
        turned += std::abs(At(p, x, y).Sum() - redMiddle) > 0.05 * redMiddle;
    for (int x = right[0] + 3; x < right[0] + 30; ++x)
        turned += std::abs(At(p, x, y).Sum() - blueMiddle) > 0.05 * blueMiddle;
    EXPECT_GE(turned, 6) << "the pages' shading changes as they bend into the gutter";
}

// Black lines every 25 texels both ways on white: squares.
uint32_t Grid(unsigned x, unsigned y, unsigned, unsigned)
{
    return (x % 25 < 3 || y % 25 < 3) ? 0xFF000000u : 0xFFFFFFFFu;
}

// The usual distance between the dark lines met along a run of pixels: the median step
// between where one begins and the next (a line lost in a highlight does not count).
double LineSpacing(const std::vector<int>& sums)
{
    std::vector<int> starts;
    for (size_t i = 6; i + 6 < sums.size(); ++i) {
        const int around = *std::max_element(sums.begin() + static_cast<long>(i) - 6, sums.begin() + static_cast<long>(i) + 7);
        const bool dark = sums[i] < around * 85 / 100, darkBefore = sums[i - 1] < around * 85 / 100;
        if (dark && !darkBefore)
            starts.push_back(static_cast<int>(i));
    }
    if (starts.size() < 5)
        return 0;
    std::vector<int> steps;
    for (size_t i = 1; i < starts.size(); ++i)
        steps.push_back(starts[i] - starts[i - 1]);
    std::nth_element(steps.begin(), steps.begin() + static_cast<long>(steps.size() / 2), steps.end());
    const int median = steps[steps.size() / 2];
    double sum = 0;
    int count = 0;
    for (int step : steps)
        if (step * 10 >= median * 7 && step * 10 <= median * 13)
            sum += step, ++count;
    return sum / count;
}

TEST_F(OpenBookDeviceTest, ASpreadsSquaresStaySquareAcrossTheFlatOfThePage)
{
    scene.m_nShape = ShapeOpenBook;
    scene.m_nAmbient = 100;
    scene.m_nRotation1 = 90, scene.m_nRotation2 = 179;  // straight down
    scene.m_picture[SideSpread] = MakePicture(1225, 925, Grid);
    constexpr int kSide = 1000;  // lines some 18 pixels apart
    const DecodedImage p = Picture(kSide);
    // The right page's flat middle: well clear of the gutter and the fore-edge.
    std::vector<int> across, down;
    for (int x = kSide * 60 / 100; x < kSide * 86 / 100; ++x)
        across.push_back(At(p, x, kSide / 2).Sum());
    for (int y = kSide * 35 / 100; y < kSide * 65 / 100; ++y)
        down.push_back(At(p, kSide * 73 / 100, y).Sum());
    const double wide = LineSpacing(across), high = LineSpacing(down);
    ASSERT_GT(wide, 8) << "the grid's lines show across the page";
    ASSERT_GT(high, 8) << "and down it";
    EXPECT_NEAR(wide / high, 1.0, 0.03) << wide << " px across, " << high << " px down";
}

uint32_t Green(unsigned, unsigned, unsigned, unsigned)
{
    return 0xFF20C040u;
}

uint32_t Navy(unsigned, unsigned, unsigned, unsigned)
{
    return 0xFF202060u;
}

TEST_F(OpenBookDeviceTest, APhonesScreenShowsItsPictureInsideItsFrameWithRoundedCorners)
{
    scene.m_nShape = ShapePhone;
    FaceOn();
    Studio();
    scene.m_nScreenFit = ScreenCover;
    scene.m_picture[SideScreen] = MakePicture(300, 650, Green);
    const DecodedImage p = Picture();
    const std::vector<int> b = Bounds(p, IsGreen);
    const int w = b[2] - b[0], h = b[3] - b[1];
    ASSERT_GT(h, static_cast<int>(kHigh / 2)) << "the screen shows large";
    EXPECT_NEAR(static_cast<double>(w) / h, 2.65 / 5.75, 0.04) << "the screen's own shape, the picture cropped to it";
    // The frame round it is dark; the screen's corners rounded, its edges straight.
    EXPECT_LT(At(p, b[0] - 3, (b[1] + b[3]) / 2).Sum(), 230) << "the frame beside the screen";
    for (int cx : {b[0] + 1, b[2] - 1})
        for (int cy : {b[1] + 1, b[3] - 1})
            EXPECT_FALSE(IsGreen(At(p, cx, cy))) << "corner at " << cx << ", " << cy;
    EXPECT_TRUE(IsGreen(At(p, b[0] + 2, (b[1] + b[3]) / 2)));
    EXPECT_TRUE(IsGreen(At(p, (b[0] + b[2]) / 2, b[1] + 2)));
}

TEST_F(OpenBookDeviceTest, AContainedPictureLeavesBarsOfTheScreensColour)
{
    scene.m_nShape = ShapePhone;
    FaceOn();
    Studio();
    scene.m_clrFace[SideScreen] = RGB(200, 0, 200);
    scene.m_picture[SideScreen] = MakePicture(400, 400, Green);
    const DecodedImage p = Picture();
    const std::vector<int> green = Bounds(p, IsGreen);
    const std::vector<int> bars = Bounds(p, [](Rgb c) { return c.r > c.g + 80 && c.b > c.g + 80; });
    ASSERT_GT(green[2] - green[0], 20);
    EXPECT_NEAR(static_cast<double>(green[2] - green[0]) / (green[3] - green[1]), 1.0, 0.06) << "the picture whole";
    EXPECT_LT(bars[1], green[1] - 10) << "a bar above the picture";
    EXPECT_GT(bars[3], green[3] + 10) << "and below it";
    EXPECT_NEAR(bars[0], green[0], 3) << "none beside a picture as wide as the screen";
}

TEST_F(OpenBookDeviceTest, AnEReadersScreenIsGreyWhereAPhonesShowsThePicturesColours)
{
    int saturation[3] = {};  // the phone's, the e-reader's, the e-reader's in colour ink
    for (int kind = 0; kind < 3; ++kind) {
        scene.m_nShape = kind == 0 ? ShapePhone : ShapeEReader;
        scene.m_nInk = kind == 2 ? InkColour : InkGrey;
        FaceOn();
        Studio();
        scene.m_picture[SideScreen] = MakePicture(300, 400, Green);
        const DecodedImage p = Picture();
        const Rgb middle = At(p, kWide / 2, kHigh / 2);
        saturation[kind] = std::max({middle.r, middle.g, middle.b}) - std::min({middle.r, middle.g, middle.b});
        EXPECT_GT(middle.Sum(), 150) << "kind " << kind << ": lit, not black";
        EXPECT_GE(middle.g, std::max(middle.r, middle.b)) << "kind " << kind << ": green, or grey";
    }
    EXPECT_GT(saturation[0], 120) << "the phone's own green";
    EXPECT_LT(saturation[1], 16) << "the e-reader's grey";
    EXPECT_GT(saturation[2], 30) << "colour ink: muted, but green";
    EXPECT_LT(saturation[2], saturation[0] * 3 / 4);

    // With nothing on them: the phone switched off, the e-reader's blank paper.
    int blank[2] = {};
    for (int kind = 0; kind < 2; ++kind) {
        scene.m_nShape = kind == 0 ? ShapePhone : ShapeEReader;
        scene.m_picture[SideScreen] = nullptr;
        scene.m_clrFace[SideScreen] = DefaultFaceColour(SideScreen);
        blank[kind] = At(Picture(), kWide / 2, kHigh / 2).Sum();
    }
    EXPECT_LT(blank[0], 200) << "a phone's blank screen is dark";
    EXPECT_GT(blank[1], 450) << "an e-reader's is its paper";

    // A dark, wide picture contained on an e-reader: the bars above and below it are the
    // blank paper, whatever colour a lit screen's bars would take.
    scene.m_nShape = ShapeEReader;
    scene.m_nInk = InkGrey;
    scene.m_clrFace[SideScreen] = RGB(0, 0, 0);
    scene.m_picture[SideScreen] = MakePicture(800, 200, Navy);
    const DecodedImage p = Picture();
    int paper = 0, picture = 0;
    for (int y = 0; y < static_cast<int>(kHigh); ++y) {
        const int sum = At(p, kWide / 2, y).Sum();
        paper += sum > 450;
        picture += sum > 60 && sum < 300;
    }
    EXPECT_GT(picture, 10) << "the picture, dark";
    EXPECT_GT(paper, picture) << "paper bars round it";
}

} // namespace
