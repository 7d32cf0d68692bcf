#include "spin.h"

#include <cmath>

#include "options.h"
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

std::wstring SpinFrameName(const std::wstring& output, int number, int count)
{
    const size_t slash = output.find_last_of(L"\\/");
    size_t dot = output.rfind(L'.');
    if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash))
        dot = output.size();
    const int digits = count >= 100 ? 3 : 2;
    wchar_t suffix[16];
    swprintf(suffix, 16, L"-%0*d", digits, number);
    return output.substr(0, dot) + suffix + output.substr(dot);
}

bool SpinFrames(const RenderJob& job, SIZE defaultSize, std::vector<RenderJob>* pFrames, std::wstring* pError)
{
    struct Scene : BoxScene {
        void RefreshPages() override {}
    } scene;
    const float w = static_cast<float>(job.width ? job.width : static_cast<UINT>(defaultSize.cx));
    const float h = static_cast<float>(job.width ? job.height : static_cast<UINT>(defaultSize.cy));
    FramedExtent extent;
    std::vector<RenderJob> frames;
    for (int i = 0; i < job.spin; ++i) {
        RenderJob frame = job;
        frame.spin = 0;
        frame.fitMargin = -1;  // framed here, once for all
        if (job.spinElevation != RenderJob::kSceneElevation)
            frame.values[kValueRotation2] = 90 + job.spinElevation;
        // Even steps, also where a step is not a whole degree (48 pictures: 7.5 degrees).
        const double angle = std::fmod(job.values[kValueRotation1] + i * 360.0 / job.spin, 360.0);
        frame.values[kValueRotation1] = static_cast<int>(std::floor(angle));
        frame.rotation1Fraction = static_cast<float>(angle - std::floor(angle));
        if (job.spinFormat == RenderJob::SpinFormat::Frames)
            frame.output = SpinFrameName(job.output, i + 1, job.spin);
        frame.ApplyTo(scene);
        scene.m_fRotation1Fraction = frame.rotation1Fraction;
        if (!AddToExtent(scene, w / h, &extent)) {
            *pError = job.output + L": --spin: the camera is inside the box at some views; nothing to frame";
            return false;
        }
        frames.push_back(std::move(frame));
    }
    ViewFit fit;
    const float margin = job.fitMargin >= 0 ? static_cast<float>(job.fitMargin) : kDefaultFitMargin;
    if (!FitExtent(extent, margin, &fit)) {
        *pError = job.output + L": --spin: nothing to frame";
        return false;
    }
    for (RenderJob& frame : frames) {
        frame.values[kValueZoom] = fit.zoom;
        frame.values[kValueCentreX] = fit.centreX;
        frame.values[kValueCentreY] = fit.centreY;
    }
    *pFrames = std::move(frames);
    return true;
}
