// A spin's pictures, each view drawn once, written into every file asked for: the frames
// (box-01.png, box-02.png, ...), one animated PNG, one viewer page. The frames are written
// as they come; the animated PNG and the page appear only once every picture is in them.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "apng_writer.h"
#include "decoded_image.h"
#include "picture_writer.h"
#include "spin_viewer.h"

// What a spin makes, any together.
enum SpinFormat : unsigned { kSpinFrames = 1, kSpinApng = 2, kSpinHtml = 4 };
// How long each picture shows in an animated PNG or the page, unless said otherwise.
constexpr int kSpinDelayMs = 100;

// The files a spin of `count` views to `output` writes in each of `formats`: one format
// alone writes what `output` names (its frames numbered after it); several take its name
// without its type (box.png: box-01.png ..., box.png as the APNG, box.html as the page).
struct SpinFiles {
    std::vector<std::wstring> frames;
    std::wstring apng, page;
    static SpinFiles For(const std::wstring& output, unsigned formats, int count);
    std::vector<std::wstring> All() const;
};

class SpinFileWriter {
public:
    // files: what to write (a file left out, one a run finished before, is not touched);
    // frameFormat: the frames' (a PNG's or a JPEG's), the APNG's frames are PNGs like it.
    // The page's title is its file's name without its type.
    HRESULT Open(const SpinFiles& files, UINT count, UINT width, UINT height, const PictureFormat& frameFormat,
                 UINT delayMs, std::wstring* pFailed);
    // The next view's picture. *pFailed: the file at fault when it fails.
    HRESULT Add(const DecodedImage& picture, std::wstring* pFailed);
    HRESULT Commit(std::wstring* pFailed);

private:
    SpinFiles m_files;
    PictureFormat m_frameFormat, m_pageFormat;
    ApngWriter m_apng;
    SpinViewerWriter m_page;
    size_t m_nAdded = 0;
};
