// Files the programs read and write: no name opens a device or, unless chosen, another
// computer; a temporary file is removed only when its writer is gone.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "file_open.h"
#include "file_replace.h"

TEST(FileSafety, DevicesAreToldByTheirNamesAndNeverOpened)
{
    for (const wchar_t* device : {L"COM1", L"com9.png", L"C:\\art\\LPT1.jpg", L"CON", L"nul.jsonl", L"AUX .png",
                                  L"art/prn.tga", L"\\\\.\\COM3", L"//./PhysicalDrive0",
                                  L"\\\\?\\GLOBALROOT\\Device\\Serial0", L"CONOUT$", L"COM\x00B9"}) {
        EXPECT_EQ(ClassifyPath(device), PathKind::Device) << device;
        EXPECT_EQ(OpenFileToRead(device), INVALID_HANDLE_VALUE) << device;
        EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_BAD_DEVICE)) << device;
    }
    for (const wchar_t* network : {L"\\\\host\\share\\a.png", L"//host/share/a.png", L"\\\\?\\UNC\\host\\share\\a.png"}) {
        EXPECT_EQ(ClassifyPath(network), PathKind::Network) << network;
        EXPECT_FALSE(PathRefusal(network, false).empty()) << network;
        EXPECT_TRUE(PathRefusal(network, true).empty()) << "the user's own choice: " << network;
    }
    for (const wchar_t* file : {L"C:\\art\\console.png", L"COM10.png", L"comics.png", L"C:\\nul\\..\\a.png",
                                L"\\\\?\\C:\\very\\long\\a.png", L"art\\lpt.png"}) {
        EXPECT_EQ(ClassifyPath(file), PathKind::File) << file;
    }
}

TEST(FileSafety, AStaleTemporaryFileGoesAndOneBeingWrittenStays)
{
    wchar_t base[MAX_PATH];
    ::GetTempPathW(MAX_PATH, base);
    const std::wstring folder = std::wstring(base) + L"zelmora stale temp\\";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    // A killed run's file, named as this process would name its own (a new Wine session
    // gives its first process the same number), and one another writer holds open.
    wchar_t own[64];
    wsprintfW(own, L"~zelmora-%lx-1.tmp", ::GetCurrentProcessId());
    const std::wstring stale = folder + own, held = folder + L"~zelmora-7-2.tmp";
    ::CloseHandle(::CreateFileW(stale.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    HANDLE hHeld = ::CreateFileW(held.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(hHeld, INVALID_HANDLE_VALUE);

    const char data[] = "picture";
    ASSERT_EQ(ReplaceFileContents((folder + L"out.bin").c_str(), data, sizeof data), S_OK);
    EXPECT_EQ(::GetFileAttributesW(stale.c_str()), INVALID_FILE_ATTRIBUTES) << "the stale file is removed";
    EXPECT_NE(::GetFileAttributesW(held.c_str()), INVALID_FILE_ATTRIBUTES) << "a file being written stays";

    // Nothing else of ours is left beside the picture.
    int temporaries = 0;
    WIN32_FIND_DATAW found;
    HANDLE hFind = ::FindFirstFileW((folder + L"~zelmora-*.tmp").c_str(), &found);
    for (BOOL more = hFind != INVALID_HANDLE_VALUE; more; more = ::FindNextFileW(hFind, &found))
        ++temporaries;
    if (hFind != INVALID_HANDLE_VALUE)
        ::FindClose(hFind);
    EXPECT_EQ(temporaries, 1);
    HANDLE hOut = ::CreateFileW((folder + L"out.bin").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                nullptr);
    char back[16] = {};
    DWORD got = 0;
    ::ReadFile(hOut, back, sizeof back, &got, nullptr);
    ::CloseHandle(hOut);
    EXPECT_EQ(got, sizeof data);
    EXPECT_STREQ(back, data);

    ::CloseHandle(hHeld);
    ::DeleteFileW(held.c_str());
    ::DeleteFileW((folder + L"out.bin").c_str());
    ::RemoveDirectoryW(folder.c_str());
}
