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
