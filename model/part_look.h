// What a part of a shape shows in a scene: which picture, in what colour, how glossy. The
// frame and the 3D model file both draw a part from this, so that they agree.
#pragma once
#include "shape_mesh.h"

struct PartSurface {
    enum Source {
        None,          // its colour alone
        FacePicture,   // the picture of face `slot`
        CoverPicture,  // the whole cover's picture, laid out for the shape
        PaperDown,     // page edges, the pages stacked down the picture
        PaperAcross,   // page edges, the pages stacked across it
    } source = None;
    int slot = 0;                // the face the picture is; FacePicture only
    Colour colour = 0xFFFFFF;    // times the picture
    bool bGloss = false;         // under clear plastic: the eye light's highlight shows
    double roughness = 0.8;      // as physically based renderers take it: 0 mirror, 1 matte
    float sheen = 0;             // the studio's highlight: its strength, 0..1
    float sheenPower = 1;        // and how tight it is (a specular power)
    float mirror = 0;            // the studio round it mirrored by its roughness: 1, or 0 for bare paper
    float emission = 0;          // lit from within (a screen): 1 its picture whatever the light
    const char* pszKind = nullptr;  // a model file's name for it; null: named after its face
};

// The part's look for a scene whose faces have these colours and, where hasPicture says so,
// pictures (SideSlot order, the cover last).
// finish: FinishKind, for printed covers.
PartSurface SurfaceOf(const ShapeMesh::Part& part, const Colour (&colours)[kPictureCount],
                      const bool (&hasPicture)[kPictureCount], int finish);

// The highlight a glossy part shows in the frame: its strength (0..1) and sharpness (the
// light's specular power).
constexpr float kGlossHighlight = 0.45f;
constexpr float kGlossPower = 40.0f;

// A dielectric's reflectance at normal incidence (a laminate, clear plastic): Schlick's
// Fresnel rises from it to 1 at grazing angles.
constexpr float kLaminateReflectance = 0.04f;
