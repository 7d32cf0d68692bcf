#include "dvd_case_shape.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "scene_values.h"
#include "shape_builder.h"

namespace {

constexpr float kMm = 1 / 25.4f;
// The keep case, and the insert its sleeve holds: 130 x 183 mm panels round a 13 mm spine.
constexpr float kCaseWidth = 135 * kMm, kCaseHeight = 190 * kMm, kCaseDepth = 14 * kMm;
constexpr double kInsertPanelWidth = 130 / 25.4, kInsertHeight = 183 / 25.4, kInsertSpine = 13 / 25.4;
constexpr float kCornerRadius = 0.12f;
constexpr Colour kPlastic = MakeColour(40, 40, 44);

bool DvdCover(const int* values, CoverSpec* pSpec)
{
    pSpec->panelWidth = kInsertPanelWidth;
    pSpec->panelHeight = kInsertHeight;
    pSpec->margin = values[kValueBleed] / 1000.0;
    pSpec->spine = kInsertSpine;
    return true;
}

void DvdSize(const int*, double, float size[3])
{
    size[0] = kCaseWidth, size[1] = kCaseHeight, size[2] = kCaseDepth;
}

// The insert lies under the clear sleeve over the case's flat front and back and round its
// spine; where the case rounds off at the top, the bottom and the opening, the sleeve shows
// the case's own plastic: a rim round the insert, as on a real case.
ShapeMesh BuildDvdCase(const ShapeSpec& spec)
{
    const ShapeMesh box = RoundedBoxMesh(spec.size, kCornerRadius);
    const float w = spec.size[0] / 2, h = spec.size[1] / 2;
    const float r = std::min({kCornerRadius, w, h, spec.size[2] / 2});
    const float flatX = w - r + 1e-4f, flatY = h - r + 1e-4f;
    ShapeMesh mesh;
    mesh.vertices = box.vertices;
    std::vector<bool> moved(mesh.vertices.size(), false);
    for (const ShapeMesh::Part& face : box.parts) {
        ShapeMesh::Part plastic = face;
        plastic.look = PartLook::Plain;
        plastic.tint = kPlastic;
        plastic.bGloss = true;
        if (face.slot != SideFront && face.slot != SideLeft && face.slot != SideBack) {
            plastic.firstIndex = static_cast<unsigned>(mesh.indices.size());
            mesh.indices.insert(mesh.indices.end(), box.indices.begin() + face.firstIndex,
                                box.indices.begin() + face.firstIndex + 3 * face.triangleCount);
            mesh.parts.push_back(plastic);
            continue;
        }
        // The face's picture coordinates where the insert ends: at the flat part's top and
        // bottom, and on a cover at the flat part's opening side (its spine side runs on round
        // the bend onto the spine).
        const BoxVertex* first = &box.vertices[box.indices[face.firstIndex]];
        const BoxVertex *opening = first, *top = first;
        for (unsigned i = face.firstIndex; i < face.firstIndex + 3 * face.triangleCount; ++i) {
            const BoxVertex& v = box.vertices[box.indices[i]];
            if (v.x > opening->x)
                opening = &v;
            if (v.y < top->y)
                top = &v;
        }
        const bool bPanel = face.slot != SideLeft;
        const float uOpen = opening->u > 0.5f ? 1.0f : 0.0f, vTop = top->v > 0.5f ? 1.0f : 0.0f;
        const float uFlat = uOpen + (uOpen > 0.5f ? -1 : 1) * r / (2 * w);
        const float vFlat = vTop + (vTop > 0.5f ? -1 : 1) * r / (2 * h);
        ShapeMesh::Part insert = face;
        insert.bGloss = true;
        if (spec.bCover)
            insert.look = PartLook::Cover;
        std::vector<uint16_t> rim;
        insert.firstIndex = static_cast<unsigned>(mesh.indices.size());
        for (unsigned t = 0; t < face.triangleCount; ++t) {
            const uint16_t* corner = &box.indices[face.firstIndex + 3 * t];
            bool bInsert = true;
            for (int k = 0; k < 3; ++k) {
                const BoxVertex& v = box.vertices[corner[k]];
                bInsert = bInsert && std::fabs(v.y) <= flatY && (!bPanel || v.x <= flatX);
            }
            (bInsert ? mesh.indices : rim).insert(bInsert ? mesh.indices.end() : rim.end(), corner, corner + 3);
            if (!bInsert)
                continue;
            for (int k = 0; k < 3; ++k) {
                if (moved[corner[k]])
                    continue;
                moved[corner[k]] = true;
                BoxVertex& v = mesh.vertices[corner[k]];
                // The flat part's top and bottom to the picture's; a panel's spine edge stays
                // and its flat part's opening side goes to the picture's edge.
                float uv[2] = {v.u, vTop + (v.v - vFlat) * (1 - 2 * vTop) / (1 - 2 * vFlat)};
                if (bPanel) {
                    const float uSpine = 1 - uOpen;
                    uv[0] = uSpine + (v.u - uSpine) * (uOpen - uSpine) / (uFlat - uSpine);
                }
                if (spec.bCover)
                    ShapeBuilder::OntoCover(spec, face.slot, uv);
                v.u = uv[0], v.v = uv[1];
            }
        }
        insert.triangleCount = (static_cast<unsigned>(mesh.indices.size()) - insert.firstIndex) / 3;
        mesh.parts.push_back(insert);
        plastic.firstIndex = static_cast<unsigned>(mesh.indices.size());
        plastic.triangleCount = static_cast<unsigned>(rim.size() / 3);
        mesh.indices.insert(mesh.indices.end(), rim.begin(), rim.end());
        if (plastic.triangleCount)
            mesh.parts.push_back(plastic);
    }
    return mesh;
}

} // namespace

const ShapeRow g_dvdCaseShape = {L"DVD case", DvdCover, DvdSize, BuildDvdCase, FootprintOfSize};
