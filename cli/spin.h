// zelmora-render's spins: the job's settings checked and its pictures made into jobs.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "render_job.h"

// Why the job's spin settings make no sense together (empty when they do, or for no spin).
std::wstring SpinRefusal(const RenderJob& job);

// The spin's pictures in order. As frames alone each names its own file (box.png:
// box-01.png, box-02.png, ...); otherwise each names the spin's -o, for messages.
// False when there is nothing to frame (the camera inside the box).
bool SpinFrames(const RenderJob& job, SIZE defaultSize, std::vector<RenderJob>* pFrames, std::wstring* pError);

// A spin's files other than frames alone (an APNG, a viewer page, and frames with them):
// each view drawn once and written into every file. bResume: files an earlier run finished
// are kept as they are. The APNG and the page appear only once every picture is in them;
// *pStop set (Ctrl+C): stops, writing neither.
struct SpinOutcome {
    std::vector<std::wstring> written, kept;
};
bool WriteSpinFiles(class PictureSession& session, const RenderJob& spin, const std::vector<RenderJob>& frames,
                    const volatile LONG* pStop, bool bResume, SpinOutcome* pOutcome, std::wstring* pError);
