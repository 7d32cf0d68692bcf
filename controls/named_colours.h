// The palette's 40 named colours, in grid order; the button names a colour by them too.
#pragma once
#include <windows.h>

struct NamedColour {
    COLORREF crColour;
    wchar_t szName[256];
};

extern NamedColour g_namedColours[];
// A variable, not a constant: the palette caps it at the size of its logical palette.
extern int g_nNamedColours;
