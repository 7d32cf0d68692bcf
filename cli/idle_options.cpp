#include "idle_options.h"

#include <cstring>
#include <cwchar>
#include <iterator>

#include "file_open.h"
#include "arrangements.h"
#include "light_kinds.h"
#include "model_file.h"
#include "scene_description.h"
#include "scene_values.h"
#include "shape_kinds.h"
#include "shapes.h"

namespace {

const char* const kSpinOnly[] = {"spin-elevation", "spin-delay", "spin-format"};
const char* const kBookOnly[] = {"trim", "trim-width", "trim-height", "pages", "paper", "bleed", "wrap"};
const char* const kBoxOnly[] = {"width", "height", "depth", "edge-radius"};
const char* const kPictureOnly[] = {"size", "supersample", "dpi", "samples", "transparent"};
const char* const kSetOnly[] = {"arrange", "gap", "stagger", "fan-spread", "seed", "pull", "pulled", "lean-angle"};
const char* const kFreeOnly[] = {"place-x", "place-z", "turn"};
const char* const kOpenBookOnly[] = {"spread", "binding", "read", "open-angle"};
const char* const kDeviceOnly[] = {"screen", "screen-size", "screen-width", "screen-height", "bezel", "bezel-bottom", "corner",
                                   "body", "screen-fit", "pose", "camera-bump", "ink"};

// Why options do nothing, in the order the note gives them; Reason() returns an index here.
const wchar_t* const kReasons[] = {
    L"without --spin",
    L"on a box (a book's or a case's: --shape paperback, hardcover or dvd-case)",
    L"in the eye's light (the studio's: --light studio)",
    L"on a PNG (JPEG's)",
    L"for a picture (a .glb model's)",
    L"on a book or a case (its size comes from its trim and pages)",
    L"for a .glb model (a picture's)",
    L"with a single product (a set's: --covers, or a product's values separated by commas)",
    L"without --arrange free",
    L"without an open book (--shape open-book)",
    L"without a device (--shape phone, tablet or e-reader)",
};
enum { kNoSpin, kNotBook, kEyeLight, kPng, kNotModel, kNotBox, kModel, kSingle, kNotFree, kNotOpenBook, kNotDevice };

// Whether any product of the job's set (or every one) takes a cover.
bool AnyTakesCover(const RenderJob& job, bool bEvery)
{
    bool any = TakesCover(job.values[kValueShape]), every = any;
    for (const ProductDescription& p : job.products) {
        any = any || TakesCover(p.values[kValueShape]);
        every = every && TakesCover(p.values[kValueShape]);
    }
    return bEvery ? every : any;
}

// Whether any product of the job's set is of a shape the test holds for.
bool AnyShape(const RenderJob& job, bool (*pfnHolds)(int shape))
{
    bool any = pfnHolds(job.values[kValueShape]);
    for (const ProductDescription& p : job.products)
        any = any || pfnHolds(p.values[kValueShape]);
    return any;
}
bool ShowsSpread(int shape)
{
    return ShapeOf(shape).ownPicture == SideSpread;
}
bool ShowsScreen(int shape)
{
    return ShapeOf(shape).ownPicture == SideScreen;
}

template <size_t N>
bool IsOneOf(const std::string& name, const char* const (&names)[N])
{
    for (const char* n : names)
        if (name == n)
            return true;
    return false;
}

// The studio's own values: those the values' table marks "(studio)".
bool IsStudioValue(const std::string& name)
{
    for (const SceneValue& v : g_sceneValues) {
        const size_t n = std::wcslen(v.pszUnit);
        if (name == v.pszName && n >= 8 && std::wcscmp(v.pszUnit + n - 8, L"(studio)") == 0)
            return true;
    }
    return false;
}

} // namespace

int IdleOptions::Reason(const RenderJob& job, const JsonMember& option)
{
    const std::string& name = option.name;
    const bool bModel = IsModelName(job.output);
    if (!job.spin && IsOneOf(name, kSpinOnly))
        return kNoSpin;
    if (!AnyTakesCover(job, false) && IsOneOf(name, kBookOnly))
        return kNotBook;
    if (!AnyShape(job, SizedByBox) && IsOneOf(name, kBoxOnly))
        return kNotBox;
    if (!AnyShape(job, ShowsSpread) && IsOneOf(name, kOpenBookOnly))
        return kNotOpenBook;
    if (!AnyShape(job, ShowsScreen) && IsOneOf(name, kDeviceOnly))
        return kNotDevice;
    if (job.products.empty() && (IsOneOf(name, kSetOnly) || IsOneOf(name, kFreeOnly)))
        return kSingle;
    if (job.values[kValueArrange] != ArrangeFree && IsOneOf(name, kFreeOnly))
        return kNotFree;
    if (job.values[kValueLight] == LightEye && IsStudioValue(name))
        return kEyeLight;
    if (name == "quality" && EndsWithNoCase(job.output, L".png") && !(job.spin && (job.spinFormats & kSpinHtml)))
        return kPng;
    if (name == "model-texture-size" && !bModel && !job.output.empty())
        return kNotModel;
    if (bModel && (IsOneOf(name, kPictureOnly) ||
                   (name == "background" && _wcsicmp(option.value.c_str(), L"transparent") == 0)))
        return kModel;
    return -1;
}

void IdleOptions::Add(const RenderJob& job, const std::vector<JsonMember>& given, const std::wstring& where)
{
    for (const JsonMember& option : given) {
        const int reason = Reason(job, option);
        if (reason >= 0)
            m_idle.insert({option.name, reason, where});  // the first place each is idle is kept
    }
}

void IdleOptions::AddLine(const RenderJob& job, const std::vector<JsonMember>& line,
                          const std::vector<JsonMember>& commandLine, size_t lineNo)
{
    Add(job, line, L"line " + std::to_wstring(lineNo));
    ++m_nLines;
    for (const JsonMember& option : commandLine) {
        auto& idle = m_commandLine.emplace(option.name, std::make_pair(-1, size_t(0))).first->second;
        const int reason = Reason(job, option);
        if (reason >= 0) {
            idle.first = reason;
            ++idle.second;
        }
    }
}

std::wstring IdleOptions::Note() const
{
    std::set<Idle> idle = m_idle;
    for (const auto& option : m_commandLine)
        if (option.second.second == m_nLines)
            idle.insert({option.first, option.second.first, std::wstring()});
    if (idle.empty())
        return std::wstring();
    std::wstring note = L"zelmora-render: note: ignored, as they do nothing here:";
    for (auto it = idle.begin(); it != idle.end(); ++it) {
        const bool bFirstOfReason = it == idle.begin() || std::prev(it)->reason != it->reason;
        note += bFirstOfReason ? (it == idle.begin() ? L" " : L"; ") : L", ";
        note += L"--" + WideFromUtf8(it->name) + (it->where.empty() ? L"" : L" (" + it->where + L")");
        if (std::next(it) == idle.end() || std::next(it)->reason != it->reason)
            note += std::wstring(L" ") + kReasons[it->reason];
    }
    return note + L"\n";
}
