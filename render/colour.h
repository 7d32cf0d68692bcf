// Colour conversion shared by the renderer and the pages.
#pragma once
#include <windows.h>
#include <d3d9.h>

#include "colour_value.h"

// A COLORREF (0x00BBGGRR) as an opaque Direct3D colour (0xFFRRGGBB).
constexpr D3DCOLOR ColorRefToD3DColor(COLORREF clr)
{
    return OpaqueArgbOf(static_cast<Colour>(clr));
}

// Alpha for a percentage, 0..255.
constexpr BYTE AlphaOfPercent(int percent)
{
    return static_cast<BYTE>((percent * 255 + 50) / 100);
}
