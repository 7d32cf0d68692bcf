// A spin's views: all the way round the box at even steps of rotation1, starting from the
// scene's own view, framed once so that the box neither leaves the picture nor jumps.
// zelmora-render's --spin and the window's "360 spin" make their pictures from these.
#pragma once
#include <string>
#include <vector>

#include "scene_description.h"

struct SpinView {
    int values[kSceneValueCount];   // the scene's values for this picture
    float rotation1Fraction = 0;    // degrees past values[kValueRotation1] (48 pictures: 7.5 apart)
};

constexpr int kSpinMinCount = 2, kSpinMaxCount = 360;
constexpr int kSpinSceneElevation = 1000;  // the camera where the scene's rotation2 puts it

// count pictures of the given proportions; elevation: degrees above the box's middle, or
// kSpinSceneElevation. False when the camera is inside what is to be framed at some view.
bool SpinViews(const SceneDescription& scene, int count, int elevation, float aspect, float marginPercent,
               std::vector<SpinView>* pViews);

// "spin/box.png", 3 of 24: "spin/box-03.png".
std::wstring SpinFrameName(const std::wstring& output, int number, int count);
