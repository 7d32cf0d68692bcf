// The preset views: nine for any shape, then five for books, cases and devices.
#pragma once
#include <windows.h>

#include <cstdint>

struct BoxTemplate {
    const wchar_t* pszName;
    int nRotation1, nRotation2, nDistance, nZoom;
    int nWidth, nHeight, nDepth;
    int nAmbient, nDiffuse;
    DWORD clrBackground;  // Direct3D colour 0xAARRGGBB
    // A view for a book or case, through a long lens from at most a little above, so that
    // verticals stay upright: listed on the Templates page only for those shapes.
    bool bBookView = false;
};

constexpr int kBoxTemplateCount = 14;
constexpr int kFirstBookTemplate = 9;
extern const BoxTemplate g_boxTemplates[kBoxTemplateCount];

// The one way a template is applied, in the window and by zelmora-render: its view, the box
// back in the middle of the picture, and unless bViewOnly ("Keep box size") the box's size,
// its light and the background. values: as g_sceneValues orders them.
void ApplyTemplate(const BoxTemplate& t, bool bViewOnly, int* values, std::uint32_t* pBackground);
