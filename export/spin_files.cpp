#include "spin_files.h"

#include <cwchar>

#include "file_open.h"
#include "spin_views.h"

namespace {

// The name without its type: "out\box.png" -> "out\box".
std::wstring Stem(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"\\/");
    const size_t dot = path.rfind(L'.');
    return dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash) ? path : path.substr(0, dot);
}

} // namespace

SpinFiles SpinFiles::For(const std::wstring& output, unsigned formats, int count)
{
    SpinFiles files;
    const bool bAlone = formats == kSpinFrames || formats == kSpinApng || formats == kSpinHtml;
    const bool bPictureName = EndsWithNoCase(output, L".png") || EndsWithNoCase(output, L".jpg") ||
                              EndsWithNoCase(output, L".jpeg");
    if (formats & kSpinFrames) {
        const std::wstring base = bAlone || bPictureName ? output : Stem(output) + L".png";
        for (int i = 1; i <= count; ++i)
            files.frames.push_back(SpinFrameName(base, i, count));
    }
    if (formats & kSpinApng)
        files.apng = bAlone || EndsWithNoCase(output, L".png") ? output : Stem(output) + L".png";
    if (formats & kSpinHtml)
        files.page = bAlone || EndsWithNoCase(output, L".html") ? output : Stem(output) + L".html";
    return files;
}

std::vector<std::wstring> SpinFiles::All() const
{
    std::vector<std::wstring> all = frames;
    for (const std::wstring* p : {&apng, &page})
        if (!p->empty())
            all.push_back(*p);
    return all;
}

HRESULT SpinFileWriter::Open(const SpinFiles& files, UINT count, UINT width, UINT height,
                             const PictureFormat& frameFormat, UINT delayMs, std::wstring* pFailed)
{
    m_files = files;
    m_frameFormat = frameFormat;
    m_pageFormat = frameFormat;
    m_pageFormat.bJpeg = !frameFormat.bAlpha;  // a page of photographs loads faster as JPEG
    HRESULT hr = S_OK;
    if (!m_files.apng.empty() && FAILED(hr = m_apng.Open(m_files.apng, count, delayMs))) {
        *pFailed = m_files.apng;
        return hr;
    }
    const std::wstring stem = Stem(m_files.page);
    if (!m_files.page.empty() &&
        FAILED(hr = m_page.Open(m_files.page, count, width, height, stem.substr(stem.find_last_of(L"\\/") + 1))))
        *pFailed = m_files.page;
    return hr;
}

HRESULT SpinFileWriter::Add(const DecodedImage& picture, std::wstring* pFailed)
{
    const size_t i = m_nAdded++;
    HRESULT hr = S_OK;
    if (i < m_files.frames.size() && !m_files.frames[i].empty() &&
        FAILED(hr = WritePicture(picture, m_frameFormat, m_files.frames[i]))) {
        *pFailed = m_files.frames[i];
        return hr;
    }
    std::vector<BYTE> png, jpeg;
    if (!m_files.apng.empty()) {
        PictureFormat apngFormat = m_frameFormat;
        apngFormat.bJpeg = false;
        if (FAILED(hr = EncodePicture(picture, apngFormat, &png)) || FAILED(hr = m_apng.AddFrame(png))) {
            *pFailed = m_files.apng;
            return hr;
        }
    }
    if (!m_files.page.empty()) {
        const bool bSamePng = !m_pageFormat.bJpeg && !png.empty();
        if ((!bSamePng && FAILED(hr = EncodePicture(picture, m_pageFormat, &jpeg))) ||
            FAILED(hr = m_page.AddFrame(bSamePng ? png : jpeg, m_pageFormat.bJpeg))) {
            *pFailed = m_files.page;
            return hr;
        }
    }
    return S_OK;
}

HRESULT SpinFileWriter::Commit(std::wstring* pFailed)
{
    HRESULT hr = S_OK;
    if (!m_files.apng.empty() && FAILED(hr = m_apng.Commit())) {
        *pFailed = m_files.apng;
        return hr;
    }
    if (!m_files.page.empty() && FAILED(hr = m_page.Commit(m_pageFormat.record)))
        *pFailed = m_files.page;
    return hr;
}
