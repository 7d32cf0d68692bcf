#include "box_shape.h"

#include <cmath>

#include "scene_values.h"

namespace {

void BoxOuterSize(const int* values, double, float size[3])
{
    for (int k = 0; k < 3; ++k)
        size[k] = values[kValueWidth + k] * 0.1f;
}

int Tenths(float units)
{
    return static_cast<int>(std::lround(units * 10));
}

ShapeMesh BuildBox(const ShapeSpec& spec)
{
    return BoxShapeMesh(Tenths(spec.size[0]), Tenths(spec.size[1]), Tenths(spec.size[2]), Tenths(spec.radius));
}

// In whole tenths, as the box's shadow always was: the same shadow to the bit.
float BoxFootprint(const int* values, const ShapeSpec&)
{
    return static_cast<float>(values[kValueWidth] + values[kValueDepth]) * 0.1f * 0.5f;
}

} // namespace

const ShapeRow g_boxShape = {L"Box", nullptr, BoxOuterSize, BuildBox, BoxFootprint, -1, true};
