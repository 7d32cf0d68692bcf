#include "dvd_case_shape.h"

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

ShapeMesh BuildDvdCase(const ShapeSpec& spec)
{
    ShapeMesh mesh = RoundedBoxMesh(spec.size, kCornerRadius);
    for (ShapeMesh::Part& part : mesh.parts) {
        if (part.slot == SideFront || part.slot == SideLeft || part.slot == SideBack) {
            part.bGloss = true;
            if (!spec.bCover)
                continue;
            part.look = PartLook::Cover;
            for (unsigned i = part.firstIndex; i < part.firstIndex + 3 * part.triangleCount; ++i) {
                BoxVertex& v = mesh.vertices[mesh.indices[i]];
                if (v.u >= 0 && v.u <= 1 && v.v >= 0 && v.v <= 1) {  // each shared vertex moved once
                    float uv[2] = {v.u, v.v};
                    ShapeBuilder::OntoCover(spec, part.slot, uv);
                    v.u = uv[0] + 2, v.v = uv[1] + 2;
                }
            }
        } else {
            part.look = PartLook::Plain;
            part.tint = kPlastic;
            part.bGloss = true;
        }
    }
    for (BoxVertex& v : mesh.vertices)
        if (v.u >= 2)
            v.u -= 2, v.v -= 2;
    return mesh;
}

} // namespace

const ShapeRow g_dvdCaseShape = {L"DVD case", DvdCover, DvdSize, BuildDvdCase, FootprintOfSize};
