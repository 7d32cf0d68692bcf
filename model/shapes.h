// The shapes a scene can take, one row each: a box, books and a DVD case. A shape is built
// from its ShapeSpec, which the scene's values and its cover picture give.
#pragma once
#include <string>

#include "book_cover.h"
#include "scene_values.h"
#include "shape_kinds.h"
#include "shape_mesh.h"


// A shape as it is built: world units (an inch each), centred on the origin.
struct ShapeSpec {
    int shape = ShapeBox;
    float size[3] = {};      // outer width, height, depth
    float radius = 0;        // the box's rounded edges
    int paper = PaperWhite;  // books: the page edges
    bool bCover = false;     // the cover picture wraps the front, spine and back
    CoverLayout cover;
    float spine = 0;         // books: the spine it is sized for, inches (the cover picture's, if it has one)
    // The product's own values (the stage's left 0): what a shape reads beyond the above.
    int values[kSceneValueCount] = {};
    bool operator==(const ShapeSpec& o) const;
    bool operator!=(const ShapeSpec& o) const { return !(*this == o); }
};

struct ShapeRow {
    const wchar_t* pszCaption;  // the Box Dimensions page's list
    // The cover picture this shape takes (false: none); values as g_sceneValues orders them.
    bool (*pfnCoverSpec)(const int* values, CoverSpec* pSpec);
    // Its outer size, world units, for a spine (inches) given by the cover or the pages.
    void (*pfnOuterSize)(const int* values, double spine, float size[3]);
    ShapeMesh (*pfnBuild)(const ShapeSpec& spec);
    // The mean of its footprint's width and depth, world units: what the contact shadow
    // spreads in proportion to.
    float (*pfnFootprint)(const int* values, const ShapeSpec& spec);
    // The picture it shows besides its faces and cover (SideSpread, SideScreen), or -1.
    int ownPicture = -1;
    // Its size is the box's width, height and depth (else its own values make it).
    bool bBoxSized = false;
};
// The footprint from the built size, for the shapes that have nothing finer.
float FootprintOfSize(const int* values, const ShapeSpec& spec);
const ShapeRow& ShapeOf(int shape);
// Whether the shape wraps a whole cover picture (a book, a case).
inline bool TakesCover(int shape)
{
    return ShapeOf(shape).pfnCoverSpec != nullptr;
}
// Whether it takes its size from the box's width, height and depth (a box, a slipcase).
inline bool SizedByBox(int shape)
{
    return ShapeOf(shape).bBoxSized;
}

// The shape the values and a cover picture of that many pixels (0 x 0: none) make.
// *pNote: the cover's spine differs from the pages' (the picture's is used); *pRefusal: the
// picture cannot be this shape's cover (and is not used). Either may be null.
ShapeSpec ShapeSpecOf(const int* values, unsigned coverWidth, unsigned coverHeight, std::wstring* pNote = nullptr,
                      std::wstring* pRefusal = nullptr);
