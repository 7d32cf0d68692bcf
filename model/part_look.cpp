#include "part_look.h"

namespace {
constexpr double kGlossRoughness = 0.25;
constexpr double kMatteRoughness = 0.8;

Colour Times(Colour a, Colour b)
{
    return MakeColour(RedOf(a) * RedOf(b) / 255, GreenOf(a) * GreenOf(b) / 255, BlueOf(a) * BlueOf(b) / 255);
}
} // namespace

PartSurface SurfaceOf(const ShapeMesh::Part& part, const Colour (&colours)[kPictureCount],
                      const bool (&hasPicture)[kPictureCount])
{
    PartSurface s;
    s.bGloss = part.bGloss;
    s.roughness = part.bGloss ? kGlossRoughness : kMatteRoughness;
    s.slot = part.slot;
    s.colour = colours[part.slot];
    switch (part.look) {
    case PartLook::Cover:
        s.slot = SideCover;
        s.colour = colours[SideCover];
        s.source = hasPicture[SideCover] ? PartSurface::CoverPicture : PartSurface::None;
        break;
    case PartLook::Pages:
        if (hasPicture[part.slot]) {
            s.source = PartSurface::FacePicture;
        } else {  // the paper's own edges, in the face's colour
            s.source = part.bAcross ? PartSurface::PaperAcross : PartSurface::PaperDown;
            s.pszKind = part.bAcross ? "fore-edge" : "page-edges";
        }
        break;
    case PartLook::Plain:
        s.colour = Times(s.colour, part.tint);
        s.pszKind = part.bGloss ? "plastic" : "inside";
        break;
    case PartLook::Picture:
        s.source = hasPicture[part.slot] ? PartSurface::FacePicture : PartSurface::None;
        break;
    }
    return s;
}
