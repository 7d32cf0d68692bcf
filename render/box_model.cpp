#include "box_model.h"

#include <algorithm>
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

std::vector<BYTE> BuildShapeModel(ShapeMesh mesh, const ModelPicture (&pictures)[kModelPictureCount],
                                  const COLORREF (&colours)[kPictureCount], const char* const (&names)[kPictureCount])
{
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
    // Each part: the picture it shows (an index into pictures, -1 none) and its material.
    struct Material {
        std::string name;
        int picture;
        COLORREF colour;
        bool bGloss;
    };
    std::vector<Material> kinds;
    int imageOf[kModelPictureCount];
    std::fill(imageOf, imageOf + kModelPictureCount, -1);
    int nImages = 0;
    for (size_t p = 0; p < mesh.parts.size(); ++p) {
        const ShapeMesh::Part& part = mesh.parts[p];
        Material m{names[part.slot], part.slot, colours[part.slot], part.bGloss};
        if (part.look == PartLook::Cover) {
            m = {names[SideCover], SideCover, colours[SideCover], part.bGloss};
        } else if (part.look == PartLook::Pages && pictures[part.slot].bytes.empty()) {
            m = {part.bAcross ? "fore-edge" : "page-edges", part.bAcross ? kModelPaperAcross : kModelPaperDown,
                 RGB(255, 255, 255), false};
        } else if (part.look == PartLook::Plain) {
            const COLORREF c = colours[part.slot], t = part.tint;
            m = {part.bGloss ? "plastic" : "inside", -1,
                 RGB(GetRValue(c) * GetRValue(t) / 255, GetGValue(c) * GetGValue(t) / 255, GetBValue(c) * GetBValue(t) / 255),
                 part.bGloss};
        }
        if (m.picture >= 0 && pictures[m.picture].bytes.empty())
            m.picture = -1;
        auto same = [&](const Material& k) {
            return k.name == m.name && k.picture == m.picture && k.colour == m.colour && k.bGloss == m.bGloss;
        };
        size_t kind = std::find_if(kinds.begin(), kinds.end(), same) - kinds.begin();
        if (kind == kinds.size()) {
            kinds.push_back(m);
            std::string material = std::string(kind ? "," : "") + "{\"name\":\"" + m.name +
                                   "\",\"pbrMetallicRoughness\":{\"baseColorFactor\":[" +
                                   Number(LinearFromSrgb(GetRValue(m.colour))) + "," +
                                   Number(LinearFromSrgb(GetGValue(m.colour))) + "," +
                                   Number(LinearFromSrgb(GetBValue(m.colour))) + ",1]";
            if (m.picture >= 0) {
                const ModelPicture& picture = pictures[m.picture];
                if (imageOf[m.picture] < 0) {
                    PadTo4(bin, 0);
                    views += ",{\"buffer\":0,\"byteOffset\":" + std::to_string(bin.size()) + ",\"byteLength\":" +
                             std::to_string(picture.bytes.size()) + "}";
                    bin.insert(bin.end(), picture.bytes.begin(), picture.bytes.end());
                    images += std::string(nImages ? "," : "") + "{\"bufferView\":" + std::to_string(4 + nImages) +
                              ",\"mimeType\":\"image/" + (picture.bJpeg ? "jpeg" : "png") + "\"}";
                    textures += std::string(nImages ? "," : "") + "{\"sampler\":0,\"source\":" +
                                std::to_string(nImages) + "}";
                    imageOf[m.picture] = nImages++;
                }
                material += ",\"baseColorTexture\":{\"index\":" + std::to_string(imageOf[m.picture]) + "}";
            }
            materials += material + ",\"metallicFactor\":0,\"roughnessFactor\":" + (m.bGloss ? "0.25" : "0.8") + "}}";
        }
        // A part with a picture reads texture coordinates; one without needs none.
        primitives += std::string(p ? "," : "") + "{\"attributes\":{\"POSITION\":0,\"NORMAL\":1" +
                      (m.picture < 0 ? "" : ",\"TEXCOORD_0\":2") + "},\"indices\":" + std::to_string(3 + p) +
                      ",\"material\":" + std::to_string(kind) + "}";
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
