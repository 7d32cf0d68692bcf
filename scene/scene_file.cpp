#include "scene_file.h"

#include <vector>

#include "file_open.h"
#include "file_replace.h"
#include "json_object.h"

namespace {

std::string JsonString(const std::wstring& text)
{
    std::string out = "\"";
    for (char c : Utf8FromWide(text)) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}


// A picture below the scene's folder as a path relative to it (with '/', read the same on
// any system); anything else in full.
std::wstring PathForScene(const std::wstring& picture, const std::wstring& sceneFolder)
{
    if (picture.empty() || sceneFolder.empty() || ClassifyPath(picture) != PathKind::File)
        return picture;  // a device or network name is kept as it was written
    std::wstring folder = FullPath(sceneFolder);
    if (folder.back() != L'\\')
        folder += L'\\';
    std::wstring full = FullPath(picture);
    if (full.size() <= folder.size() || _wcsnicmp(full.c_str(), folder.c_str(), folder.size()) != 0)
        return full;
    std::wstring relative = full.substr(folder.size());
    for (wchar_t& c : relative)
        if (c == L'\\')
            c = L'/';
    return relative;
}

// Text a Windows editor saved as UTF-16 (it starts with a byte order mark) as UTF-8; other
// text as it is.
std::string Utf16ToUtf8(const std::string& bytes)
{
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
    if (bytes.size() < 2 || !((b[0] == 0xFF && b[1] == 0xFE) || (b[0] == 0xFE && b[1] == 0xFF)))
        return bytes;
    const bool bBigEndian = b[0] == 0xFE;
    std::wstring units;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2)
        units += static_cast<wchar_t>(bBigEndian ? (b[i] << 8 | b[i + 1]) : (b[i + 1] << 8 | b[i]));
    return Utf8FromWide(units);
}

bool IsNumberName(const std::string& name)
{
    if (name == "dpi" || name == "supersample")
        return true;
    for (const SceneValue& v : g_sceneValues)
        if (name == v.pszName)
            return !v.ppszNames;
    return false;
}

// One view of a scene file's "views" list into *pView, or the reason with its line.
bool ReadView(const std::vector<JsonMember>& members, const std::vector<SceneView>& earlier, SceneView* pView,
              std::wstring* pError)
{
    int values[kSceneValueCount];
    for (int i = 0; i < kSceneValueCount; ++i)
        values[i] = g_sceneValues[i].nDefault;  // what a view leaves out is the start scene's
    bool bNamed = false;
    for (const JsonMember& m : members) {
        const std::wstring where = L"line " + std::to_wstring(m.line) + L", view's \"" + WideFromUtf8(m.name) + L"\": ";
        if (m.name == "name") {
            std::wstring refusal = m.bString ? ViewNameRefusal(earlier, m.value) : L"expected a string in quotes";
            if (!refusal.empty()) {
                *pError = where + refusal;
                return false;
            }
            pView->name = m.value;
            bNamed = true;
            continue;
        }
        const SceneValueIndex* pIndex = nullptr;
        for (const SceneValueIndex& index : kViewValues)
            if (m.name == g_sceneValues[index].pszName)
                pIndex = &index;
        if (!pIndex) {
            *pError = where + L"not part of a view (a view is its name, rotation1, rotation2, distance, zoom, "
                              L"centre-x and centre-y)";
            return false;
        }
        const SceneValue& v = g_sceneValues[*pIndex];
        long long n = 0;
        if (m.bString || !ParseWholeNumber(m.value, &n) || n < v.nMin || n > v.nMax) {
            *pError = where + L"expected a whole number from " + std::to_wstring(v.nMin) + L" to " +
                      std::to_wstring(v.nMax);
            return false;
        }
        values[*pIndex] = static_cast<int>(n);
    }
    if (!bNamed) {
        *pError = L"line " + std::to_wstring(members.empty() ? 1 : members.front().line) + L": a view without a \"name\"";
        return false;
    }
    *pView = SceneView::Of(pView->name, values);
    return true;
}

std::string ViewsText(const std::vector<SceneView>& views)
{
    std::string t = ",\n  \"views\": [";
    for (size_t i = 0; i < views.size(); ++i) {
        t += std::string(i ? "," : "") + "\n    {\"name\": " + JsonString(views[i].name);
        for (int k = 0; k < kViewValueCount; ++k) {
            const SceneValue& v = g_sceneValues[kViewValues[k]];
            const bool bCentre = kViewValues[k] == kValueCentreX || kViewValues[k] == kValueCentreY;
            if (!bCentre || views[i].values[k] != v.nDefault)  // the centre only once it was moved
                t += ", \"" + std::string(v.pszName) + "\": " + std::to_string(views[i].values[k]);
        }
        t += "}";
    }
    return t + "\n  ]";
}

} // namespace

std::wstring FullPath(const std::wstring& path)
{
    DWORD n = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0)
        return path;
    std::wstring full(n, L'\0');
    n = ::GetFullPathNameW(path.c_str(), n, &full[0], nullptr);
    full.resize(n);
    return full;
}

std::wstring SceneFilePathFor(std::wstring path)
{
    path = NameAsWindowsKeepsIt(path);
    const std::wstring ending = std::wstring(L".") + kSceneFileExtension;
    if (path.size() <= ending.size() || _wcsicmp(path.c_str() + path.size() - ending.size(), ending.c_str()) != 0)
        path += ending;
    return path;
}

std::wstring FolderOfPath(const std::wstring& path)
{
    size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos)
        return std::wstring();
    bool bRoot = slash == 0 || (slash == 2 && path[1] == L':');
    return path.substr(0, bRoot ? slash + 1 : slash);
}

bool ParseSceneText(const std::string& utf8, const std::wstring& sceneFolder, SceneDescription* pScene,
                    std::wstring* pError)
{
    std::string text = utf8;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text.erase(0, 3);
    std::vector<JsonMember> members;
    if (!ParseJsonObject(text, &members, pError))
        return false;

    bool bVersioned = false;
    SceneDescription scene;
    for (auto it = members.begin(); it != members.end(); ++it) {
        if (it->name != "views")
            continue;
        if (!it->bList) {
            *pError = L"line " + std::to_wstring(it->line) + L", \"views\": expected a list of views ([{\"name\": ...}])";
            return false;
        }
        for (const std::vector<JsonMember>& object : it->objects) {
            SceneView view;
            if (!ReadView(object, scene.views, &view, pError))
                return false;
            scene.views.push_back(view);
        }
        members.erase(it);  // read first, so that a "view" in the file can name one
        break;
    }
    // A set's products go over the first product's values, whichever comes first in the file.
    std::vector<JsonMember> productList;
    for (auto it = members.begin(); it != members.end(); ++it) {
        if (it->name != "products")
            continue;
        if (!it->bList) {
            *pError = L"line " + std::to_wstring(it->line) + L", \"products\": expected a list of products ([{\"cover\": ...}])";
            return false;
        }
        productList.push_back(*it);
        members.erase(it);
        break;
    }
    SortIntoApplyOrder(members);
    for (const JsonMember& m : members) {
        const std::wstring where = L"line " + std::to_wstring(m.line) + L", \"" + WideFromUtf8(m.name) + L"\": ";
        if (m.name == "zelmora-scene") {
            if (m.bString) {
                *pError = where + L"expected the version as a number (\"zelmora-scene\": " +
                          std::to_wstring(kSceneFileVersion) + L")";
                return false;
            }
            if (m.value != std::to_wstring(kSceneFileVersion)) {
                *pError = where + L"version " + m.value + L" is not one this Zelmora reads (it reads " +
                          std::to_wstring(kSceneFileVersion) + L")";
                return false;
            }
            bVersioned = true;
            continue;
        }
        if (m.bList) {
            *pError = where + L"a list is not a scene setting";
            return false;
        }
        if (HasControlCharacters(m.value)) {
            *pError = where + L"control characters are not allowed";
            return false;
        }
        // Applied to the scene being read, which is kept only if every member is good.
        std::wstring expected;
        const OptionResult result = ApplySceneOption(scene, m.name, m.value, sceneFolder, &expected, true);
        if (result == OptionResult::Unknown) {
            *pError = where + L"not a scene setting";
            return false;
        }
        const bool bWantsString = !IsNumberName(m.name) && m.name != "transparent";
        if (m.bString != bWantsString) {
            *pError = where + (bWantsString ? L"expected a string in quotes" : m.name == "transparent"
                                                                                   ? L"expected true or false"
                                                                                   : L"expected a number");
            return false;
        }
        if (result == OptionResult::Refused) {
            *pError = where + m.value + L": " + expected;
            return false;
        }
    }
    if (!bVersioned) {
        *pError = L"not a Zelmora scene (no \"zelmora-scene\" version)";
        return false;
    }
    if (!productList.empty() && !ApplyProductList(scene, productList[0].objects, sceneFolder, true, pError))
        return false;
    *pScene = scene;
    return true;
}

bool ReadSceneFile(const std::wstring& path, SceneDescription* pScene, std::wstring* pError)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        *pError = L"a folder, not a scene file";
        return false;
    }
    HANDLE hFile = OpenFileToRead(path, FILE_SHARE_READ | FILE_SHARE_WRITE);
    if (hFile == INVALID_HANDLE_VALUE) {
        *pError = ::GetLastError() == ERROR_BAD_DEVICE ? std::wstring(kDeviceRefusal)
                                                       : L"the file cannot be opened (missing, or in use)";
        return false;
    }
    LARGE_INTEGER size = {};
    std::string text;
    bool bRead = ::GetFileSizeEx(hFile, &size) && size.QuadPart <= kSceneFileMaxBytes;
    if (bRead) {
        text.resize(static_cast<size_t>(size.QuadPart));
        DWORD got = 0;
        bRead = text.empty() || (::ReadFile(hFile, &text[0], static_cast<DWORD>(text.size()), &got, nullptr) &&
                                 got == text.size());
    }
    ::CloseHandle(hFile);
    if (size.QuadPart > kSceneFileMaxBytes) {
        *pError = L"not a Zelmora scene (" + std::to_wstring(size.QuadPart / (1 << 20)) +
                  L" MB; a scene is a few hundred bytes)";
        return false;
    }
    if (!bRead) {
        *pError = L"the file cannot be read";
        return false;
    }
    if (text.find_first_not_of(" \t\r\n") == std::string::npos) {
        *pError = L"an empty file, not a Zelmora scene";
        return false;
    }
    return ParseSceneText(Utf16ToUtf8(text), FolderOfPath(path), pScene, pError);
}

namespace {

// A set's products: the first is the scene's own values above ({}), each other its own.
std::string ProductsText(const SceneDescription& scene, const std::wstring& sceneFolder)
{
    std::string t = ",\n  \"products\": [\n    {}";
    for (const ProductDescription& p : scene.products) {
        t += ",\n    {";
        const char* comma = "";
        for (int i = 0; i < kSceneValueCount; ++i) {
            const SceneValue& v = g_sceneValues[i];
            if (!v.bProduct)
                continue;
            t += std::string(comma) + "\"" + v.pszName + "\": " +
                 (v.ppszNames ? "\"" + std::string(v.ppszNames[p.values[i]]) + "\"" : std::to_string(p.values[i]));
            comma = ", ";
        }
        for (int s = 0; s < kPictureCount; ++s) {
            if (!p.facePaths[s].empty())
                t += ", \"" + std::string(g_faceNames[s]) + "\": " + JsonString(PathForScene(p.facePaths[s], sceneFolder));
            t += ", \"" + std::string(g_faceNames[s]) + "-colour\": " + JsonString(FormatColour(p.faceColours[s]));
        }
        t += "}";
    }
    return t + "\n  ]";
}

} // namespace

std::string SceneFileText(const SceneDescription& scene, const std::wstring& sceneFolder)
{
    std::string t = "{\n  \"zelmora-scene\": " + std::to_string(kSceneFileVersion);
    for (int i = 0; i < kSceneValueCount; ++i) {
        const SceneValue& v = g_sceneValues[i];
        t += ",\n  \"" + std::string(v.pszName) + "\": " +
             (v.ppszNames ? "\"" + std::string(v.ppszNames[scene.values[i]]) + "\"" : std::to_string(scene.values[i]));
    }
    t += ",\n  \"background\": " + JsonString(FormatColour(RGB((scene.background >> 16) & 0xFF,
                                                                (scene.background >> 8) & 0xFF,
                                                                scene.background & 0xFF)));
    t += ",\n  \"transparent\": " + std::string(scene.bTransparent ? "true" : "false");
    for (int s = 0; s < kPictureCount; ++s) {
        t += ",\n  \"" + std::string(g_faceNames[s]) + "\": " + JsonString(PathForScene(scene.facePaths[s], sceneFolder));
        t += ",\n  \"" + std::string(g_faceNames[s]) + "-colour\": " + JsonString(FormatColour(scene.faceColours[s]));
    }
    t += ",\n  \"size\": " + (scene.width ? JsonString(std::to_wstring(scene.width) + L"x" + std::to_wstring(scene.height))
                                          : std::string("\"preview\""));
    t += ",\n  \"dpi\": " + std::to_string(scene.dpi);
    if (scene.supersample != ExportSettings().supersample)  // scenes without it read as before
        t += ",\n  \"supersample\": " + std::to_string(scene.supersample);
    if (!scene.views.empty())  // likewise
        t += ViewsText(scene.views);
    if (!scene.products.empty())
        t += ProductsText(scene, sceneFolder);
    return t + "\n}\n";
}

HRESULT WriteSceneFile(const std::wstring& path, const SceneDescription& scene)
{
    const std::string text = SceneFileText(scene, FolderOfPath(FullPath(path)));
    return ReplaceFileContents(path.c_str(), text.data(), static_cast<DWORD>(text.size()));
}
