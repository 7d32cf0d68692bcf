// A scene's box, book or case as a glTF binary model file (.glb), its pictures at most textureSide
// pixels a side: zelmora-render's -o box.glb and the window's "glTF binary" type.
#pragma once
#include <string>

#include "scene_description.h"

constexpr int kModelTextureSide = 2048;  // as Google Merchant asks

bool IsModelName(const std::wstring& path);

struct ModelFileFailure {
    int face = -1;        // the face whose picture is at fault; -1: the file
    int product = 0;      // of which product of a set (0: the scene's own)
    std::wstring reason;  // in words for the user
    // The path of the picture at fault.
    const std::wstring& PathIn(const SceneDescription& scene) const
    {
        return (product > 0 ? static_cast<const ProductDescription&>(scene.products[static_cast<size_t>(product - 1)])
                            : scene).facePaths[face];
    }
};

// Written safely (an existing file is replaced only by a complete one). quality: JPEG faces'.
// record: what made it (picture_record.h), kept in the model; empty: none.
bool WriteModelFile(const SceneDescription& scene, int textureSide, int quality, const std::wstring& path,
                    ModelFileFailure* pFailure, const std::string& record = std::string());
