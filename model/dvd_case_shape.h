// A DVD keep case: the standard case's proportions, rounded corners, the cover insert under a
// clear glossy sleeve on the front, spine and back, plastic at the top, bottom and open side.
#pragma once
#include "shapes.h"

extern const ShapeRow g_dvdCaseShape;
