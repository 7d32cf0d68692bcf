// The box as a 3D model for shops and web pages: glTF 2.0 binary (.glb), Y up, right-handed,
// in metres (a unit of the box is an inch), the front facing +Z as glTF asks. One material
// per face: its picture (PNG or JPEG) times its colour; books and cases likewise.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "box_scene.h"
#include "shape_mesh.h"

// The pictures a model can show: each face's and the whole cover's (SideSlot order), then
// the page edges' two (pages stacked down the picture, and across it).
constexpr int kModelPaperDown = kPictureCount, kModelPaperAcross = kPictureCount + 1;
constexpr int kModelPictureCount = kPictureCount + 2;

struct ModelPicture {
    std::vector<BYTE> bytes;  // a whole PNG or JPEG file; empty: none
    bool bJpeg = false;
};

// Metres of a unit of the box (an inch).
constexpr double kModelMetresPerUnit = 0.0254;

// The shape's mesh as a model: one material for each kind of part (a face's picture and
// colour, named names[slot]; the cover; the pages; plain colour).
std::vector<BYTE> BuildShapeModel(ShapeMesh mesh, const ModelPicture (&pictures)[kModelPictureCount],
                                  const COLORREF (&colours)[kPictureCount], const char* const (&names)[kPictureCount]);
