#include "box_templates.h"

#include "scene_values.h"

// "Left Rotation" is Rotation #1 135, "Right" 45; "3-sided" is Rotation #2 120 (the top in
// view), "2-sided" 80; "Thin Box" is depth 20, "Thick Box" 50. Row 0 is the start-up view.
// The book views stand 50 units off with a field of view of 11.5 degrees: Rotation #2 90 is
// eye level, 100 a little above (a vertical at the picture's edge leans under a degree); an
// open book and a device lying flat are looked down on, from 145 or straight down.
const BoxTemplate g_boxTemplates[kBoxTemplateCount] = {
    {L"3-sided Box, Left Rotation, Thin Box", 135, 120, 200, 750, 80, 120, 20, 30, 100, 0xFFFFFFFF},
    {L"2-sided Box, Left Rotation, Thin Box", 135, 80, 200, 750, 80, 120, 20, 30, 100, 0xFFFFFFFF},
    {L"3-sided Box, Left Rotation, Thick Box", 135, 120, 200, 750, 80, 120, 50, 30, 100, 0xFFFFFFFF},
    {L"2-sided Box, Left Rotation, Thick Box", 135, 80, 200, 750, 80, 120, 50, 30, 100, 0xFFFFFFFF},
    {L"3-sided Cube, Left Rotation", 120, 110, 200, 750, 80, 80, 80, 30, 100, 0xFFFFFFFF},
    {L"3-sided Box, Right Rotation, Thin Box", 45, 120, 200, 750, 80, 120, 20, 30, 100, 0xFFFFFFFF},
    {L"2-sided Box, Right Rotation, Thin Box", 45, 80, 200, 750, 80, 120, 20, 30, 100, 0xFFFFFFFF},
    {L"3-sided Box, Right Rotation, Thick Box", 45, 120, 200, 750, 80, 120, 50, 30, 100, 0xFFFFFFFF},
    {L"2-sided Box, Right Rotation, Thick Box", 45, 80, 200, 750, 80, 120, 50, 30, 100, 0xFFFFFFFF},
    {L"Book, Front at Eye Level", 90, 90, 500, 1085, 80, 120, 20, 30, 100, 0xFFFFFFFF, true},
    {L"Book, Three-Quarter Hero", 125, 100, 500, 1085, 80, 120, 20, 30, 100, 0xFFFFFFFF, true},
    {L"Book, Spine", 180, 90, 500, 1085, 80, 120, 20, 30, 100, 0xFFFFFFFF, true},
    {L"Open Book, From Above", 90, 145, 500, 1085, 80, 120, 20, 30, 100, 0xFFFFFFFF, true},
    {L"Flat Lay, Straight Down", 90, 179, 500, 1085, 80, 120, 20, 30, 100, 0xFFFFFFFF, true},
};

void ApplyTemplate(const BoxTemplate& t, bool bViewOnly, int* values, std::uint32_t* pBackground)
{
    values[kValueRotation1] = t.nRotation1;
    values[kValueRotation2] = t.nRotation2;
    values[kValueDistance] = t.nDistance;
    values[kValueZoom] = t.nZoom;
    values[kValueCentreX] = values[kValueCentreY] = 0;
    if (bViewOnly)
        return;
    // A book's or case's size is its own (its trim and pages): the template gives its view.
    if (values[kValueShape] == 0) {
        values[kValueWidth] = t.nWidth;
        values[kValueHeight] = t.nHeight;
        values[kValueDepth] = t.nDepth;
    }
    values[kValueAmbient] = t.nAmbient;
    values[kValueDiffuse] = t.nDiffuse;
    *pBackground = t.clrBackground;  // the floor stays as it is
}
