// Where Zelmora keeps what it remembers for the user (the uninstaller removes the key).
#pragma once

constexpr wchar_t kUserSettingsKey[] = L"Software\\Zelmora";
