#include "shape_kinds.h"

const char* const g_shapeNames[kShapeCount + 1] = {"box", "paperback", "hardcover", "dvd-case", "slipcase", "open-book",
                                                 "phone",    "tablet",   "e-reader", nullptr};
const char* const g_bindingNames[kBindingCount + 1] = {"hardcover", "paperback", nullptr};
const char* const g_bodyNames[kBodyCount + 1] = {"black", "white", "silver", "colour", nullptr};
const char* const g_screenFitNames[kScreenFitCount + 1] = {"contain", "cover", nullptr};
const char* const g_inkNames[kInkCount + 1] = {"grey", "colour", nullptr};
const char* const g_poseNames[kPoseCount + 1] = {"standing", "flat", "propped", nullptr};
