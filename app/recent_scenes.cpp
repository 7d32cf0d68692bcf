#include "recent_scenes.h"

#include "user_settings.h"

#include <windows.h>

#include <algorithm>

namespace {

const wchar_t kRecentValue[] = L"RecentScenes";

void Store(const std::vector<std::wstring>& paths)
{
    std::wstring packed;  // REG_MULTI_SZ: each name ended, the list ended once more
    for (const std::wstring& path : paths)
        packed += path + L'\0';
    packed += L'\0';
    HKEY hKey = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, kUserSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &hKey, nullptr) !=
        ERROR_SUCCESS)
        return;
    ::RegSetValueExW(hKey, kRecentValue, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(packed.data()),
                     static_cast<DWORD>(packed.size() * sizeof(wchar_t)));
    ::RegCloseKey(hKey);
}

bool SamePath(const std::wstring& a, const std::wstring& b)
{
    return _wcsicmp(a.c_str(), b.c_str()) == 0;
}

} // namespace

std::vector<std::wstring> RecentScenes()
{
    std::vector<std::wstring> paths;
    DWORD bytes = 0;
    if (::RegGetValueW(HKEY_CURRENT_USER, kUserSettingsKey, kRecentValue, RRF_RT_REG_MULTI_SZ, nullptr, nullptr, &bytes) !=
            ERROR_SUCCESS ||
        bytes == 0 || bytes > 64 * 1024)
        return paths;
    std::wstring packed(bytes / sizeof(wchar_t) + 2, L'\0');
    if (::RegGetValueW(HKEY_CURRENT_USER, kUserSettingsKey, kRecentValue, RRF_RT_REG_MULTI_SZ, nullptr, &packed[0],
                       &bytes) != ERROR_SUCCESS)
        return paths;
    for (size_t at = 0; at < packed.size() && packed[at] && paths.size() < kRecentSceneCount;) {
        const size_t end = packed.find(L'\0', at);
        paths.push_back(packed.substr(at, end - at));
        at = end + 1;
    }
    return paths;
}

void RememberRecentScene(const std::wstring& path)
{
    std::vector<std::wstring> paths = RecentScenes();
    paths.erase(std::remove_if(paths.begin(), paths.end(), [&](const std::wstring& p) { return SamePath(p, path); }),
                paths.end());
    paths.insert(paths.begin(), path);
    if (paths.size() > kRecentSceneCount)
        paths.resize(kRecentSceneCount);
    Store(paths);
}

void ForgetRecentScene(const std::wstring& path)
{
    std::vector<std::wstring> paths = RecentScenes();
    paths.erase(std::remove_if(paths.begin(), paths.end(), [&](const std::wstring& p) { return SamePath(p, path); }),
                paths.end());
    Store(paths);
}
