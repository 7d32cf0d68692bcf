// Face images: which files load, what a failure leaves behind, reference counting, and
// how an image lies on its face.
#include "render_fixture.h"

namespace {

class FaceTextureTest : public RenderTest {
protected:
    bool Load(int slot, const std::wstring& name) { return renderer.LoadSideImage(slot, TestImagePath(name).c_str()); }
};

bool IsRed(Pixel p) { return p.r > 200 && p.g < 60 && p.b < 60; }
bool IsGreen(Pixel p) { return p.g > 200 && p.r < 60 && p.b < 60; }
bool IsBlue(Pixel p) { return p.b > 200 && p.r < 60 && p.g < 60; }
bool IsYellow(Pixel p) { return p.r > 200 && p.g > 200 && p.b < 60; }

} // namespace

TEST_F(FaceTextureTest, EveryOfferedFormatLoadsUprightAndUnmirrored)
{
    FaceOn();
    for (const wchar_t* name : {L"quadrants.png", L"quadrants.jpg", L"quadrants.bmp", L"quadrants.tga"}) {
        SCOPED_TRACE(testing::Message() << "file " << name);
        ASSERT_TRUE(Load(SideFront, name));
        ASSERT_NE(scene.m_picture[SideFront], nullptr);
        Frame f = Draw();
        EXPECT_TRUE(IsRed(FrontAt(f, 0.25, 0.25))) << FrontAt(f, 0.25, 0.25);
        EXPECT_TRUE(IsGreen(FrontAt(f, 0.75, 0.25))) << FrontAt(f, 0.75, 0.25);
        EXPECT_TRUE(IsBlue(FrontAt(f, 0.25, 0.75))) << FrontAt(f, 0.25, 0.75);
        EXPECT_TRUE(IsYellow(FrontAt(f, 0.75, 0.75))) << FrontAt(f, 0.75, 0.75);
    }
}

TEST_F(FaceTextureTest, FaceColourTintsTheImage)
{
    FaceOn();
    ASSERT_TRUE(Load(SideFront, L"white.png"));
    scene.m_clrFace[SideFront] = RGB(255, 0, 0);
    Frame f = Draw();
    EXPECT_TRUE(IsRed(FrontAt(f, 0.5, 0.5))) << FrontAt(f, 0.5, 0.5);

    scene.m_clrFace[SideFront] = RGB(0, 0, 0);
    f = Draw();
    Pixel p = FrontAt(f, 0.5, 0.5);
    EXPECT_EQ(p.r + p.g + p.b, 0) << p;
}

TEST_F(FaceTextureTest, FilesThatAreNotPicturesFailAndLeaveTheFaceAsItWas)
{
    ASSERT_TRUE(Load(SideLeft, L"quadrants.png"));
    const PictureRef before = scene.m_picture[SideLeft];
    const long uses = before.use_count();
    for (const wchar_t* name : {L"truncated.png", L"empty.png", L"text.png", L"no such file.png"}) {
        EXPECT_FALSE(Load(SideLeft, name));
        EXPECT_EQ(scene.m_picture[SideLeft], before);
        EXPECT_EQ(before.use_count(), uses);
    }
    // A face without an image stays without one.
    EXPECT_FALSE(Load(SideTop, L"empty.png"));
    EXPECT_EQ(scene.m_picture[SideTop], nullptr);
    EXPECT_FALSE(renderer.LoadSideImage(SideTop, L""));
    EXPECT_EQ(scene.m_picture[SideTop], nullptr);
}

TEST_F(FaceTextureTest, APictureLetGoOfTakesItsTextureWithIt)
{
    FaceOn();
    ASSERT_TRUE(Load(SideFront, L"quadrants.png"));
    Draw();
    ASSERT_EQ(renderer.m_faceTextures.Count(), 1u);
    std::weak_ptr<const ScenePicture> old = scene.m_picture[SideFront];
    ASSERT_TRUE(Load(SideFront, L"quadrants.jpg"));
    EXPECT_TRUE(old.expired());  // nothing else held it
    Frame f = Draw();
    EXPECT_EQ(renderer.m_faceTextures.Count(), 1u);  // the old texture went with its picture
    EXPECT_TRUE(IsRed(FrontAt(f, 0.25, 0.25))) << FrontAt(f, 0.25, 0.25);
}

TEST_F(FaceTextureTest, OneFileOnTwoFacesIsOnePictureUntilTheFileChanges)
{
    FaceOn();
    ASSERT_TRUE(Load(SideFront, L"quadrants.png"));
    ASSERT_TRUE(Load(SideRight, L"quadrants.png"));
    EXPECT_EQ(scene.m_picture[SideFront], scene.m_picture[SideRight]);
    Draw();  // every face is drawn, seen or not
    EXPECT_EQ(renderer.m_faceTextures.Count(), 1u);
    renderer.ClearSideImage(SideFront);
    EXPECT_EQ(scene.m_picture[SideFront], nullptr);
    EXPECT_NE(scene.m_picture[SideRight], nullptr);

    // The same name after the file was written anew is the new picture, not the one held.
    const std::wstring copy = TestImagePath(L"changing.png");
    ASSERT_TRUE(::CopyFileW(TestImagePath(L"quadrants.png").c_str(), copy.c_str(), FALSE));
    ASSERT_TRUE(renderer.LoadSideImage(SideFront, copy.c_str()));
    const PictureRef first = scene.m_picture[SideFront];
    ASSERT_TRUE(::CopyFileW(TestImagePath(L"white.png").c_str(), copy.c_str(), FALSE));
    ASSERT_TRUE(renderer.LoadSideImage(SideFront, copy.c_str()));
    EXPECT_NE(scene.m_picture[SideFront], first);
    const Pixel p = FrontAt(Draw(), 0.25, 0.25);
    EXPECT_GT(p.g, 200) << p;  // white now, not the red quadrant
    ::DeleteFileW(copy.c_str());
}

TEST_F(FaceTextureTest, NamesInAnyScriptLoad)
{
    FaceOn();
    ASSERT_TRUE(Load(SideFront, L"\x043A\x043E\x0440\x043E\x0431\x043A\x0430 \x7BB1.png"));
    Frame f = Draw();
    EXPECT_TRUE(IsRed(FrontAt(f, 0.25, 0.25))) << FrontAt(f, 0.25, 0.25);
}

TEST_F(FaceTextureTest, AFinePatternSeenSmallKeepsItsBrightness)
{
    // A one-pixel checker, 2048 texels across a face of a couple of hundred pixels: what
    // shows are the small detail levels, which must average light (188), not values (128).
    ASSERT_TRUE(Load(SideFront, L"checker.png"));
    FaceOn();
    Frame f = Draw();
    const Pixel p = FrontAt(f, 0.5, 0.5);
    EXPECT_NEAR((p.r + p.g + p.b) / 3.0, 188.0, 8.0) << p;
}
