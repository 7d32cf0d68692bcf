#include "part_look.h"

#include "light_kinds.h"
#include "screen_fit.h"

namespace {
constexpr double kGlossRoughness = 0.25;
constexpr double kMatteRoughness = 0.8;

// How each finish of a printed cover takes the light: roughness for a model file, and the
// studio's highlight (strength, power): gloss a bright tight one, matte a broad sheen,
// soft-touch almost none. The roughness also says how much of the studio round it a
// coated or plastic surface mirrors (a smooth laminate clearly, a rough one only as a faint
// even lift); bare paper's fibres mirror nothing (a page curving into the gutter would
// otherwise mirror the lit floor where it faces the other page).
struct FinishLook {
    double roughness;
    float sheen, sheenPower, mirror;
};
constexpr FinishLook kFinishes[kFinishCount] = {
    {0.7, 0.12f, 6.0f, 1.0f},   // matte
    {0.2, 0.7f, 90.0f, 1.0f},   // gloss
    {0.9, 0.03f, 3.0f, 1.0f},   // soft-touch
};
constexpr FinishLook kPlastic = {kGlossRoughness, 0.8f, 120.0f, 1.0f};
constexpr FinishLook kPaper = {kMatteRoughness, 0.04f, 4.0f, 0.0f};

Colour Times(Colour a, Colour b)
{
    return MakeColour(RedOf(a) * RedOf(b) / 255, GreenOf(a) * GreenOf(b) / 255, BlueOf(a) * BlueOf(b) / 255);
}
} // namespace

PartSurface SurfaceOf(const ShapeMesh::Part& part, const Colour (&colours)[kPictureCount],
                      const bool (&hasPicture)[kPictureCount], int finish)
{
    PartSurface s;
    s.bGloss = part.bGloss;
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
        // A screen's picture carries its own bars' colour; without one a lit screen shows
        // that colour (black: switched off) and an e-reader's ink its blank paper.
        if (part.slot == SideScreen && hasPicture[part.slot])
            s.colour = 0x00FFFFFF;
        else if (part.slot == SideScreen && !part.bLit)
            s.colour = MakeColour(kInkPaper[0], kInkPaper[1], kInkPaper[2]);
        // A spread without a picture of its own shows its page pictures side by side.
        if (part.slot == SideSpread && (hasPicture[SideLeft] || hasPicture[SideRight]))
            s.source = PartSurface::FacePicture;
        break;
    }
    s.emission = part.bLit ? 1.0f : 0.0f;
    // Printed outsides (a cover, a face's picture) take the finish; page edges, insides and
    // a spread's pages are bare paper, a case's clear plastic and a screen's glass their own.
    const bool bPrinted = part.look == PartLook::Cover || (part.look == PartLook::Picture && part.slot < kSideCount);
    const FinishLook& f = part.bGloss ? kPlastic
                          : bPrinted  ? kFinishes[finish >= 0 && finish < kFinishCount ? finish : 0]
                                      : kPaper;
    s.roughness = f.roughness;
    s.sheen = f.sheen;
    s.sheenPower = f.sheenPower;
    s.mirror = f.mirror;
    return s;
}
