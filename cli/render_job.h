// One picture to render: the scene, its faces and where and how the picture is written.
// Every field starts at the window's start scene.
#pragma once
#include <windows.h>

#include <string>

#include "box_scene.h"
#include "scene_values.h"

struct RenderJob {
    std::wstring facePaths[kSideCount];     // empty: no image
    COLORREF faceColours[kSideCount];
    int values[kSceneValueCount];           // as g_sceneValues orders them
    D3DCOLOR background = 0xFFFFFFFF;
    bool bTransparent = false;

    std::wstring output;                    // .png, .jpg or .jpeg
    UINT width = 0, height = 0;             // 0: the preview's size
    int quality = 90;                       // JPEG, 1..100
    int dpi = 0;                            // 0: none written
    int samples = -1;                       // multisampling; -1: the best the device offers

    RenderJob();
    // Puts the job's scene into `scene` (everything but the face images).
    void ApplyTo(BoxScene& scene) const;
};

// The faces by command-line name, in SideSlot order.
extern const char* const g_faceNames[kSideCount];
