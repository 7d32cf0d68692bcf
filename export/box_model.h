// The box as a 3D model for shops and web pages: glTF 2.0 binary (.glb), Y up, right-handed,
// in metres (a unit of the box is an inch), the front facing +Z as glTF asks. One material
// per face: its picture (PNG or JPEG) times its colour; books and cases likewise.
#pragma once
#include <cstdint>
#include <vector>

#include "gltf_materials.h"
#include "gltf_view.h"
#include "shape_mesh.h"

// Metres of a unit of the box (an inch).
constexpr double kModelMetresPerUnit = 0.0254;

// The mesh as a model: a node of its own for each product its parts name ("box" for a
// single one, else "product 1", "product 2", ...), one material for each kind of part of a
// product (a face's picture and colour, named names[slot]; the cover; the pages; plain
// colour). pView: the picture's camera and lights, carried along (null: none). record: what
// made the model (picture_record.h), in its asset's extras; empty: none.
std::vector<uint8_t> BuildShapeModel(ShapeMesh mesh, const std::vector<ModelProduct>& products,
                                     const char* const (&names)[kPictureCount], const ModelView* pView = nullptr,
                                     const std::string& record = std::string());
