#include "gltf_materials.h"

#include <algorithm>
#include <cmath>

#include "glb_container.h"

namespace {

int PictureOf(const PartSurface& look)
{
    switch (look.source) {
    case PartSurface::FacePicture:
        return look.slot;
    case PartSurface::CoverPicture:
        return SideCover;
    case PartSurface::PaperDown:
        return kModelPaperDown;
    case PartSurface::PaperAcross:
        return kModelPaperAcross;
    default:
        return -1;
    }
}

} // namespace

void GltfMaterials::HasPicture(int product, bool (&has)[kPictureCount]) const
{
    for (int s = 0; s < kPictureCount; ++s)
        has[s] = !m_products[static_cast<size_t>(product)].pictures[s].bytes.empty();
}

int GltfMaterials::MaterialOf(const PartSurface& look, int product, std::vector<uint8_t>& bin, bool* pbTextured)
{
    std::string name = look.pszKind ? look.pszKind : m_names[look.slot];
    if (product > 0)
        name += " " + std::to_string(product + 1);
    const ModelPicture (&pictures)[kModelPictureCount] = m_products[static_cast<size_t>(product)].pictures;
    Material m{name, product, PictureOf(look), look.colour, look.bGloss, look.roughness, look.emission};
    if (m.picture >= 0 && pictures[m.picture].bytes.empty())
        m.picture = -1;
    *pbTextured = m.picture >= 0;
    auto same = [&](const Material& k) {
        return k.name == m.name && k.product == m.product && k.picture == m.picture && k.colour == m.colour &&
               k.bGloss == m.bGloss && k.roughness == m.roughness && k.emission == m.emission;
    };
    const size_t kind = std::find_if(m_kinds.begin(), m_kinds.end(), same) - m_kinds.begin();
    if (kind < m_kinds.size())
        return static_cast<int>(kind);
    m_kinds.push_back(m);
    // A lit screen's picture is its own light (below), not a surface the room's light falls
    // on: as the renderer shows it, it is no brighter in a bright room, only mirrored in.
    const double diffuse = 1 - m.emission;
    std::string material = std::string(kind ? "," : "") + "{\"name\":\"" + m.name +
                           "\",\"pbrMetallicRoughness\":{\"baseColorFactor\":[" +
                           JsonNumber(diffuse * LinearOfChannel(RedOf(m.colour))) + "," +
                           JsonNumber(diffuse * LinearOfChannel(GreenOf(m.colour))) + "," +
                           JsonNumber(diffuse * LinearOfChannel(BlueOf(m.colour))) + ",1]";
    if (m.picture >= 0) {
        const ModelPicture& picture = pictures[m.picture];
        int& image = m_imageOf[static_cast<size_t>(product)][static_cast<size_t>(m.picture)];
        if (image < 0) {
            PadTo4(bin);
            m_views += ",{\"buffer\":0,\"byteOffset\":" + std::to_string(bin.size()) + ",\"byteLength\":" +
                       std::to_string(picture.bytes.size()) + "}";
            bin.insert(bin.end(), picture.bytes.begin(), picture.bytes.end());
            m_images += std::string(m_nImages ? "," : "") + "{\"bufferView\":" + std::to_string(m_nFirstView + m_nImages) +
                        ",\"mimeType\":\"image/" + (picture.bJpeg ? "jpeg" : "png") + "\"}";
            m_textures += std::string(m_nImages ? "," : "") + "{\"sampler\":0,\"source\":" + std::to_string(m_nImages) + "}";
            image = m_nImages++;
        }
        material += ",\"baseColorTexture\":{\"index\":" + std::to_string(image) + "}";
    }
    material += ",\"metallicFactor\":0,\"roughnessFactor\":" + JsonNumber(m.roughness) + "}";
    if (m.emission > 0) {
        // A lit screen gives off its picture (times its colour) as a viewer's emissive light.
        const double e = m.emission;
        material += ",\"emissiveFactor\":[" + JsonNumber(e * LinearOfChannel(RedOf(m.colour))) + "," +
                    JsonNumber(e * LinearOfChannel(GreenOf(m.colour))) + "," +
                    JsonNumber(e * LinearOfChannel(BlueOf(m.colour))) + "]";
        if (m.picture >= 0)
            material += ",\"emissiveTexture\":{\"index\":" +
                        std::to_string(m_imageOf[static_cast<size_t>(product)][static_cast<size_t>(m.picture)]) + "}";
    }
    m_materials += material + "}";
    return static_cast<int>(kind);
}

std::string GltfMaterials::Members() const
{
    std::string json = "\"materials\":[" + m_materials + "]";
    if (m_nImages)
        json += ",\"images\":[" + m_images + "],\"textures\":[" + m_textures +
                "],\"samplers\":[{\"magFilter\":9729,\"minFilter\":9987,\"wrapS\":33071,\"wrapT\":33071}]";
    return json;
}
