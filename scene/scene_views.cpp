#include "scene_views.h"

#include <windows.h>

#include <cstdint>

SceneView SceneView::Of(const std::wstring& name, const int sceneValues[kSceneValueCount])
{
    SceneView view;
    view.name = name;
    for (int i = 0; i < kViewValueCount; ++i)
        view.values[i] = sceneValues[kViewValues[i]];
    return view;
}

void SceneView::ApplyTo(int sceneValues[kSceneValueCount]) const
{
    for (int i = 0; i < kViewValueCount; ++i)
        sceneValues[kViewValues[i]] = values[i];
}

bool SceneView::operator==(const SceneView& other) const
{
    for (int i = 0; i < kViewValueCount; ++i)
        if (values[i] != other.values[i])
            return false;
    return name == other.name;
}

const SceneView* FindView(const std::vector<SceneView>& views, const std::wstring& name)
{
    for (const SceneView& view : views)
        if (::CompareStringOrdinal(view.name.c_str(), -1, name.c_str(), -1, TRUE) == CSTR_EQUAL)
            return &view;
    return nullptr;
}

std::wstring ViewNameRefusal(const std::vector<SceneView>& views, const std::wstring& name, size_t self)
{
    if (name.find_first_not_of(L" \t") == std::wstring::npos)
        return L"a view needs a name";
    if (name.size() > kViewNameMaxLength)
        return L"a view's name is at most " + std::to_wstring(kViewNameMaxLength) + L" characters";
    for (wchar_t c : name)
        if (c < 0x20 || c == 0x7F)
            return L"a view's name cannot hold control characters";
    const SceneView* pSame = FindView(views, name);
    if (pSame && (self >= views.size() || pSame != &views[self]))
        return L"the scene has a view named \"" + pSame->name + L"\" already";
    return std::wstring();
}

std::wstring NewViewName(const std::vector<SceneView>& views)
{
    for (int n = 1;; ++n) {
        std::wstring name = L"View " + std::to_wstring(n);
        if (!FindView(views, name))
            return name;
    }
}
