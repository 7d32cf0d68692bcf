#include "spin.h"

#include "apng_writer.h"
#include "options.h"
#include "output_folder.h"
#include "picture_session.h"
#include "picture_writer.h"
#include "job_record.h"
#include "spin_views.h"
#include "view_fit.h"

std::wstring SpinRefusal(const RenderJob& job)
{
    const unsigned formats = job.spinFormats;
    if (!job.spin) {
        if (formats != kSpinFrames)
            return L"--spin-format: a spin's format; give --spin N too";
        if (IsHtmlName(job.output))
            return L"-o " + job.output + L": an .html file is a spin's viewer; give --spin N --spin-format html";
        return std::wstring();
    }
    if (job.output.size() > 4 && _wcsicmp(job.output.c_str() + job.output.size() - 4, L".glb") == 0)
        return L"-o " + job.output + L": a spin is pictures; a .glb model turns by itself in a viewer";
    if (formats == kSpinHtml && !IsHtmlName(job.output))
        return L"-o " + job.output + L": --spin-format html writes a web page; name it .html";
    if (!(formats & kSpinHtml) && IsHtmlName(job.output))
        return L"-o " + job.output + L": an .html file is a spin's viewer; give --spin-format html";
    if (formats == kSpinApng && IsJpegName(job.output))
        return L"-o " + job.output + L": an animated picture is a PNG (APNG); name it .png";
    return std::wstring();
}

bool SpinFrames(const RenderJob& job, SIZE defaultSize, std::vector<RenderJob>* pFrames, std::wstring* pError)
{
    const float w = static_cast<float>(job.width ? job.width : static_cast<UINT>(defaultSize.cx));
    const float h = static_cast<float>(job.width ? job.height : static_cast<UINT>(defaultSize.cy));
    std::vector<SpinView> views;
    const float margin = job.fitMargin >= 0 ? static_cast<float>(job.fitMargin) : kDefaultFitMargin;
    if (!SpinViews(job, job.spin, job.spinElevation, w / h, margin, &views)) {
        *pError = job.output + L": --spin: at some views the camera is too close to the box to frame it; give a larger --distance";
        return false;
    }
    std::vector<RenderJob> frames;
    for (size_t i = 0; i < views.size(); ++i) {
        RenderJob frame = job;
        frame.spin = 0;
        frame.fitMargin = -1;  // framed already, once for all
        std::copy(views[i].values, views[i].values + kSceneValueCount, frame.values);
        frame.rotation1Fraction = views[i].rotation1Fraction;
        if (job.spinFormats == kSpinFrames)
            frame.output = SpinFrameName(job.output, static_cast<int>(i) + 1, job.spin);
        frames.push_back(std::move(frame));
    }
    *pFrames = std::move(frames);
    return true;
}

bool WriteSpinFiles(PictureSession& session, const RenderJob& spin, const std::vector<RenderJob>& frames,
                    const volatile LONG* pStop, bool bResume, SpinOutcome* pOutcome, std::wstring* pError)
{
    SpinFiles files = SpinFiles::For(spin.output, spin.spinFormats, spin.spin);
    // --resume: what an earlier run finished stays as it is; the views are drawn for the rest.
    auto keep = [&](std::wstring& file) {
        if (!file.empty() && bResume && IsFinishedOutput(file, spin.record)) {
            pOutcome->kept.push_back(file);
            file.clear();
        }
    };
    for (std::wstring& frame : files.frames)
        keep(frame);
    keep(files.apng);
    keep(files.page);
    const std::vector<std::wstring> toWrite = files.All();
    bool bAny = false;
    for (const std::wstring& file : toWrite)
        bAny |= !file.empty();
    if (!bAny)
        return true;
    for (const std::wstring& file : toWrite)
        if (!file.empty() && !MakeOutputFolder(file, pError))
            return false;
    const SIZE size = spin.width ? SIZE{static_cast<LONG>(spin.width), static_cast<LONG>(spin.height)}
                                 : session.DefaultSize();
    PictureFormat format;
    format.bJpeg = IsJpegName(spin.output) && (spin.spinFormats & kSpinFrames);
    format.bAlpha = spin.bTransparent;
    format.quality = spin.quality;
    format.dpi = spin.dpi;
    format.record = spin.record;
    SpinFileWriter writer;
    std::wstring failed;
    HRESULT hr = writer.Open(files, static_cast<UINT>(frames.size()), static_cast<UINT>(size.cx),
                             static_cast<UINT>(size.cy), format, static_cast<UINT>(spin.spinDelay), &failed);
    for (size_t i = 0; SUCCEEDED(hr) && i < frames.size(); ++i) {
        if (*pStop) {
            *pError = spin.output + L": stopped by Ctrl+C; the animated picture and the page are not written";
            return false;
        }
        DecodedImage picture;
        if (!session.Draw(frames[i], &picture, pError))
            return false;
        hr = writer.Add(picture, &failed);
    }
    if (SUCCEEDED(hr))
        hr = writer.Commit(&failed);
    if (FAILED(hr)) {
        *pError = failed + L": " + WriteFailureReason(failed, hr);
        return false;
    }
    for (const std::wstring& file : toWrite)
        if (!file.empty())
            pOutcome->written.push_back(file);
    return true;
}
