// A shape as the renderer draws it: vertices, a triangle list, and the parts of the list
// that take each face's picture and colour.
#pragma once
#include <vector>

#include "box_geometry.h"
#include "box_scene.h"

struct ShapeMesh {
    struct Part {
        int slot;            // the face (SideSlot) whose picture and colour it takes
        UINT firstIndex;     // into indices
        UINT triangleCount;
    };
    std::vector<BoxVertex> vertices;  // world units, centred on the origin
    std::vector<WORD> indices;        // triangles, drawn clockwise as the box's are
    std::vector<Part> parts;
};

// The box of that size (tenths of a unit) with its edges rounded by radius (tenths; at most
// half the smallest side). Radius 0 is the 24-vertex box; a rounded box keeps its outer size,
// and each picture runs on round its bends up to the middle of the bend.
ShapeMesh BoxShapeMesh(int nWidth, int nHeight, int nDepth, int nRadius);
