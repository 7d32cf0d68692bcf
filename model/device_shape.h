// Reading devices of no brand, built from their values: a phone, a tablet and an e-reader.
// A body with rounded corners and softened edges, a frame round the screen (an e-reader's
// wider below), a camera standing out of the back; standing, lying on its back or propped.
// A phone's and a tablet's screen is lit from within under glass; an e-reader's is matte
// ink that takes the room's light.
#pragma once
#include "shapes.h"

extern const ShapeRow g_phoneShape, g_tabletShape, g_eReaderShape;

// A device's screen as its values make it: its size (inches, upright), how its picture fills
// it, and whether it is an e-reader's ink (greys on paper-grey) or lit glass.
struct DeviceScreen {
    float width = 0, height = 0;
    int fit = 0;  // ScreenFitKind
    bool bInk = false;
    bool bColourInk = false;  // an e-reader's colour ink: muted colours, not greys
    float bezel = 0, bezelBottom = 0, corner = 0;  // the frame beside and below it, the body's corners (inches)
    bool bCamera = false;  // the kind has a camera on its back (whether or not it stands out)
};
// False for a shape that is no device.
bool DeviceScreenOf(const int* values, DeviceScreen* pScreen);
