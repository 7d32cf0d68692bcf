#include "scene_description.h"

#include <algorithm>
#include <cwctype>

#include "box_templates.h"

const char* const g_faceNames[kSideCount] = {"front", "left", "top", "back", "right", "bottom"};

namespace {

const BoxTemplate* FindTemplate(const std::wstring& name)
{
    for (const BoxTemplate& t : g_boxTemplates)
        if (_wcsicmp(t.pszName, name.c_str()) == 0)
            return &t;
    return nullptr;
}

OptionResult SetRanged(int* pTarget, const std::wstring& value, long long min, long long max, std::wstring* pExpected)
{
    long long v = 0;
    if (!ParseWholeNumber(value, &v) || v < min || v > max) {
        *pExpected = L"expected a whole number from " + std::to_wstring(min) + L" to " + std::to_wstring(max);
        return OptionResult::Refused;
    }
    *pTarget = static_cast<int>(v);
    return OptionResult::Applied;
}

OptionResult Refuse(std::wstring* pExpected, const wchar_t* expected)
{
    *pExpected = expected;
    return OptionResult::Refused;
}

} // namespace

SceneDescription::SceneDescription()
{
    for (int i = 0; i < kSceneValueCount; ++i)
        values[i] = g_sceneValues[i].nDefault;
    for (COLORREF& c : faceColours)
        c = 0x00FFFFFF;
}

void SceneDescription::ApplyTo(BoxScene& scene) const
{
    for (int i = 0; i < kSceneValueCount; ++i)
        scene.*g_sceneValues[i].pField = values[i];
    scene.m_clrBackground = background;
    for (int s = 0; s < kSideCount; ++s)
        scene.m_clrFace[s] = faceColours[s];
}

void SceneDescription::TakeFrom(const BoxScene& scene)
{
    for (int i = 0; i < kSceneValueCount; ++i)
        values[i] = scene.*g_sceneValues[i].pField;
    background = scene.m_clrBackground;
    for (int s = 0; s < kSideCount; ++s)
        faceColours[s] = scene.m_clrFace[s];
}

bool SceneDescription::operator==(const SceneDescription& o) const
{
    for (int s = 0; s < kSideCount; ++s)
        if (facePaths[s] != o.facePaths[s] || faceColours[s] != o.faceColours[s])
            return false;
    for (int i = 0; i < kSceneValueCount; ++i)
        if (values[i] != o.values[i])
            return false;
    return background == o.background && bTransparent == o.bTransparent && width == o.width && height == o.height &&
           dpi == o.dpi && supersample == o.supersample && views == o.views;
}

void SortIntoApplyOrder(std::vector<JsonMember>& members)
{
    auto rank = [](const JsonMember& m) {
        return m.name == "scene" ? 0 : m.name == "template" ? 1 : m.name == "view" ? 2 : m.name == "transparent" ? 4 : 3;
    };
    std::stable_sort(members.begin(), members.end(),
                     [&](const JsonMember& a, const JsonMember& b) { return rank(a) < rank(b); });
}

bool HasControlCharacters(const std::wstring& text)
{
    for (wchar_t c : text)
        if (c < 0x20 || c == 0x7F)
            return true;
    return false;
}

OptionResult ApplySceneOption(SceneDescription& scene, const std::string& name, const std::wstring& value,
                              const std::wstring& baseDir, std::wstring* pExpected, bool bNamedByFile)
{
    for (int s = 0; s < kSideCount; ++s) {
        if (name == g_faceNames[s]) {
            // Empty: no picture, so that a job can take a face's picture away from its scene.
            scene.facePaths[s] = value.empty() ? value : ResolvePath(value, baseDir);
            scene.faceNamedByFile[s] = bNamedByFile;
            return OptionResult::Applied;
        }
        if (name == std::string(g_faceNames[s]) + "-colour" || name == std::string(g_faceNames[s]) + "-color")
            return ParseColour(value, &scene.faceColours[s]) ? OptionResult::Applied
                                                            : Refuse(pExpected, L"expected a colour as #RRGGBB");
    }
    for (int i = 0; i < kSceneValueCount; ++i)
        if (name == g_sceneValues[i].pszName)
            return SetRanged(&scene.values[i], value, g_sceneValues[i].nMin, g_sceneValues[i].nMax, pExpected);

    if (name == "template") {
        const BoxTemplate* t = FindTemplate(value);
        if (!t) {
            *pExpected = L"expected one of the Templates page's names:";
            for (const BoxTemplate& bt : g_boxTemplates)
                *pExpected += L"\n  \"" + std::wstring(bt.pszName) + L"\"";
            return OptionResult::Refused;
        }
        ApplyTemplate(*t, false, scene.values, &scene.background);
        scene.bTransparent = false;
        return OptionResult::Applied;
    }
    if (name == "view") {
        const SceneView* pView = FindView(scene.views, value);
        if (!pView) {
            *pExpected = scene.views.empty() ? L"expected the name of one of the scene's views; it has none"
                                             : L"expected one of the scene's views:";
            for (const SceneView& v : scene.views)
                *pExpected += L"\n  \"" + v.name + L"\"";
            return OptionResult::Refused;
        }
        pView->ApplyTo(scene.values);
        return OptionResult::Applied;
    }
    if (name == "background") {
        if (_wcsicmp(value.c_str(), L"transparent") == 0) {
            scene.bTransparent = true;
            return OptionResult::Applied;
        }
        COLORREF c = 0;
        if (!ParseColour(value, &c))
            return Refuse(pExpected, L"expected a colour as #RRGGBB, or transparent");
        scene.background = 0xFF000000u | (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        scene.bTransparent = false;
        return OptionResult::Applied;
    }
    if (name == "transparent") {
        if (value != L"true" && value != L"false")
            return Refuse(pExpected, L"expected true or false");
        scene.bTransparent = value == L"true";
        return OptionResult::Applied;
    }
    if (name == "size") {
        if (_wcsicmp(value.c_str(), L"preview") == 0) {
            scene.width = scene.height = 0;
            return OptionResult::Applied;
        }
        size_t x = value.find_first_of(L"xX");
        long long w = 0, h = 0;
        if (x == std::wstring::npos || !ParseWholeNumber(value.substr(0, x), &w) ||
            !ParseWholeNumber(value.substr(x + 1), &h) || w < 1 || h < 1 || w > 65536 || h > 65536)
            return Refuse(pExpected, L"expected WIDTHxHEIGHT in pixels, each at least 1, or preview");
        scene.width = static_cast<UINT>(w);
        scene.height = static_cast<UINT>(h);
        return OptionResult::Applied;
    }
    if (name == "dpi")
        return SetRanged(&scene.dpi, value, 0, 10000, pExpected);
    if (name == "supersample")
        return SetRanged(&scene.supersample, value, 1, 4, pExpected);
    return OptionResult::Unknown;
}

bool ParseWholeNumber(const std::wstring& text, long long* pValue)
{
    if (text.empty() || text.size() > 12)
        return false;
    size_t i = text[0] == L'-' ? 1 : 0;
    if (i == text.size())
        return false;
    long long v = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < L'0' || text[i] > L'9')  // ASCII digits only: iswdigit takes others too
            return false;
        v = v * 10 + (text[i] - L'0');
    }
    *pValue = text[0] == L'-' ? -v : v;
    return true;
}

bool ParseColour(const std::wstring& text, COLORREF* pColour)
{
    if (text.size() != 7 || text[0] != L'#')
        return false;
    unsigned long rgb = 0;
    for (size_t i = 1; i < 7; ++i) {
        const wchar_t c = text[i];
        const bool bDigit = c >= L'0' && c <= L'9';
        if (!bDigit && !(c >= L'a' && c <= L'f') && !(c >= L'A' && c <= L'F'))
            return false;
        rgb = rgb * 16 + static_cast<unsigned long>(bDigit ? c - L'0' : (c | 0x20) - L'a' + 10);
    }
    *pColour = RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
    return true;
}

std::wstring FormatColour(COLORREF colour)
{
    wchar_t text[8];
    swprintf(text, 8, L"#%02X%02X%02X", GetRValue(colour), GetGValue(colour), GetBValue(colour));
    return text;
}

bool IsAbsolutePath(const std::wstring& path)
{
    return (path.size() >= 2 && path[1] == L':') || (!path.empty() && (path[0] == L'\\' || path[0] == L'/'));
}

std::wstring ResolvePath(const std::wstring& path, const std::wstring& baseDir)
{
    if (baseDir.empty() || IsAbsolutePath(path))
        return path;
    std::wstring joined = baseDir;
    if (joined.back() != L'\\' && joined.back() != L'/')
        joined += L'\\';
    for (wchar_t c : path)
        joined += c == L'/' ? L'\\' : c;
    return joined;
}
