// Books' print-ready covers: where the back, spine and front lie in one picture of a cover
// as printers ask for it.
#pragma once

#include <string>

#include "book_paper.h"

// A cover's parts as fractions of its picture: u left to right, v top to bottom.
struct CoverLayout {
    float back[2] = {}, spine[2] = {}, front[2] = {};  // u of each panel's left and right edge
    float top = 0, bottom = 1;                         // v of the panels' top and bottom edge
    bool operator==(const CoverLayout& o) const;
};

// What a cover picture must be for a shape, inches: its panels, the margin cut off (or folded
// in) round all four edges, the spine it should have.
struct CoverSpec {
    double panelWidth = 0, panelHeight = 0;
    double margin = 0;
    double spine = 0;
};

// Panels of panelWidth either side of a spine, with margin round them: where they lie in a
// picture of that many pixels. The picture's height gives its resolution; the spine is what
// its width leaves between the panels. *pSpine: that spine, inches.
// False, with the reason in words, for a picture that cannot be such a cover.
bool LayoutCover(const CoverSpec& spec, unsigned pictureWidth, unsigned pictureHeight, CoverLayout* pLayout, double* pSpine,
                 std::wstring* pWhy);

// The texels of a row or column of `size` wholly inside the fractions lo..hi of it: the first
// and one past the last (a size too small to hold one: its middle texel). A cover is drawn and
// written into models from a copy whose texels outside repeat these, so no bleed shows.
void TexelsInside(float lo, float hi, unsigned size, unsigned* pFirst, unsigned* pEnd);

// What a picture of that height must be for the spec: "at its height's 300 dpi a 6.000 x
// 9.000 in page with a 0.676 in spine takes a picture 4292 pixels wide".
std::wstring CoverSizeText(const CoverSpec& spec, unsigned pictureHeight);

// The printers' tolerance: a spine that differs from the computed one by more is said.
constexpr double kSpineToleranceInches = 1.0 / 16;

// "0.676 in (17.2 mm)".
std::wstring InchesText(double inches);
