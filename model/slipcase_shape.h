// A slipcase: a box of board open at one end, which a box set's books stand in with their
// spines out. Its big sides take the front and back pictures, its closed end the left one;
// inside it is lined in its front's colour. Its size is the box's values, or in a box set
// what holds the books.
#pragma once
#include "shapes.h"

extern const ShapeRow g_slipcaseShape;

// The board a slipcase is made of, world units (inches).
constexpr float kSlipcaseBoard = 0.08f;
