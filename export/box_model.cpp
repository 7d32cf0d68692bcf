#include "box_model.h"

#include <algorithm>
#include <string>

#include "glb_container.h"
#include "picture_record.h"

namespace {

// Zelmora's world has the top at -Y and the front at -Z; a half turn about X puts them at +Y
// and +Z, without mirroring anything.
void ToModelAxes(float& y, float& z)
{
    y = -y;
    z = -z;
}

// The mesh in glTF's axes and metres; its bounds in *lo, *hi.
void ToModelSpace(std::vector<BoxVertex>& vertices, float lo[3], float hi[3])
{
    const float metres = static_cast<float>(kModelMetresPerUnit);
    std::fill(lo, lo + 3, 1e9f);
    std::fill(hi, hi + 3, -1e9f);
    for (BoxVertex& v : vertices) {
        ToModelAxes(v.y, v.z);
        ToModelAxes(v.ny, v.nz);
        v.x *= metres, v.y *= metres, v.z *= metres;
        const float p[3] = {v.x, v.y, v.z};
        for (int a = 0; a < 3; ++a)
            lo[a] = std::min(lo[a], p[a]), hi[a] = std::max(hi[a], p[a]);
    }
}

// Front faces wind counter-clockwise in glTF: each triangle is turned so that it does, seen
// from outside (along its normal).
void WindCounterClockwise(const std::vector<BoxVertex>& vertices, std::vector<uint16_t>& indices)
{
    for (size_t t = 0; t + 2 < indices.size(); t += 3) {
        const BoxVertex &a = vertices[indices[t]], &b = vertices[indices[t + 1]], &c = vertices[indices[t + 2]];
        const float ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z, wx = c.x - a.x, wy = c.y - a.y, wz = c.z - a.z;
        const float nx = uy * wz - uz * wy, ny = uz * wx - ux * wz, nz = ux * wy - uy * wx;
        if (nx * (a.nx + b.nx + c.nx) + ny * (a.ny + b.ny + c.ny) + nz * (a.nz + b.nz + c.nz) < 0)
            std::swap(indices[t + 1], indices[t + 2]);
    }
}

std::string View(size_t offset, size_t length, int target)
{
    return "{\"buffer\":0,\"byteOffset\":" + std::to_string(offset) + ",\"byteLength\":" + std::to_string(length) +
           ",\"target\":" + std::to_string(target) + "}";
}

} // namespace

std::vector<uint8_t> BuildShapeModel(ShapeMesh mesh, const std::vector<ModelProduct>& products,
                                     const char* const (&names)[kPictureCount], const ModelView* pView,
                                     const std::string& record)
{
    std::vector<BoxVertex>& vertices = mesh.vertices;
    std::vector<uint16_t>& indices = mesh.indices;
    float lo[3], hi[3];
    ToModelSpace(vertices, lo, hi);
    WindCounterClockwise(vertices, indices);

    // The binary chunk: positions, normals, texture coordinates, indices, then the pictures.
    std::vector<uint8_t> bin;
    for (const BoxVertex& v : vertices)
        AppendBytes(bin, v.x), AppendBytes(bin, v.y), AppendBytes(bin, v.z);
    for (const BoxVertex& v : vertices)
        AppendBytes(bin, v.nx), AppendBytes(bin, v.ny), AppendBytes(bin, v.nz);
    for (const BoxVertex& v : vertices)
        AppendBytes(bin, v.u), AppendBytes(bin, v.v);
    for (uint16_t index : indices)
        AppendBytes(bin, index);
    const size_t count = vertices.size();
    const size_t vertexBytes = count * 12;
    constexpr int kArrayBuffer = 34962, kIndexBuffer = 34963;
    std::string views = View(0, vertexBytes, kArrayBuffer) + "," + View(vertexBytes, vertexBytes, kArrayBuffer) + "," +
                        View(2 * vertexBytes, count * 8, kArrayBuffer) + "," +
                        View(2 * vertexBytes + count * 8, indices.size() * sizeof(uint16_t), kIndexBuffer);

    // Each part a primitive of its own, with the material of its look, in its product's mesh.
    GltfMaterials materials(products, names, 4);
    std::vector<std::string> primitives(products.size());
    for (size_t p = 0; p < mesh.parts.size(); ++p) {
        const ShapeMesh::Part& part = mesh.parts[p];
        const size_t k = static_cast<size_t>(std::clamp(part.product, 0, static_cast<int>(products.size()) - 1));
        bool hasPicture[kPictureCount];
        materials.HasPicture(static_cast<int>(k), hasPicture);
        bool bTextured = false;
        const int material = materials.MaterialOf(SurfaceOf(part, products[k].colours, hasPicture, products[k].finish),
                                                  static_cast<int>(k), bin, &bTextured);
        // A part with a picture reads texture coordinates; one without needs none.
        primitives[k] += std::string(primitives[k].empty() ? "" : ",") + "{\"attributes\":{\"POSITION\":0,\"NORMAL\":1" +
                         (bTextured ? ",\"TEXCOORD_0\":2" : "") + "},\"indices\":" + std::to_string(3 + p) +
                         ",\"material\":" + std::to_string(material) + "}";
    }
    PadTo4(bin);
    std::string nodes, meshes, sceneNodes;
    for (size_t k = 0; k < products.size(); ++k) {
        const std::string name = products.size() == 1 ? "box" : "product " + std::to_string(k + 1);
        const std::string comma = k ? "," : "";
        nodes += comma + "{\"name\":\"" + name + "\",\"mesh\":" + std::to_string(k) + "}";
        meshes += comma + "{\"name\":\"" + name + "\",\"primitives\":[" + primitives[k] + "]}";
        sceneNodes += comma + std::to_string(k);
    }

    const std::string n = std::to_string(count);
    std::string accessors =
        "{\"bufferView\":0,\"componentType\":5126,\"count\":" + n + ",\"type\":\"VEC3\",\"min\":[" + JsonNumber(lo[0]) +
        "," + JsonNumber(lo[1]) + "," + JsonNumber(lo[2]) + "],\"max\":[" + JsonNumber(hi[0]) + "," + JsonNumber(hi[1]) +
        "," + JsonNumber(hi[2]) + "]},{\"bufferView\":1,\"componentType\":5126,\"count\":" + n +
        ",\"type\":\"VEC3\"},{\"bufferView\":2,\"componentType\":5126,\"count\":" + n + ",\"type\":\"VEC2\"}";
    for (const ShapeMesh::Part& part : mesh.parts)
        accessors += ",{\"bufferView\":3,\"byteOffset\":" + std::to_string(part.firstIndex * sizeof(uint16_t)) +
                     ",\"componentType\":5123,\"count\":" + std::to_string(part.triangleCount * 3) +
                     ",\"type\":\"SCALAR\"}";
    const GltfViewJson view = pView ? ViewJson(*pView, static_cast<float>(kModelMetresPerUnit)) : GltfViewJson{};
    for (int n = 0; n < view.nodeCount; ++n)
        sceneNodes += "," + std::to_string(static_cast<int>(products.size()) + n);
    const std::string json =
        "{\"asset\":{\"version\":\"2.0\",\"generator\":\"Zelmora\"" +
        (record.empty() ? std::string() : ",\"extras\":{\"" + std::string(kRecordKeyword) + "\":\"" + record + "\"}") +
        "},\"scene\":0,\"scenes\":[{\"nodes\":[" + sceneNodes +
        "]}],\"nodes\":[" + nodes + view.nodes + "],\"meshes\":[" + meshes + "]," + materials.Members() + ",\"accessors\":[" + accessors + "],\"bufferViews\":[" + views +
        materials.PictureViews() + "],\"buffers\":[{\"byteLength\":" + std::to_string(bin.size()) + "}]" + view.members +
        "}";
    return GlbContainer(json, bin);
}
