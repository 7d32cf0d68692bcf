// Views of the scene's own: where the camera stands, under a name the user gave it.
#pragma once
#include <string>
#include <vector>

#include "scene_values.h"

// What a view holds: the camera's place, its zoom and where the box sits in the picture.
constexpr SceneValueIndex kViewValues[] = {kValueRotation1, kValueRotation2, kValueDistance,
                                           kValueZoom,      kValueCentreX,   kValueCentreY};
constexpr int kViewValueCount = static_cast<int>(sizeof kViewValues / sizeof kViewValues[0]);
constexpr size_t kViewNameMaxLength = 64;

struct SceneView {
    std::wstring name;
    int values[kViewValueCount] = {};  // in kViewValues order

    // The view of a scene's values (as g_sceneValues orders them), and back into them.
    static SceneView Of(const std::wstring& name, const int sceneValues[kSceneValueCount]);
    void ApplyTo(int sceneValues[kSceneValueCount]) const;
    bool operator==(const SceneView& other) const;
    bool operator!=(const SceneView& other) const { return !(*this == other); }
};

// The view of that name, as the user would match it (case does not count); null if none.
const SceneView* FindView(const std::vector<SceneView>& views, const std::wstring& name);

// Why `name` cannot name a view (empty if it can): blank, too long, control characters, or
// already taken by another view than views[self].
std::wstring ViewNameRefusal(const std::vector<SceneView>& views, const std::wstring& name, size_t self = SIZE_MAX);

// A name no view has yet: "View 1", "View 2", ...
std::wstring NewViewName(const std::vector<SceneView>& views);
