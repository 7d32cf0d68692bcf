// Framing: the zoom and centre at which the box, with its reflection and shadow where they
// are drawn, fills a picture of the given proportions up to a margin.
#pragma once
#include "box_scene.h"

struct ViewFit {
    int zoom = 0;
    int centreX = 0, centreY = 0;
};

// marginPercent: the space left on each side, in percent of the picture's width and height.
// False when the camera is inside what is to be framed (nothing then fits).
bool FitView(const BoxScene& scene, float aspect, float marginPercent, ViewFit* pFit);
