#include "box_model.h"

#include <cmath>
#include <cstring>

#include "shape_mesh.h"

namespace {

// Zelmora's world has the top at -Y and the front at -Z; a half turn about X puts them at +Y
// and +Z, without mirroring anything.
void ToModel(float& y, float& z)
{
    y = -y;
    z = -z;
}

float LinearFromSrgb(BYTE value)
{
    const double c = value / 255.0;
    return static_cast<float>(c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
}

std::string Number(double value)
{
    char text[32];
    snprintf(text, sizeof text, "%.9g", value);
    return text;
}

template <typename T>
void Append(std::vector<BYTE>& out, const T& value)
{
    const BYTE* p = reinterpret_cast<const BYTE*>(&value);
    out.insert(out.end(), p, p + sizeof(T));
}

void PadTo4(std::vector<BYTE>& out, BYTE pad)
{
    while (out.size() % 4)
        out.push_back(pad);
}

} // namespace

std::vector<BYTE> BuildBoxModel(int nWidth, int nHeight, int nDepth, int nEdgeRadius,
                                const ModelFace (&faces)[kSideCount])
{
    ShapeMesh mesh = BoxShapeMesh(nWidth, nHeight, nDepth, nEdgeRadius);
    std::vector<BoxVertex>& vertices = mesh.vertices;
    const float metres = static_cast<float>(kModelMetresPerUnit);
    float lo[3] = {1e9f, 1e9f, 1e9f}, hi[3] = {-1e9f, -1e9f, -1e9f};
    for (BoxVertex& v : vertices) {
        ToModel(v.y, v.z);
        ToModel(v.ny, v.nz);
        v.x *= metres, v.y *= metres, v.z *= metres;
        const float p[3] = {v.x, v.y, v.z};
        for (int a = 0; a < 3; ++a)
            lo[a] = std::min(lo[a], p[a]), hi[a] = std::max(hi[a], p[a]);
    }
    // Front faces wind counter-clockwise in glTF: each triangle is turned so that it does,
    // seen from outside (along its normal).
    std::vector<WORD>& indices = mesh.indices;
    for (size_t t = 0; t + 2 < indices.size(); t += 3) {
        const BoxVertex &a = vertices[indices[t]], &b = vertices[indices[t + 1]], &c = vertices[indices[t + 2]];
        const float ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z, wx = c.x - a.x, wy = c.y - a.y, wz = c.z - a.z;
        const float nx = uy * wz - uz * wy, ny = uz * wx - ux * wz, nz = ux * wy - uy * wx;
        if (nx * (a.nx + b.nx + c.nx) + ny * (a.ny + b.ny + c.ny) + nz * (a.nz + b.nz + c.nz) < 0)
            std::swap(indices[t + 1], indices[t + 2]);
    }

    // The binary chunk: positions, normals, texture coordinates, indices, then the pictures.
    std::vector<BYTE> bin;
    for (const BoxVertex& v : vertices)
        Append(bin, v.x), Append(bin, v.y), Append(bin, v.z);
    for (const BoxVertex& v : vertices)
        Append(bin, v.nx), Append(bin, v.ny), Append(bin, v.nz);
    for (const BoxVertex& v : vertices)
        Append(bin, v.u), Append(bin, v.v);
    for (WORD index : indices)
        Append(bin, index);
    const size_t count = vertices.size();
    const size_t vertexBytes = count * 12;
    std::string views = "{\"buffer\":0,\"byteOffset\":0,\"byteLength\":" + std::to_string(vertexBytes) +
                        ",\"target\":34962},{\"buffer\":0,\"byteOffset\":" + std::to_string(vertexBytes) +
                        ",\"byteLength\":" + std::to_string(vertexBytes) + ",\"target\":34962},{\"buffer\":0,\"byteOffset\":" +
                        std::to_string(2 * vertexBytes) + ",\"byteLength\":" + std::to_string(count * 8) +
                        ",\"target\":34962},{\"buffer\":0,\"byteOffset\":" + std::to_string(2 * vertexBytes + count * 8) +
                        ",\"byteLength\":" + std::to_string(indices.size() * sizeof(WORD)) + ",\"target\":34963}";
    std::string images, textures, materials, primitives;
    int nImages = 0;
    for (int s = 0; s < kSideCount; ++s) {
        const ModelFace& face = faces[s];
        const COLORREF c = face.colour;
        std::string material = std::string(s ? "," : "") + "{\"name\":\"" + face.pszName +
                               "\",\"pbrMetallicRoughness\":{\"baseColorFactor\":[" +
                               Number(LinearFromSrgb(GetRValue(c))) + "," + Number(LinearFromSrgb(GetGValue(c))) + "," +
                               Number(LinearFromSrgb(GetBValue(c))) + ",1]";
        if (!face.picture.empty()) {
            PadTo4(bin, 0);
            views += ",{\"buffer\":0,\"byteOffset\":" + std::to_string(bin.size()) + ",\"byteLength\":" +
                     std::to_string(face.picture.size()) + "}";
            bin.insert(bin.end(), face.picture.begin(), face.picture.end());
            images += std::string(nImages ? "," : "") + "{\"bufferView\":" + std::to_string(4 + nImages) +
                      ",\"mimeType\":\"image/" + (face.bJpeg ? "jpeg" : "png") + "\"}";
            textures += std::string(nImages ? "," : "") + "{\"sampler\":0,\"source\":" + std::to_string(nImages) + "}";
            material += ",\"baseColorTexture\":{\"index\":" + std::to_string(nImages) + "}";
            ++nImages;
        }
        materials += material + ",\"metallicFactor\":0,\"roughnessFactor\":0.8}}";
        // A face with a picture reads texture coordinates; one without needs none.
        primitives += std::string(s ? "," : "") + "{\"attributes\":{\"POSITION\":0,\"NORMAL\":1" +
                      (face.picture.empty() ? "" : ",\"TEXCOORD_0\":2") + "},\"indices\":" + std::to_string(3 + s) +
                      ",\"material\":" + std::to_string(s) + "}";
    }
    PadTo4(bin, 0);

    const std::string n = std::to_string(count);
    std::string accessors =
        "{\"bufferView\":0,\"componentType\":5126,\"count\":" + n + ",\"type\":\"VEC3\",\"min\":[" + Number(lo[0]) +
        "," + Number(lo[1]) + "," + Number(lo[2]) + "],\"max\":[" + Number(hi[0]) + "," + Number(hi[1]) + "," +
        Number(hi[2]) + "]},{\"bufferView\":1,\"componentType\":5126,\"count\":" + n +
        ",\"type\":\"VEC3\"},{\"bufferView\":2,\"componentType\":5126,\"count\":" + n + ",\"type\":\"VEC2\"}";
    for (const ShapeMesh::Part& part : mesh.parts)
        accessors += ",{\"bufferView\":3,\"byteOffset\":" + std::to_string(part.firstIndex * sizeof(WORD)) +
                     ",\"componentType\":5123,\"count\":" + std::to_string(part.triangleCount * 3) +
                     ",\"type\":\"SCALAR\"}";
    std::string json = "{\"asset\":{\"version\":\"2.0\",\"generator\":\"Zelmora\"},\"scene\":0,\"scenes\":[{\"nodes\":[0]}],"
                       "\"nodes\":[{\"name\":\"box\",\"mesh\":0}],\"meshes\":[{\"name\":\"box\",\"primitives\":[" +
                       primitives + "]}],\"materials\":[" + materials + "],\"accessors\":[" + accessors +
                       "],\"bufferViews\":[" + views + "],\"buffers\":[{\"byteLength\":" + std::to_string(bin.size()) + "}]";
    if (nImages)
        json += ",\"images\":[" + images + "],\"textures\":[" + textures +
                "],\"samplers\":[{\"magFilter\":9729,\"minFilter\":9987,\"wrapS\":33071,\"wrapT\":33071}]";
    json += "}";
    while (json.size() % 4)
        json += ' ';

    std::vector<BYTE> glb;
    const uint32_t total = static_cast<uint32_t>(12 + 8 + json.size() + 8 + bin.size());
    Append(glb, 0x46546C67u);  // "glTF"
    Append(glb, 2u);
    Append(glb, total);
    Append(glb, static_cast<uint32_t>(json.size()));
    Append(glb, 0x4E4F534Au);  // "JSON"
    glb.insert(glb.end(), json.begin(), json.end());
    Append(glb, static_cast<uint32_t>(bin.size()));
    Append(glb, 0x004E4942u);  // "BIN"
    glb.insert(glb.end(), bin.begin(), bin.end());
    return glb;
}
