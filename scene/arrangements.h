// How a set's products stand on the floor, by the names scenes spell them (the placing
// itself is the model's).
#pragma once

enum ArrangeKind { ArrangeRow, ArrangeStack, ArrangeFan, ArrangeBoxSet, ArrangeLean, ArrangeFree, kArrangeCount };
extern const char* const g_arrangeNames[kArrangeCount + 1];  // null-terminated
