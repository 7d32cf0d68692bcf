#include "options.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>

#include "box_templates.h"
#include "file_open.h"
#include "scene_file.h"

namespace {

std::wstring Widen(const std::string& s)
{
    return WideFromUtf8(s);
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
    if (!ParseWholeNumber(value, &v) || v < min || v > max)
        return Fail(pError, name, value, L"expected a whole number from " + std::to_wstring(min) + L" to " +
                                             std::to_wstring(max));
    *pTarget = static_cast<int>(v);
    return true;
}

} // namespace

bool IsJpegName(const std::wstring& path)
{
    return EndsWithNoCase(path, L".jpg") || EndsWithNoCase(path, L".jpeg");
}

bool IsSupportedOutputName(const std::wstring& path)
{
    return EndsWithNoCase(path, L".png") || IsJpegName(path) || IsHtmlName(path) || EndsWithNoCase(path, L".glb");
}

bool IsHtmlName(const std::wstring& path)
{
    return EndsWithNoCase(path, L".html") || EndsWithNoCase(path, L".htm");
}

bool ApplyOption(RenderJob& job, const std::string& name, const std::wstring& value, const std::wstring& baseDir,
                 std::wstring* pError, bool bNamedByFile)
{
    // A name with a control character in it (a NUL from "\u0000" among them) would be cut or
    // changed by the system: no file is ever written under another name.
    if (HasControlCharacters(value)) {
        std::wstring shown;
        for (wchar_t c : value) {
            wchar_t escaped[8];
            swprintf(escaped, 8, c < 0x20 || c == 0x7F ? L"\\u%04x" : L"%lc", c);
            shown += escaped;
        }
        return Fail(pError, name, shown, L"control characters are not allowed");
    }
    if (name == "scene") {
        SceneDescription scene;
        std::wstring error;
        const std::wstring path = ResolvePath(value, baseDir);
        if (!ReadSceneFile(path, &scene, &error))
            return Fail(pError, name, value, error);
        static_cast<SceneDescription&>(job) = scene;
        return true;
    }
    std::wstring expected;
    switch (ApplySceneOption(job, name, value, baseDir, &expected, bNamedByFile)) {
    case OptionResult::Applied:
        return true;
    case OptionResult::Refused:
        return Fail(pError, name, value, expected);
    case OptionResult::Unknown:
        break;
    }
    if (name == "o" || name == "output") {
        if (!IsSupportedOutputName(value))
            return Fail(pError, name, value, L"expected a file name ending in .png, .jpg or .jpeg (.html: a spin's viewer; .glb: a 3D model)");
        job.output = ResolvePath(value, baseDir);
        return true;
    }
    if (name == "quality")
        return SetRanged(&job.quality, name, value, 1, 100, pError);
    if (name == "samples")
        return SetRanged(&job.samples, name, value, 0, 16, pError);
    if (name == "fit")
        return SetRanged(&job.fitMargin, name, value, 0, 45, pError);
    if (name == "model-texture-size")
        return SetRanged(&job.modelTextureSize, name, value, 16, 8192, pError);
    if (name == "spin")
        return SetRanged(&job.spin, name, value, kSpinMinCount, kSpinMaxCount, pError);
    if (name == "spin-elevation")
        return SetRanged(&job.spinElevation, name, value, -89, 89, pError);
    if (name == "spin-delay")
        return SetRanged(&job.spinDelay, name, value, 10, 10000, pError);
    if (name == "spin-format") {
        // One or more, separated by commas: each view is drawn once for all of them.
        const std::pair<const wchar_t*, SpinFormat> formats[] = {
            {L"frames", kSpinFrames}, {L"png", kSpinFrames}, {L"apng", kSpinApng}, {L"html", kSpinHtml}};
        unsigned chosen = 0;
        for (size_t start = 0; start <= value.size();) {
            size_t comma = value.find(L',', start);
            if (comma == std::wstring::npos)
                comma = value.size();
            std::wstring item = value.substr(start, comma - start);
            item.erase(0, item.find_first_not_of(L' '));
            item.erase(item.find_last_not_of(L' ') + 1);
            unsigned found = 0;
            for (const auto& format : formats)
                if (_wcsicmp(item.c_str(), format.first) == 0)
                    found = format.second;
            if (!found)
                return Fail(pError, name, value, L"expected frames (or png), apng or html, or several with commas "
                                                 L"(frames,apng,html)");
            chosen |= found;
            start = comma + 1;
        }
        job.spinFormats = chosen;
        return true;
    }

    *pError = L"unknown option --" + Widen(name) + L" (see --help)";
    return false;
}

bool ApplyOptions(RenderJob& job, const std::vector<JsonMember>& options, const std::wstring& baseDir,
                  std::wstring* pError, bool bNamedByFile)
{
    std::vector<JsonMember> ordered = options;
    SortIntoApplyOrder(ordered);
    for (const JsonMember& option : ordered) {
        if (option.bList && option.name == "products") {
            if (!ApplyProductList(job, option.objects, baseDir, bNamedByFile, pError))
                return false;
            continue;
        }
        if (option.bList)
            return Fail(pError, option.name, L"[...]", L"a list is read only from a scene file (\"views\") or as \"products\"");
        if (!ApplyOption(job, option.name, option.value, baseDir, pError, bNamedByFile))
            return false;
    }
    return true;
}

bool ParseCommandLine(const std::vector<std::wstring>& args, CommandLine* pOut, std::wstring* pError)
{
    std::vector<JsonMember> options;
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
        if (arg == L"--resume") {
            pOut->bResume = true;
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
            // An option the program does not know is said to be unknown, not to need a value.
            RenderJob scratch;
            const std::string narrow = Utf8FromWide(name);
            const bool bKnown = narrow == "jobs" || narrow == "shard" || narrow == "output-root" ||
                                ApplyOption(scratch, narrow, L"", L"", pError, false) ||
                                pError->rfind(L"unknown option", 0) != 0;
            if (bKnown)
                *pError = (name == L"o" ? L"-o" : L"--" + name) + L" needs a value (see --help)";
            return false;
        }
        const std::string narrow = Utf8FromWide(name);
        if (narrow == "jobs")
            pOut->jobsFile = value;
        else if (narrow == "output-root") {
            if (!pOut->outputRoot.Set(value, pError))
                return false;
        } else if (narrow == "shard") {
            if (!ParseShard(value, &ProcessEnvironment, &pOut->shard, pError))
                return false;
        } else
            options.push_back({narrow, value});
    }
    if (!ApplyOptions(pOut->job, options, L"", pError, false))
        return false;
    for (const JsonMember& option : options) {
        if (option.name != "scene")
            pOut->options.push_back(option);
        else if (!ApplyOption(pOut->sceneBase, option.name, option.value, L"", pError, false))
            return false;
    }
    return true;
}

bool BuildLineJob(const CommandLine& cmd, const std::vector<JsonMember>& line, const std::wstring& baseDir,
                  RenderJob* pJob, std::wstring* pError)
{
    std::vector<JsonMember> lineScene, lineValues;
    for (const JsonMember& member : line)
        (member.name == "scene" ? lineScene : lineValues).push_back(member);
    RenderJob job = cmd.sceneBase;
    if (!ApplyOptions(job, lineScene, baseDir, pError, true) || !ApplyOptions(job, cmd.options, L"", pError, false))
        return false;
    job.output.clear();
    if (!ApplyOptions(job, lineValues, baseDir, pError, true))
        return false;
    *pJob = std::move(job);
    return true;
}

std::wstring HelpText()
{
    std::wstring t =
        L"Usage: zelmora-render [options] -o PICTURE.png\n"
        L"       zelmora-render [options] --jobs JOBS.jsonl\n"
        L"Renders Zelmora's box to a PNG or JPEG file. Every option starts at the window's start scene.\n"
        L"\nScene:\n"
        L"  --scene FILE         a scene saved by Zelmora (.zelmora) as the base: a template and single\n"
        L"                       values given with it go on top\n"
        L"  Options apply in one order, on the command line, on a jobs line and in a scene file alike:\n"
        L"  the scene, then the template, then the view, then single values as given, then --transparent last.\n"
        L"\nFaces:\n";
    for (int s = 0; s < kSideCount; ++s) {
        std::wstring f(g_faceNames[s], g_faceNames[s] + strlen(g_faceNames[s]));
        t += L"  --" + f + L" PATH" + std::wstring(12 - f.size(), L' ') + L"picture on the " + f + L" face (default: none)\n";
    }
    t += L"  --cover PATH         a book's or case's whole print-ready cover (back, spine and front in one\n"
         L"                       picture, with its bleed, or a hardcover's case wrap): wrapped round the\n"
         L"                       front, spine (left face) and back; its height gives its resolution, and a\n"
         L"                       spine more than 1/16 in from the pages' is noted and taken from the picture\n";
    t += L"  --FACE-colour #RRGGBB  colour of a face, e.g. --front-colour #FF0000 (default: #FFFFFF)\n"
         L"                       an empty PATH takes a scene's picture off that face\n"
         L"\nA set (1 to 12 products on one floor under one light):\n"
         L"  --covers A,B,C       one product per cover picture, each a copy of the first with its own\n"
         L"                       cover, left to right (or bottom to top) in this order\n"
         L"  A product's own value (below), face picture or colour given once is every product's; values\n"
         L"  separated by commas give each its own (--pages 320,280,410) and make a set of that many.\n"
         L"  Scene files and jobs lines may list them: \"products\": [{}, {\"pages\": 280, \"cover\": \"b.png\"}],\n"
         L"  each over the first product's values.\n";
    for (bool bProduct : {true, false}) {
        t += bProduct ? L"\nEach product's own (whole numbers unless named):\n"
                      : L"\nThe stage: view, light, floor and how a set stands (whole numbers unless named):\n";
        for (const SceneValue& v : g_sceneValues) {
            if (v.bProduct != bProduct)
                continue;
            std::wstring n(v.pszName, v.pszName + strlen(v.pszName));
            if (v.ppszNames) {
                const char* first = v.ppszNames[v.nDefault];
                t += L"  --" + n + L" NAME" + std::wstring(n.size() < 14 ? 14 - n.size() : 1, L' ') + v.pszUnit +
                     L", default " + std::wstring(first, first + strlen(first)) + L"\n";
                continue;
            }
            t += L"  --" + n + L" N" + std::wstring(n.size() < 17 ? 17 - n.size() : 1, L' ') + std::to_wstring(v.nMin) +
                 L".." + std::to_wstring(v.nMax) + L", default " + std::to_wstring(v.nDefault) + L" (" + v.pszUnit +
                 L")\n";
        }
        if (!bProduct)
            continue;
        t += L"  --trim WxHin|WxHmm   a book's page size, e.g. 6x9in or 152x229mm (sets trim-width, trim-height);\n"
             L"                       lengths take in or mm too: --bleed 3mm\n"
             L"  --screen-size WxHin  a device's screen, e.g. 2.6x5.6in (sets screen-width, screen-height)\n"
             L"  A book's size is its trim and its pages' thickness (a hardcover's boards stand 1/8 in past\n"
             L"  the pages); a DVD case is the standard 190 x 135 x 14 mm; width, height, depth and\n"
             L"  edge-radius are the box's. A book or case chosen in a scene with no top-light gets 40.\n";
    }
    t += L"  --template NAME      a preset view of the Templates page; single values then apply on top:\n";
    for (const BoxTemplate& bt : g_boxTemplates)
        t += L"                         \"" + std::wstring(bt.pszName) + L"\"\n";
    t += L"  --view NAME          one of the scene's own views (the Templates page's list): its rotations,\n"
         L"                       distance, zoom and centre; single values then apply on top\n";
    t += L"  --background #RRGGBB|transparent   default #FFFFFF\n"
         L"  --transparent true|false   leave the background out (PNG only), keeping its colour\n"
         L"\nOutput:\n"
         L"  -o, --output PATH    the picture; PNG or JPEG by the extension (.png, .jpg, .jpeg); .glb: a\n"
         L"                       3D model (below)\n"
         L"  --size WxH|preview   pixels, default the window's preview size; at most the device's limit\n"
         L"  --quality N          JPEG quality 1..100, default 90\n"
         L"  --dpi N              resolution written into the file, 0..10000 (default 0: none)\n"
         L"  --samples N          multisampling 0..16, default the best the device offers\n"
         L"  --supersample N      draw N x N times larger and average down in light, 1..4, default 1\n"
         L"                       (sharper small type and edges; N x N times the drawing time)\n"
         L"  --fit MARGIN         set zoom, centre-x and centre-y so that the box (with its reflection and\n"
         L"                       shadow) fills the picture, MARGIN percent (0..45) left on each side; for\n"
         L"                       --jobs whose pictures differ only in their view (or, for sets, in their\n"
         L"                       products too), one framing for all\n"
         L"\n3D model:\n"
         L"  -o box.glb           the box as a glTF binary model (Y up, metres: a unit is an inch), one\n"
         L"                       material per face with its picture and colour\n"
         L"  --model-texture-size N  the faces' pictures at most N pixels a side, 16..8192, default 2048\n"
         L"\nSpin (360 degrees round the box, for shops):\n"
         L"  --spin N             N pictures (2..360) at even steps of rotation1 from the scene's view,\n"
         L"                       framed once for all (the --fit margin, default 5); -o spin/box.png\n"
         L"                       writes spin/box-01.png .. box-NN.png (a folder not there is made)\n"
         L"  --spin-elevation DEG the camera DEG degrees above the box's middle (-89..89; default: the\n"
         L"                       scene's rotation2 - 90)\n"
         L"  --spin-format F      frames (default; also png); apng: one animated PNG, looping (-o box.png);\n"
         L"                       html: one web page holding the pictures, turned by dragging or the\n"
         L"                       arrow keys (-o box.html); several with commas, each view drawn once for\n"
         L"                       all: -o box.png --spin-format frames,apng,html writes box-01.png ..,\n"
         L"                       box.png (the APNG) and box.html\n"
         L"  --spin-delay MS      how long each picture shows in an APNG, 10..10000, default 100\n"
         L"\nBatch:\n"
         L"  --jobs FILE          one scene per line as JSON, with the options' names, e.g.\n"
         L"                       {\"front\": \"art/en.png\", \"template\": \"3-sided Cube, Left Rotation\", \"o\": \"out/en.png\"}\n"
         L"                       relative paths count from the file's folder. What decides a value,\n"
         L"                       first to last: the line's own values, the command line's values, the\n"
         L"                       line's scene, the command line's scene, the start scene\n"
         L"  --shard K/N          render only the K-th of N interleaved parts of the jobs (jobs K, K+N,\n"
         L"                       K+2N, ... counting non-blank lines): N runs with 1/N .. N/N write every picture exactly once\n"
         L"  --shard auto         the part this task of a Slurm array job is to render (SLURM_ARRAY_TASK_ID\n"
         L"                       less SLURM_ARRAY_TASK_MIN, of SLURM_ARRAY_TASK_COUNT)\n"
         L"  --shard auto/N       the same for a Kubernetes Indexed Job (JOB_COMPLETION_INDEX) or an AWS Batch\n"
         L"                       array job (AWS_BATCH_JOB_ARRAY_INDEX) of N tasks\n"
         L"  --output-root DIR    write nothing outside the folder DIR: a line whose picture lies\n"
         L"                       elsewhere fails (for a shared volume's tasks)\n"
         L"  --resume             keep every picture already complete and render only the others (a task\n"
         L"                       run again after a node was lost); a half-written file is never complete\n"
         L"  --timings            after each picture, where its time went (draw, resolve, read-back,\n"
         L"                       convert, filter, compress, write)\n"
         L"\n  --help, --version\n"
         L"\nExit status: 0 done, 1 some pictures failed, 2 a usage error, 130 stopped by Ctrl+C (after the\n"
         L"picture in hand).\n";
    return t;
}
