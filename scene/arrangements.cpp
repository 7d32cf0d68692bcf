#include "arrangements.h"

const char* const g_arrangeNames[kArrangeCount + 1] = {"row", "stack", "fan", "box-set", "lean", "free", nullptr};
