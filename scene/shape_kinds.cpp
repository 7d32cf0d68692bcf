#include "shape_kinds.h"

const char* const g_shapeNames[kShapeCount + 1] = {"box", "paperback", "hardcover", "dvd-case", "slipcase", nullptr};
