// Colour conversion shared by the renderer and the pages.
#pragma once
#include <windows.h>
#include <d3d9.h>

// A COLORREF (0x00BBGGRR) as an opaque Direct3D colour (0xFFRRGGBB).
constexpr D3DCOLOR ColorRefToD3DColor(COLORREF clr)
{
    return 0xFF000000u | (static_cast<D3DCOLOR>(clr & 0xFF) << 16) | (clr & 0xFF00u) |
           ((clr >> 16) & 0xFFu);
}
