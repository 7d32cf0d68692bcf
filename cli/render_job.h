// One picture to render: a scene and where and how its picture is written. Every field
// starts at the window's start scene.
#pragma once
#include <windows.h>

#include <string>

#include "scene_description.h"

struct RenderJob : SceneDescription {
    std::wstring output;                    // .png, .jpg or .jpeg
    int quality = 90;                       // JPEG, 1..100
    int samples = -1;                       // multisampling; -1: the best the device offers
    int fitMargin = -1;                     // --fit: framed with this margin in percent; -1: as the view says
};
