#include "console.h"

#include <windows.h>

#include <cwchar>

namespace {

// Lines from the writer's thread and the drawing's progress meet on one terminal.
struct ConsoleLock {
    ConsoleLock() { ::InitializeCriticalSection(&section); }
    CRITICAL_SECTION section;
};
ConsoleLock g_lock;
size_t g_nProgressShown = 0;  // characters of the progress line now on the terminal

bool IsConsole(HANDLE h)
{
    DWORD mode = 0;
    return h && h != INVALID_HANDLE_VALUE && ::GetConsoleMode(h, &mode);
}

// The console's own wide text, else UTF-8 (a pipe or a file, as under a Unix shell).
void WriteText(HANDLE h, const std::wstring& text)
{
    DWORD written = 0;
    if (IsConsole(h)) {
        ::WriteConsoleW(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &utf8[0], n, nullptr, nullptr);
    ::WriteFile(h, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

// Rubs out the progress line, so that what follows starts at the line's beginning.
void ClearProgress()
{
    if (g_nProgressShown == 0)
        return;
    WriteText(::GetStdHandle(STD_ERROR_HANDLE), L"\r" + std::wstring(g_nProgressShown, L' ') + L"\r");
    g_nProgressShown = 0;
}

void Print(DWORD which, const std::wstring& raw)
{
    const std::wstring text = ShowableText(raw);
    HANDLE h = ::GetStdHandle(which);
    if (!h || h == INVALID_HANDLE_VALUE || text.empty())
        return;
    ::EnterCriticalSection(&g_lock.section);
    ClearProgress();
    WriteText(h, text);
    ::LeaveCriticalSection(&g_lock.section);
}
} // namespace

std::wstring ShowableText(const std::wstring& text)
{
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        // C0 and C1 controls and DEL: ESC and CSI start terminal commands.
        // Unicode's direction marks, embeddings, overrides and isolates would reorder the line.
        const bool bDirection = c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
                                (c >= 0x2066 && c <= 0x2069);
        if (bDirection) {
            wchar_t escaped[8];
            swprintf(escaped, 8, L"\\u%04x", static_cast<unsigned>(c));
            out += escaped;
        } else if ((c < 0x20 && c != L'\n' && c != L'\t') || (c >= 0x7F && c <= 0x9F)) {
            wchar_t escaped[8];
            swprintf(escaped, 8, L"\\x%02x", static_cast<unsigned>(c));
            out += escaped;
        } else {
            out += c;
        }
    }
    return out;
}

void PrintOut(const std::wstring& text)
{
    Print(STD_OUTPUT_HANDLE, text);
}

void PrintErr(const std::wstring& text)
{
    Print(STD_ERROR_HANDLE, text);
}

bool ShowsProgress()
{
    // A terminal behind a pipe (scripts/render.sh turns the paths it prints back into Linux
    // ones) says so in the environment.
    wchar_t asked[4] = {};
    const DWORD n = ::GetEnvironmentVariableW(L"ZELMORA_PROGRESS", asked, 4);
    return IsConsole(::GetStdHandle(STD_ERROR_HANDLE)) || (n == 1 && asked[0] == L'1');
}

void ShowProgress(const std::wstring& line)
{
    if (!ShowsProgress())
        return;
    const std::wstring text = ShowableText(line);
    ::EnterCriticalSection(&g_lock.section);
    const size_t shown = g_nProgressShown;
    // Over the last one, with spaces where it was longer.
    WriteText(::GetStdHandle(STD_ERROR_HANDLE),
                     L"\r" + text + std::wstring(shown > text.size() ? shown - text.size() : 0, L' ') + L"\r");
    g_nProgressShown = text.size();
    ::LeaveCriticalSection(&g_lock.section);
}

void EndProgress()
{
    ::EnterCriticalSection(&g_lock.section);
    ClearProgress();
    ::LeaveCriticalSection(&g_lock.section);
}

std::wstring SystemMessage(unsigned long error)
{
    wchar_t* pText = nullptr;
    const DWORD n = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                     nullptr, error, 0, reinterpret_cast<wchar_t*>(&pText), 0, nullptr);
    std::wstring text = n && pText ? std::wstring(pText, n) : L"error " + std::to_wstring(error);
    if (pText)
        ::LocalFree(pText);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L'.' || text.back() == L' '))
        text.pop_back();
    if (!text.empty())
        ::CharLowerBuffW(&text[0], 1);  // it follows a colon
    return text;
}
