#include "scene_description.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <cwctype>

#include "box_templates.h"
#include "light_kinds.h"
#include "shape_kinds.h"

const char* const g_faceNames[kPictureCount] = {"front", "left", "top", "back", "right", "bottom", "cover", "spread", "screen"};

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
    for (int s = 0; s < kPictureCount; ++s)
        faceColours[s] = DefaultFaceColour(s);
}

void SceneDescription::ApplyTo(BoxScene& scene) const
{
    for (int i = 0; i < kSceneValueCount; ++i)
        scene.*g_sceneValues[i].pField = values[i];
    scene.m_clrBackground = background;
    for (int s = 0; s < kPictureCount; ++s)
        scene.m_clrFace[s] = faceColours[s];
    scene.m_products.resize(products.size());  // pictures stay the caller's
    for (size_t k = 0; k < products.size(); ++k) {
        scene.m_products[k].values.assign(products[k].values, products[k].values + kSceneValueCount);
        for (int s = 0; s < kPictureCount; ++s)
            scene.m_products[k].m_clrFace[s] = products[k].faceColours[s];
    }
}

void SceneDescription::TakeFrom(const BoxScene& scene)
{
    for (int i = 0; i < kSceneValueCount; ++i)
        values[i] = scene.*g_sceneValues[i].pField;
    background = scene.m_clrBackground;
    for (int s = 0; s < kPictureCount; ++s)
        faceColours[s] = scene.m_clrFace[s];
    products.resize(scene.m_products.size());  // paths stay the caller's
    for (size_t k = 0; k < products.size(); ++k) {
        const SceneProduct& p = scene.m_products[k];
        for (int i = 0; i < kSceneValueCount; ++i)
            products[k].values[i] = i < static_cast<int>(p.values.size()) ? p.values[i] : values[i];
        for (int s = 0; s < kPictureCount; ++s)
            products[k].faceColours[s] = p.m_clrFace[s];
    }
}

bool ProductDescription::SameProduct(const ProductDescription& o) const
{
    for (int s = 0; s < kPictureCount; ++s)
        if (facePaths[s] != o.facePaths[s] || faceColours[s] != o.faceColours[s])
            return false;
    for (int i = 0; i < kSceneValueCount; ++i)
        if (g_sceneValues[i].bProduct && values[i] != o.values[i])
            return false;
    return true;
}

void SwapProduct(SceneDescription& scene, int k)
{
    if (k <= 0)
        return;
    ProductDescription& other = scene.products[static_cast<size_t>(k - 1)];
    for (int s = 0; s < kPictureCount; ++s) {
        std::swap(scene.facePaths[s], other.facePaths[s]);
        std::swap(scene.faceNamedByFile[s], other.faceNamedByFile[s]);
        std::swap(scene.faceColours[s], other.faceColours[s]);
    }
    for (int i = 0; i < kSceneValueCount; ++i)
        if (g_sceneValues[i].bProduct)
            std::swap(scene.values[i], other.values[i]);
}

void SetProductCount(SceneDescription& scene, int count)
{
    count = std::max(1, std::min(count, kMaxProducts));
    scene.products.resize(static_cast<size_t>(count - 1), static_cast<const ProductDescription&>(scene));
}

bool SceneDescription::operator==(const SceneDescription& o) const
{
    for (int s = 0; s < kPictureCount; ++s)
        if (facePaths[s] != o.facePaths[s] || faceColours[s] != o.faceColours[s])
            return false;
    if (products.size() != o.products.size())
        return false;
    for (size_t k = 0; k < products.size(); ++k)
        if (!products[k].SameProduct(o.products[k]))
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

namespace {

OptionResult ApplyOneOption(SceneDescription& scene, const std::string& name, const std::wstring& value,
                            const std::wstring& baseDir, std::wstring* pExpected, bool bNamedByFile)
{
    // "spread" was a fan's degrees before it was an open book's picture: a whole number
    // there is still read so.
    if (name == "spread" && !value.empty() && value.size() < 4 &&
        value.find_first_not_of(L"0123456789") == std::wstring::npos)
        return ApplyOneOption(scene, g_sceneValues[kValueSpread].pszName, value, baseDir, pExpected, bNamedByFile);
    for (int s = 0; s < kPictureCount; ++s) {
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
    for (int i = 0; i < kSceneValueCount; ++i) {
        const SceneValue& v = g_sceneValues[i];
        if (name != v.pszName)
            continue;
        if (v.ppszNames) {
            const int number = SceneValueNumber(v, Utf8FromWide(value).c_str());
            if (number < 0) {
                *pExpected = L"expected one of:";
                for (int k = 0; v.ppszNames[k]; ++k)
                    *pExpected += L" " + std::wstring(v.ppszNames[k], v.ppszNames[k] + strlen(v.ppszNames[k]));
                return OptionResult::Refused;
            }
            if (i == kValueShape)
                ChooseShape(scene.values, number);
            else
                scene.values[i] = number;
            return OptionResult::Applied;
        }
        if (v.bLength) {
            int length = 0;
            if (!ParseLength(value, &length) || length < v.nMin || length > v.nMax) {
                *pExpected = L"expected a length from " + std::to_wstring(v.nMin) + L" to " + std::to_wstring(v.nMax) +
                             L" thousandths of an inch, as a whole number of them or with a unit (0.125in, 3mm)";
                return OptionResult::Refused;
            }
            scene.values[i] = length;
            return OptionResult::Applied;
        }
        return SetRanged(&scene.values[i], value, v.nMin, v.nMax, pExpected);
    }
    if (name == "trim") {
        int width = 0, height = 0;
        if (!ParseTrim(value, &width, &height))
            return Refuse(pExpected, L"expected the page's width and height with their unit, as 6x9in or 152x229mm "
                                     L"(each from 0.5 to 20 in)");
        scene.values[kValueTrimWidth] = width;
        scene.values[kValueTrimHeight] = height;
        return OptionResult::Applied;
    }

    if (name == "screen-size") {
        int width = 0, height = 0;
        if (!ParseSize(value, kValueScreenWidth, kValueScreenHeight, &width, &height))
            return Refuse(pExpected, L"expected the screen's width and height with their unit, as 2.6x5.6in or "
                                     L"66x142mm (each at most 20 in; 0 for the device's own)");
        scene.values[kValueScreenWidth] = width;
        scene.values[kValueScreenHeight] = height;
        return OptionResult::Applied;
    }

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
        Colour c = 0;
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

int FaceOfName(const std::string& name)
{
    for (int s = 0; s < kPictureCount; ++s)
        if (name == g_faceNames[s])
            return s;
    return -1;
}

// Names a product's own value, picture or colour rather than the stage's.
bool IsProductOption(const std::string& name)
{
    if (name == "trim" || name == "screen-size" || FaceOfName(name) >= 0)
        return true;
    for (const char* face : g_faceNames)
        if (name == std::string(face) + "-colour" || name == std::string(face) + "-color")
            return true;
    for (const SceneValue& v : g_sceneValues)
        if (name == v.pszName)
            return v.bProduct;
    return false;
}

std::vector<std::wstring> SplitAtCommas(const std::wstring& value)
{
    std::vector<std::wstring> items;
    for (size_t start = 0;;) {
        const size_t comma = value.find(L',', start);
        std::wstring item = value.substr(start, comma == std::wstring::npos ? std::wstring::npos : comma - start);
        item.erase(0, item.find_first_not_of(L' '));
        item.erase(item.find_last_not_of(L' ') + 1);
        items.push_back(item);
        if (comma == std::wstring::npos)
            return items;
        start = comma + 1;
    }
}

} // namespace

OptionResult ApplySceneOption(SceneDescription& scene, const std::string& name, const std::wstring& value,
                              const std::wstring& baseDir, std::wstring* pExpected, bool bNamedByFile)
{
    const bool bCovers = name == "covers";
    if (!bCovers && !IsProductOption(name))
        return ApplyOneOption(scene, name, value, baseDir, pExpected, bNamedByFile);
    // A face's picture is one path, commas and all; "covers" are a list of them.
    const std::vector<std::wstring> items = FaceOfName(name) >= 0 ? std::vector<std::wstring>{value} : SplitAtCommas(value);
    const int given = static_cast<int>(items.size());
    if (given > kMaxProducts) {
        *pExpected = L"expected at most " + std::to_wstring(kMaxProducts) + L" products";
        return OptionResult::Refused;
    }
    // Worked on a copy: a refused item leaves the scene as it was.
    SceneDescription result = scene;
    if (given > 1 || bCovers) {
        if (ProductCount(result) == 1 || bCovers)
            SetProductCount(result, given);
        else if (given != ProductCount(result)) {
            *pExpected = L"expected one value for all " + std::to_wstring(ProductCount(result)) +
                         L" products, or one for each, separated by commas";
            return OptionResult::Refused;
        }
    }
    for (int k = 0; k < ProductCount(result); ++k) {
        const std::wstring& item = items[given == 1 ? 0 : static_cast<size_t>(k)];
        if (bCovers && item.empty()) {
            *pExpected = L"expected a cover picture's path for each product, separated by commas";
            return OptionResult::Refused;
        }
        SwapProduct(result, k);
        const OptionResult r = ApplyOneOption(result, bCovers ? "cover" : name, item, baseDir, pExpected, bNamedByFile);
        SwapProduct(result, k);
        if (r != OptionResult::Applied)
            return r;
    }
    scene = std::move(result);
    return OptionResult::Applied;
}

bool ApplyProductList(SceneDescription& scene, const std::vector<std::vector<JsonMember>>& objects,
                      const std::wstring& baseDir, bool bNamedByFile, std::wstring* pError)
{
    if (objects.empty() || objects.size() > static_cast<size_t>(kMaxProducts)) {
        *pError = L"\"products\": expected from 1 to " + std::to_wstring(kMaxProducts) + L" products";
        return false;
    }
    SceneDescription result = scene;
    if (objects.size() > static_cast<size_t>(ProductCount(result)))
        SetProductCount(result, static_cast<int>(objects.size()));
    for (size_t k = 0; k < objects.size(); ++k) {
        for (const JsonMember& m : objects[k]) {
            const std::wstring where = L"line " + std::to_wstring(m.line) + L", product " + std::to_wstring(k + 1) +
                                       L", \"" + WideFromUtf8(m.name) + L"\": ";
            if (m.bList || !IsProductOption(m.name)) {
                *pError = where + L"not a product's own setting (the stage's go outside \"products\")";
                return false;
            }
            if (HasControlCharacters(m.value)) {
                *pError = where + L"control characters are not allowed";
                return false;
            }
            std::wstring expected;
            SwapProduct(result, static_cast<int>(k));
            const OptionResult r = ApplyOneOption(result, m.name, m.value, baseDir, &expected, bNamedByFile);
            SwapProduct(result, static_cast<int>(k));
            if (r != OptionResult::Applied) {
                *pError = where + m.value + L": " + expected;
                return false;
            }
        }
    }
    scene = std::move(result);
    return true;
}

void ChooseShape(int* values, int shape)
{
    if (values[kValueShape] == ShapeBox && shape != ShapeBox) {
        if (values[kValueTopLight] == 0)
            values[kValueTopLight] = kTopLightForBooks;
        values[kValueLight] = LightStudio;  // books and cases are shown as photographed
    }
    values[kValueShape] = shape;
}

namespace {

// A decimal number and its unit ("in" or "mm"), as thousandths of an inch.
bool ParseMeasure(const std::wstring& text, double* pThousandths)
{
    std::wstring number = text;
    double perUnit = 0;
    if (number.size() > 2 && _wcsicmp(number.c_str() + number.size() - 2, L"in") == 0)
        perUnit = 1000;
    else if (number.size() > 2 && _wcsicmp(number.c_str() + number.size() - 2, L"mm") == 0)
        perUnit = 1000 / 25.4;
    else
        return false;
    number.resize(number.size() - 2);
    if (number.empty() || number.size() > 12 || number.find_first_not_of(L"0123456789.") != std::wstring::npos ||
        number.find(L'.') != number.rfind(L'.') || number == L".")
        return false;
    *pThousandths = _wtof(number.c_str()) * perUnit;
    return true;
}

int Rounded(double v)
{
    return static_cast<int>(v + 0.5);
}

} // namespace

bool ParseLength(const std::wstring& text, int* pThousandths)
{
    long long whole = 0;
    if (ParseWholeNumber(text, &whole)) {
        if (whole < 0 || whole > 1000000)
            return false;
        *pThousandths = static_cast<int>(whole);
        return true;
    }
    double measure = 0;
    if (!ParseMeasure(text, &measure) || measure > 1000000)
        return false;
    *pThousandths = Rounded(measure);
    return true;
}

bool ParseTrim(const std::wstring& text, int* pWidth, int* pHeight)
{
    return ParseSize(text, kValueTrimWidth, kValueTrimHeight, pWidth, pHeight);
}

bool ParseSize(const std::wstring& text, SceneValueIndex widthValue, SceneValueIndex heightValue, int* pWidth,
               int* pHeight)
{
    const size_t x = text.find_first_of(L"xX");
    if (x == std::wstring::npos || text.size() < 3)
        return false;
    // The unit once at the end ("6x9in") or after each side ("6inx9in").
    const std::wstring unit = text.substr(text.size() - 2);
    std::wstring first = text.substr(0, x);
    if (first.size() < 2 || (_wcsicmp(first.c_str() + first.size() - 2, L"in") != 0 &&
                             _wcsicmp(first.c_str() + first.size() - 2, L"mm") != 0))
        first += unit;
    double width = 0, height = 0;
    if (!ParseMeasure(first, &width) || !ParseMeasure(text.substr(x + 1), &height))
        return false;
    const SceneValue& w = g_sceneValues[widthValue];
    const SceneValue& h = g_sceneValues[heightValue];
    if (Rounded(width) < w.nMin || Rounded(width) > w.nMax || Rounded(height) < h.nMin || Rounded(height) > h.nMax)
        return false;
    *pWidth = Rounded(width);
    *pHeight = Rounded(height);
    return true;
}

std::wstring FormatTrim(int width, int height)
{
    auto inches = [](int thousandths) {
        wchar_t text[32];
        swprintf(text, 32, L"%.3f", thousandths / 1000.0);
        std::wstring t = text;
        while (t.back() == L'0')
            t.pop_back();
        if (t.back() == L'.')
            t.pop_back();
        return t;
    };
    return inches(width) + L"x" + inches(height) + L"in";
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

bool ParseColour(const std::wstring& text, Colour* pColour)
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

std::wstring FormatColour(Colour colour)
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
