// Pictures the renderer draws, checked pixel by pixel against the camera worked out by hand.
#include "render_fixture.h"

namespace {

// One colour per face, each with its own set of channels, on a grey background.
const COLORREF kFaceColours[kSideCount] = {
    RGB(255, 0, 0),    // Front: red only
    RGB(0, 255, 0),    // Left: green only
    RGB(0, 0, 255),    // Top: blue only
    RGB(255, 255, 0),  // Back: red and green
    RGB(255, 0, 255),  // Right: red and blue
    RGB(0, 255, 255),  // Bottom: green and blue
};
const D3DCOLOR kGrey = 0xFF808080;

// Which face a pixel shows, by the channels that are lit; -1 for none (background, edge).
int FaceOf(Pixel p)
{
    auto on = [](int c) { return c > 24; };
    for (int s = 0; s < kSideCount; ++s) {
        COLORREF c = kFaceColours[s];
        bool r = GetRValue(c) != 0, g = GetGValue(c) != 0, b = GetBValue(c) != 0;
        if (on(p.r) == r && on(p.g) == g && on(p.b) == b && std::abs(p.r - p.g) + std::abs(p.g - p.b) > 40)
            return s;
    }
    return -1;
}

class RenderFrameTest : public RenderTest {
protected:
    // The preview's frame once the scene has rested: drawn again, sharp.
    Frame RestingFrame()
    {
        renderer.RenderFrame();
        const unsigned long long drawn = renderer.FramesDrawn();
        for (int tick = 0; tick < 300 && renderer.FramesDrawn() == drawn; ++tick) {
            ::Sleep(10);
            renderer.RenderFrame();
        }
        return ReadFrame(renderer);
    }
    void ColourFaces()
    {
        for (int s = 0; s < kSideCount; ++s)
            scene.m_clrFace[s] = kFaceColours[s];
        scene.m_clrBackground = kGrey;
    }
};

} // namespace

TEST_F(RenderFrameTest, FrameHasTheBackBufferSize)
{
    Frame f = Draw();
    EXPECT_EQ(f.width, kPreviewWidth);
    EXPECT_EQ(f.height, kPreviewHeight);
}

TEST_F(RenderFrameTest, StartViewShowsFrontLeftAndTopAndNothingOfTheOthers)
{
    ColourFaces();
    Frame f = Draw();
    for (int s : {SideFront, SideLeft, SideTop})
        EXPECT_EQ(FaceOf(PixelAt(f, FaceOnScreen(s, f))), s) << "face " << s << " at its centre shows "
                                                            << PixelAt(f, FaceOnScreen(s, f));
    // Count only pixels inside a patch of one face: edges blend two faces' colours.
    int seen[kSideCount] = {};
    for (int y = 1; y + 1 < f.height; ++y)
        for (int x = 1; x + 1 < f.width; ++x) {
            int s = FaceOf(f.At(x, y));
            bool patch = s >= 0;
            for (int dy = -1; dy <= 1 && patch; ++dy)
                for (int dx = -1; dx <= 1 && patch; ++dx)
                    patch = FaceOf(f.At(x + dx, y + dy)) == s;
            if (patch) ++seen[s];
        }
    EXPECT_GT(seen[SideFront], 1000);
    EXPECT_GT(seen[SideLeft], 100);
    EXPECT_GT(seen[SideTop], 100);
    EXPECT_EQ(seen[SideBack], 0);
    EXPECT_EQ(seen[SideRight], 0);
    EXPECT_EQ(seen[SideBottom], 0);
}

TEST_F(RenderFrameTest, BackgroundIsTheClearColour)
{
    scene.m_clrBackground = 0xFF123456;
    Frame f = Draw();
    for (auto [x, y] : {std::pair{0, 0}, {f.width - 1, 0}, {0, f.height - 1}, {f.width - 1, f.height - 1}}) {
        Pixel p = f.At(x, y);
        EXPECT_EQ(p.r, 0x12);
        EXPECT_EQ(p.g, 0x34);
        EXPECT_EQ(p.b, 0x56);
    }
}

TEST_F(RenderFrameTest, FaceOnViewShowsTheFrontAsARectangleWhereTheCameraPutsIt)
{
    ColourFaces();
    FaceOn();
    Frame f = Draw();
    // The Front face's corners, projected by hand.
    double hx = scene.m_nWidth / 20.0, hy = scene.m_nHeight / 20.0, hz = scene.m_nDepth / 20.0;
    ScreenPoint a = Project(scene, {-hx, -hy, -hz}, f.width, f.height);
    ScreenPoint b = Project(scene, {hx, hy, -hz}, f.width, f.height);
    double left = std::min(a.x, b.x), right = std::max(a.x, b.x);
    double top = std::min(a.y, b.y), bottom = std::max(a.y, b.y);
    EXPECT_NEAR(right - left, (bottom - top) * scene.m_nWidth / scene.m_nHeight, 1.0);

    int midX = static_cast<int>((left + right) / 2), midY = static_cast<int>((top + bottom) / 2);
    EXPECT_EQ(FaceOf(f.At(static_cast<int>(left) + 3, midY)), SideFront);
    EXPECT_EQ(FaceOf(f.At(static_cast<int>(right) - 3, midY)), SideFront);
    EXPECT_EQ(FaceOf(f.At(midX, static_cast<int>(top) + 3)), SideFront);
    EXPECT_EQ(FaceOf(f.At(midX, static_cast<int>(bottom) - 3)), SideFront);
    // Just outside every edge: background, so no side face shows beside it.
    for (auto [x, y] : {std::pair{static_cast<int>(left) - 3, midY}, {static_cast<int>(right) + 3, midY},
                        {midX, static_cast<int>(top) - 3}, {midX, static_cast<int>(bottom) + 3}}) {
        Pixel p = f.At(x, y);
        EXPECT_EQ(p.r, 0x80) << x << "," << y;
        EXPECT_EQ(p.g, 0x80) << x << "," << y;
    }
}

TEST_F(RenderFrameTest, UntexturedFaceIsItsColourTimesTheLight)
{
    FaceOn();
    scene.m_clrFace[SideFront] = RGB(255, 0, 0);
    scene.m_nAmbient = 30;
    scene.m_nDiffuse = 50;
    Frame f = Draw();
    // Light at the eye, attenuation 1: every corner of the Front face gets the same N.L.
    WorldPoint eye = EyeOf(scene);
    WorldPoint corner = {scene.m_nWidth / 20.0, scene.m_nHeight / 20.0, -scene.m_nDepth / 20.0};
    WorldPoint toEye = {eye.x - corner.x, eye.y - corner.y, eye.z - corner.z};
    double nDotL = -toEye.z / std::sqrt(toEye.x * toEye.x + toEye.y * toEye.y + toEye.z * toEye.z);
    double expected = 255.0 * std::min(1.0, 0.30 + 0.50 * nDotL);
    Pixel p = PixelAt(f, FaceOnScreen(SideFront, f));
    EXPECT_NEAR(p.r, expected, 3.0);
    EXPECT_EQ(p.g, 0);
    EXPECT_EQ(p.b, 0);
}

TEST_F(RenderFrameTest, NoLightDrawsEveryFaceBlack)
{
    ColourFaces();
    scene.m_nAmbient = 0;
    scene.m_nDiffuse = 0;
    Frame f = Draw();
    for (int s : {SideFront, SideLeft, SideTop}) {
        Pixel p = PixelAt(f, FaceOnScreen(s, f));
        EXPECT_EQ(p.r + p.g + p.b, 0) << "face " << s << " " << p;
    }
    Pixel corner = f.At(0, 0);
    EXPECT_EQ(corner.r, 0x80);
}

TEST_F(RenderFrameTest, EyeInsideTheLargestBoxSeesOnlyTheBackground)
{
    ColourFaces();
    scene.m_nWidth = scene.m_nHeight = scene.m_nDepth = 300;
    scene.m_nDistance = 50;
    Frame f = Draw();
    int others = 0;
    for (DWORD c : f.pixels)
        if (c != 0x808080) ++others;
    EXPECT_EQ(others, 0);
}

TEST_F(RenderFrameTest, WidestAndNarrowestZoomDrawWithoutFailing)
{
    ColourFaces();
    FaceOn();
    scene.m_nZoom = 150;
    Frame wide = Draw();
    // 105 degrees: the box is small in the middle.
    EXPECT_EQ(FaceOf(PixelAt(wide, FaceOnScreen(SideFront, wide))), SideFront);
    EXPECT_EQ(wide.At(2, 2).r, 0x80);

    // 1200 would be a zero field of view; the narrowest view fills the picture with the
    // middle of the Front face.
    scene.m_nZoom = 1200;
    Frame narrow = Draw();
    ASSERT_FALSE(narrow.Empty());
    for (auto [x, y] : {std::pair{0, 0}, {narrow.width / 2, narrow.height / 2}, {narrow.width - 1, narrow.height - 1}})
        EXPECT_EQ(FaceOf(narrow.At(x, y)), SideFront) << x << "," << y;
}

TEST_F(RenderFrameTest, RotationZeroAndFullTurnGiveTheSamePicture)
{
    ColourFaces();
    scene.m_nRotation1 = 0;
    Frame a = Draw();
    scene.m_nRotation1 = 360;
    Frame b = Draw();
    int differing = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i)
        if (a.pixels[i] != b.pixels[i]) ++differing;
    // Rounding of the angle may move an edge pixel; nothing more.
    EXPECT_LT(differing, 40);
    EXPECT_EQ(FaceOf(PixelAt(a, FaceOnScreen(SideRight, a))), SideRight);
}

TEST_F(RenderFrameTest, TheRestingPreviewIsDrawnOnceMoreSharpAsSavedPicturesAre)
{
    for (int s = 0; s < kSideCount; ++s)
        ASSERT_TRUE(renderer.LoadSideImage(s, TestImagePath(L"checker.png").c_str()));
    // The preview as the window lays it out, then as a large window makes it (its moving
    // frames then drawn without multisampling, its resting frame with).
    for (SIZE size : {SIZE{kPreviewWidth, kPreviewHeight}, SIZE{900, 700}}) {
        SCOPED_TRACE(testing::Message() << size.cx << " x " << size.cy);
        ::SetWindowPos(hPreview, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
        renderer.FitPreview();
        ASSERT_EQ(renderer.m_presentParams.BackBufferWidth, static_cast<UINT>(size.cx));
        scene.m_nRotation1 = size.cx == kPreviewWidth ? 160 : 161;  // the front seen at a steep angle
        renderer.RenderFrame();
        const unsigned long long drawn = renderer.FramesDrawn();
        const Frame moving = ReadFrame(renderer);
        // Ticks at the render timer's beat: one more frame once the scene has rested, then none.
        for (int tick = 0; tick < 300 && renderer.FramesDrawn() == drawn; ++tick) {
            ::Sleep(10);
            renderer.RenderFrame();
        }
        ASSERT_EQ(renderer.FramesDrawn(), drawn + 1) << "the resting frame was drawn again";
        for (int tick = 0; tick < 30; ++tick)
            renderer.RenderFrame();
        EXPECT_EQ(renderer.FramesDrawn(), drawn + 1) << "and then nothing more";

        const Frame resting = ReadFrame(renderer);
        EXPECT_NE(resting.pixels, moving.pixels) << "the faces are filtered otherwise at rest";
        DecodedImage picture;
        ASSERT_EQ(renderer.RenderPicture(size.cx, size.cy, false, -1, picture), D3D_OK);
        size_t differing = 0;
        for (size_t i = 0; i < picture.pixels.size(); ++i)
            differing += (picture.pixels[i] & 0xFFFFFF) != (resting.pixels[i] & 0xFFFFFF);
        EXPECT_EQ(differing, 0u) << "the resting frame is the picture saved at the preview's size";
    }
}

// A saved picture is cleared and drawn only where the box, its reflection and its shadow can
// be, and filled with the background round that: it must still be the picture drawn whole,
// which the resting preview is, wherever the box stands and whatever lies around it.
TEST_F(RenderFrameTest, ASavedPictureIsTheWholeFrameWhereverTheBoxStands)
{
    for (int s = 0; s < kSideCount; ++s)
        ASSERT_TRUE(renderer.LoadSideImage(s, TestImagePath(L"checker.png").c_str()));
    scene.m_clrBackground = 0xFF336699;
    struct Case {
        const char* what;
        void (*set)(TestScene&);
    };
    const Case cases[] = {
        {"full reflection and the softest shadow",
         [](TestScene& s) { s.m_nReflection = 100, s.m_nReflectionFade = 100, s.m_nShadow = 100, s.m_nShadowSoftness = 100; }},
        {"pushed against the right edge", [](TestScene& s) { s.m_nCentreX = -600, s.m_nRotation1 = 200; }},
        {"a hardcover, turned", [](TestScene& s) { s.m_nShape = ShapeHardcover, s.m_nRotation1 = 140; }},
        {"seen from close by", [](TestScene& s) { s.m_nShape = ShapeBox, s.m_nDistance = 60, s.m_nZoom = 300; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.set(scene);
        const Frame resting = RestingFrame();
        DecodedImage picture;
        ASSERT_EQ(renderer.RenderPicture(resting.width, resting.height, false, -1, picture), D3D_OK);
        size_t differing = 0;
        for (size_t i = 0; i < picture.pixels.size(); ++i)
            differing += (picture.pixels[i] & 0xFFFFFF) != (resting.pixels[i] & 0xFFFFFF);
        EXPECT_EQ(differing, 0u);
    }
}

TEST_F(RenderFrameTest, APreviewWiderThanTheExportDimsTheSidesThePictureLeavesOut)
{
    renderer.SetExportAspect(1.0f);  // square pictures from a 380 x 330 preview: 25 pixels a side go
    Frame f = Draw();
    EXPECT_LT(f.At(5, 5).r, 200) << "the left band is dimmed";
    EXPECT_LT(f.At(kPreviewWidth - 6, kPreviewHeight - 6).r, 200) << "and the right one";
    EXPECT_EQ(f.At(30, 5).r, 255) << "inside the picture's shape the background is as it is";
    DecodedImage picture;
    ASSERT_EQ(renderer.RenderPicture(330, 330, false, -1, picture), D3D_OK);
    EXPECT_EQ(picture.pixels[5] & 0xFFFFFF, 0xFFFFFFu) << "the picture itself carries no mark";
    renderer.SetExportAspect(2.0f);  // wider: the picture shows more than the preview, nothing to dim
    f = Draw();
    EXPECT_EQ(f.At(5, 5).r, 255);
}
