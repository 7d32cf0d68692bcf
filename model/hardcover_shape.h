// A case-bound hardcover: boards of real thickness overhanging the page block at the top,
// bottom and fore-edge, a rounded spine, the hinge grooves beside it, and the case wrap.
#pragma once
#include "shapes.h"

extern const ShapeRow g_hardcoverShape;

// How case-bound books are made, inches.
constexpr float kBoardThickness = 0.1f;   // grey board with the wrap glued round it
constexpr float kBoardOverhang = 0.125f;  // past the pages at the top, bottom and fore-edge
constexpr float kHingeWidth = 0.394f;     // from the spine's fold to the groove's far side
