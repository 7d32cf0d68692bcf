// The nine preset views.
#pragma once
#include <windows.h>

#include <cstdint>

struct BoxTemplate {
    const wchar_t* pszName;
    int nRotation1, nRotation2, nDistance, nZoom;
    int nWidth, nHeight, nDepth;
    int nAmbient, nDiffuse;
    DWORD clrBackground;  // Direct3D colour 0xAARRGGBB
};

constexpr int kBoxTemplateCount = 9;
extern const BoxTemplate g_boxTemplates[kBoxTemplateCount];

// The one way a template is applied, in the window and by zelmora-render: its view, the box
// back in the middle of the picture, and unless bViewOnly ("Keep box size") the box's size,
// its light and the background. values: as g_sceneValues orders them.
void ApplyTemplate(const BoxTemplate& t, bool bViewOnly, int* values, std::uint32_t* pBackground);
