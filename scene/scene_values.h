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
    // A value chosen by name: the names in order of the numbers, null-terminated (written
    // and read by name, never as a number). Null: a number.
    const char* const* ppszNames = nullptr;
    // A length in thousandths of an inch: also taken as "0.125in" or "3.2mm".
    bool bLength = false;
    // A product's own (its shape, sizes, finish), not the stage's: each product of a set
    // has its own.
    bool bProduct = false;
};

enum SceneValueIndex { kValueWidth, kValueHeight, kValueDepth, kValueRotation1, kValueRotation2, kValueDistance,
                       kValueZoom, kValueAmbient, kValueDiffuse, kValueReflection, kValueReflectionFade,
                       kValueShadow, kValueShadowSoftness, kValueCentreX, kValueCentreY, kValueEdgeRadius, kValueShape, kValueTrimWidth,
                       kValueTrimHeight, kValuePages, kValuePaper, kValueBleed, kValueWrap, kValueTopLight,
                       kValueLight, kValueLightAzimuth, kValueLightElevation, kValueLightSize, kValueKey,
                       kValueSky, kValueFinish, kValueLightSamples, kValueArrange, kValueGap, kValueStagger,
                       kValueSpread, kValueSeed, kValuePull, kValuePulled, kValueLeanAngle,
                       kValuePlaceX, kValuePlaceZ, kValueTurn, kValueBinding, kValueRead, kValueOpenAngle,
                       kValueScreenWidth, kValueScreenHeight, kValueBezel, kValueBezelBottom, kValueCorner,
                       kValueBody, kValueScreenFit, kValuePose, kValueCameraBump, kValueInk, kValueTone,
                       kSceneValueCount };

extern const SceneValue (&g_sceneValues)[kSceneValueCount];

// The value's number for a name (case ignored), or -1.
int SceneValueNumber(const SceneValue& value, const char* pszName);

// The start scene: every value at its default, white faces and background, no images.
void SetStartScene(BoxScene& scene);
