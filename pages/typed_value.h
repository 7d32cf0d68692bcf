// A trackbar's value typed: a click on the value beside it (or F2 on the trackbar) opens a
// small edit field over it with the text selected; Enter or leaving it applies, Escape keeps the old value, and a
// number outside the range is held to it, the range said in a balloon. What is not a whole
// number is refused as typed, the range said the same way.
#pragma once
#include "afxwin.h"
#include "box_scene.h"
#include "slider_binding.h"

void EnableTypedValues(CWnd* pPage, BoxScene* pScene, const SliderBinding* pBindings, int nCount);
