#include "paperback_shape.h"

#include <algorithm>
#include <cmath>

#include "scene_values.h"
#include "shape_builder.h"

namespace {

constexpr float kMinSpine = 0.03f;  // the thinnest book drawn (a dozen pages)

bool PaperbackCover(const int* values, CoverSpec* pSpec)
{
    pSpec->panelWidth = values[kValueTrimWidth] / 1000.0;
    pSpec->panelHeight = values[kValueTrimHeight] / 1000.0;
    pSpec->margin = values[kValueBleed] / 1000.0;
    pSpec->spine = PageBlockInches(values[kValuePages], values[kValuePaper]);
    return true;
}

void PaperbackSize(const int* values, double spine, float size[3])
{
    size[0] = values[kValueTrimWidth] / 1000.0f;
    size[1] = values[kValueTrimHeight] / 1000.0f;
    size[2] = std::max(static_cast<float>(spine), kMinSpine);
}

// The front cover, scored a little way from the spine where it opens: a soft groove the
// cover's picture runs over unbroken, its two sides turned a little to and from the light.
void FrontWithHinge(ShapeBuilder& b, float w, float h, float d, float depth)
{
    constexpr float kFromSpine = 0.2f, kHalfWidth = 0.06f;  // inches
    const float mid = std::min(-w + kFromSpine, 0.0f);
    const float xs[5] = {-w, std::max(mid - kHalfWidth, -w), mid, std::min(mid + kHalfWidth, w), w};
    const float zs[5] = {-d, -d, -d + depth, -d, -d};
    // The groove's sides lean by its depth over its half width; its floor and the flat cover
    // face straight out.
    const float lean = depth / kHalfWidth, unit = 1.0f / std::sqrt(1.0f + lean * lean);
    const Point3 normals[5] = {{0, 0, -1}, {0, 0, -1}, {0, 0, -1}, {0, 0, -1}, {0, 0, -1}};
    const Point3 sides[2] = {{lean * unit, 0, -unit}, {-lean * unit, 0, -unit}};
    for (int i = 0; i < 4; ++i) {
        if (xs[i + 1] <= xs[i])
            continue;
        const Point3 p[4] = {{xs[i], -h, zs[i]}, {xs[i + 1], -h, zs[i + 1]}, {xs[i + 1], h, zs[i + 1]}, {xs[i], h, zs[i]}};
        // The groove's sides shade from the flat cover's normal at their outer edge to their
        // own lean at the groove's floor: the crease is soft, not cut.
        Point3 n[4] = {normals[i], normals[i + 1], normals[i + 1], normals[i]};
        if (i == 1)
            n[1] = n[2] = sides[0];
        if (i == 2)
            n[0] = n[3] = sides[1];
        b.Skin(SideFront, p, n);
    }
}

ShapeMesh BuildPaperback(const ShapeSpec& spec)
{
    ShapeBuilder b(spec);
    const float w = spec.size[0] / 2, h = spec.size[1] / 2, d = spec.size[2] / 2;
    const float c = std::min(0.015f, d / 4);  // the cover board's thickness
    const float e = std::min(0.012f, d / 4);  // the page block sits this far inside the cover's edges

    // The cover's outside: front (with its hinge), spine and back.
    FrontWithHinge(b, w, h, d, std::min(c * 0.6f, 0.01f));
    const Point3 spine[4] = {{-w, -h, d}, {-w, -h, -d}, {-w, h, -d}, {-w, h, d}};
    const Point3 back[4] = {{w, -h, d}, {-w, -h, d}, {-w, h, d}, {w, h, d}};
    b.FlatSkin(SideLeft, spine, {-1, 0, 0});
    b.FlatSkin(SideBack, back, {0, 0, 1});
    // Its cut edges, coloured as the cover is where it ends.
    for (float y : {-h, h}) {
        const float ny = y < 0 ? -1.0f : 1.0f;
        const Point3 frontEdge[4] = {{-w, y, -d}, {w, y, -d}, {w, y, -d + c}, {-w, y, -d + c}};
        const Point3 backEdge[4] = {{-w, y, d - c}, {w, y, d - c}, {w, y, d}, {-w, y, d}};
        const Point3 spineEdge[4] = {{-w, y, -d + c}, {-w + c, y, -d + c}, {-w + c, y, d - c}, {-w, y, d - c}};
        b.FlatSkin(SideFront, frontEdge, {0, ny, 0});
        b.FlatSkin(SideBack, backEdge, {0, ny, 0});
        b.FlatSkin(SideLeft, spineEdge, {0, ny, 0});
    }
    const Point3 foreFront[4] = {{w, -h, -d}, {w, h, -d}, {w, h, -d + c}, {w, -h, -d + c}};
    const Point3 foreBack[4] = {{w, -h, d - c}, {w, h, d - c}, {w, h, d}, {w, -h, d}};
    b.FlatSkin(SideFront, foreFront, {1, 0, 0});
    b.FlatSkin(SideBack, foreBack, {1, 0, 0});
    // The cover's inside where it shows: the bands above, below and beyond the page block, from
    // the spine board's inner face on. Elsewhere the pages lie against it, and a whole inside
    // face, a hair behind the spine, would fight it for every pixel along its back edge (a
    // white saw-tooth there at the depth buffer's precision).
    const float uv[4][2] = {};
    const float x0 = -w + c;
    for (float z : {-d + c, d - c}) {
        const PartKind inside{z < 0 ? SideFront : SideBack, PartLook::Plain};
        const Point3 normal = {0, 0, z < 0 ? 1.0f : -1.0f};
        const float bands[3][4] = {{x0, w, -h, -h + e}, {x0, w, h - e, h}, {w - e, w, -h + e, h - e}};
        for (const auto& band : bands) {
            const Point3 quad[4] = {{band[0], band[2], z}, {band[1], band[2], z}, {band[1], band[3], z}, {band[0], band[3], z}};
            b.Flat(inside, quad, normal, uv);
        }
    }

    // The page block.
    const float lo[3] = {-w + c, -h + e, -d + c}, hi[3] = {w - e, h - e, d - c};
    b.PageBlock(lo, hi);
    return b.Finish();
}

} // namespace

const ShapeRow g_paperbackShape = {L"Paperback", PaperbackCover, PaperbackSize, BuildPaperback, FootprintOfSize};
