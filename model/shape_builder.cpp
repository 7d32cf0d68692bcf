#include "shape_builder.h"

#include <algorithm>

#include "box_geometry.h"

namespace {

Point3 Sub(Point3 a, Point3 b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

Point3 Cross(Point3 a, Point3 b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float Dot(Point3 a, Point3 b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

bool SamePart(const ShapeMesh::Part& p, const PartKind& k)
{
    return p.slot == k.slot && p.look == k.look && p.tint == k.tint && p.bGloss == k.bGloss && p.bAcross == k.bAcross &&
           p.bLit == k.bLit;
}

} // namespace

void ShapeBuilder::Patch(const PartKind& kind, const Point3 corners[4], const Point3 normals[4], const float uv[4][2])
{
    Point3 p[4] = {corners[0], corners[1], corners[2], corners[3]};
    Point3 n[4] = {normals[0], normals[1], normals[2], normals[3]};
    if (m_place)
        for (int i = 0; i < 4; ++i)
            m_place(p[i], n[i]);
    if (m_mesh.parts.empty() || !SamePart(m_mesh.parts.back(), kind)) {
        ShapeMesh::Part part{kind.slot, static_cast<unsigned>(m_mesh.indices.size()), 0, kind.look, kind.tint, kind.bGloss,
                             kind.bAcross, kind.bLit};
        m_mesh.parts.push_back(part);
    }
    const uint16_t first = static_cast<uint16_t>(m_mesh.vertices.size());
    for (int i = 0; i < 4; ++i)
        m_mesh.vertices.push_back({p[i].x, p[i].y, p[i].z, n[i].x, n[i].y, n[i].z, uv[i][0], uv[i][1]});
    // The box's triangles turn so that their cross product points inwards.
    const Point3 normal = {n[0].x + n[1].x + n[2].x + n[3].x, n[0].y + n[1].y + n[2].y + n[3].y,
                           n[0].z + n[1].z + n[2].z + n[3].z};
    const bool bTurned = Dot(Cross(Sub(p[1], p[0]), Sub(p[2], p[0])), normal) > 0;
    const uint16_t order[6] = {0, 1, 2, 2, 3, 0};
    // A patch with two corners at one point (where a curve meets its base, a fan's middle) is
    // one triangle: the other, folded flat, is left out.
    for (int k = 0; k < 2; ++k) {
        const uint16_t* c = order + 3 * (bTurned ? 1 - k : k);  // in the order they always lay
        const Point3 area = Cross(Sub(p[c[1]], p[c[0]]), Sub(p[c[2]], p[c[0]]));
        if (Dot(area, area) <= 1e-14f)
            continue;
        for (int i = 0; i < 3; ++i)
            m_mesh.indices.push_back(static_cast<uint16_t>(first + (bTurned ? c[2 - i] : c[i])));
        m_mesh.parts.back().triangleCount += 1;
    }
}

void ShapeBuilder::Flat(const PartKind& kind, const Point3 p[4], Point3 normal, const float uv[4][2])
{
    const Point3 n[4] = {normal, normal, normal, normal};
    Patch(kind, p, n, uv);
}

void ShapeBuilder::FaceUv(int slot, Point3 p, const float lo[3], const float hi[3], float uv[2])
{
    // The template's face spans a + (b - a) t + (c - b) w, its texture coordinates likewise.
    const BoxVertex& a = g_boxVertexTemplate[g_boxIndices[6 * slot]];
    const BoxVertex& b = g_boxVertexTemplate[g_boxIndices[6 * slot + 1]];
    const BoxVertex& c = g_boxVertexTemplate[g_boxIndices[6 * slot + 2]];
    const float q[3] = {(p.x - lo[0]) / (hi[0] - lo[0]) - 0.5f, (p.y - lo[1]) / (hi[1] - lo[1]) - 0.5f,
                        (p.z - lo[2]) / (hi[2] - lo[2]) - 0.5f};
    const Point3 d = {q[0] - a.x, q[1] - a.y, q[2] - a.z};
    const float t = Dot(d, {b.x - a.x, b.y - a.y, b.z - a.z}), w = Dot(d, {c.x - b.x, c.y - b.y, c.z - b.z});
    uv[0] = a.u + (b.u - a.u) * t + (c.u - b.u) * w;
    uv[1] = a.v + (b.v - a.v) * t + (c.v - b.v) * w;
}

void ShapeBuilder::SkinUv(int slot, Point3 p, float uv[2]) const
{
    const float hi[3] = {m_spec.size[0] / 2, m_spec.size[1] / 2, m_spec.size[2] / 2};
    const float lo[3] = {-hi[0], -hi[1], -hi[2]};
    FaceUv(slot, p, lo, hi, uv);
    if (m_spec.bCover)
        OntoCover(m_spec, slot, uv);
}

void ShapeBuilder::OntoCover(const ShapeSpec& spec, int slot, float uv[2])
{
    // The face's own picture runs from the spine side to the fore-edge on the front, back
    // to front on the spine, fore-edge to spine on the back: as the cover's panels do.
    const float* panel = slot == SideFront ? spec.cover.front : slot == SideLeft ? spec.cover.spine : spec.cover.back;
    uv[0] = panel[0] + std::clamp(uv[0], 0.0f, 1.0f) * (panel[1] - panel[0]);
    uv[1] = spec.cover.top + std::clamp(uv[1], 0.0f, 1.0f) * (spec.cover.bottom - spec.cover.top);
}

void ShapeBuilder::Skin(int slot, const Point3 p[4], const Point3 n[4], PartKind extra)
{
    PartKind kind = extra;
    kind.slot = slot;
    kind.look = m_spec.bCover ? PartLook::Cover : PartLook::Picture;
    float uv[4][2];
    for (int i = 0; i < 4; ++i)
        SkinUv(slot, p[i], uv[i]);
    Patch(kind, p, n, uv);
}

void ShapeBuilder::FlatSkin(int slot, const Point3 p[4], Point3 normal, PartKind extra)
{
    const Point3 n[4] = {normal, normal, normal, normal};
    Skin(slot, p, n, extra);
}

void ShapeBuilder::Block(const float lo[3], const float hi[3], const PartKind (&kinds)[kSideCount])
{
    for (int s = 0; s < kSideCount; ++s) {
        if (kinds[s].slot < 0)
            continue;
        Point3 p[4];
        float uv[4][2];
        for (int i = 0; i < 4; ++i) {
            const BoxVertex& t = g_boxVertexTemplate[g_boxIndices[6 * s] / 4 * 4 + i];
            p[i] = {t.x < 0 ? lo[0] : hi[0], t.y < 0 ? lo[1] : hi[1], t.z < 0 ? lo[2] : hi[2]};
            FaceUv(s, p[i], lo, hi, uv[i]);
        }
        const BoxVertex& t = g_boxVertexTemplate[g_boxIndices[6 * s]];
        Flat(kinds[s], p, {t.nx, t.ny, t.nz}, uv);
    }
}

void ShapeBuilder::PageBlock(const float lo[3], const float hi[3])
{
    PartKind kinds[kSideCount];
    for (PartKind& k : kinds)
        k.slot = -1;
    kinds[SideTop] = {SideTop, PartLook::Pages};
    kinds[SideBottom] = {SideBottom, PartLook::Pages};
    kinds[SideRight] = {SideRight, PartLook::Pages, MakeColour(255, 255, 255), false, true};
    Block(lo, hi, kinds);
}
