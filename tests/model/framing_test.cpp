// Fit in frame on the CPU: what the framing counts of the floor's shadow.
#include <gtest/gtest.h>

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
