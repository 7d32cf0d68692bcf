// uninstall.exe: runs Zelmora's uninstaller (uninstall-core.exe, NSIS's) and ends with its
// status, so that "uninstall.exe /S" says whether Zelmora was removed. NSIS's own uninstaller,
// started without "_?=", starts a copy of itself from the temporary folder and ends at once
// with 0, whatever that copy then does. Here the copy runs and is waited for; a helper (a
// copy of this program) removes uninstall.exe and the folder once this one has ended.
//   uninstall.exe [/S]              the uninstaller, from a copy in the temporary folder
//   uninstall.exe /S _?=FOLDER      NSIS's own way: run in place (the installer uses it)
#include <windows.h>
#include <shellapi.h>

#include <string>

namespace {

const wchar_t kCore[] = L"uninstall-core.exe";
const wchar_t kRemoveAfter[] = L"--remove-after";

std::wstring OwnPath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::wstring FolderOf(const std::wstring& path)
{
    return path.substr(0, path.find_last_of(L"\\/"));
}

// The command line after the program's own name, as given.
std::wstring Arguments()
{
    const wchar_t* p = ::GetCommandLineW();
    bool bQuoted = false;
    for (; *p && (bQuoted || (*p != L' ' && *p != L'\t')); ++p)
        if (*p == L'"')
            bQuoted = !bQuoted;
    while (*p == L' ' || *p == L'\t')
        ++p;
    return p;
}

// A copy of `source` in the temporary folder, named for this process; empty when it fails.
std::wstring TemporaryCopy(const std::wstring& source, const wchar_t* pszRole)
{
    wchar_t temp[MAX_PATH + 1];
    const DWORD n = ::GetTempPathW(MAX_PATH + 1, temp);
    if (n == 0 || n > MAX_PATH)
        return std::wstring();
    const std::wstring copy = std::wstring(temp) + L"zelmora-" + pszRole + L"-" + std::to_wstring(::GetCurrentProcessId()) +
                              L".exe";
    return ::CopyFileW(source.c_str(), copy.c_str(), FALSE) ? copy : std::wstring();
}

// Runs the command line, waits for it and gives its exit status (2 when it cannot start).
DWORD RunAndWait(std::wstring commandLine)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return 2;
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 2;
    ::GetExitCodeProcess(process.hProcess, &status);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return status;
}

// The helper: once the process `pid` has ended, its program and its folder (if empty) go;
// this copy goes at the next restart, as NSIS's own copy does.
int RemoveAfter(DWORD pid, const std::wstring& program, const std::wstring& core)
{
    if (HANDLE h = ::OpenProcess(SYNCHRONIZE, FALSE, pid)) {
        ::WaitForSingleObject(h, 60000);
        ::CloseHandle(h);
    }
    ::DeleteFileW(core.c_str());
    for (int i = 0; i < 50 && !::DeleteFileW(program.c_str()) && ::GetLastError() != ERROR_FILE_NOT_FOUND; ++i)
        ::Sleep(100);
    ::RemoveDirectoryW(FolderOf(program).c_str());
    ::MoveFileExW(OwnPath().c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    return 0;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (argv && argc == 5 && lstrcmpW(argv[1], kRemoveAfter) == 0) {
        const int status = RemoveAfter(static_cast<DWORD>(_wtoi(argv[2])), argv[3], argv[4]);
        ::LocalFree(argv);
        return status;
    }
    if (argv)
        ::LocalFree(argv);

    const std::wstring self = OwnPath(), folder = FolderOf(self), core = folder + L"\\" + kCore;
    const std::wstring arguments = Arguments();
    if (arguments.find(L"_?=") != std::wstring::npos)  // in place, as asked: its status as it is
        return static_cast<int>(RunAndWait(L"\"" + core + L"\" " + arguments));

    const std::wstring coreCopy = TemporaryCopy(core, L"uninstall");
    if (coreCopy.empty())
        return 2;
    const DWORD status = RunAndWait(L"\"" + coreCopy + L"\" " + arguments + L" _?=" + folder);
    ::DeleteFileW(coreCopy.c_str());
    if (status == 0) {
        // Everything else is gone: this program and the folder go once it has ended.
        const std::wstring helper = TemporaryCopy(self, L"remove");
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        std::wstring commandLine = L"\"" + helper + L"\" " + kRemoveAfter + L" " +
                                   std::to_wstring(::GetCurrentProcessId()) + L" \"" + self + L"\" \"" + core + L"\"";
        if (!helper.empty() && ::CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, DETACHED_PROCESS,
                                                nullptr, nullptr, &startup, &process)) {
            ::CloseHandle(process.hThread);
            ::CloseHandle(process.hProcess);
        }
    }
    return static_cast<int>(status);
}
