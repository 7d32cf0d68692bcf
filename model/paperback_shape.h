// A paperback: a soft cover wrapped round the page block on the spine side, the page block's
// paper edges showing at the top, bottom and fore-edge.
#pragma once
#include "shapes.h"

extern const ShapeRow g_paperbackShape;
