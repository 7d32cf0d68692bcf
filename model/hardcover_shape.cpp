#include "hardcover_shape.h"

#include <algorithm>
#include <cmath>

#include "scene_values.h"
#include "shape_builder.h"

namespace {

constexpr int kSpineSteps = 12;
constexpr float kPi = 3.14159265f;
constexpr float kMinSpine = 0.3f;
constexpr Colour kHollow = MakeColour(120, 120, 120);  // the lining, in the hollow's shade

float Bulge(float depth)
{
    return std::min(0.15f, depth * 0.15f);  // how far the rounded spine stands out past the boards
}

bool HardcoverCover(const int* values, CoverSpec* pSpec)
{
    // The printers' case wrap: each board's panel (hinge included) the trim plus its
    // overhang, the boards' height the trim plus both overhangs, the wrap folded in round it.
    pSpec->panelWidth = values[kValueTrimWidth] / 1000.0 + kBoardOverhang;
    pSpec->panelHeight = values[kValueTrimHeight] / 1000.0 + 2 * kBoardOverhang;
    pSpec->margin = values[kValueWrap] / 1000.0;
    pSpec->spine = PageBlockInches(values[kValuePages], values[kValuePaper]) + 2 * kBoardThickness;
    return true;
}

void HardcoverSize(const int* values, double spine, float size[3])
{
    size[2] = std::max(static_cast<float>(spine), kMinSpine);
    size[0] = values[kValueTrimWidth] / 1000.0f + kBoardOverhang + Bulge(size[2]);
    size[1] = values[kValueTrimHeight] / 1000.0f + 2 * kBoardOverhang;
}

Point3 Reversed(Point3 n)
{
    return {-n.x, -n.y, -n.z};
}

Point3 Normalised(Point3 n)
{
    const float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    return {n.x / length, n.y / length, n.z / length};
}

ShapeMesh BuildHardcover(const ShapeSpec& spec)
{
    ShapeBuilder b(spec);
    const float w = spec.size[0] / 2, h = spec.size[1] / 2, d = spec.size[2] / 2;
    const float t = std::min(kBoardThickness, d / 3);
    const float bulge = Bulge(spec.size[2]);
    const float fold = -w + bulge;  // where the boards meet the spine
    // Each board's outside across its width: flat, down into the hinge groove, up, flat.
    const float grooveWidth = 0.12f, grooveDepth = t * 0.5f;
    const float grooveEnd = std::min(fold + kHingeWidth, w - 0.5f);
    // The board's outer edge at the fore-edge is rounded off, as board under cloth or paper
    // is: a highlight along it rather than a knife's edge.
    const float round = std::min(t * 0.5f, 0.05f);
    const float xs[5] = {fold, grooveEnd - grooveWidth, grooveEnd - grooveWidth / 2, grooveEnd, w - round};
    const float sink[5] = {0, 0, grooveDepth, 0, 0};

    for (int side = 0; side < 2; ++side) {  // the front board, then the back
        const float zs = side == 0 ? -1.0f : 1.0f;  // outwards
        const int slot = side == 0 ? SideFront : SideBack;
        for (int i = 0; i < 4; ++i) {
            const float z0 = zs * (d - sink[i]), z1 = zs * (d - sink[i + 1]);
            const Point3 outside[4] = {{xs[i], -h, z0}, {xs[i + 1], -h, z1}, {xs[i + 1], h, z1}, {xs[i], h, z0}};
            const Point3 normal = Normalised({-(z1 - z0) * zs, 0, (xs[i + 1] - xs[i]) * zs});
            b.FlatSkin(slot, outside, normal);
            // The board's top and bottom edges under this strip of its outside.
            for (float y : {-h, h}) {
                const float zi = zs * (d - t);
                const Point3 edge[4] = {{xs[i], y, z0}, {xs[i + 1], y, z1}, {xs[i + 1], y, zi}, {xs[i], y, zi}};
                b.FlatSkin(slot, edge, {0, y < 0 ? -1.0f : 1.0f, 0});
            }
        }
        // The rounded edge, a quarter turn from the outside onto the fore-edge, with the
        // board's top and bottom under it.
        constexpr int kRoundSteps = 3;
        for (int k = 0; k < kRoundSteps; ++k) {
            const float a0 = 0.5f * kPi * k / kRoundSteps, a1 = 0.5f * kPi * (k + 1) / kRoundSteps;
            const float x0 = w - round + round * std::sin(a0), x1 = w - round + round * std::sin(a1);
            const float z0 = zs * (d - round + round * std::cos(a0)), z1 = zs * (d - round + round * std::cos(a1));
            const Point3 n0 = {std::sin(a0), 0, zs * std::cos(a0)}, n1 = {std::sin(a1), 0, zs * std::cos(a1)};
            const Point3 outside[4] = {{x0, -h, z0}, {x1, -h, z1}, {x1, h, z1}, {x0, h, z0}};
            const Point3 normals[4] = {n0, n1, n1, n0};
            b.Skin(slot, outside, normals);
            for (float y : {-h, h}) {
                const float zi = zs * (d - t);
                const Point3 edge[4] = {{x0, y, z0}, {x1, y, z1}, {x1, y, zi}, {x0, y, zi}};
                b.FlatSkin(slot, edge, {0, y < 0 ? -1.0f : 1.0f, 0});
            }
        }
        const Point3 foreEdge[4] = {{w, -h, zs * (d - round)}, {w, h, zs * (d - round)}, {w, h, zs * (d - t)},
                                    {w, -h, zs * (d - t)}};
        b.FlatSkin(slot, foreEdge, {1, 0, 0});
        // The endpaper inside the board, seen past the overhang.
        const float uv[4][2] = {};
        const Point3 inside[4] = {{fold, -h, zs * (d - t)}, {w, -h, zs * (d - t)}, {w, h, zs * (d - t)},
                                  {fold, h, zs * (d - t)}};
        b.Flat({slot, PartLook::Plain}, inside, {0, 0, -zs}, uv);
    }

    // The spine: half an ellipse from the front board's fold round to the back's.
    // inset: the case's inside, the ellipse shrunk towards its centre by the board's thickness.
    auto spinePoint = [&](int i, float inset) {
        const float a = kPi * (static_cast<float>(i) / kSpineSteps - 0.5f), scale = 1 - inset / d;
        return Point3{fold - bulge * scale * std::cos(a), 0, d * scale * std::sin(a)};
    };
    auto spineNormal = [&](int i) {
        const float a = kPi * (static_cast<float>(i) / kSpineSteps - 0.5f);
        return Normalised({-std::cos(a) * d, 0, std::sin(a) * bulge});
    };
    for (int i = 0; i < kSpineSteps; ++i) {
        const Point3 p0 = spinePoint(i, 0), p1 = spinePoint(i + 1, 0);
        const Point3 n0 = spineNormal(i), n1 = spineNormal(i + 1);
        const Point3 outside[4] = {{p0.x, -h, p0.z}, {p1.x, -h, p1.z}, {p1.x, h, p1.z}, {p0.x, h, p0.z}};
        const Point3 normals[4] = {n0, n1, n1, n0};
        b.Skin(SideLeft, outside, normals);
        const Point3 q0 = spinePoint(i, t), q1 = spinePoint(i + 1, t);
        for (float y : {-h, h}) {
            const Point3 edge[4] = {{p0.x, y, p0.z}, {p1.x, y, p1.z}, {q1.x, y, q1.z}, {q0.x, y, q0.z}};
            b.FlatSkin(SideLeft, edge, {0, y < 0 ? -1.0f : 1.0f, 0});
        }
        // The case's inside, seen down the hollow between the spine and the pages from above
        // or below: without it the hollow shows the background through the book.
        const float uv[4][2] = {};
        const Point3 inside[4] = {{q0.x, -h, q0.z}, {q1.x, -h, q1.z}, {q1.x, h, q1.z}, {q0.x, h, q0.z}};
        const Point3 inwards[4] = {Reversed(n0), Reversed(n1), Reversed(n1), Reversed(n0)};
        b.Patch({SideLeft, PartLook::Plain, kHollow}, inside, inwards, uv);
    }

    // The page block, set back between the boards, reaching into the spine's hollow.
    const float lo[3] = {fold - bulge + t, -h + kBoardOverhang, -d + t};
    const float hi[3] = {w - kBoardOverhang, h - kBoardOverhang, d - t};
    b.PageBlock(lo, hi);
    return b.Finish();
}

} // namespace

const ShapeRow g_hardcoverShape = {L"Hardcover", HardcoverCover, HardcoverSize, BuildHardcover, FootprintOfSize};
