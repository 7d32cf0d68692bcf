// The studio light on real pictures: the key light's shadow falls away from it and is dark
// where the model stands, the background outside it stays exactly the colour asked, and a
// gloss cover's highlight follows the light.
#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

#include "light_kinds.h"
#include "scene_shape.h"
#include "scene_values.h"
#include "render_fixture.h"

namespace {

constexpr UINT kSide = 300;

int Alpha(uint32_t c) { return static_cast<int>(c >> 24); }
int Green(uint32_t c) { return static_cast<int>((c >> 8) & 0xFF); }

class StudioLightTest : public RenderTest {
protected:
    void SetUp() override
    {
        RenderTest::SetUp();
        scene.m_nLight = LightStudio;
        scene.m_nLightAzimuth = 40, scene.m_nLightElevation = 45, scene.m_nLightSize = 10;
        scene.m_nKey = 100, scene.m_nSky = 50;
        scene.m_nShadow = 80;
        scene.m_nZoom = 500;  // room round the box for its shadow
    }
    DecodedImage Picture(bool bTransparent)
    {
        DecodedImage out;
        EXPECT_EQ(renderer.RenderPicture(kSide, kSide, bTransparent, -1, out), S_OK);
        return out;
    }
    // Mean x of the box (opaque) and of its shadow (partly transparent) in a transparent picture.
    void Centres(const DecodedImage& p, double* pBox, double* pShadow, int* pDarkest)
    {
        double boxX = 0, boxN = 0, shadowX = 0, shadowW = 0;
        *pDarkest = 0;
        for (UINT y = 0; y < p.height; ++y)
            for (UINT x = 0; x < p.width; ++x) {
                const int a = Alpha(p.pixels[y * p.width + x]);
                if (a == 255) {
                    boxX += x, ++boxN;
                } else if (a > 0) {
                    shadowX += x * a, shadowW += a;
                    *pDarkest = std::max(*pDarkest, a);
                }
            }
        *pBox = boxN ? boxX / boxN : -1;
        *pShadow = shadowW ? shadowX / shadowW : -1;
    }
};

} // namespace

TEST_F(StudioLightTest, TheShadowFallsAwayFromTheKeyLightAndIsDarkWhereTheBoxStands)
{
    double box = 0, shadow = 0;
    int darkest = 0;
    scene.m_nLightAzimuth = 90;  // from the right
    Centres(Picture(true), &box, &shadow, &darkest);
    ASSERT_GT(shadow, 0) << "a shadow is drawn";
    EXPECT_LT(shadow, box - 10) << "light from the right: the shadow to the left";
    // At 80, the floor at least 40% darker where the box meets it.
    EXPECT_GE(darkest, 102) << "the darkest shadow's alpha";

    scene.m_nLightAzimuth = 270;  // from the left
    Centres(Picture(true), &box, &shadow, &darkest);
    EXPECT_GT(shadow, box + 10) << "light from the left: the shadow to the right";
}

TEST_F(StudioLightTest, OutsideTheShadowTheBackgroundIsExactlyTheColourAsked)
{
    scene.m_clrBackground = 0xFFFFFFFF;
    const DecodedImage opaque = Picture(false);
    const DecodedImage clear = Picture(true);
    size_t white = 0;
    for (size_t i = 0; i < opaque.pixels.size(); ++i) {
        if (Alpha(clear.pixels[i]) == 0) {  // neither box nor shadow here
            ASSERT_EQ(opaque.pixels[i] & 0xFFFFFF, 0xFFFFFFu) << "pixel " << i;
            ++white;
        }
    }
    EXPECT_GT(white, opaque.pixels.size() / 3);
}

TEST_F(StudioLightTest, HidingALittleSkyFromAFloorLitPastWhiteShowsNothing)
{
    // Light from the right on a white floor, lit past white by the key and the sky: in
    // front of the box's foot the box hides some of the sky, and a path tracer's floor
    // stays white there (no grey ring round the base); the key's shadow, to the left, is grey.
    scene.m_clrBackground = 0xFFFFFFFF;
    scene.m_nShadow = 100;
    scene.m_nLightAzimuth = 90;
    scene.m_nRotation1 = 135, scene.m_nRotation2 = 120;  // the start view: the floor in front seen
    scene.m_nLightSamples = 16;                         // the sky's shadows averaged, as pictures are
    const DecodedImage p = Picture(true);
    int lowest = -1, left = static_cast<int>(p.width);
    for (UINT y = 0; y < p.height; ++y)
        for (UINT x = 0; x < p.width; ++x)
            if (Alpha(p.pixels[y * p.width + x]) == 255)
                lowest = static_cast<int>(y), left = std::min(left, static_cast<int>(x));
    ASSERT_GT(lowest, 0);
    int greyed = 0, shadowed = 0;
    for (UINT y = 0; y < p.height; ++y)
        for (UINT x = 0; x < p.width; ++x) {
            const int a = Alpha(p.pixels[y * p.width + x]);
            greyed += static_cast<int>(y) > lowest + 3 && static_cast<int>(x) >= left && a > 0;
            shadowed += static_cast<int>(x) < left - 6 && a > 0 && a < 255;
        }
    EXPECT_EQ(greyed, 0) << "pixels greyed in front of the foot";
    EXPECT_GT(shadowed, 200) << "the key's shadow beside the other side";

    // With neither key nor sky nothing lights the floor, so nothing darkens it: no shadow
    // anywhere, the background as asked.
    scene.m_nKey = 0, scene.m_nSky = 0;
    auto partlyClear = [](const DecodedImage& picture) {
        int n = 0;
        for (uint32_t c : picture.pixels)
            n += Alpha(c) > 0 && Alpha(c) < 255;
        return n;
    };
    const int unlit = partlyClear(Picture(true));
    scene.m_nShadow = 0;
    EXPECT_EQ(unlit, partlyClear(Picture(true))) << "pixels darkened on an unlit floor beyond the box's outline";
}

TEST_F(StudioLightTest, AGlossCoversHighlightFollowsTheLightAndMatteHasNone)
{
    // A dark paperback face-on, lit from near the camera: the highlight shows on the cover.
    scene.m_nShape = ShapePaperback;
    scene.m_nRotation1 = 90, scene.m_nRotation2 = 90, scene.m_nZoom = 800, scene.m_nShadow = 0;
    scene.m_clrFace[SideFront] = RGB(60, 60, 60);  // no cover picture: the front face's colour
    scene.m_nLightElevation = 5, scene.m_nSky = 20;
    auto brightestColumn = [&](int azimuth, int* pPeak) {
        scene.m_nLightAzimuth = azimuth;
        const DecodedImage p = Picture(false);
        int bestX = -1, best = -1;
        for (UINT x = 0; x < p.width; ++x) {
            int column = 0;
            for (UINT y = p.height / 3; y < 2 * p.height / 3; ++y)
                column += Green(p.pixels[y * p.width + x]);
            if (Green(p.pixels[(p.height / 2) * p.width + x]) < 250 && column > best)
                best = column, bestX = static_cast<int>(x);
        }
        *pPeak = best / static_cast<int>(p.height / 3);
        return bestX;
    };
    int glossPeak = 0, matte = 0, ignored = 0;
    scene.m_nFinish = FinishGloss;
    const int fromLeft = brightestColumn(345, &ignored);
    const int fromRight = brightestColumn(15, &glossPeak);
    EXPECT_GT(fromRight, fromLeft + 10) << "the highlight moves with the light";
    scene.m_nFinish = FinishMatte;
    brightestColumn(15, &matte);
    EXPECT_GT(glossPeak, matte + 20) << "gloss shows the light, matte a broad sheen";
}

TEST_F(StudioLightTest, ALargeLightsShadowFallsOffSmoothlyOverAnyBackground)
{
    // One placement of a large light gives its penumbra as grain; the placements averaged, a
    // smooth fall from dark to clear. Neighbouring pixels of the shadow differ by little.
    scene.m_nLightSize = 40;
    scene.m_nLightAzimuth = 90;
    scene.m_nSky = 0;  // the key's shadow alone, as dark as it goes
    auto grain = [&](int samples) {
        scene.m_nLightSamples = samples;
        const DecodedImage p = Picture(true);
        double steps = 0;
        int count = 0;
        for (UINT y = 0; y + 1 < p.height; ++y)
            for (UINT x = 0; x + 1 < p.width; ++x) {
                const int a = Alpha(p.pixels[y * p.width + x]);
                const int right = Alpha(p.pixels[y * p.width + x + 1]);
                const int below = Alpha(p.pixels[(y + 1) * p.width + x]);
                if (a > 8 && a < 247 && right < 247 && below < 247)
                    steps += std::abs(a - right) + std::abs(a - below), ++count;
            }
        EXPECT_GT(count, 500) << "the penumbra spans pixels";
        return count ? steps / count : 0.0;
    };
    const double single = grain(1), averaged = grain(16);
    EXPECT_LT(averaged, single / 2) << "alpha steps between neighbours: one placement " << single << ", sixteen "
                                    << averaged;

    // Averaged, any background colour comes back exactly where nothing falls on it.
    scene.m_clrBackground = 0xFF8FA3B7;
    const DecodedImage opaque = Picture(false);
    const DecodedImage clear = Picture(true);
    for (size_t i = 0; i < opaque.pixels.size(); ++i) {
        if (Alpha(clear.pixels[i]) == 0) {
            ASSERT_EQ(opaque.pixels[i] & 0xFFFFFF, 0x8FA3B7u) << "pixel " << i;
        }
    }
}

TEST_F(StudioLightTest, AtRestThePreviewAddsOnePlacementATickAndThenRests)
{
    scene.m_nLightSamples = 6;
    renderer.RenderFrame();  // the scene just changed: a moving frame's draft
    const unsigned long long start = renderer.FramesDrawn();
    // The scene rests past the moment the preview waits for before drawing it sharp.
    const DWORD changed = ::GetTickCount();
    while (::GetTickCount() - changed < 400)
        ::Sleep(20);
    std::vector<unsigned long long> drawn;
    for (int tick = 0; tick < 12; ++tick) {
        renderer.RenderFrame();
        drawn.push_back(renderer.FramesDrawn() - start);
    }
    // The sharp frame with the light's middle, five more placements one a tick, then nothing.
    EXPECT_EQ(drawn[0], 1u);
    EXPECT_EQ(drawn[4], 5u);
    EXPECT_EQ(drawn.back(), 6u);
    EXPECT_EQ(drawn[6], drawn.back()) << "nothing drawn once the frame holds them all";
}

TEST_F(StudioLightTest, ThePreviewWhileMovingIsAsBrightAsItIsAtRest)
{
    // A mid-grey box on white: the moving draft and the rested frame over the model alike,
    // for a box face-on to the light and one turned from it; presented, and in a preview
    // inside a window, where Wine shows frames through a copy (the draft drawn apart there).
    for (Colour& c : scene.m_clrFace)
        c = RGB(150, 150, 150);
    scene.m_nZoom = 750;
    HWND hParent = ::CreateWindowExW(0, L"STATIC", L"window", WS_POPUP | WS_VISIBLE, 40, 40, kPreviewWidth,
                                     kPreviewHeight, nullptr, nullptr, nullptr, nullptr);
    HWND hChild = ::CreateWindowExW(0, L"STATIC", L"preview", WS_CHILD | WS_VISIBLE, 0, 0, kPreviewWidth,
                                    kPreviewHeight, hParent, nullptr, nullptr, nullptr);
    BoxRenderer inWindow{scene};
    ASSERT_EQ(inWindow.InitDirect3D(hChild), nullptr);
    for (BoxRenderer* pRenderer : {&renderer, &inWindow})
        for (int azimuth : {40, 160}) {
            scene.m_nLightAzimuth = azimuth;
            scene.m_nTone = azimuth == 160 ? ToneNeutral : ToneLiteral;  // a tone drafted as it rests
            scene.m_nLightSamples = 6;
            pRenderer->RenderFrame();  // the scene just changed: the draft
            const Frame moving = ReadFrame(*pRenderer);
            const DWORD changed = ::GetTickCount();
            while (::GetTickCount() - changed < 400)
                ::Sleep(20);
            for (int tick = 0; tick < 10; ++tick)
                pRenderer->RenderFrame();
            const Frame rest = ReadFrame(*pRenderer);
            ASSERT_EQ(moving.width, rest.width);
            // The box's pixels: where a face centre projects, spread to a square round each.
            double sumMoving = 0, sumRest = 0;
            int n = 0;
            for (int slot : {SideFront, SideLeft, SideTop, SideBack, SideRight, SideBottom}) {
                const ScreenPoint p = FaceOnScreen(slot, rest);
                const Pixel m = PixelAt(moving, p), r = PixelAt(rest, p);
                if (p.x < 0 || p.y < 0 || p.x >= rest.width || p.y >= rest.height || (r.r > 250 && m.r > 250))
                    continue;
                sumMoving += m.r + m.g + m.b, sumRest += r.r + r.g + r.b, ++n;
            }
            ASSERT_GE(n, 3);
            EXPECT_NEAR(sumMoving / sumRest, 1.0, 0.05)
                << (pRenderer == &renderer ? "presented" : "in a window") << ", light from " << azimuth << ", tone "
                << g_toneNames[scene.m_nTone] << ": moving "
                << sumMoving / (3 * n) << ", at rest " << sumRest / (3 * n);
        }
    inWindow.Release();
    ::DestroyWindow(hParent);
}

TEST_F(StudioLightTest, AtTheStartViewAGlossCoverShowsItsSheenWithoutLookingForIt)
{
    // The start scene's light and view on a dark paperback: over a part of the front a
    // reader sees (a quarter of its pixels or more), gloss is brighter than matte; soft-touch
    // mirrors nothing and is nowhere brighter than matte.
    for (int v : {kValueLightAzimuth, kValueLightElevation, kValueLightSize, kValueKey, kValueSky, kValueShadow})
        scene.*g_sceneValues[v].pField = g_sceneValues[v].nDefault;
    scene.m_nZoom = 750;
    scene.m_nShape = ShapePaperback;
    scene.m_clrFace[SideFront] = RGB(40, 50, 70);
    auto front = [&](int finish) {
        scene.m_nFinish = finish;
        const DecodedImage p = Picture(false);
        std::vector<int> levels;
        const ShapeSpec spec = SceneShape(scene);
        const double hx = spec.size[0] / 2, hy = spec.size[1] / 2, hz = spec.size[2] / 2;
        for (double fy = 0.15; fy < 0.9; fy += 0.05)
            for (double fx = 0.25; fx < 0.9; fx += 0.05) {  // clear of the hinge by the spine
                const ScreenPoint s = Project(scene, {-hx + 2 * hx * fx, -hy + 2 * hy * fy, -hz}, kSide, kSide);
                const uint32_t c = p.pixels[static_cast<size_t>(s.y) * kSide + static_cast<size_t>(s.x)];
                levels.push_back(static_cast<int>(((c >> 16) & 0xFF) + Green(c) + (c & 0xFF)));
            }
        return levels;
    };
    const std::vector<int> gloss = front(FinishGloss), matte = front(FinishMatte), soft = front(FinishSoftTouch);
    size_t brighter = 0, softBrighter = 0;
    for (size_t i = 0; i < gloss.size(); ++i) {
        brighter += gloss[i] > matte[i] + 6;  // two levels a channel and more
        softBrighter += soft[i] > matte[i];
    }
    EXPECT_GE(brighter * 4, gloss.size()) << brighter << " of " << gloss.size() << ": gloss " << gloss[gloss.size() / 2] << ", matte " << matte[gloss.size() / 2] << ", soft " << soft[gloss.size() / 2];
    EXPECT_EQ(softBrighter, 0u);
}

TEST_F(StudioLightTest, TheFloorIsDarkestWhereTheBookStandsAndLightensAwayFromIt)
{
    // A paperback lit from the right at the start view: along the floor leftward from the
    // book's base, into its shadow, the darkest floor pixel is next to the base, and the
    // shadow lightens with distance (no pale gap at the contact, no lighter streak inside).
    scene.m_nShape = ShapePaperback;
    scene.m_nLightAzimuth = 90, scene.m_nShadow = 100, scene.m_nLightSamples = 16;
    const DecodedImage p = Picture(true);
    int bottom = -1;
    for (UINT y = 0; y < p.height; ++y)
        for (UINT x = 0; x < p.width; ++x)
            if (Alpha(p.pixels[y * p.width + x]) == 255)
                bottom = static_cast<int>(y);
    ASSERT_GT(bottom, 0);
    // A few rows above the book's lowest point, where floor lies on its left.
    const int row = bottom - 4;
    int edge = -1;
    for (UINT x = 0; x < p.width && edge < 0; ++x)
        if (Alpha(p.pixels[row * p.width + x]) == 255)
            edge = static_cast<int>(x);
    ASSERT_GT(edge, 40);
    std::vector<int> shadow;
    for (int x = edge - 2; x >= 0 && x > edge - 42; --x)
        shadow.push_back(Alpha(p.pixels[row * p.width + x]));
    const auto darkest = std::max_element(shadow.begin(), shadow.end());
    EXPECT_LE(darkest - shadow.begin(), 3) << "the darkest floor pixel is " << (darkest - shadow.begin()) + 2
                                           << " px from the base";
    EXPECT_GT(*darkest, 40);
    for (size_t i = 8; i < shadow.size(); i += 8)
        EXPECT_LE(shadow[i], shadow[i - 8] + 4) << "lighter at " << i - 6 << " px than at " << i + 2 << " px";
}

TEST_F(StudioLightTest, ASoftLightsBoxHasNoDarkOutlineOnWhite)
{
    // The soft light's placements are gathered at each pixel's middle and the picture drawn
    // once from them, multisampled: a pixel on the outline whose middle lies off the box
    // must still be lit as the box is, not drawn dark where no light was gathered.
    for (Colour& c : scene.m_clrFace)
        c = RGB(200, 200, 200);
    scene.m_clrBackground = 0xFFFFFF;
    scene.m_nShadow = 0, scene.m_nReflection = 0;
    scene.m_nLightSamples = 16;
    for (int turn : {23, 160}) {
        scene.m_nRotation1 = turn;
        const DecodedImage p = Picture(false);
        auto level = [&](UINT x, UINT y) {
            const uint32_t c = p.pixels[y * kSide + x];
            return static_cast<int>(((c >> 16) & 0xFF) + Green(c) + (c & 0xFF)) / 3;
        };
        int darkest = 255, darkestInside = 255;
        for (UINT y = 1; y + 1 < kSide; ++y)
            for (UINT x = 1; x + 1 < kSide; ++x) {
                bool inside = true;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        inside = inside && level(x + dx, y + dy) < 250;
                darkest = std::min(darkest, level(x, y));
                if (inside)
                    darkestInside = std::min(darkestInside, level(x, y));
            }
        ASSERT_LT(darkestInside, 250) << "the box is in the picture";
        EXPECT_GE(darkest, darkestInside - 8) << "turned " << turn << ": the outline against the box's darkest side";
    }
}

TEST_F(StudioLightTest, ABatchsNextPictureIsLitAsIfItWereDrawnAlone)
{
    // Pictures of one scene at one size share the light the first gathered, whatever their
    // faces show; anything else that changes is lit anew. Each picture is compared with the
    // same one drawn after a picture of another size, which gathers its light afresh.
    scene.m_nLightSamples = 8;
    auto alone = [&] {
        DecodedImage other;
        EXPECT_EQ(renderer.RenderPicture(kSide + 20, kSide, false, -1, other), S_OK);
        return Picture(false);
    };
    auto same = [](const DecodedImage& a, const DecodedImage& b) {
        size_t apart = 0;
        for (size_t i = 0; i < a.pixels.size() && i < b.pixels.size(); ++i)
            apart += a.pixels[i] != b.pixels[i];
        return a.pixels.size() == b.pixels.size() && apart == 0;
    };
    for (Colour& c : scene.m_clrFace)
        c = RGB(200, 60, 60);
    Picture(false);
    for (Colour& c : scene.m_clrFace)
        c = RGB(60, 200, 60);  // another book: its light is the last one's
    const DecodedImage next = Picture(false);
    EXPECT_TRUE(same(next, alone())) << "another colour, the same light";
    scene.m_nLightAzimuth = 160;  // another light: gathered anew
    const DecodedImage moved = Picture(false);
    EXPECT_TRUE(same(moved, alone())) << "the light moved";
    EXPECT_FALSE(same(moved, next));
    scene.m_nRotation1 += 30;  // another view
    const DecodedImage turned = Picture(false);
    EXPECT_TRUE(same(turned, alone())) << "the model turned";
}

TEST_F(StudioLightTest, TheNeutralToneKeepsAPrintsColourAndRollsOffWhatIsLitPastWhite)
{
    // A box face-on to the key: its front's middle, literal and neutral.
    scene.m_nZoom = 750;
    scene.m_nLightSamples = 1;
    scene.m_nLightAzimuth = 0, scene.m_nLightElevation = 30;
    const ShapeSpec spec = SceneShape(scene);
    const ScreenPoint middle = Project(scene, {0, 0, -spec.size[2] / 2}, kSide, kSide);
    uint32_t corner = 0;
    auto front = [&](COLORREF print, int tone) {
        scene.m_clrFace[SideFront] = print;
        scene.m_nTone = tone;
        const DecodedImage p = Picture(false);
        corner = p.pixels[0] & 0xFFFFFF;
        const uint32_t c = p.pixels[static_cast<size_t>(middle.y) * kSide + static_cast<size_t>(middle.x)];
        return std::array<int, 3>{static_cast<int>((c >> 16) & 0xFF), Green(c), static_cast<int>(c & 0xFF)};
    };
    // A dark red as usually lit: the veil every face mirrors taken off, nearer the print.
    const COLORREF red = RGB(100, 36, 32);
    const std::array<int, 3> literal = front(red, ToneLiteral), neutral = front(red, ToneNeutral);
    EXPECT_EQ(corner, 0xFFFFFFu) << "the background stays the colour asked";
    auto apart = [&](const std::array<int, 3>& c) {
        return std::abs(c[0] - 100) + std::abs(c[1] - 36) + std::abs(c[2] - 32);
    };
    EXPECT_LT(apart(neutral), apart(literal)) << "neutral " << neutral[0] << "," << neutral[1] << "," << neutral[2]
                                              << ", literal " << literal[0] << "," << literal[1] << "," << literal[2];
    EXPECT_GE(neutral[0] - neutral[1], literal[0] - literal[1]) << "as saturated at least";

    // Two light greys lit past white: cut off to the same white literally, kept apart by the
    // neutral tone, below white.
    scene.m_nKey = 200;
    const int literalDim = front(RGB(215, 215, 215), ToneLiteral)[1];
    const int literalLight = front(RGB(250, 250, 250), ToneLiteral)[1];
    const int neutralDim = front(RGB(215, 215, 215), ToneNeutral)[1];
    const int neutralLight = front(RGB(250, 250, 250), ToneNeutral)[1];
    EXPECT_EQ(literalDim, 255);
    EXPECT_EQ(literalLight, 255);
    EXPECT_GE(neutralLight, neutralDim + 2);
    EXPECT_LT(neutralLight, 255);
    EXPECT_GT(neutralDim, 200);
}
