// The nine preset views.
#pragma once
#include <windows.h>

struct BoxTemplate {
    const wchar_t* pszName;
    int nRotation1, nRotation2, nDistance, nZoom;
    int nWidth, nHeight, nDepth;
    int nAmbient, nDiffuse;
    DWORD clrBackground;  // Direct3D colour 0xAARRGGBB
};

constexpr int kBoxTemplateCount = 9;
extern const BoxTemplate g_boxTemplates[kBoxTemplateCount];
