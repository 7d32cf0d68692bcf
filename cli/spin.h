// zelmora-render's spins: the job's settings checked and its pictures made into jobs.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "render_job.h"

// Why the job's spin settings make no sense together (empty when they do, or for no spin).
std::wstring SpinRefusal(const RenderJob& job);

// The spin's pictures in order. As frames each names its own file (box.png: box-01.png,
// box-02.png, ...); for an APNG or a viewer each names the spin's one file, for messages.
// False when there is nothing to frame (the camera inside the box).
bool SpinFrames(const RenderJob& job, SIZE defaultSize, std::vector<RenderJob>* pFrames, std::wstring* pError);

// A spin gathered into one file, an APNG or a viewer page, from its pictures (SpinFrames);
// the file appears only once every picture is in. *pStop set (Ctrl+C): stops, writing nothing.
bool WriteSpinFile(class PictureSession& session, const RenderJob& spin, const std::vector<RenderJob>& frames,
                   const volatile LONG* pStop, std::wstring* pError);
