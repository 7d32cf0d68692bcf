// The box as 24 vertices (four per face, each face with its own normal and texture
// coordinates) and 36 16-bit indices (two triangles per face, in SideSlot order).
#pragma once
#include <cstdint>

struct BoxVertex {
    float x, y, z;     // world units, box centred on the origin
    float nx, ny, nz;  // outward unit normal
    float u, v;        // (0, 0) is the image's top-left corner
};
static_assert(sizeof(BoxVertex) == 32, "the renderer's vertex format is this layout");

constexpr int kBoxVertexCount = 24;
constexpr int kBoxIndexCount = 36;
constexpr unsigned kBoxVertexBytes = kBoxVertexCount * sizeof(BoxVertex);
constexpr unsigned kBoxIndexBytes = kBoxIndexCount * sizeof(uint16_t);

// The unit box, edge length 1.
extern const BoxVertex g_boxVertexTemplate[kBoxVertexCount];
// Six indices per face, faces in SideSlot order.
extern const uint16_t g_boxIndices[kBoxIndexCount];

// Copies the unit box into pOut and scales it to the box size given in tenths of a unit.
// Starting from the template every time, so scaling never accumulates.
void ScaleBoxVertices(BoxVertex* pOut, int nWidth, int nHeight, int nDepth);
