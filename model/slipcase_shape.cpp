#include "slipcase_shape.h"

#include <algorithm>

#include "scene_values.h"
#include "shape_builder.h"

namespace {

void SlipcaseSize(const int* values, double, float size[3])
{
    for (int k = 0; k < 3; ++k)
        size[k] = values[kValueWidth + k] * 0.1f;
}

// Open at the front (-z): the books' spines show there. Each wall a block of board: the big
// sides over the whole height, top and bottom between them, the closed end across all
// four; an edge of board shows in the front's colour wherever no picture or lining does.
ShapeMesh BuildSlipcase(const ShapeSpec& spec)
{
    ShapeBuilder b(spec);
    const float hx = spec.size[0] * 0.5f, hy = spec.size[1] * 0.5f, hz = spec.size[2] * 0.5f;
    const float e = std::min({kSlipcaseBoard, hx * 0.5f, hy * 0.5f, hz * 0.5f});
    const PartKind inside{SideFront, PartLook::Plain, MakeColour(215, 215, 215)};
    const PartKind edge{SideFront, PartLook::Plain};
    // outerFace shows the picture of slot `picture`; innerFace is lined.
    auto wall = [&](const float lo[3], const float hi[3], int outerFace, int picture, int innerFace) {
        PartKind kinds[kSideCount] = {edge, edge, edge, edge, edge, edge};
        kinds[outerFace] = {picture};
        kinds[innerFace] = inside;
        b.Block(lo, hi, kinds);
    };
    const float back = hz - e;  // where the closed end begins
    const float left[2][3] = {{-hx, -hy, -hz}, {-hx + e, hy, back}};
    const float right[2][3] = {{hx - e, -hy, -hz}, {hx, hy, back}};
    const float top[2][3] = {{-hx + e, -hy, -hz}, {hx - e, -hy + e, back}};
    const float bottom[2][3] = {{-hx + e, hy - e, -hz}, {hx - e, hy, back}};
    const float end[2][3] = {{-hx, -hy, back}, {hx, hy, hz}};
    wall(left[0], left[1], SideLeft, SideFront, SideRight);
    wall(right[0], right[1], SideRight, SideBack, SideLeft);
    wall(top[0], top[1], SideTop, SideTop, SideBottom);
    wall(bottom[0], bottom[1], SideBottom, SideBottom, SideTop);
    wall(end[0], end[1], SideBack, SideLeft, SideFront);
    return b.Finish();
}

} // namespace

const ShapeRow g_slipcaseShape = {L"Slipcase", nullptr, SlipcaseSize, BuildSlipcase, FootprintOfSize, -1, true};
