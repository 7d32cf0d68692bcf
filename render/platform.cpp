#include "platform.h"

#include <windows.h>

bool RunningOnWine()
{
    HMODULE hNtdll = ::GetModuleHandleW(L"ntdll.dll");
    return hNtdll && ::GetProcAddress(hNtdll, "wine_get_version") != nullptr;
}
