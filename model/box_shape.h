// The box: its size and rounded edges from the scene's values, a picture on each face.
#pragma once
#include "shapes.h"

extern const ShapeRow g_boxShape;
