#include "shapes.h"

#include <algorithm>
#include <cmath>

#include "box_shape.h"
#include "device_shape.h"
#include "dvd_case_shape.h"
#include "hardcover_shape.h"
#include "open_book_shape.h"
#include "paperback_shape.h"
#include "slipcase_shape.h"
#include "scene_values.h"

namespace {
const ShapeRow* const kShapes[kShapeCount] = {&g_boxShape,      &g_paperbackShape, &g_hardcoverShape,
                                              &g_dvdCaseShape,  &g_slipcaseShape,  &g_openBookShape,
                                              &g_phoneShape,    &g_tabletShape,    &g_eReaderShape};
}

const ShapeRow& ShapeOf(int shape)
{
    return *kShapes[std::clamp(shape, 0, kShapeCount - 1)];
}

bool ShapeSpec::operator==(const ShapeSpec& o) const
{
    return shape == o.shape && std::equal(size, size + 3, o.size) && radius == o.radius && paper == o.paper && spine == o.spine &&
           bCover == o.bCover && (!bCover || cover == o.cover) && std::equal(values, values + kSceneValueCount, o.values);
}

ShapeSpec ShapeSpecOf(const int* values, unsigned coverWidth, unsigned coverHeight, std::wstring* pNote, std::wstring* pRefusal)
{
    ShapeSpec spec;
    spec.shape = std::clamp(values[kValueShape], 0, kShapeCount - 1);
    spec.paper = values[kValuePaper];
    spec.radius = values[kValueEdgeRadius] * 0.1f;
    for (int i = 0; i < kSceneValueCount; ++i)
        if (g_sceneValues[i].bProduct)
            spec.values[i] = values[i];
    const ShapeRow& row = ShapeOf(spec.shape);
    CoverSpec cover;
    double spine = 0;
    if (row.pfnCoverSpec && row.pfnCoverSpec(values, &cover)) {
        spine = cover.spine;
        std::wstring why;
        double pictureSpine = 0;
        if (coverWidth && coverHeight) {
            if (LayoutCover(cover, coverWidth, coverHeight, &spec.cover, &pictureSpine, &why)) {
                spec.bCover = true;
                if (std::fabs(pictureSpine - cover.spine) > kSpineToleranceInches && pNote)
                    *pNote = L"the cover's spine is " + InchesText(pictureSpine) + L" wide, the pages make " +
                             InchesText(cover.spine) + L": the book takes the cover's";
                spine = pictureSpine;
            } else if (pRefusal) {
                *pRefusal = why;
            }
        }
    }
    spec.spine = static_cast<float>(spine);
    row.pfnOuterSize(values, spine, spec.size);
    return spec;
}

float FootprintOfSize(const int*, const ShapeSpec& spec)
{
    return (spec.size[0] + spec.size[2]) * 0.5f;
}
