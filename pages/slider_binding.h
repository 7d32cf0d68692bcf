// Trackbars bound to scene values, and the exchange and start-up sequence the trackbar
// pages share.
#pragma once
#include "afxwin.h"
#include "box_scene.h"
#include "scene_values.h"

struct SliderBinding {
    int nID;                  // the trackbar
    SceneValueIndex value;    // the scene value it edits, with its range and default
    int nValueLabelID;        // the label at its right end that shows the value
};

// DDX_Slider then DDV_MinMaxSlider for each trackbar, in table order; each value label
// then shows its trackbar's value. Writing the trackbars passes by those that show their
// value already (their label says so).
void ExchangeSliders(CDataExchange* pDX, BoxScene* pScene, const SliderBinding* pBindings, int nCount);

// A trackbar resting (disabled) shows `value`, which is not the scene's: the exchange passes
// a disabled trackbar by, so what it shows never reaches the scene.
void ShowRestingSlider(CWnd* pPage, const SliderBinding& binding, int value);
// The trackbar shows its scene value again (when it is enabled after resting).
void ShowSceneSlider(CWnd* pPage, BoxScene* pScene, const SliderBinding& binding);

// Start-up of a trackbar page: read the fresh trackbars once (installing every range before
// any position is set), write the defaults into the scene, then show them. From then on a
// trackbar's move is read into the scene as it happens.
void InitSliderPage(CWnd* pPage, BoxScene* pScene, const SliderBinding* pBindings, int nCount);
