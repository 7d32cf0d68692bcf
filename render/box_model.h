// The box as a 3D model for shops and web pages: glTF 2.0 binary (.glb), Y up, right-handed,
// in metres (a unit of the box is an inch), the front facing +Z as glTF asks. One material
// per face: its picture (PNG or JPEG) times its colour.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "box_scene.h"

struct ModelFace {
    const char* pszName;          // the material's name: "front", ...
    std::vector<BYTE> picture;    // a whole PNG or JPEG file; empty: the colour alone
    bool bJpeg = false;
    COLORREF colour = 0x00FFFFFF;
};

// Metres of a unit of the box (tenths of a unit are what the scene holds).
constexpr double kModelMetresPerUnit = 0.0254;

// The box of that size and edge radius (tenths of a unit, as the scene holds them), faces
// in SideSlot order.
std::vector<BYTE> BuildBoxModel(int nWidth, int nHeight, int nDepth, int nEdgeRadius,
                                const ModelFace (&faces)[kSideCount]);
