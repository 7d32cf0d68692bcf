#include "options.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>

#include "box_templates.h"

namespace {

std::wstring Widen(const std::string& s)
{
    return std::wstring(s.begin(), s.end());
}

bool EndsWithNoCase(const std::wstring& s, const wchar_t* suffix)
{
    size_t n = wcslen(suffix);
    return s.size() >= n && _wcsicmp(s.c_str() + s.size() - n, suffix) == 0;
}

bool IsAbsolute(const std::wstring& path)
{
    return (path.size() >= 2 && path[1] == L':') || (!path.empty() && (path[0] == L'\\' || path[0] == L'/'));
}

std::wstring Resolve(const std::wstring& path, const std::wstring& baseDir)
{
    if (baseDir.empty() || IsAbsolute(path))
        return path;
    return baseDir + L"\\" + path;
}

// A whole decimal number, nothing else.
bool ParseInt(const std::wstring& text, long long* pValue)
{
    if (text.empty() || text.size() > 12)
        return false;
    size_t i = text[0] == L'-' ? 1 : 0;
    if (i == text.size())
        return false;
    long long v = 0;
    for (; i < text.size(); ++i) {
        if (!iswdigit(text[i]))
            return false;
        v = v * 10 + (text[i] - L'0');
    }
    *pValue = text[0] == L'-' ? -v : v;
    return true;
}

// "#RRGGBB" as a COLORREF (0x00BBGGRR).
bool ParseColour(const std::wstring& text, COLORREF* pColour)
{
    if (text.size() != 7 || text[0] != L'#')
        return false;
    unsigned long rgb = 0;
    for (size_t i = 1; i < 7; ++i) {
        if (!iswxdigit(text[i]))
            return false;
        rgb = rgb * 16 + static_cast<unsigned long>(iswdigit(text[i]) ? text[i] - L'0' : towlower(text[i]) - L'a' + 10);
    }
    *pColour = RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
    return true;
}

bool Fail(std::wstring* pError, const std::string& name, const std::wstring& value, const std::wstring& expected)
{
    *pError = (name == "o" ? L"-o" : L"--" + Widen(name)) + L" \"" + value + L"\": " + expected;
    return false;
}

bool SetRanged(int* pTarget, const std::string& name, const std::wstring& value, long long min, long long max,
               std::wstring* pError)
{
    long long v = 0;
    if (!ParseInt(value, &v) || v < min || v > max)
        return Fail(pError, name, value, L"expected a whole number from " + std::to_wstring(min) + L" to " +
                                             std::to_wstring(max));
    *pTarget = static_cast<int>(v);
    return true;
}

const BoxTemplate* FindTemplate(const std::wstring& name)
{
    for (const BoxTemplate& t : g_boxTemplates)
        if (_wcsicmp(t.pszName, name.c_str()) == 0)
            return &t;
    return nullptr;
}

// "K/N" as a zero-based part index and a count.
bool ParseShard(const std::wstring& text, unsigned* pIndex, unsigned* pCount)
{
    size_t slash = text.find(L'/');
    long long k = 0, n = 0;
    if (slash == std::wstring::npos || !ParseInt(text.substr(0, slash), &k) || !ParseInt(text.substr(slash + 1), &n) ||
        n < 1 || n > 1000000 || k < 1 || k > n)
        return false;
    *pIndex = static_cast<unsigned>(k - 1);
    *pCount = static_cast<unsigned>(n);
    return true;
}

} // namespace

bool IsJpegName(const std::wstring& path)
{
    return EndsWithNoCase(path, L".jpg") || EndsWithNoCase(path, L".jpeg");
}

bool IsSupportedOutputName(const std::wstring& path)
{
    return EndsWithNoCase(path, L".png") || IsJpegName(path);
}

bool ApplyOption(RenderJob& job, const std::string& name, const std::wstring& value, const std::wstring& baseDir,
                 std::wstring* pError)
{
    // A name with a control character in it (a NUL from "\u0000" among them) would be cut or
    // changed by the system: no file is ever written under another name.
    if (std::any_of(value.begin(), value.end(), [](wchar_t c) { return c < 0x20 || c == 0x7F; })) {
        std::wstring shown;
        for (wchar_t c : value) {
            wchar_t escaped[8];
            swprintf(escaped, 8, c < 0x20 || c == 0x7F ? L"\\u%04x" : L"%lc", c);
            shown += escaped;
        }
        return Fail(pError, name, shown, L"control characters are not allowed");
    }
    for (int s = 0; s < kSideCount; ++s) {
        if (name == g_faceNames[s]) {
            if (value.empty())
                return Fail(pError, name, value, L"expected the path of a picture");
            job.facePaths[s] = Resolve(value, baseDir);
            return true;
        }
        if (name == std::string(g_faceNames[s]) + "-colour" || name == std::string(g_faceNames[s]) + "-color") {
            if (!ParseColour(value, &job.faceColours[s]))
                return Fail(pError, name, value, L"expected a colour as #RRGGBB");
            return true;
        }
    }
    for (int i = 0; i < kSceneValueCount; ++i)
        if (name == g_sceneValues[i].pszName)
            return SetRanged(&job.values[i], name, value, g_sceneValues[i].nMin, g_sceneValues[i].nMax, pError);

    if (name == "template") {
        const BoxTemplate* t = FindTemplate(value);
        if (!t) {
            std::wstring names;
            for (const BoxTemplate& bt : g_boxTemplates)
                names += L"\n  \"" + std::wstring(bt.pszName) + L"\"";
            return Fail(pError, name, value, L"expected one of the Templates page's names:" + names);
        }
        const int fields[kSceneValueCount] = {t->nWidth,     t->nHeight, t->nDepth, t->nRotation1, t->nRotation2,
                                              t->nDistance, t->nZoom,   t->nAmbient, t->nDiffuse};
        for (int i = 0; i < kSceneValueCount; ++i)
            job.values[i] = fields[i];
        job.background = t->clrBackground;
        job.bTransparent = false;
        return true;
    }
    if (name == "background") {
        if (_wcsicmp(value.c_str(), L"transparent") == 0) {
            job.bTransparent = true;
            return true;
        }
        COLORREF c = 0;
        if (!ParseColour(value, &c))
            return Fail(pError, name, value, L"expected a colour as #RRGGBB, or transparent");
        job.background = 0xFF000000u | (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        job.bTransparent = false;
        return true;
    }
    if (name == "o" || name == "output") {
        if (!IsSupportedOutputName(value))
            return Fail(pError, name, value, L"expected a file name ending in .png, .jpg or .jpeg");
        job.output = Resolve(value, baseDir);
        return true;
    }
    if (name == "size") {
        size_t x = value.find_first_of(L"xX");
        long long w = 0, h = 0;
        if (x == std::wstring::npos || !ParseInt(value.substr(0, x), &w) || !ParseInt(value.substr(x + 1), &h) ||
            w < 1 || h < 1 || w > 65536 || h > 65536)
            return Fail(pError, name, value, L"expected WIDTHxHEIGHT in pixels, each at least 1");
        job.width = static_cast<UINT>(w);
        job.height = static_cast<UINT>(h);
        return true;
    }
    if (name == "quality")
        return SetRanged(&job.quality, name, value, 1, 100, pError);
    if (name == "dpi")
        return SetRanged(&job.dpi, name, value, 1, 10000, pError);
    if (name == "samples")
        return SetRanged(&job.samples, name, value, 0, 16, pError);

    *pError = L"unknown option --" + Widen(name) + L" (see --help)";
    return false;
}

bool ApplyOptions(RenderJob& job, const std::vector<std::pair<std::string, std::wstring>>& options,
                  const std::wstring& baseDir, std::wstring* pError)
{
    for (int pass = 0; pass < 2; ++pass) {
        for (const auto& option : options) {
            if ((option.first == "template") != (pass == 0))
                continue;
            if (!ApplyOption(job, option.first, option.second, baseDir, pError))
                return false;
        }
    }
    return true;
}

bool ParseCommandLine(const std::vector<std::wstring>& args, CommandLine* pOut, std::wstring* pError)
{
    std::vector<std::pair<std::string, std::wstring>> options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::wstring& arg = args[i];
        if (arg == L"--help" || arg == L"-h" || arg == L"/?") {
            pOut->bHelp = true;
            continue;
        }
        if (arg == L"--version") {
            pOut->bVersion = true;
            continue;
        }
        if (arg == L"--timings") {
            pOut->bTimings = true;
            continue;
        }
        std::wstring name;
        if (arg.rfind(L"--", 0) == 0)
            name = arg.substr(2);
        else if (arg == L"-o")
            name = L"o";
        else {
            *pError = L"unexpected argument \"" + arg + L"\": options start with -- (see --help)";
            return false;
        }
        std::wstring value;
        size_t eq = name.find(L'=');
        if (eq != std::wstring::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            *pError = L"--" + name + L" needs a value (see --help)";
            return false;
        }
        std::string narrow;
        for (wchar_t c : name)
            narrow += c < 128 ? static_cast<char>(c) : '?';
        if (narrow == "jobs")
            pOut->jobsFile = value;
        else if (narrow == "shard") {
            if (!ParseShard(value, &pOut->shardIndex, &pOut->shardCount)) {
                *pError = L"--shard \"" + value + L"\": expected K/N with 1 <= K <= N, e.g. 2/8";
                return false;
            }
        } else
            options.emplace_back(narrow, value);
    }
    return ApplyOptions(pOut->job, options, L"", pError);
}

std::wstring FolderOf(const std::wstring& path)
{
    size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos)
        return std::wstring();
    bool bRoot = slash == 0 || (slash == 2 && path[1] == L':');
    return path.substr(0, bRoot ? slash + 1 : slash);
}

std::wstring HelpText()
{
    std::wstring t =
        L"Usage: zelmora-render [options] -o PICTURE.png\n"
        L"       zelmora-render [options] --jobs JOBS.jsonl\n"
        L"Renders Zelmora's box to a PNG or JPEG file. Every option starts at the window's start scene.\n"
        L"\nFaces:\n";
    for (const char* face : g_faceNames) {
        std::wstring f(face, face + strlen(face));
        t += L"  --" + f + L" PATH" + std::wstring(12 - f.size(), L' ') + L"picture on the " + f + L" face (default: none)\n";
    }
    t += L"  --FACE-colour #RRGGBB  colour of a face, e.g. --front-colour #FF0000 (default: #FFFFFF)\n"
         L"\nBox, view and light (whole numbers):\n";
    const wchar_t* units[kSceneValueCount] = {L"tenths of a unit", L"tenths of a unit", L"tenths of a unit",
                                              L"degrees", L"degrees", L"tenths of a unit", L"field of view (1200 - zoom) / 10 degrees",
                                              L"percent", L"percent"};
    for (int i = 0; i < kSceneValueCount; ++i) {
        const SceneValue& v = g_sceneValues[i];
        std::wstring n(v.pszName, v.pszName + strlen(v.pszName));
        t += L"  --" + n + L" N" + std::wstring(15 - n.size(), L' ') + std::to_wstring(v.nMin) + L".." +
             std::to_wstring(v.nMax) + L", default " + std::to_wstring(v.nDefault) + L" (" + units[i] + L")\n";
    }
    t += L"  --template NAME      a preset view of the Templates page; single values then apply on top:\n";
    for (const BoxTemplate& bt : g_boxTemplates)
        t += L"                         \"" + std::wstring(bt.pszName) + L"\"\n";
    t += L"  --background #RRGGBB|transparent   default #FFFFFF\n"
         L"\nOutput:\n"
         L"  -o, --output PATH    the picture; PNG or JPEG by the extension (.png, .jpg, .jpeg)\n"
         L"  --size WxH           pixels, default the window's preview size; at most the device's limit\n"
         L"  --quality N          JPEG quality 1..100, default 90\n"
         L"  --dpi N              resolution written into the file, 1..10000 (default: none)\n"
         L"  --samples N          multisampling 0..16, default the best the device offers\n"
         L"\nBatch:\n"
         L"  --jobs FILE          one scene per line as JSON, with the options' names, e.g.\n"
         L"                       {\"front\": \"art/en.png\", \"template\": \"3-sided Cube, Left Rotation\", \"o\": \"out/en.png\"}\n"
         L"                       relative paths count from the file's folder; the command line's options\n"
         L"                       are every line's defaults\n"
         L"  --shard K/N          render only the K-th of N interleaved parts of the jobs (jobs K, K+N,\n"
         L"                       K+2N, ... counting non-blank lines): N runs with 1/N .. N/N write every picture exactly once\n"
         L"  --timings            after each picture, where its time went (draw, resolve, read-back,\n"
         L"                       convert, filter, compress, write)\n"
         L"\n  --help, --version\n"
         L"\nExit status: 0 done, 1 some pictures failed, 2 a usage error.\n";
    return t;
}
