// A shape as the renderer draws it: vertices, a triangle list, and the parts of the list
// that take each face's picture and colour.
#pragma once
#include <vector>

#include "box_geometry.h"
#include "box_scene.h"

// What a part of a shape is covered with.
enum class PartLook {
    Picture,  // its face's picture (or plain colour)
    Cover,    // the whole cover's picture
    Pages,    // paper edges, unless its face has a picture of its own
    Plain,    // its face's colour times the part's tint, no picture
};

struct ShapeMesh {
    struct Part {
        int slot;            // the face (SideSlot) whose colour it takes, and picture if it shows one
        unsigned firstIndex;     // into indices
        unsigned triangleCount;
        PartLook look = PartLook::Picture;
        Colour tint = MakeColour(255, 255, 255);  // times the face's colour
        bool bGloss = false;   // under clear plastic: a highlight
        bool bAcross = false;  // Pages: the pages are stacked along u, not v
        bool bLit = false;     // lit from within (a screen): its picture shows whatever the light
        int product = 0;       // a set's: whose pictures, colours and finish it takes
    };
    std::vector<BoxVertex> vertices;  // world units, centred on the origin
    std::vector<uint16_t> indices;        // triangles, drawn clockwise as the box's are
    std::vector<Part> parts;
};

// The box of that size (tenths of a unit) with its edges rounded by radius (tenths; at most
// half the smallest side). Radius 0 is the 24-vertex box; a rounded box keeps its outer size,
// and each picture runs on round its bends up to the middle of the bend.
ShapeMesh BoxShapeMesh(int nWidth, int nHeight, int nDepth, int nRadius);
// The same in world units, for shapes of a size between tenths: a radius above 0 always
// rounds (held to half the smallest side).
ShapeMesh RoundedBoxMesh(const float size[3], float radius);
