// zelmora-render: Zelmora's box, rendered from the command line at any size, with a
// transparent background if asked, one picture or a batch from a jobs file.
#include <windows.h>

#include <algorithm>
#include <exception>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "console.h"
#include "file_open.h"
#include "job_record.h"
#include "idle_options.h"
#include "scene_export_note.h"
#include "jobs_file.h"
#include "json_object.h"
#include "model_file.h"
#include "scene_file.h"
#include "options.h"
#include "picture_session.h"
#include "picture_writer.h"
#include "scene_values.h"
#include "output_folder.h"
#include "output_place.h"
#include "spin.h"
#include "view_fit.h"
#include "write_queue.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;  // some pictures could not be made
constexpr int kExitUsage = 2;   // the command line or a file it names is wrong
constexpr int kExitStopped = 130;  // Ctrl+C: stopped after the picture in hand, as shells count it

volatile LONG g_bStopRequested = 0;

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

// The job's box as a .glb; false with the reason, naming the face or the file at fault.
bool WriteModel(const RenderJob& job, std::wstring* pError)
{
    if (!MakeOutputFolder(job.output, pError))
        return false;
    ModelFileFailure failure;
    if (WriteModelFile(job, job.modelTextureSize, job.quality, job.output, &failure, job.record))
        return true;
    const std::wstring face = failure.face < 0 ? std::wstring() : WideFromUtf8(g_faceNames[failure.face]);
    *pError = failure.face < 0 ? job.output + L": " + failure.reason
                               : L"--" + face + L" " + failure.PathIn(job) + L": " + failure.reason;
    return false;
}

// --resume: the one output an earlier run finished is left as it is.
bool KeptAlone(bool bResume, const RenderJob& job)
{
    if (!bResume || !IsFinishedOutput(job.output, job.record))
        return false;
    PrintErr(L"[1/1] " + job.output + L" kept (already complete)\n");
    return true;
}

int RenderOne(PictureSession& session, const RenderJob& job, bool bTimings, bool bResume)
{
    std::wstring error;
    double t0 = SecondsNow();
    if (KeptAlone(bResume, job))
        return kExitOk;
    if (IsModelName(job.output)) {
        if (!WriteModel(job, &error)) {
            PrintErr(L"zelmora-render: " + error + L"\n");
            return kExitFailed;
        }
        PrintErr(L"[1/1] " + job.output + L" " + Milliseconds(SecondsNow() - t0) + L"\n");
        PrintOut(job.output + L"\n");
        return kExitOk;
    }
    DecodedImage picture;
    PictureDrawTimings drawn;
    PictureTimings written;
    const bool bDone = session.DrawsIntoFile(job)
                           ? session.DrawIntoFile(job, &error, bTimings ? &drawn : nullptr)
                           : session.Draw(job, &picture, &error, bTimings ? &drawn : nullptr) &&
                                 PictureSession::Write(job, picture, &error, &written);
    if (!bDone) {
        PrintErr(L"zelmora-render: " + error + L"\n");
        return kExitFailed;
    }
    PrintErr(L"[1/1] " + job.output + L" " + Milliseconds(SecondsNow() - t0) +
             (bTimings ? TimingsLine(drawn, written) : std::wstring()) + L"\n");
    PrintOut(job.output + L"\n");
    return kExitOk;
}

// Draws one picture and hands it to the writer (or draws it straight into its file).
void DrawAndQueue(PictureSession& session, WriteQueue& writer, const std::wstring& counter, const std::wstring& where,
                  const RenderJob& job, bool bTimings)
{
    const double t0 = SecondsNow();
    std::wstring error;
    PictureDrawTimings drawn;
    if (session.DrawsIntoFile(job)) {
        if (session.DrawIntoFile(job, &error, bTimings ? &drawn : nullptr))
            writer.PushWritten(counter, job, t0, drawn);
        else
            writer.PushFailure(counter + where + error);
        return;
    }
    DecodedImage picture = writer.TakeSpare();
    if (!session.Draw(job, &picture, &error, bTimings ? &drawn : nullptr)) {
        writer.PushFailure(counter + where + error);
        return;
    }
    writer.Push(counter, where, job, std::move(picture), t0, drawn);
}

// written, failed and kept (--resume: finished by an earlier run) of total pictures.
int Summary(const WriteQueue& writer, size_t total, double elapsed)
{
    const size_t written = writer.Written(), failed = writer.Failed(), kept = writer.Kept();
    const size_t done = written + kept;
    wchar_t seconds[32];
    swprintf(seconds, 32, L"%.1f s", elapsed);
    const bool bStopped = g_bStopRequested != 0;
    PrintErr(std::to_wstring(done) + L" of " + std::to_wstring(total) + L" pictures in " + seconds +
             (written + failed ? L" (" + Milliseconds(elapsed / static_cast<double>(written + failed)) + L" each)"
                               : L"") +
             L", " + std::to_wstring(failed) + L" failed" +
             (kept ? L", " + std::to_wstring(kept) + L" kept (already complete)" : L"") +
             (bStopped ? L"; stopped by Ctrl+C, " + std::to_wstring(total - done - failed) + L" not made" : L"") +
             L"\n");
    if (bStopped)
        return kExitStopped;
    return failed ? kExitFailed : kExitOk;
}

// Every file a job writes: a spin's (its frames, an APNG, a viewer page), or its one file (a
// still, a model).
std::vector<std::wstring> FilesOf(const RenderJob& job)
{
    return job.spin ? SpinFiles::For(job.output, job.spinFormats, job.spin).All() : std::vector<std::wstring>{job.output};
}

// What the progress counts of a job: each file it writes.
size_t PicturesOf(const RenderJob& job)
{
    return job.spin ? FilesOf(job).size() : 1;
}

// A spin's pictures into the queue. Frames alone are drawn and written one by one (a frame
// --resume finds finished is kept); other files have each view drawn once for all of them,
// each file reported in its turn, or the spin's failure once for all.
void QueueSpin(PictureSession& session, WriteQueue& writer, const std::function<std::wstring()>& counter,
               const std::wstring& where, const RenderJob& job, const std::vector<RenderJob>& frames, bool bResume,
               bool bTimings, double startedAt)
{
    if (job.spinFormats == kSpinFrames) {
        for (size_t i = 0; i < frames.size() && !g_bStopRequested; ++i) {
            if (bResume && IsFinishedOutput(frames[i].output, job.record))
                writer.PushKept(counter(), frames[i].output);
            else
                DrawAndQueue(session, writer, counter(), where, frames[i], bTimings);
        }
        return;
    }
    SpinOutcome outcome;
    std::wstring error;
    if (!WriteSpinFiles(session, job, frames, &g_bStopRequested, bResume, &outcome, &error)) {
        writer.PushFailure(counter() + where + error);  // the spin fails as a whole
        for (size_t i = 1; i < PicturesOf(job); ++i)
            counter();
        return;
    }
    for (const std::wstring& file : FilesOf(job)) {
        if (std::find(outcome.kept.begin(), outcome.kept.end(), file) != outcome.kept.end()) {
            writer.PushKept(counter(), file);
        } else {
            RenderJob written = job;
            written.output = file;
            writer.PushWritten(counter(), written, startedAt, PictureDrawTimings());
        }
    }
}

int RenderSpin(PictureSession& session, const RenderJob& job, bool bTimings, bool bResume)
{
    std::vector<RenderJob> frames;
    std::wstring error;
    const double start = SecondsNow();
    if (!SpinFrames(job, session.DefaultSize(), &frames, &error)) {
        PrintErr(L"zelmora-render: " + error + L"\n");
        return kExitFailed;
    }
    WriteQueue writer(bTimings);
    const size_t files = PicturesOf(job);
    size_t k = 0;
    QueueSpin(session, writer, [&] { return L"[" + std::to_wstring(++k) + L"/" + std::to_wstring(files) + L"] "; }, L"",
              job, frames, bResume, bTimings, start);
    writer.Finish();
    return Summary(writer, files, SecondsNow() - start);
}

bool IsBlankLine(const std::string& line)
{
    return line.find_first_not_of(" \t") == std::string::npos;
}

// No way out of the program without a word: a crash or an exception nobody caught still
// says what happened on standard error before the status says it failed.
LONG WINAPI OnCrash(EXCEPTION_POINTERS* pInfo)
{
    wchar_t text[128];
    swprintf(text, 128, L"zelmora-render: stopped by an internal error (exception 0x%08lX); nothing half-written is left\n",
             static_cast<unsigned long>(pInfo->ExceptionRecord->ExceptionCode));
    PrintErr(text);
    ::ExitProcess(kExitFailed);
}

void OnTerminate()
{
    PrintErr(L"zelmora-render: stopped by an internal error (out of memory?); nothing half-written is left\n");
    ::ExitProcess(kExitFailed);
}


BOOL WINAPI OnConsoleStop(DWORD type)
{
    if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT)
        return FALSE;
    ::InterlockedExchange(&g_bStopRequested, 1);
    return TRUE;  // the batch stops after the picture in hand, with its summary
}

// With --fit, a batch whose pictures differ only in their view (a turntable, the views of
// one product) is framed once for all of them, so that the box does not jump; so is a batch
// of sets that differ only in their view and their products (a shop's series of three, each
// with its own covers and page counts): every picture framed the same way, the books at one
// scale from picture to picture.
class SeriesFraming {
public:
    SeriesFraming(const RenderJob& base, SIZE defaultSize) : m_bCandidate(base.fitMargin >= 0), m_defaultSize(defaultSize) {}
    void Add(const RenderJob& job)
    {
        if (!m_bCandidate)
            return;
        if (m_nJobs++ == 0) {
            m_first = job;
            m_bSets = ProductCount(job) > 1;
        } else if (!SameButView(job, m_first)) {
            m_bCandidate = m_bSets && SameButViewAndProducts(job, m_first);
            m_bOnlyViews = false;
        }
        struct Scene : BoxScene {
            void RefreshPages() override {}
        } scene;
        job.ApplyTo(scene);
        const int setDistance = DistanceForSet(scene);  // a large set: seen from further back
        const int distance = std::max(scene.m_nDistance, setDistance);
        if (m_bSecondLook) {
            scene.m_nDistance = m_nDistance;
        } else {
            if (setDistance)
                scene.m_nDistance = m_nDistance = std::max(m_nDistance, setDistance);
            if (m_nJobs == 1)
                m_nFirstDistance = distance;
            m_bMixedDistances |= distance != m_nFirstDistance;
            m_nFarthest = std::max(m_nFarthest, distance);
        }
        const float w = static_cast<float>(job.width ? job.width : static_cast<UINT>(m_defaultSize.cx));
        const float h = static_cast<float>(job.width ? job.height : static_cast<UINT>(m_defaultSize.cy));
        if (m_bCandidate && !AddToExtent(scene, w / h, &m_extent))
            m_bCandidate = false;
    }
    // The framing for every job, when they make a series.
    bool Fit(ViewFit* pFit) const
    {
        pFit->distance = m_nDistance;
        return m_bCandidate && m_nJobs > 1 && FitExtent(m_extent, static_cast<float>(m_first.fitMargin), pFit);
    }
    size_t Jobs() const { return m_nJobs; }
    // Sets of other sizes stand the camera back by as much as each needs: their extents are
    // comparable only from one place, the farthest, so they are looked at again from there.
    bool NeedsSecondLook() const { return m_bCandidate && !m_bOnlyViews && m_bMixedDistances && !m_bSecondLook; }
    void StartSecondLook()
    {
        m_bSecondLook = true;
        m_nDistance = m_nFarthest;
        m_nJobs = 0;
        m_extent = FramedExtent();
    }
    // What the pictures share, for the note.
    const wchar_t* Kinship() const
    {
        return m_bOnlyViews ? L"pictures differ only in their view" : L"sets differ only in their view and their products";
    }

private:
    static bool SameButView(const RenderJob& a, const RenderJob& b)
    {
        RenderJob view = a;
        for (int v : kViewValues)
            view.values[v] = b.values[v];
        return view == b && a.quality == b.quality && a.samples == b.samples && a.fitMargin == b.fitMargin;
    }
    // Sets of as many products on one stage (its light, floor and arrangement).
    static bool SameButViewAndProducts(const RenderJob& a, const RenderJob& b)
    {
        if (ProductCount(a) != ProductCount(b))
            return false;
        RenderJob stage = a;
        for (int v = 0; v < kSceneValueCount; ++v)
            if (g_sceneValues[v].bProduct)
                stage.values[v] = b.values[v];
        std::copy(std::begin(b.facePaths), std::end(b.facePaths), std::begin(stage.facePaths));
        std::copy(std::begin(b.faceColours), std::end(b.faceColours), std::begin(stage.faceColours));
        stage.products = b.products;
        return SameButView(stage, b);
    }
    bool m_bCandidate;
    bool m_bSets = false;
    bool m_bOnlyViews = true;
    bool m_bMixedDistances = false, m_bSecondLook = false;
    int m_nFirstDistance = 0, m_nFarthest = 0;
    SIZE m_defaultSize;
    size_t m_nJobs = 0;
    int m_nDistance = 0;
    RenderJob m_first;
    FramedExtent m_extent;
};

int RenderJobs(PictureSession& session, const CommandLine& cmd)
{
    const std::wstring baseDir = FolderOfPath(cmd.jobsFile);
    // First pass: how many jobs are this run's, and which lines name an output an earlier
    // line already names (whatever the shard: every shard sees the same answer). Nothing per
    // line is kept but a picture's name: a file of millions of lines costs no memory.
    size_t total = 0;                                // this run's part of the jobs
    std::unordered_map<unsigned long long, size_t> firstLineOf;
    std::unordered_map<size_t, size_t> duplicateOf;  // line -> the earlier line with its output
    SeriesFraming series(cmd.job, session.DefaultSize());
    IdleOptions idle;
    SceneExportNote sceneSettings;
    {
        JobsFile file(cmd.jobsFile);
        if (!file.IsOpen()) {
            const DWORD why = ::GetLastError();
            PrintErr(L"zelmora-render: --jobs " + cmd.jobsFile + L": " +
                     (why == ERROR_BAD_DEVICE ? kDeviceRefusal : L"the file cannot be read") + L"\n");
            return kExitUsage;
        }
        std::string line;
        std::wstring error;
        size_t lineNo = 0, jobIndex = 0;
        while (file.Next(&line, &lineNo, &error)) {
            if (error.empty() && IsBlankLine(line))
                continue;
            const bool bMine = jobIndex++ % cmd.shard.count == cmd.shard.index;
            std::vector<JsonMember> pairs;
            RenderJob job;
            if (!error.empty() || !ParseJsonObject(line, &pairs, &error) || !BuildLineJob(cmd, pairs, baseDir, &job, &error) ||
                job.output.empty()) {
                total += bMine;
                continue;
            }
            total += bMine ? PicturesOf(job) : 0;
            if (bMine) {
                idle.AddLine(job, pairs, cmd.options, lineNo);
                std::vector<JsonMember> given = cmd.options;
                given.insert(given.end(), pairs.begin(), pairs.end());
                sceneSettings.Add(job, given);
            }
            if (!job.spin)
                series.Add(job);  // a spin is framed on its own
            for (const std::wstring& file : FilesOf(job)) {
                auto first = firstLineOf.emplace(OutputKey(file), lineNo);
                if (!first.second && first.first->second != lineNo) {
                    duplicateOf[lineNo] = first.first->second;
                    break;
                }
            }
        }
        if (const DWORD why = file.ReadError()) {
            PrintErr(L"zelmora-render: --jobs " + cmd.jobsFile + L": the file cannot be read" +
                     (lineNo ? L" past line " + std::to_wstring(lineNo) : std::wstring()) + L" (" + SystemMessage(why) +
                     L"); nothing was rendered\n");
            return kExitUsage;
        }
    }

    if (series.NeedsSecondLook()) {
        series.StartSecondLook();
        JobsFile again(cmd.jobsFile);
        std::string line;
        std::wstring error;
        size_t lineNo = 0;
        while (again.Next(&line, &lineNo, &error)) {
            std::vector<JsonMember> pairs;
            RenderJob job;
            if (error.empty() && !IsBlankLine(line) && ParseJsonObject(line, &pairs, &error) &&
                BuildLineJob(cmd, pairs, baseDir, &job, &error) && !job.output.empty() && !job.spin)
                series.Add(job);
        }
    }
    PrintErr(idle.Note());
    PrintErr(sceneSettings.Note());
    ViewFit seriesFit;
    const bool bSeriesFit = series.Fit(&seriesFit);
    if (bSeriesFit)
        PrintErr(L"zelmora-render: note: --fit: the " + std::to_wstring(series.Jobs()) + L" " + series.Kinship() +
                 L": one framing holds for all of them\n");

    const double start = SecondsNow();
    WriteQueue writer(cmd.bTimings);
    JobsFile file(cmd.jobsFile);
    std::string line;
    std::wstring readError;
    size_t lineNo = 0, k = 0, jobIndex = 0;
    while (k < total && !g_bStopRequested && file.Next(&line, &lineNo, &readError)) {
        if (readError.empty() && IsBlankLine(line))
            continue;
        if (jobIndex++ % cmd.shard.count != cmd.shard.index)
            continue;
        const std::wstring where = L"line " + std::to_wstring(lineNo) + L": ";
        std::vector<JsonMember> pairs;
        std::wstring error = readError;
        RenderJob job;
        const double t0 = SecondsNow();
        const bool bParsed =
            error.empty() && ParseJsonObject(line, &pairs, &error) && BuildLineJob(cmd, pairs, baseDir, &job, &error);
        auto counter = [&] { return L"[" + std::to_wstring(++k) + L"/" + std::to_wstring(total) + L"] "; };
        auto duplicate = duplicateOf.find(lineNo);
        if (bParsed && duplicate != duplicateOf.end())
            error = L"-o " + job.output + L": line " + std::to_wstring(duplicate->second) +
                    L" writes " + (FilesOf(job).size() > 1 ? L"one of these pictures" : L"this picture") +
                    L" already (each picture is written once)";
        if (bParsed && error.empty())
            error = cmd.outputRoot.Refusal(job.output);
        if (bParsed && job.spin) {
            std::vector<RenderJob> frames;
            if (error.empty())
                error = SpinRefusal(job);
            if (error.empty())
                job.record = JobRecord(job);
            if (error.empty() && SpinFrames(job, session.DefaultSize(), &frames, &error)) {
                QueueSpin(session, writer, counter, where, job, frames, cmd.bResume, cmd.bTimings, t0);
                continue;
            }
            writer.PushFailure(counter() + where + error);  // the spin fails as a whole
            k += PicturesOf(job) - 1;
            continue;
        }
        if (bParsed && error.empty() && bSeriesFit) {
            job.values[kValueZoom] = seriesFit.zoom;
            job.values[kValueCentreX] = seriesFit.centreX;
            job.values[kValueCentreY] = seriesFit.centreY;
            if (seriesFit.distance > 0)
                job.values[kValueDistance] = seriesFit.distance;
            job.fitMargin = -1;
        }
        if (error.empty())
            job.record = JobRecord(job);  // after the series' framing: the picture's own values
        if (error.empty() && cmd.bResume && IsFinishedOutput(job.output, job.record)) {
            writer.PushKept(counter(), job.output);
            continue;
        }
        if (error.empty() && IsModelName(job.output)) {
            if (WriteModel(job, &error)) {
                writer.PushWritten(counter(), job, t0, PictureDrawTimings());
                continue;
            }
        }
        if (!error.empty()) {
            writer.PushFailure(counter() + where + error);
            continue;
        }
        DrawAndQueue(session, writer, counter(), where, job, cmd.bTimings);
    }
    writer.Finish();
    return Summary(writer, total, SecondsNow() - start);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    ::SetUnhandledExceptionFilter(&OnCrash);
    std::set_terminate(&OnTerminate);
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
    if (cmd.shard.count > 1 && cmd.jobsFile.empty()) {
        PrintErr(L"zelmora-render: --shard splits a jobs file: give --jobs FILE too\n");
        return kExitUsage;
    }
    if (cmd.jobsFile.empty()) {
        std::wstring refusal = cmd.outputRoot.Refusal(cmd.job.output);
        if (refusal.empty())
            refusal = SpinRefusal(cmd.job);
        if (!refusal.empty()) {
            PrintErr(L"zelmora-render: " + refusal + L"\n");
            return kExitUsage;
        }
    }
    if (cmd.job.bTransparent && !cmd.job.output.empty() && IsJpegName(cmd.job.output)) {
        PrintErr(L"zelmora-render: --background transparent: JPEG has no transparency; write a .png\n");
        return kExitUsage;
    }

    ::SetConsoleCtrlHandler(&OnConsoleStop, TRUE);
    PictureSession session;
    if (const wchar_t* reason = session.Start(cmd.jobsFile.empty() ? &cmd.job : nullptr)) {
        PrintErr(std::wstring(L"zelmora-render: no 3D device: ") + reason + L"\n");
        return kExitFailed;
    }
    if (cmd.jobsFile.empty()) {
        IdleOptions idle;
        idle.Add(cmd.job, cmd.options);
        PrintErr(idle.Note());
        if (cmd.job.spin) {
            SceneExportNote sceneSettings;
            sceneSettings.Add(cmd.job, cmd.options);
            PrintErr(sceneSettings.Note());
        }
        if (!session.Check(cmd.job, &error)) {
            PrintErr(L"zelmora-render: " + error + L"\n");
            return kExitUsage;
        }
        cmd.job.record = JobRecord(cmd.job);
        return cmd.job.spin ? RenderSpin(session, cmd.job, cmd.bTimings, cmd.bResume)
                            : RenderOne(session, cmd.job, cmd.bTimings, cmd.bResume);
    }
    return RenderJobs(session, cmd);
}
