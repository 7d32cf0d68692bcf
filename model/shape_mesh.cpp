#include "shape_mesh.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kBendSteps = 6;  // grid lines across each half bend: smooth at any picture size

struct Vec {
    float x, y, z;
};

// The positions along one side of a face's grid: the bend's steps at both ends, the flat
// part between them in one step.
std::vector<float> GridLines(float half, float radius)
{
    std::vector<float> lines;
    for (int i = 0; i <= kBendSteps; ++i)
        lines.push_back(-half + radius * static_cast<float>(i) / kBendSteps);
    for (int i = 0; i <= kBendSteps; ++i) {
        const float line = half - radius + radius * static_cast<float>(i) / kBendSteps;
        if (line > lines.back())  // a side all bend (radius half of it) has no flat part between
            lines.push_back(line);
    }
    return lines;
}

} // namespace

ShapeMesh BoxShapeMesh(int nWidth, int nHeight, int nDepth, int nRadius)
{
    ShapeMesh mesh;
    const int radius = std::clamp(nRadius, 0, std::min({nWidth, nHeight, nDepth}) / 2);
    if (radius == 0) {
        mesh.vertices.resize(kBoxVertexCount);
        ScaleBoxVertices(mesh.vertices.data(), nWidth, nHeight, nDepth);
        mesh.indices.assign(g_boxIndices, g_boxIndices + kBoxIndexCount);
        for (int s = 0; s < kSideCount; ++s)
            mesh.parts.push_back({s, static_cast<unsigned>(6 * s), 2});
        return mesh;
    }
    const float kTenth = 0.1f;
    const float size[3] = {nWidth * kTenth, nHeight * kTenth, nDepth * kTenth};
    return RoundedBoxMesh(size, radius * kTenth);
}

ShapeMesh RoundedBoxMesh(const float size[3], float radius)
{
    ShapeMesh mesh;
    const float half[3] = {size[0] * 0.5f, size[1] * 0.5f, size[2] * 0.5f};
    const float r = std::min({radius, half[0], half[1], half[2]});
    // Each face of the unit box's template, as a grid over the face: a point of the sharp box
    // goes to the nearest point of the inner box (the box shrunk by r) and then r outwards
    // from it, which rounds the edges and corners and leaves the flat parts where they were.
    // The texture coordinates are the sharp face's, so a picture runs on round the bend.
    for (int s = 0; s < kSideCount; ++s) {
        // The face's first triangle a, b, c: three of its corners.
        const BoxVertex* a = &g_boxVertexTemplate[g_boxIndices[6 * s + 0]];
        const BoxVertex* b = &g_boxVertexTemplate[g_boxIndices[6 * s + 1]];
        const BoxVertex* c = &g_boxVertexTemplate[g_boxIndices[6 * s + 2]];
        // The face spans a + (b - a) t + (c - b) w for t, w in 0..1.
        const Vec ta = {b->x - a->x, b->y - a->y, b->z - a->z}, tw = {c->x - b->x, c->y - b->y, c->z - b->z};
        auto axisOf = [](const Vec& v) { return std::fabs(v.x) > 0.5f ? 0 : std::fabs(v.y) > 0.5f ? 1 : 2; };
        const int axisT = axisOf(ta), axisW = axisOf(tw);
        const std::vector<float> linesT = GridLines(half[axisT], r), linesW = GridLines(half[axisW], r);
        const unsigned first = static_cast<unsigned>(mesh.vertices.size());
        const unsigned firstIndex = static_cast<unsigned>(mesh.indices.size());
        for (float lw : linesW) {
            for (float lt : linesT) {
                // Fractions along the face from corner a, in the template's own directions.
                const float ft = (lt + half[axisT]) / (2 * half[axisT]), fw = (lw + half[axisW]) / (2 * half[axisW]);
                float p[3] = {a->x * 2 * half[0], a->y * 2 * half[1], a->z * 2 * half[2]};
                const float dt[3] = {ta.x, ta.y, ta.z}, dw[3] = {tw.x, tw.y, tw.z};
                for (int k = 0; k < 3; ++k)
                    p[k] += (dt[k] * ft + dw[k] * fw) * 2 * half[k];
                float inner[3], n[3], length = 0;
                for (int k = 0; k < 3; ++k) {
                    inner[k] = std::clamp(p[k], -(half[k] - r), half[k] - r);
                    n[k] = p[k] - inner[k];
                    length += n[k] * n[k];
                }
                length = std::sqrt(length);
                BoxVertex v;
                for (int k = 0; k < 3; ++k)
                    n[k] /= length;
                v.x = inner[0] + n[0] * r, v.y = inner[1] + n[1] * r, v.z = inner[2] + n[2] * r;
                v.nx = n[0], v.ny = n[1], v.nz = n[2];
                v.u = a->u + (b->u - a->u) * ft + (c->u - b->u) * fw;
                v.v = a->v + (b->v - a->v) * ft + (c->v - b->v) * fw;
                mesh.vertices.push_back(v);
            }
        }
        // Two triangles a cell, turned as the face's own first triangle a, b, c is.
        const unsigned columns = static_cast<unsigned>(linesT.size());
        for (unsigned w = 0; w + 1 < linesW.size(); ++w) {
            for (unsigned t = 0; t + 1 < columns; ++t) {
                const unsigned i00 = first + w * columns + t, i01 = i00 + 1, i11 = i01 + columns, i10 = i00 + columns;
                for (unsigned index : {i00, i01, i11, i11, i10, i00})
                    mesh.indices.push_back(static_cast<uint16_t>(index));
            }
        }
        mesh.parts.push_back({s, firstIndex, static_cast<unsigned>(mesh.indices.size() - firstIndex) / 3});
    }
    return mesh;
}
