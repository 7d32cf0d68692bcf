// Fit in frame on the CPU: what the framing counts of the floor's shadow.
#include <gtest/gtest.h>

#include "light_kinds.h"
#include "scene_values.h"
#include "shape_kinds.h"
#include "view_fit.h"
#include "scene_camera.h"

#include <cmath>

namespace {

struct Scene : BoxScene {
    explicit Scene(int shape)
    {
        SetStartScene(*this);
        m_nShape = shape;
        m_nTrimWidth = 6000, m_nTrimHeight = 9000, m_nPages = 300;
    }
    void RefreshPages() override {}
};

ViewFit Fit(int shape, int shadow)
{
    Scene scene(shape);
    scene.m_nShadow = shadow;
    ViewFit fit;
    EXPECT_TRUE(FitView(scene, 1.0f, 5.0f, &fit));
    return fit;
}

} // namespace

TEST(Framing, AShadowThatDarkensNothingPastTheBookTakesNoRoom)
{
    for (int shape : {ShapeBox, ShapePaperback}) {
        const ViewFit none = Fit(shape, 0), faint = Fit(shape, 1);
        EXPECT_EQ(faint.zoom, none.zoom) << "shape " << shape;
        EXPECT_EQ(faint.centreY, none.centreY) << "shape " << shape;
    }
}

TEST(Framing, AStrongerShadowShowsFurtherAndTakesMoreRoom)
{
    const ViewFit light = Fit(ShapePaperback, 20), strong = Fit(ShapePaperback, 100);
    EXPECT_LE(strong.zoom, light.zoom);  // a wider view for the darker shadow
    EXPECT_LT(Fit(ShapePaperback, 100).zoom, Fit(ShapePaperback, 0).zoom);
}

TEST(Framing, ALargerStudioLightsSofterShadowReachesFurtherAndTakesMoreRoom)
{
    auto zoom = [](int lightSize) {
        Scene scene(ShapeHardcover);
        scene.m_nLight = LightStudio, scene.m_nShadow = 80, scene.m_nLightSize = lightSize;
        ViewFit fit;
        EXPECT_TRUE(FitView(scene, 1.0f, 5.0f, &fit));
        return fit.zoom;
    };
    EXPECT_LT(zoom(30), zoom(0)) << "the faint end of a large light's shadow is framed too";
    EXPECT_LE(zoom(12), zoom(0));
}

TEST(Framing, ALowLightsLongShadowLeavesTheBookTheLargerPartOfThePicture)
{
    // At 5 degrees the shadow runs eleven heights: the book is framed, the shadow only so
    // far. The book's share of the picture against its share with no shadow at all:
    auto halfView = [](int shadow, int elevation) {
        Scene scene(ShapePaperback);
        scene.m_nLight = LightStudio, scene.m_nShadow = shadow, scene.m_nLightElevation = elevation;
        ViewFit fit;
        EXPECT_TRUE(FitView(scene, 1.0f, 5.0f, &fit));
        return std::tan(FieldOfView(fit.zoom) / 2);
    };
    const double alone = halfView(0, 5);
    EXPECT_GT(alone / halfView(80, 5), 0.4);
    EXPECT_GT(halfView(80, 5), halfView(80, 50)) << "the low light's shadow still takes more room";
}

TEST(Framing, AFittedViewFollowsThePicturesShapeAndAViewSetByHandStays)
{
    Scene scene(ShapePaperback);
    ViewFit wide;
    ASSERT_TRUE(FitView(scene, 16.0f / 9, 5.0f, &wide));
    scene.m_nZoom = wide.zoom, scene.m_nCentreX = wide.centreX, scene.m_nCentreY = wide.centreY;
    // Fitted to 16:9, then saved as a tall picture: fitted to that, a wider view (the book's
    // width now decides).
    ASSERT_TRUE(RefitForAspect(scene, 16.0f / 9, 0.5f, 5.0f));
    ViewFit tall;
    ASSERT_TRUE(FitView(scene, 0.5f, 5.0f, &tall));
    EXPECT_EQ(scene.m_nZoom, tall.zoom);
    EXPECT_LT(scene.m_nZoom, wide.zoom);
    // Zoomed by hand a step: the user's framing is theirs.
    scene.m_nZoom -= 10;
    const int zoom = scene.m_nZoom;
    EXPECT_FALSE(RefitForAspect(scene, 0.5f, 1.0f, 5.0f));
    EXPECT_EQ(scene.m_nZoom, zoom);
}
