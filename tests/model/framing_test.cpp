// Fit in frame on the CPU: what the framing counts of the floor's shadow.
#include <gtest/gtest.h>

#include "light_kinds.h"
#include "scene_values.h"
#include "shape_kinds.h"
#include "view_fit.h"

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
