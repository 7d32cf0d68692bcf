// Framing: after a fit, what is drawn (the box, its reflection, its shadow) lies inside the
// picture with the margin, and fills it on one side.
#include "render_fixture.h"
#include "view_fit.h"

TEST_F(RenderTest, FitInFrameHoldsTheBoxAndItsReflectionWithTheMarginAtAnyShape)
{
    scene.m_nReflection = 80;
    scene.m_nShadow = 60;
    scene.m_nZoom = 1000;  // far too close: the box is cut
    scene.m_nCentreX = 400;
    scene.m_clrBackground = 0xFFFFFFFF;
    for (SIZE size : {SIZE{600, 600}, SIZE{800, 450}, SIZE{400, 600}}) {
        SCOPED_TRACE(testing::Message() << size.cx << " x " << size.cy);
        ViewFit fit;
        ASSERT_TRUE(FitView(scene, static_cast<float>(size.cx) / static_cast<float>(size.cy), 5.0f, &fit));
        scene.m_nZoom = fit.zoom;
        scene.m_nCentreX = fit.centreX;
        scene.m_nCentreY = fit.centreY;
        DecodedImage picture;
        ASSERT_EQ(renderer.RenderPicture(size.cx, size.cy, false, -1, picture), D3D_OK);
        int x0 = size.cx, x1 = -1, y0 = size.cy, y1 = -1;
        for (int y = 0; y < size.cy; ++y)
            for (int x = 0; x < size.cx; ++x) {
                const uint32_t c = picture.pixels[static_cast<size_t>(y) * size.cx + x];
                if (((c >> 16) & 0xFF) < 250 || ((c >> 8) & 0xFF) < 250 || (c & 0xFF) < 250) {
                    x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
                }
            }
        const int mx = size.cx / 20, my = size.cy / 20;  // 5% on each side
        EXPECT_GE(x0, mx - 2);
        EXPECT_LE(x1, size.cx - mx + 1);
        EXPECT_GE(y0, my - 2);
        EXPECT_LE(y1, size.cy - my + 1);
        // Tight on one axis: what is drawn spans (nearly) the room inside the margins.
        const double across = std::max(static_cast<double>(x1 - x0) / (size.cx - 2 * mx),
                                       static_cast<double>(y1 - y0) / (size.cy - 2 * my));
        EXPECT_GT(across, 0.9) << x0 << "," << y0 << " - " << x1 << "," << y1;
        // Centred: the margins left and right (or above and below) are alike.
        EXPECT_LE(std::abs(x0 - (size.cx - 1 - x1)), size.cx / 50 + 2);
    }
}

// Whether a picture shows the box is decided from where it is: it agrees with what the
// device draws (on black, where a white box cannot hide), and a white box face-on against
// white, whose pixels are all the background's, is in view all the same.
TEST_F(RenderTest, OutOfViewIsDecidedByWhereTheBoxIsAndAgreesWithTheDevice)
{
    scene.m_clrBackground = 0xFF000000;
    int inside = 0, seen = 0;
    for (int side : {60, 150, 300})
        for (int distance : {50, 90, 200})
            for (int rotation2 : {30, 90, 150}) {
                scene.m_nWidth = scene.m_nHeight = scene.m_nDepth = side;
                scene.m_nDistance = distance;
                scene.m_nRotation2 = rotation2;
                const Visibility visibility = SceneVisibility(scene, 1.0f);
                SCOPED_TRACE(testing::Message() << "side " << side << ", distance " << distance << ", rotation2 " << rotation2);
                DecodedImage picture;
                ASSERT_EQ(renderer.RenderPicture(200, 200, false, -1, picture), D3D_OK);
                const bool bDrawn = std::any_of(picture.pixels.begin(), picture.pixels.end(),
                                                [](uint32_t c) { return (c & 0x00FFFFFF) != 0; });
                EXPECT_EQ(bDrawn, visibility == Visibility::InView);
                inside += visibility == Visibility::CameraInside;
                seen += visibility == Visibility::InView;
            }
    EXPECT_GT(inside, 0);
    EXPECT_GT(seen, 0);

    scene.m_nWidth = scene.m_nHeight = scene.m_nDepth = 100;
    scene.m_nDistance = 200;
    scene.m_clrBackground = 0xFFFFFFFF;
    FaceOn();
    DecodedImage picture;
    ASSERT_EQ(renderer.RenderPicture(200, 200, false, -1, picture), D3D_OK);
    EXPECT_TRUE(std::all_of(picture.pixels.begin(), picture.pixels.end(),
                            [](uint32_t c) { return (c & 0x00FFFFFF) == 0x00FFFFFF; }))
        << "the face-on white box is drawn white on white";
    EXPECT_EQ(SceneVisibility(scene, 1.0f), Visibility::InView);
    EXPECT_EQ(OutOfViewReason(Visibility::InView), nullptr);
}
