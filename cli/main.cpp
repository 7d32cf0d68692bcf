// zelmora-render: Zelmora's box, rendered from the command line at any size, with a
// transparent background if asked, one picture or a batch from a jobs file.
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "console.h"
#include "json_line.h"
#include "options.h"
#include "picture_session.h"
#include "picture_writer.h"
#include "write_queue.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;  // some pictures could not be made
constexpr int kExitUsage = 2;   // the command line or a file it names is wrong

std::wstring ProductVersion()
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    DWORD ignored = 0, size = ::GetFileVersionInfoSizeW(path, &ignored);
    std::vector<BYTE> data(size);
    wchar_t* pValue = nullptr;
    UINT length = 0;
    if (size && ::GetFileVersionInfoW(path, 0, size, data.data()) &&
        ::VerQueryValueW(data.data(), L"\\StringFileInfo\\040904b0\\ProductVersion", reinterpret_cast<void**>(&pValue),
                         &length) && pValue)
        return std::wstring(pValue);
    return L"unknown";
}

bool ReadLines(const std::wstring& path, std::vector<std::string>* pLines)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    if (!in)
        return false;
    std::string line;
    while (std::getline(in, line)) {
        if (pLines->empty() && line.rfind("\xEF\xBB\xBF", 0) == 0)
            line.erase(0, 3);  // a UTF-8 byte order mark
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        pLines->push_back(line);
    }
    return true;
}

int RenderOne(PictureSession& session, const RenderJob& job, bool bTimings)
{
    std::wstring error;
    double t0 = SecondsNow();
    DecodedImage picture;
    PictureDrawTimings drawn;
    PictureTimings written;
    if (!session.Draw(job, &picture, &error, bTimings ? &drawn : nullptr) ||
        !PictureSession::Write(job, picture, &error, &written)) {
        PrintErr(L"zelmora-render: " + error + L"\n");
        return kExitFailed;
    }
    PrintErr(L"[1/1] " + job.output + L" " + Milliseconds(SecondsNow() - t0) +
             (bTimings ? TimingsLine(drawn, written) : std::wstring()) + L"\n");
    PrintOut(job.output + L"\n");
    return kExitOk;
}

int RenderJobs(PictureSession& session, const CommandLine& cmd)
{
    std::vector<std::string> lines;
    if (!ReadLines(cmd.jobsFile, &lines)) {
        PrintErr(L"zelmora-render: --jobs " + cmd.jobsFile + L": the file cannot be read\n");
        return kExitUsage;
    }
    std::vector<size_t> jobLines;  // this run's part of the jobs
    size_t jobIndex = 0;
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i].find_first_not_of(" \t") != std::string::npos && jobIndex++ % cmd.shardCount == cmd.shardIndex)
            jobLines.push_back(i);

    const std::wstring baseDir = FolderOf(cmd.jobsFile);
    const size_t total = jobLines.size();
    double start = SecondsNow();
    WriteQueue writer(cmd.bTimings);
    for (size_t k = 0; k < total; ++k) {
        const size_t lineNo = jobLines[k] + 1;
        std::wstring counter = L"[" + std::to_wstring(k + 1) + L"/" + std::to_wstring(total) + L"] ";
        std::vector<std::pair<std::string, std::wstring>> pairs;
        std::wstring error;
        RenderJob job = cmd.job;
        job.output.clear();  // every line names its own picture
        double t0 = SecondsNow();
        DecodedImage picture;
        PictureDrawTimings drawn;
        if (!ParseJsonLine(lines[jobLines[k]], &pairs, &error) || !ApplyOptions(job, pairs, baseDir, &error) ||
            !session.Draw(job, &picture, &error, cmd.bTimings ? &drawn : nullptr)) {
            writer.PushFailure(counter + L"line " + std::to_wstring(lineNo) + L": " + error);
            continue;
        }
        writer.Push(counter, job, std::move(picture), t0, drawn);
    }
    writer.Finish();
    double elapsed = SecondsNow() - start;
    const size_t done = writer.Written(), failed = writer.Failed();
    wchar_t seconds[32];
    swprintf(seconds, 32, L"%.1f s", elapsed);
    PrintErr(std::to_wstring(done) + L" of " + std::to_wstring(total) + L" pictures in " + seconds +
             (total ? L" (" + Milliseconds(elapsed / static_cast<double>(total)) + L" each)" : L"") + L", " +
             std::to_wstring(failed) + L" failed\n");
    return failed ? kExitFailed : kExitOk;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    std::vector<std::wstring> args(argv + 1, argv + argc);
    CommandLine cmd;
    std::wstring error;
    if (!ParseCommandLine(args, &cmd, &error)) {
        PrintErr(L"zelmora-render: " + error + L"\n");
        return kExitUsage;
    }
    if (cmd.bHelp) {
        PrintOut(HelpText());
        return kExitOk;
    }
    if (cmd.bVersion) {
        PrintOut(L"zelmora-render " + ProductVersion() + L"\n");
        return kExitOk;
    }
    if (cmd.jobsFile.empty() && cmd.job.output.empty()) {
        PrintErr(L"zelmora-render: no output: give -o PICTURE.png or --jobs FILE (see --help)\n");
        return kExitUsage;
    }
    if (cmd.shardCount > 1 && cmd.jobsFile.empty()) {
        PrintErr(L"zelmora-render: --shard splits a jobs file: give --jobs FILE too\n");
        return kExitUsage;
    }
    if (cmd.job.bTransparent && !cmd.job.output.empty() && IsJpegName(cmd.job.output)) {
        PrintErr(L"zelmora-render: --background transparent: JPEG has no transparency; write a .png\n");
        return kExitUsage;
    }

    PictureSession session;
    if (const wchar_t* reason = session.Start()) {
        PrintErr(std::wstring(L"zelmora-render: no 3D device: ") + reason + L"\n");
        return kExitFailed;
    }
    if (cmd.jobsFile.empty()) {
        if (!session.Check(cmd.job, &error)) {
            PrintErr(L"zelmora-render: " + error + L"\n");
            return kExitUsage;
        }
        return RenderOne(session, cmd.job, cmd.bTimings);
    }
    return RenderJobs(session, cmd);
}
