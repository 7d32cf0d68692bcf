#include "spin.h"

#include "apng_writer.h"
#include "options.h"
#include "output_folder.h"
#include "picture_session.h"
#include "picture_writer.h"
#include "spin_viewer.h"
#include "spin_views.h"
#include "view_fit.h"

std::wstring SpinRefusal(const RenderJob& job)
{
    using Format = RenderJob::SpinFormat;
    if (!job.spin) {
        if (job.spinFormat != Format::Frames)
            return L"--spin-format: a spin's format; give --spin N too";
        if (IsHtmlName(job.output))
            return L"-o " + job.output + L": an .html file is a spin's viewer; give --spin N --spin-format html";
        return std::wstring();
    }
    if (job.output.size() > 4 && _wcsicmp(job.output.c_str() + job.output.size() - 4, L".glb") == 0)
        return L"-o " + job.output + L": a spin is pictures; a .glb model turns by itself in a viewer";
    if (job.spinFormat == Format::Html && !IsHtmlName(job.output))
        return L"-o " + job.output + L": --spin-format html writes a web page; name it .html";
    if (job.spinFormat != Format::Html && IsHtmlName(job.output))
        return L"-o " + job.output + L": an .html file is a spin's viewer; give --spin-format html";
    if (job.spinFormat == Format::Apng && IsJpegName(job.output))
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
        if (job.spinFormat == RenderJob::SpinFormat::Frames)
            frame.output = SpinFrameName(job.output, static_cast<int>(i) + 1, job.spin);
        frames.push_back(std::move(frame));
    }
    *pFrames = std::move(frames);
    return true;
}

// A spin gathered into one file, an animated PNG or a viewer page: its pictures drawn and
// encoded one after another, the file put in place once all are in.
bool WriteSpinFile(PictureSession& session, const RenderJob& spin, const std::vector<RenderJob>& frames,
                   const volatile LONG* pStop, std::wstring* pError)
{
    const bool bPage = spin.spinFormat == RenderJob::SpinFormat::Html;
    const SIZE size = spin.width ? SIZE{static_cast<LONG>(spin.width), static_cast<LONG>(spin.height)}
                                 : session.DefaultSize();
    if (!MakeOutputFolder(spin.output, pError))
        return false;
    ApngWriter apng;
    SpinViewerWriter page;
    std::wstring title = spin.output.substr(spin.output.find_last_of(L"\\/") + 1);
    title = title.substr(0, title.rfind(L'.'));
    HRESULT hr = bPage ? page.Open(spin.output, static_cast<UINT>(frames.size()), static_cast<UINT>(size.cx),
                                   static_cast<UINT>(size.cy), title)
                       : apng.Open(spin.output, static_cast<UINT>(frames.size()), static_cast<UINT>(spin.spinDelay));
    PictureFormat format;
    format.bJpeg = bPage && !spin.bTransparent;  // a page of photographs loads faster as JPEG
    format.bAlpha = spin.bTransparent;
    format.quality = spin.quality;
    format.dpi = spin.dpi;
    for (size_t i = 0; SUCCEEDED(hr) && i < frames.size(); ++i) {
        if (*pStop) {
            *pError = spin.output + L": stopped by Ctrl+C; nothing written";
            return false;
        }
        DecodedImage picture;
        if (!session.Draw(frames[i], &picture, pError))
            return false;
        std::vector<BYTE> bytes;
        hr = EncodePicture(picture, format, &bytes);
        if (SUCCEEDED(hr))
            hr = bPage ? page.AddFrame(bytes, format.bJpeg) : apng.AddFrame(bytes);
    }
    if (SUCCEEDED(hr))
        hr = bPage ? page.Commit() : apng.Commit();
    if (FAILED(hr)) {
        *pError = spin.output + L": " + WriteFailureReason(spin.output, hr);
        return false;
    }
    return true;
}
