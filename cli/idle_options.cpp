#include "idle_options.h"

#include <iterator>

#include "scene_description.h"
#include "shape_kinds.h"

namespace {

const char* const kSpinOnly[] = {"spin-elevation", "spin-delay", "spin-format"};
const char* const kBookOnly[] = {"trim", "trim-width", "trim-height", "pages", "paper", "bleed", "wrap"};
const wchar_t* const kReasons[] = {L"without --spin", L"on a box (a book's or a case's: --shape paperback, hardcover or dvd-case)"};

template <size_t N>
bool IsOneOf(const std::string& name, const char* const (&names)[N])
{
    for (const char* n : names)
        if (name == n)
            return true;
    return false;
}

} // namespace

int IdleOptions::Reason(const RenderJob& job, const std::string& name)
{
    if (!job.spin && IsOneOf(name, kSpinOnly))
        return 0;
    if (job.values[kValueShape] == ShapeBox && IsOneOf(name, kBookOnly))
        return 1;
    return -1;
}

void IdleOptions::Add(const RenderJob& job, const std::vector<JsonMember>& given, const std::wstring& where)
{
    for (const JsonMember& option : given) {
        const int reason = Reason(job, option.name);
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
        const int reason = Reason(job, option.name);
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
