#include "scene_export_note.h"

namespace {

bool Gives(const std::vector<JsonMember>& given, const char* name)
{
    for (const JsonMember& option : given)
        if (option.name == name)
            return true;
    return false;
}

} // namespace

void SceneExportNote::Add(const RenderJob& job, const std::vector<JsonMember>& given)
{
    const size_t drawn = job.spin ? static_cast<size_t>(job.spin) : 1;  // a spin draws each of its views
    if (job.supersample > 1 && !Gives(given, "supersample")) {
        m_nSupersampled += drawn;
        m_nSupersample = job.supersample;
    }
    if (job.width && !Gives(given, "size")) {
        m_nSized += drawn;
        m_width = job.width;
        m_height = job.height;
    }
}

std::wstring SceneExportNote::Note() const
{
    if (!m_nSupersampled && !m_nSized)
        return std::wstring();
    auto pictures = [](size_t n) { return n == 1 ? std::wstring(L"1 picture") : std::to_wstring(n) + L" pictures"; };
    std::wstring note = L"zelmora-render: note: the scene's Save Image settings are in force:";
    if (m_nSupersampled)
        note += L" supersampling " + std::to_wstring(m_nSupersample) + L" x " + std::to_wstring(m_nSupersample) +
                L" for " + pictures(m_nSupersampled) + L" (" + std::to_wstring(m_nSupersample * m_nSupersample) +
                L" times the drawing; --supersample 1 draws once)" + (m_nSized ? L";" : L"");
    if (m_nSized)
        note += L" size " + std::to_wstring(m_width) + L"x" + std::to_wstring(m_height) + L" for " + pictures(m_nSized) +
                L" (--size sets another)";
    return note + L"\n";
}
