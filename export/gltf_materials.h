// A model file's materials, made from the parts' looks: one for each different look, with
// the pictures they show stored once each in the binary chunk.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "part_look.h"

// The pictures a model can show: each face's and the whole cover's (SideSlot order), then
// the page edges' two (pages stacked down the picture, and across it).
constexpr int kModelPaperDown = kPictureCount, kModelPaperAcross = kPictureCount + 1;
constexpr int kModelPictureCount = kPictureCount + 2;

struct ModelPicture {
    std::vector<uint8_t> bytes;  // a whole PNG or JPEG file; empty: none
    bool bJpeg = false;
};

// What a product of the model shows: its pictures, its faces' colours, its covers' finish.
struct ModelProduct {
    ModelPicture pictures[kModelPictureCount];
    Colour colours[kPictureCount] = {};
    int finish = 0;
};

class GltfMaterials {
public:
    // names: each face's material (SideSlot order, the cover last), a set's later products'
    // numbered ("front 2"). firstView: the buffer view the first picture gets.
    GltfMaterials(const std::vector<ModelProduct>& products, const char* const (&names)[kPictureCount], int firstView)
        : m_products(products), m_names(names), m_nFirstView(firstView), m_imageOf(products.size())
    {
        for (auto& images : m_imageOf)
            images.fill(-1);
    }

    // Which of the product's faces have a picture, as a part's look asks.
    void HasPicture(int product, bool (&has)[kPictureCount]) const;
    // The material of that look of the product, made when first asked for; a picture it shows
    // is appended to bin. *pbTextured: the material reads texture coordinates.
    int MaterialOf(const PartSurface& look, int product, std::vector<uint8_t>& bin, bool* pbTextured);

    // The buffer views of the pictures (each with a comma before it) and the members
    // "materials", and where there are pictures "images", "textures" and "samplers".
    const std::string& PictureViews() const { return m_views; }
    std::string Members() const;

private:
    struct Material {
        std::string name;
        int product;
        int picture;  // into its product's pictures; -1 none
        Colour colour;
        bool bGloss;
        double roughness;
        float emission;  // lit from within: its picture (or colour) given off as light
    };
    const std::vector<ModelProduct>& m_products;
    const char* const (&m_names)[kPictureCount];
    int m_nFirstView;
    std::vector<Material> m_kinds;
    std::string m_materials, m_images, m_textures, m_views;
    std::vector<std::array<int, kModelPictureCount>> m_imageOf;  // each product's pictures' images; -1 none yet
    int m_nImages = 0;
};
