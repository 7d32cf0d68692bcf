// The scenes opened or saved last, newest first, kept for the user beside the window's place.
#pragma once
#include <string>
#include <vector>

constexpr size_t kRecentSceneCount = 8;

std::vector<std::wstring> RecentScenes();
// Puts the scene first (once, however its name is cased); the oldest beyond eight goes.
void RememberRecentScene(const std::wstring& path);
void ForgetRecentScene(const std::wstring& path);
