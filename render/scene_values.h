// The scene's numeric values as the user sets them: name, field, range and start value.
// The window's trackbars and the command line take their ranges and defaults from here.
#pragma once
#include "box_scene.h"

struct SceneValue {
    const char* pszName;    // as the command line spells it
    int BoxScene::*pField;
    int nMin;
    int nMax;
    int nDefault;
    const wchar_t* pszUnit;  // what a number means, for --help
};

enum SceneValueIndex { kValueWidth, kValueHeight, kValueDepth, kValueRotation1, kValueRotation2, kValueDistance,
                       kValueZoom, kValueAmbient, kValueDiffuse, kValueReflection, kValueReflectionFade,
                       kValueShadow, kValueShadowSoftness, kValueCentreX, kValueCentreY, kValueEdgeRadius, kSceneValueCount };

extern const SceneValue (&g_sceneValues)[kSceneValueCount];

// The start scene: every value at its default, white faces and background, no images.
void SetStartScene(BoxScene& scene);
