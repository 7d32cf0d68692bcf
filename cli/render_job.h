// One picture to render: a scene and where and how its picture is written. Every field
// starts at the window's start scene.
#pragma once
#include <windows.h>

#include <string>

#include "model_file.h"
#include "scene_description.h"
#include "spin_files.h"
#include "spin_views.h"

struct RenderJob : SceneDescription {
    std::wstring output;                    // .png, .jpg or .jpeg
    int quality = 90;                       // JPEG, 1..100
    int samples = -1;                       // multisampling; -1: the best the device offers
    int fitMargin = -1;                     // --fit: framed with this margin in percent; -1: as the view says
    float rotation1Fraction = 0.0f;         // degrees past rotation1: a spin's even steps
    int modelTextureSize = kModelTextureSide;  // a .glb's face pictures, at most this many pixels a side

    // A spin: pictures at even steps of rotation1 all the way round, framed once for all.
    int spin = 0;                           // how many pictures; 0: one picture, no spin
    int spinElevation = kSpinSceneElevation;  // degrees the camera stands above the box's middle
    unsigned spinFormats = kSpinFrames;     // SpinFormat flags: what the spin writes, from one drawing
    int spinDelay = kSpinDelayMs;           // milliseconds a picture shows, in an APNG or the viewer

    std::string record;                     // what made its files (job_record.h), written into them
};
