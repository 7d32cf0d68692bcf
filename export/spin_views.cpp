#include "spin_views.h"

#include <algorithm>
#include <cmath>

#include "view_fit.h"

bool SpinViews(const SceneDescription& scene, int count, int elevation, float aspect, float marginPercent,
               std::vector<SpinView>* pViews)
{
    struct Scene : BoxScene {
        void RefreshPages() override {}
    } box;
    scene.ApplyTo(box);
    // A set larger than the camera's distance allows is seen from further back.
    const int distance = std::max(DistanceForSet(box), box.m_nDistance);
    box.m_nDistance = distance;
    FramedExtent extent;
    std::vector<SpinView> views(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        SpinView& view = views[static_cast<size_t>(i)];
        std::copy(scene.values, scene.values + kSceneValueCount, view.values);
        if (elevation != kSpinSceneElevation)
            view.values[kValueRotation2] = 90 + elevation;
        const double angle = std::fmod(scene.values[kValueRotation1] + i * 360.0 / count, 360.0);
        view.values[kValueRotation1] = static_cast<int>(std::floor(angle));
        view.rotation1Fraction = static_cast<float>(angle - std::floor(angle));
        box.m_nRotation1 = view.values[kValueRotation1];
        box.m_nRotation2 = view.values[kValueRotation2];
        box.m_fRotation1Fraction = view.rotation1Fraction;
        if (!AddToExtent(box, aspect, &extent))
            return false;
    }
    ViewFit fit;
    if (!FitExtent(extent, marginPercent, &fit))
        return false;
    for (SpinView& view : views) {
        view.values[kValueZoom] = fit.zoom;
        view.values[kValueDistance] = distance;
        view.values[kValueCentreX] = fit.centreX;
        view.values[kValueCentreY] = fit.centreY;
    }
    *pViews = std::move(views);
    return true;
}

std::wstring SpinFrameName(const std::wstring& output, int number, int count)
{
    const size_t slash = output.find_last_of(L"\\/");
    size_t dot = output.rfind(L'.');
    if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash))
        dot = output.size();
    const int digits = count >= 100 ? 3 : 2;
    wchar_t suffix[16];
    swprintf(suffix, 16, L"-%0*d", digits, number);
    return output.substr(0, dot) + suffix + output.substr(dot);
}
