// Artwork as people have it: every common variant of the four formats loads, upright and
// in its colours; broken and hostile files fail and leave the face as it was; memory
// comes back after many loads.
#include "render_fixture.h"

#include <psapi.h>

#include <algorithm>

#include "tga_decoder.h"

namespace {

class FaceImageTest : public RenderTest {
protected:
    void SetUp() override
    {
        RenderTest::SetUp();
        FaceOn();
    }
    bool Load(const wchar_t* name) { return renderer.LoadSideImage(SideFront, TestImagePath(name).c_str()); }
};

bool Near(Pixel p, int r, int g, int b, int tolerance = 60)
{
    return std::abs(p.r - r) <= tolerance && std::abs(p.g - g) <= tolerance && std::abs(p.b - b) <= tolerance;
}

// The most memory the process has ever committed.
long long PeakCommit()
{
    PROCESS_MEMORY_COUNTERS pmc = {};
    pmc.cb = sizeof(pmc);
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &pmc, sizeof(pmc));
    return static_cast<long long>(pmc.PeakPagefileUsage);
}

} // namespace

TEST_F(FaceImageTest, EveryVariantLoadsUprightInItsColours)
{
    const wchar_t* names[] = {
        L"cmyk.jpg", L"progressive.jpg", L"interlaced.png", L"rgb16.png", L"palette.png",
        L"bmp24-bottom-up.bmp", L"bmp24-top-down.bmp", L"bmp32-bottom-up.bmp", L"bmp32-top-down.bmp",
        L"bmp8-rle.bmp", L"bmp4-palette.bmp", L"bmp16-565.bmp", L"os2.bmp",
        L"quadrants.tga", L"rle.tga", L"tga-top-left.tga", L"wide-300x100.png", L"npot-37x83.png",
        L"mislabelled-jpeg.png",
    };
    for (const wchar_t* name : names) {
        SCOPED_TRACE(testing::Message() << name);
        ASSERT_TRUE(Load(name));
        Frame f = Draw();
        EXPECT_TRUE(Near(FrontAt(f, 0.25, 0.25), 255, 0, 0)) << FrontAt(f, 0.25, 0.25);
        EXPECT_TRUE(Near(FrontAt(f, 0.75, 0.25), 0, 255, 0)) << FrontAt(f, 0.75, 0.25);
        EXPECT_TRUE(Near(FrontAt(f, 0.25, 0.75), 0, 0, 255)) << FrontAt(f, 0.25, 0.75);
        EXPECT_TRUE(Near(FrontAt(f, 0.75, 0.75), 255, 255, 0)) << FrontAt(f, 0.75, 0.75);
    }
}

TEST_F(FaceImageTest, GreyPicturesLoadInTheirGreys)
{
    for (const wchar_t* name : {L"grey8.png", L"grey16.png", L"bilevel.png", L"grey-alpha.png", L"grey.jpg"}) {
        SCOPED_TRACE(testing::Message() << name);
        ASSERT_TRUE(Load(name));
        Frame f = Draw();
        EXPECT_TRUE(Near(FrontAt(f, 0.25, 0.25), 255, 255, 255)) << FrontAt(f, 0.25, 0.25);
        EXPECT_TRUE(Near(FrontAt(f, 0.75, 0.25), 0, 0, 0)) << FrontAt(f, 0.75, 0.25);
        EXPECT_TRUE(Near(FrontAt(f, 0.75, 0.75), 255, 255, 255)) << FrontAt(f, 0.75, 0.75);
    }
}

TEST_F(FaceImageTest, SixteenBitGreyRampIsSmoothAcrossAndDown)
{
    ASSERT_TRUE(Load(L"ramp16-301x200.png"));
    Frame f = Draw();
    for (bool across : {true, false}) {
        SCOPED_TRACE(across ? "across" : "down");
        int previous = -1, first = -1, biggestStep = 0;
        for (int i = 0; i <= 40; ++i) {
            double t = 0.05 + 0.9 * i / 40;
            Pixel p = across ? FrontAt(f, t, 0.5) : FrontAt(f, 0.5, t);
            EXPECT_LE(std::max({p.r, p.g, p.b}) - std::min({p.r, p.g, p.b}), 2) << "grey";
            if (previous >= 0) {
                EXPECT_GE(p.g, previous - 2) << "rises at " << t;  // no stripes, no noise
                biggestStep = std::max(biggestStep, std::abs(p.g - previous));
            } else {
                first = p.g;
            }
            previous = p.g;
        }
        EXPECT_GT(previous - first, across ? 130 : 50) << "the ramp spans its greys";
        EXPECT_LE(biggestStep, 16);
    }
}

TEST_F(FaceImageTest, TransparentArtworkShowsTheFaceColourThrough)
{
    scene.m_clrFace[SideFront] = RGB(255, 255, 0);  // yellow
    ASSERT_TRUE(Load(L"transparent-regions.png"));
    Frame f = Draw();
    Pixel clear = FrontAt(f, 0.25, 0.5), half = FrontAt(f, 0.75, 0.5);
    EXPECT_TRUE(Near(clear, 255, 255, 0, 12)) << "fully transparent: the face colour " << clear;
    EXPECT_TRUE(Near(half, 255, 128, 0, 12)) << "half red over white, times yellow " << half;
}

TEST_F(FaceImageTest, OnePixelCoversTheWholeFace)
{
    ASSERT_TRUE(Load(L"one-pixel.png"));
    Frame f = Draw();
    EXPECT_TRUE(Near(FrontAt(f, 0.1, 0.1), 255, 0, 0, 10));
    EXPECT_TRUE(Near(FrontAt(f, 0.9, 0.9), 255, 0, 0, 10));
}

TEST_F(FaceImageTest, BrokenAndHostileFilesFailAndChangeNothing)
{
    ASSERT_TRUE(Load(L"quadrants.png"));
    const PictureRef before = scene.m_picture[SideFront];
    for (const wchar_t* name : {L"truncated.png", L"empty.png", L"text.png", L"text.jpg", L"absurd-100000.png",
                                L"absurd-50000.bmp", L"zero-width.png", L"zero-width.bmp", L"missing.png"}) {
        SCOPED_TRACE(testing::Message() << name);
        EXPECT_FALSE(Load(name));
        EXPECT_EQ(scene.m_picture[SideFront], before);
    }
}

TEST_F(FaceImageTest, LargeArtworkKeepsEveryPixel)
{
    ASSERT_TRUE(Load(L"large.jpg"));  // 1500 x 1500
    IDirect3DTexture9* pTexture = renderer.m_faceTextures.For(renderer.m_pDevice, scene.m_picture[SideFront]);
    ASSERT_NE(pTexture, nullptr);
    D3DSURFACE_DESC desc;
    pTexture->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Width, 1500u);
    EXPECT_EQ(desc.Height, 1500u);
    EXPECT_GT(pTexture->GetLevelCount(), 1u);  // mipmapped
}

TEST_F(FaceImageTest, MemoryComesBackAfterManyLoads)
{
    auto privateBytes = [] {
        PROCESS_MEMORY_COUNTERS_EX pmc = {};
        pmc.cb = sizeof(pmc);
        ::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof(pmc));
        return static_cast<long long>(pmc.PrivateUsage);
    };
    // Each picture decoded and made a texture by a frame, then let go of.
    for (int i = 0; i < 10; ++i) {  // let every allocator reach its working size
        ASSERT_TRUE(Load(L"large.jpg"));
        Draw();
        renderer.ClearSideImage(SideFront);
    }
    long long start = privateBytes();
    for (int i = 0; i < 200; ++i) {
        ASSERT_TRUE(Load(L"large.jpg"));
        Draw();
        renderer.ClearSideImage(SideFront);
    }
    long long grown = privateBytes() - start;
    EXPECT_LT(grown, 16ll << 20) << "grew by " << grown / 1024 << " KiB";
}

TEST_F(FaceImageTest, AHugePictureIsRefusedFromItsHeaderBeforeAnyDecoding)
{
    ASSERT_TRUE(Load(L"quadrants.png"));
    const PictureRef before = scene.m_picture[SideFront];
    long long peakBefore = PeakCommit();
    FaceLoadFailure why;
    // A valid 1-bit PNG of 20000 x 20000: 76 KB on disk, 1.6 GB as BGRA.
    EXPECT_FALSE(LoadSideImage(scene, SideFront, TestImagePath(L"huge-header.png").c_str(), &why));
    EXPECT_EQ(why.reason, FaceLoadFailure::TooLarge);
    EXPECT_EQ(why.width, 20000u);
    EXPECT_EQ(why.height, 20000u);
    EXPECT_EQ(scene.m_picture[SideFront], before);
    EXPECT_LT(PeakCommit() - peakBefore, 64ll << 20) << "no large allocation";

    // The other reasons, as the user is told them.
    const std::pair<const wchar_t*, FaceLoadFailure::Reason> cases[] = {
        {L"no such file.png", FaceLoadFailure::Unreadable}, {L"text.png", FaceLoadFailure::NotAPicture},
        {L"truncated.png", FaceLoadFailure::Damaged}, {L"absurd-100000.png", FaceLoadFailure::TooLarge},
        {L"zero-width.png", FaceLoadFailure::Damaged}, {L"text.jpg", FaceLoadFailure::NotAPicture}};
    for (const auto& c : cases) {
        EXPECT_FALSE(LoadSideImage(scene, SideFront, TestImagePath(c.first).c_str(), &why));
        EXPECT_EQ(why.reason, c.second) << c.first;
    }
}

TEST_F(FaceImageTest, SizesHiddenPastTheFirstBytesAreFoundBeforeDecodingAndAnimationsDecodeOneFrame)
{
    ASSERT_TRUE(Load(L"quadrants.png"));
    const PictureRef before = scene.m_picture[SideFront];
    long long peakBefore = PeakCommit();
    // A frame header after 300 KB of comments; a 20000 x 20000 frame on a 1 x 1 screen; an
    // icon holding a 20000 x 20000 PNG.
    for (const wchar_t* name : {L"comments-then-huge.jpg", L"huge-frame-small-screen.gif", L"icon-huge-png.ico"}) {
        SCOPED_TRACE(testing::Message() << name);
        FaceLoadFailure why;
        EXPECT_FALSE(LoadSideImage(scene, SideFront, TestImagePath(name).c_str(), &why));
        EXPECT_EQ(why.reason, FaceLoadFailure::TooLarge);
        EXPECT_EQ(why.width, 20000u);
        EXPECT_EQ(why.height, 20000u);
        EXPECT_EQ(scene.m_picture[SideFront], before);
    }
    // A kind whose header the platform's decoder reads for us: still named as too large.
    FaceLoadFailure why;
    EXPECT_FALSE(LoadSideImage(scene, SideFront, TestImagePath(L"huge.tif").c_str(), &why));
    EXPECT_EQ(why.reason, FaceLoadFailure::TooLarge);
    EXPECT_NE(FaceLoadReason(why).find(L"too large"), std::wstring::npos);
    // 256 MB that are no picture: refused without being read whole.
    EXPECT_FALSE(LoadSideImage(scene, SideFront, TestImagePath(L"no-picture-256mb.bin").c_str(), &why));
    EXPECT_EQ(why.reason, FaceLoadFailure::NotAPicture);
    EXPECT_LT(PeakCommit() - peakBefore, 64ll << 20) << "nothing large was read or decoded";

    // 100 frames of 2048 x 2048 and a last one of 20000 x 20000 that is damaged: the first
    // frame is the face, the others are never decoded.
    ASSERT_TRUE(Load(L"animated-100.gif"));
    EXPECT_TRUE(Near(FrontAt(Draw(), 0.5, 0.5), 0xE0, 0x10, 0x10, 24));
}

TEST(TgaDecoder, RefusesWhatItCannotReadWithoutReadingPastTheData)
{
    DecodedImage image;
    const unsigned char tooShort[10] = {};
    EXPECT_TRUE(FAILED(DecodeTgaMemory(tooShort, sizeof(tooShort), image)));

    // A run-length header claiming 30000 x 30000 over a few bytes.
    unsigned char claim[18 + 4] = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x30, 0x75, 0x30, 0x75, 24, 0};
    EXPECT_TRUE(FAILED(DecodeTgaMemory(claim, sizeof(claim), image)));

    // A run that would write past the picture's end.
    unsigned char overrun[18 + 4] = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 1, 0, 24, 0, 0xFF, 1, 2, 3};
    EXPECT_TRUE(FAILED(DecodeTgaMemory(overrun, sizeof(overrun), image)));

    // A valid 2 x 1 picture, one run of two blue pixels, bottom-left origin.
    unsigned char valid[18 + 4] = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 1, 0, 24, 0, 0x81, 0xFF, 0, 0};
    ASSERT_TRUE(SUCCEEDED(DecodeTgaMemory(valid, sizeof(valid), image)));
    EXPECT_EQ(image.width, 2u);
    EXPECT_EQ(image.pixels[1], 0xFF0000FFu);
}
