// The box's mesh with rounded edges: the outer size kept, the surface smooth and facing out,
// each picture on its own face the same way up as on the sharp box.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "shape_mesh.h"

namespace {

float Dot(const float a[3], const float b[3])
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// Whether a triangle turns about its outward normal as the sharp box's triangles do.
float Turn(const ShapeMesh& mesh, size_t t)
{
    const BoxVertex &a = mesh.vertices[mesh.indices[t]], &b = mesh.vertices[mesh.indices[t + 1]],
                    &c = mesh.vertices[mesh.indices[t + 2]];
    const float u[3] = {b.x - a.x, b.y - a.y, b.z - a.z}, w[3] = {c.x - a.x, c.y - a.y, c.z - a.z};
    const float n[3] = {u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2], u[0] * w[1] - u[1] * w[0]};
    const float outward[3] = {a.nx + b.nx + c.nx, a.ny + b.ny + c.ny, a.nz + b.nz + c.nz};
    return Dot(n, outward);
}

} // namespace

TEST(ShapeMesh, ARadiusOfNoneIsTheSharpBoxAndARoundedBoxKeepsItsOuterSize)
{
    const ShapeMesh sharp = BoxShapeMesh(80, 120, 20, 0);
    BoxVertex scaled[kBoxVertexCount];
    ScaleBoxVertices(scaled, 80, 120, 20);
    ASSERT_EQ(sharp.vertices.size(), static_cast<size_t>(kBoxVertexCount));
    EXPECT_EQ(std::memcmp(sharp.vertices.data(), scaled, sizeof scaled), 0);

    for (int radius : {5, 10, 40}) {  // 40 is more than half the depth: held to 10
        const ShapeMesh round = BoxShapeMesh(80, 120, 20, radius);
        float lo[3] = {1e9f, 1e9f, 1e9f}, hi[3] = {-1e9f, -1e9f, -1e9f};
        for (const BoxVertex& v : round.vertices) {
            const float p[3] = {v.x, v.y, v.z};
            for (int k = 0; k < 3; ++k)
                lo[k] = std::min(lo[k], p[k]), hi[k] = std::max(hi[k], p[k]);
            EXPECT_NEAR(v.nx * v.nx + v.ny * v.ny + v.nz * v.nz, 1.0f, 1e-4f);
        }
        const float half[3] = {4.0f, 6.0f, 1.0f};
        for (int k = 0; k < 3; ++k) {
            EXPECT_NEAR(hi[k], half[k], 1e-4f) << "radius " << radius;
            EXPECT_NEAR(lo[k], -half[k], 1e-4f) << "radius " << radius;
        }
        ASSERT_EQ(round.parts.size(), static_cast<size_t>(kSideCount));
        for (int s = 0; s < kSideCount; ++s)
            EXPECT_EQ(round.parts[s].slot, s);
        for (size_t t = 0; t < round.indices.size(); t += 3)
            ASSERT_GT(Turn(round, t) * Turn(sharp, 0), 0.0f) << "triangle " << t / 3 << " turns as the box's do";
    }
}

TEST(ShapeMesh, EachPictureLiesOnItsFaceAsOnTheSharpBox)
{
    // Where the sharp box's face has a texture coordinate, the rounded face's nearest point
    // has the same one: the flat parts are mapped alike and the bends carry the picture on.
    const ShapeMesh sharp = BoxShapeMesh(80, 120, 60, 0), round = BoxShapeMesh(80, 120, 60, 15);
    for (const ShapeMesh::Part& part : round.parts) {
        const ShapeMesh::Part& flat = sharp.parts[static_cast<size_t>(part.slot)];
        const BoxVertex& a = sharp.vertices[sharp.indices[flat.firstIndex]];
        for (unsigned i = part.firstIndex; i < part.firstIndex + part.triangleCount * 3; ++i) {
            const BoxVertex& v = round.vertices[round.indices[i]];
            const float normal[3] = {a.nx, a.ny, a.nz}, n[3] = {v.nx, v.ny, v.nz};
            // Never past the middle of a bend (45 degrees), nor of a corner (a cube's diagonal).
            EXPECT_GT(Dot(normal, n), 0.5773f) << "a face's grid stays on its side of its bends";
            if (Dot(normal, n) > 0.9999f) {
                // On the flat part: the position gives the coordinate as on the sharp face.
                const BoxVertex& b = sharp.vertices[sharp.indices[flat.firstIndex + 1]];
                const BoxVertex& c = sharp.vertices[sharp.indices[flat.firstIndex + 2]];
                const float ab[3] = {b.x - a.x, b.y - a.y, b.z - a.z}, bc[3] = {c.x - b.x, c.y - b.y, c.z - b.z};
                const float av[3] = {v.x - a.x, v.y - a.y, v.z - a.z};
                const float t = Dot(av, ab) / Dot(ab, ab), w = Dot(av, bc) / Dot(bc, bc);
                EXPECT_NEAR(v.u, a.u + (b.u - a.u) * t + (c.u - b.u) * w, 1e-4f);
                EXPECT_NEAR(v.v, a.v + (b.v - a.v) * t + (c.v - b.v) * w, 1e-4f);
            }
        }
    }
}
