// The floor: the reflection's outline is the box mirrored through the floor's plane as the
// camera sees it (worked out here, not by the renderer), it fades away from the box, the
// shadow is a smooth darkening with soft alpha, transparent pictures carry both, a real
// device reset changes nothing, and from below the floor neither is drawn.
#include <algorithm>
#include <cmath>

#include "render_fixture.h"

namespace {

constexpr UINT kWidth = 400, kHeight = 300;

int Channel(uint32_t c, int shift) { return static_cast<int>((c >> shift) & 0xFF); }

// How far a pixel is from white, in levels of its most different channel.
int FromWhite(uint32_t c)
{
    return 255 - std::min({Channel(c, 16), Channel(c, 8), Channel(c, 0)});
}

// The convex hull of points (monotone chain), counter-clockwise.
std::vector<ScreenPoint> Hull(std::vector<ScreenPoint> p)
{
    std::sort(p.begin(), p.end(), [](auto& a, auto& b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
    auto cross = [](const ScreenPoint& o, const ScreenPoint& a, const ScreenPoint& b) {
        return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
    };
    std::vector<ScreenPoint> h(2 * p.size());
    size_t k = 0;
    for (size_t i = 0; i < p.size(); h[k++] = p[i++])
        while (k >= 2 && cross(h[k - 2], h[k - 1], p[i]) <= 0) --k;
    for (size_t i = p.size() - 1, t = k + 1; i > 0; h[k++] = p[--i])
        while (k >= t && cross(h[k - 2], h[k - 1], p[i - 1]) <= 0) --k;
    h.resize(k - 1);
    return h;
}

bool Inside(const std::vector<ScreenPoint>& hull, double x, double y)
{
    for (size_t i = 0; i < hull.size(); ++i) {
        const ScreenPoint& a = hull[i];
        const ScreenPoint& b = hull[(i + 1) % hull.size()];
        if ((b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x) < 0)
            return false;
    }
    return true;
}

class FloorTest : public RenderTest {
protected:
    DecodedImage Picture(bool bTransparent = false)
    {
        DecodedImage out;
        EXPECT_EQ(renderer.RenderPicture(kWidth, kHeight, bTransparent, -1, out), S_OK);
        return out;
    }
    // Flat red faces in even light: every box pixel is far from the white background.
    void PlainRedBox()
    {
        for (Colour& c : scene.m_clrFace)
            c = RGB(255, 0, 0);
        scene.m_nAmbient = 100;
        scene.m_nDiffuse = 0;
    }
    WorldPoint Corner(int i, bool bMirrored) const
    {
        double hx = scene.m_nWidth / 20.0, hy = scene.m_nHeight / 20.0, hz = scene.m_nDepth / 20.0;
        double y = (i & 2) ? hy : -hy;
        return {(i & 1) ? hx : -hx, bMirrored ? 2 * hy - y : y, (i & 4) ? hz : -hz};
    }
};

} // namespace

TEST_F(FloorTest, TheReflectionIsTheBoxMirroredThroughTheFloorAsTheCameraSeesIt)
{
    struct View { const char* name; int rotation1, rotation2, width, height, depth; };
    const View views[] = {{"start", 135, 120, 80, 120, 20},
                          {"right rotation, thick", 45, 120, 80, 120, 50},
                          {"cube", 120, 110, 80, 80, 80}};
    PlainRedBox();
    // Right: hidden under the box. Mirrored anywhere else, it shows as a white gap.
    scene.m_clrFace[SideBottom] = RGB(255, 255, 255);
    scene.m_nReflectionFade = 100;
    scene.m_nDistance = 400;  // the whole reflection in the picture: its outline counts, not the frame's
    for (const View& v : views) {
        scene.m_nRotation1 = v.rotation1;
        scene.m_nRotation2 = v.rotation2;
        scene.m_nWidth = v.width;
        scene.m_nHeight = v.height;
        scene.m_nDepth = v.depth;
        scene.m_nReflection = 0;
        const DecodedImage box = Picture();
        scene.m_nReflection = 100;
        const DecodedImage both = Picture();

        std::vector<ScreenPoint> mirrored;
        for (int i = 0; i < 8; ++i) {
            mirrored.push_back(Project(scene, Corner(i, true), kWidth, kHeight));
            ASSERT_TRUE(mirrored.back().x > 0 && mirrored.back().x < kWidth && mirrored.back().y > 0 &&
                        mirrored.back().y < kHeight) << v.name << ": corner " << i << " in the picture";
        }
        const std::vector<ScreenPoint> hull = Hull(mirrored);
        size_t common = 0, either = 0;
        for (UINT y = 0; y < kHeight; ++y) {
            for (UINT x = 0; x < kWidth; ++x) {
                const size_t i = y * kWidth + x;
                if (FromWhite(box.pixels[i]) > 0)
                    continue;  // the box itself hides what is behind it
                const bool drawn = FromWhite(both.pixels[i]) >= 3;
                const bool expected = Inside(hull, x + 0.5, y + 0.5);
                common += drawn && expected;
                either += drawn || expected;
            }
        }
        ASSERT_GT(either, 1000u) << v.name << ": the reflection is in view";
        const double iou = static_cast<double>(common) / static_cast<double>(either);
        EXPECT_GE(iou, 0.97) << v.name;

        // And it touches the box: right under the front's contact edge there is no gap.
        const ScreenPoint a = Project(scene, Corner(2, false), kWidth, kHeight);
        const ScreenPoint b = Project(scene, Corner(3, false), kWidth, kHeight);
        int gaps = 0, columns = 0;
        for (double t = 0.2; t <= 0.8; t += 0.02, ++columns) {
            const int x = static_cast<int>(a.x + (b.x - a.x) * t);
            const int edge = static_cast<int>(a.y + (b.y - a.y) * t);
            int last = edge - 4;
            for (int y = edge - 4; y <= edge + 4; ++y)
                if (FromWhite(box.pixels[static_cast<size_t>(y) * kWidth + x]) > 0)
                    last = y;
            gaps += FromWhite(both.pixels[static_cast<size_t>(last + 2) * kWidth + x]) < 100;
        }
        EXPECT_EQ(gaps, 0) << v.name << ": " << gaps << " of " << columns << " columns show the floor between box and reflection";
    }
}

TEST_F(FloorTest, TheReflectionFadesAwayFromTheBox)
{
    PlainRedBox();
    scene.m_nReflection = 100;
    scene.m_nReflectionFade = 100;
    scene.m_nDistance = 400;  // the whole reflection in the picture
    const DecodedImage picture = Picture();
    // Straight down the mirrored front face, from its contact line to the fade's end.
    const double hy = scene.m_nHeight / 20.0, hz = scene.m_nDepth / 20.0;
    int previous = 256, first = -1, last = -1;
    for (int k = 1; k < 40; ++k) {
        const double below = 2 * hy * k / 40.0;
        ScreenPoint p = Project(scene, {0.0, hy + below, -hz}, kWidth, kHeight);
        if (p.x < 0 || p.y < 0 || p.x >= kWidth || p.y >= kHeight)
            break;
        const int strength = FromWhite(picture.pixels[static_cast<size_t>(p.y) * kWidth + static_cast<size_t>(p.x)]);
        EXPECT_LE(strength, previous + 1) << "at " << k << "/40 of the box's height below the floor";
        previous = strength;
        if (first < 0)
            first = strength;
        last = strength;
    }
    EXPECT_GT(first, 200) << "strong where it touches the box";
    EXPECT_LT(last, first / 2) << "faded far below";
}

TEST_F(FloorTest, TheShadowIsASmoothSoftDarkeningWithPartialAlpha)
{
    scene.m_nShadow = 100;
    scene.m_nShadowSoftness = 40;
    const DecodedImage opaque = Picture();
    const DecodedImage transparent = Picture(true);
    // Out from the middle of the front's contact edge, along the floor.
    const double hy = scene.m_nHeight / 20.0, hz = scene.m_nDepth / 20.0;
    int previousLevel = -1, previousAlpha = 256, partial = 0, steps = 0;
    for (int k = 1; k <= 60; ++k) {
        ScreenPoint p = Project(scene, {0.0, hy, -hz - 4.0 * k / 60.0}, kWidth, kHeight);
        if (p.x < 0 || p.y < 0 || p.x >= kWidth || p.y >= kHeight)
            break;
        const size_t i = static_cast<size_t>(p.y) * kWidth + static_cast<size_t>(p.x);
        const int level = 255 - FromWhite(opaque.pixels[i]);
        const int alpha = Channel(transparent.pixels[i], 24);
        if (k == 1) {
            EXPECT_LT(level, 200) << "darker than the background along the contact edge";
        }
        EXPECT_GE(level, previousLevel - 1) << "lighter away from the box, at step " << k;
        EXPECT_LE(alpha, previousAlpha + 1) << "less opaque away from the box, at step " << k;
        if (previousLevel >= 0) {
            EXPECT_LE(level - previousLevel, 12) << "no bands: a smooth ramp, at step " << k;
        }
        partial += alpha > 0 && alpha < 255;
        previousLevel = level;
        previousAlpha = alpha;
        ++steps;
    }
    ASSERT_GT(steps, 20);
    EXPECT_GE(partial, steps * 2 / 3) << "the soft edge is partly transparent, neither clear nor opaque";
}

TEST_F(FloorTest, ATransparentPictureLaidOnAColourIsTheRenderOnThatColour)
{
    scene.m_clrFace[SideFront] = RGB(200, 40, 30);
    scene.m_clrFace[SideLeft] = RGB(30, 60, 220);
    scene.m_nReflection = 70;
    scene.m_nReflectionFade = 60;
    scene.m_nShadow = 80;
    scene.m_nShadowSoftness = 30;
    const DecodedImage transparent = Picture(true);
    for (D3DCOLOR page : {0xFFFF0000u, 0xFF000000u}) {
        scene.m_clrBackground = page;
        const DecodedImage onPage = Picture();
        double total = 0;
        for (size_t i = 0; i < onPage.pixels.size(); ++i) {
            const uint32_t c = transparent.pixels[i];
            const double a = Channel(c, 24) / 255.0;
            for (int shift : {16, 8, 0}) {
                const double flattened = Channel(c, shift) * a + Channel(page, shift) * (1 - a);
                total += std::fabs(flattened - Channel(onPage.pixels[i], shift));
            }
        }
        EXPECT_LE(total / (onPage.pixels.size() * 3.0), 1.5) << std::hex << page;
    }
}

TEST_F(FloorTest, AResetDeviceDrawsTheSamePictureAndBelowTheFloorNothingIsAdded)
{
    scene.m_nReflection = 100;
    scene.m_nReflectionFade = 50;
    scene.m_nShadow = 100;
    scene.m_nShadowSoftness = 40;
    renderer.RenderFrame();
    const DecodedImage before = Picture(true);

    // A real reset: everything in the default pool freed, the device reset, all made again.
    renderer.InvalidateDeviceObjects();
    ASSERT_EQ(renderer.m_pDevice->Reset(&renderer.m_presentParams), D3D_OK);
    renderer.CreateDeviceObjects();
    renderer.RenderFrame();
    const DecodedImage after = Picture(true);
    EXPECT_TRUE(after.pixels == before.pixels);
    renderer.CreateDeviceObjects();  // twice is harmless
    renderer.InvalidateDeviceObjects();
    renderer.InvalidateDeviceObjects();
    ASSERT_EQ(renderer.m_pDevice->Reset(&renderer.m_presentParams), D3D_OK);
    renderer.CreateDeviceObjects();

    // Rotation #2 under 90 degrees puts the camera below the box's middle and the floor.
    scene.m_nRotation2 = 30;
    const DecodedImage withFloor = Picture();
    scene.m_nReflection = scene.m_nShadow = 0;
    EXPECT_TRUE(Picture().pixels == withFloor.pixels);
}
