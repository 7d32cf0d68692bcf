// Scene files (.zelmora): one UTF-8 JSON object whose names are zelmora-render's options,
// with "zelmora-scene": 1 as its version. Face pictures below the scene's folder are written
// relative to it, others in full; both are read.
#pragma once
#include <windows.h>

#include <string>

#include "scene_description.h"

constexpr wchar_t kSceneFileExtension[] = L"zelmora";
constexpr int kSceneFileVersion = 1;
// A scene is a few hundred bytes; anything past this is not one.
constexpr DWORD kSceneFileMaxBytes = 1 << 20;

// Reads a whole scene, starting from the start scene: either every value is taken or, with
// the reason (its line and name where known), nothing is.
bool ReadSceneFile(const std::wstring& path, SceneDescription* pScene, std::wstring* pError);
bool ParseSceneText(const std::string& utf8, const std::wstring& sceneFolder, SceneDescription* pScene,
                    std::wstring* pError);

// The file's text for a scene to be kept in sceneFolder.
std::string SceneFileText(const SceneDescription& scene, const std::wstring& sceneFolder);
// Writes it safely: an existing file is replaced only by a complete new one.
HRESULT WriteSceneFile(const std::wstring& path, const SceneDescription& scene);

// The file a scene is saved as when the user names it `path`: the name as Windows keeps it
// (trailing dots and spaces dropped), with ".zelmora" added unless it ends so already.
std::wstring SceneFilePathFor(std::wstring path);

// The folder of a file's path ("" for a bare name).
std::wstring FolderOfPath(const std::wstring& path);

// The path made absolute, as the system resolves it from the current folder.
std::wstring FullPath(const std::wstring& path);
