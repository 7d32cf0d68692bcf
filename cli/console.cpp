#include "console.h"

#include <windows.h>

namespace {
void Print(DWORD which, const std::wstring& text)
{
    HANDLE h = ::GetStdHandle(which);
    if (!h || h == INVALID_HANDLE_VALUE || text.empty())
        return;
    DWORD mode = 0, written = 0;
    if (::GetConsoleMode(h, &mode)) {
        ::WriteConsoleW(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &utf8[0], n, nullptr, nullptr);
    ::WriteFile(h, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}
} // namespace

void PrintOut(const std::wstring& text)
{
    Print(STD_OUTPUT_HANDLE, text);
}

void PrintErr(const std::wstring& text)
{
    Print(STD_ERROR_HANDLE, text);
}
