#include "output_folder.h"

#include <windows.h>

#include "scene_file.h"

namespace {

std::wstring FolderFailure(DWORD error)
{
    switch (error) {
    case ERROR_ACCESS_DENIED:
        return L"access is denied";
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_DIRECTORY:
        return L"not a name a folder can have";
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_NOT_READY:
        return L"the drive or share is not there";
    case ERROR_DISK_FULL:
        return L"the disk is full";
    case ERROR_WRITE_PROTECT:
        return L"the disk is write-protected";
    default:
        return L"Windows error " + std::to_wstring(error);
    }
}

} // namespace

bool MakeOutputFolder(const std::wstring& output, std::wstring* pError)
{
    const std::wstring folder = FolderOfPath(output);
    if (folder.empty())
        return true;
    const DWORD attributes = ::GetFileAttributesW(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return true;
    // Each missing folder from the top down, below the drive or the share (\\host\share);
    // those that are there already are passed by.
    size_t start = folder.size() > 2 && folder[1] == L':' ? 3 : 1;
    if (folder.size() > 2 && (folder[0] == L'\\' || folder[0] == L'/') && (folder[1] == L'\\' || folder[1] == L'/')) {
        const size_t host = folder.find_first_of(L"\\/", 2);
        const size_t share = host == std::wstring::npos ? host : folder.find_first_of(L"\\/", host + 1);
        if (share == std::wstring::npos)
            return true;  // the share itself: nothing to make
        start = share + 1;
    }
    for (size_t at = folder.find_first_of(L"\\/", start);; at = folder.find_first_of(L"\\/", at + 1)) {
        const std::wstring part = folder.substr(0, at);
        const DWORD partAttributes = ::GetFileAttributesW(part.c_str());
        if (partAttributes != INVALID_FILE_ATTRIBUTES && !(partAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            *pError = output + L": the folder " + part + L" cannot be made: a file has that name";
            return false;
        }
        if (partAttributes == INVALID_FILE_ATTRIBUTES && !::CreateDirectoryW(part.c_str(), nullptr) &&
            ::GetLastError() != ERROR_ALREADY_EXISTS) {
            *pError = output + L": the folder " + part + L" cannot be made: " + FolderFailure(::GetLastError());
            return false;
        }
        if (at == std::wstring::npos)
            return true;
    }
}
