// The shapes a scene can take, by the names scenes spell them (their meshes are the renderer's).
#pragma once

enum ShapeKind { ShapeBox, ShapePaperback, ShapeHardcover, ShapeDvdCase, ShapeSlipcase, kShapeCount };
extern const char* const g_shapeNames[kShapeCount + 1];  // null-terminated

// The light from above (percent) a book or case gets when it is chosen in a scene without one:
// its top then reads as paper rather than grey.
constexpr int kTopLightForBooks = 40;
