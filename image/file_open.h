// Opening the files the programs read (face pictures, scenes, jobs files) so that no name
// can make them open a device or, unless the user chose it, reach another computer.
#pragma once
#include <windows.h>

#include <string>

// What a path names, judged by its spelling alone, before anything is opened.
enum class PathKind {
    File,     // a file on this computer
    Device,   // COM1, LPT1, CON, NUL, AUX, PRN (with or without an extension), \\.\, \\?\GLOBALROOT...
    Network,  // \\host\share\..., \\?\UNC\...: opening it connects to that host with the user's sign-in
};
PathKind ClassifyPath(const std::wstring& path);

// Opens an existing file for reading, sharing reads. A device, by its name or by what the
// system reports once it is open (a serial port, a pipe, a console), is refused with
// ERROR_BAD_DEVICE as the last error: reading one can block for ever.
HANDLE OpenFileToRead(const std::wstring& path, DWORD dwShare = FILE_SHARE_READ, DWORD dwFlags = 0);

// Why a path cannot be opened, in words for the user, or "" when nothing is wrong with its
// name. bChosenByUser: typed or picked by the user (a dialog, the command line) rather than
// named by a file someone else may have written.
std::wstring PathRefusal(const std::wstring& path, bool bChosenByUser);
constexpr wchar_t kDeviceRefusal[] = L"it names a device, not a file";

// A file name as Windows keeps it: without the trailing dots and spaces it drops.
std::wstring NameAsWindowsKeepsIt(std::wstring path);

// Does the name end in `suffix` (".png"), in any case?
bool EndsWithNoCase(const std::wstring& name, const wchar_t* suffix);
