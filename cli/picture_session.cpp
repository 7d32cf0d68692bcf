#include "picture_session.h"

#include "open_book_shape.h"

#include "scene_shape.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <cwctype>
#include <thread>

#include "console.h"
#include "picture_store.h"
#include "file_open.h"
#include "options.h"
#include "output_folder.h"
#include "picture_file.h"
#include "picture_writer.h"
#include "preview_size.h"
#include "scene_file.h"
#include "stage_layout.h"
#include "view_fit.h"

namespace {

// Face pictures kept loaded for the next jobs: a batch of box shots reuses a handful. Full
// size artwork is large (8192 a side: 358 MB with its mip levels), so the cache is bounded
// by bytes too; the faces of the picture being drawn are always kept.
constexpr size_t kCachedFaces = 12;
constexpr unsigned long long kCachedFaceBytes = 1ull << 30;

std::wstring FaceOption(int slot)
{
    return L"--" + std::wstring(g_faceNames[slot], g_faceNames[slot] + strlen(g_faceNames[slot]));
}

} // namespace

PictureSession::PictureSession() = default;

PictureSession::~PictureSession()
{
    ReleaseFaces();
    m_renderer.Release();
    if (m_hWindow)
        ::DestroyWindow(m_hWindow);
}

const wchar_t* PictureSession::Start(const RenderJob* pFirst)
{
    m_defaultSize = PreviewSize();
    SetStartScene(m_scene);
    // A large picture file takes a few tenths of a second to decode, as long as the device
    // takes to make: the first job's are read meanwhile.
    std::vector<PictureRef> readAhead;
    std::thread reader;
    if (pFirst)
        reader = std::thread([&] { readAhead = ReadAhead(*pFirst); });
    // The device needs a window; it never shows, the pictures are drawn off screen.
    m_hWindow = ::CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, 64, 64, nullptr, nullptr, nullptr,
                                  nullptr);
    const wchar_t* reason = m_hWindow ? m_renderer.InitDirect3D(m_hWindow) : L"Unable to create a window for the device";
    if (reader.joinable())
        reader.join();
    m_readAhead = std::move(readAhead);
    return reason;
}

unsigned PictureSession::SlotSpan(int slot, unsigned span)
{
    // A whole cover wraps back, spine and front: one face shows under half its width.
    // A spread two pages.
    const unsigned sideSpan = slot == SideCover ? span * 5 / 2 : slot == SideSpread ? span * 2 : span;
    return sideSpan >= ScenePicture::kMaxPictureSide ? 0 : sideSpan;
}

std::vector<PictureRef> PictureSession::ReadAhead(const RenderJob& job) const
{
    std::vector<PictureRef> pictures;
    const unsigned span = FaceSpan(job);
    for (int k = 0; k < ProductCount(job); ++k) {
        const ProductDescription& product = k == 0 ? job : job.products[static_cast<size_t>(k - 1)];
        for (int s = 0; s < kPictureCount; ++s) {
            const std::wstring& path = product.facePaths[s];
            if (path.empty() || !PathRefusal(path, !product.faceNamedByFile[s]).empty())
                continue;
            if (PictureRef picture = PictureStore::Shared().Load(path.c_str(), nullptr, SlotSpan(s, span)))
                pictures.push_back(picture);
        }
    }
    return pictures;
}

bool PictureSession::Check(const RenderJob& job, std::wstring* pError) const
{
    if (job.output.empty()) {
        *pError = L"no output: give -o PICTURE.png (or .jpg)";
        return false;
    }
    UINT w = job.width ? job.width : static_cast<UINT>(m_defaultSize.cx);
    UINT h = job.height ? job.height : static_cast<UINT>(m_defaultSize.cy);
    if (w > MaxSide() || h > MaxSide()) {
        *pError = L"--size " + std::to_wstring(w) + L"x" + std::to_wstring(h) + L": the device draws at most " +
                  std::to_wstring(MaxSide()) + L" pixels a side";
        return false;
    }
    // A folder that is not there is made just before the picture is written.
    DWORD target = ::GetFileAttributesW(job.output.c_str());
    if (target != INVALID_FILE_ATTRIBUTES && (target & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY))) {
        *pError = job.output + (target & FILE_ATTRIBUTE_DIRECTORY ? L": is a folder" : L": the file is read-only");
        return false;
    }
    return true;
}

unsigned PictureSession::FaceSpan(const RenderJob& job) const
{
    struct Scene : BoxScene {
        void RefreshPages() override {}
    } scene;
    job.ApplyTo(scene);
    scene.m_fRotation1Fraction = job.rotation1Fraction;
    const UINT w = job.width ? job.width : static_cast<UINT>(m_defaultSize.cx);
    const UINT h = job.height ? job.height : static_cast<UINT>(m_defaultSize.cy);
    ViewFit fit;
    if (job.fitMargin >= 0 &&
        FitView(scene, static_cast<float>(w) / static_cast<float>(h), static_cast<float>(job.fitMargin), &fit)) {
        ApplyFit(scene, fit);
    }
    double across = 0, down = 0;
    if (!ProductPixelSize(scene, w, h, &across, &down))
        return 0;
    // No edge of a face is longer on screen than the box's diagonal; a spin's other views
    // and rounding get a tenth more.
    const double span = std::sqrt(across * across + down * down) * job.supersample * 1.1 + 16;
    return span >= ScenePicture::kMaxPictureSide ? 0 : static_cast<unsigned>(span);
}

bool PictureSession::LoadFaces(const RenderJob& job, std::wstring* pError)
{
    const unsigned span = FaceSpan(job);
    m_scene.m_products.resize(job.products.size());
    for (int k = 0; k < ProductCount(job); ++k) {
        const ProductDescription& product = k == 0 ? job : job.products[static_cast<size_t>(k - 1)];
        PictureRef(&pictures)[kPictureCount] =
            k == 0 ? m_scene.m_picture : m_scene.m_products[static_cast<size_t>(k - 1)].m_picture;
        if (!LoadProductFaces(product, pictures, span, pError))
            return false;
    }
    m_readAhead.clear();  // taken (or never to be)
    return true;
}

bool PictureSession::LoadProductFaces(const ProductDescription& product, PictureRef (&pictures)[kPictureCount],
                                      unsigned span, std::wstring* pError)
{
    for (int s = 0; s < kPictureCount; ++s) {
        pictures[s].reset();
        const std::wstring& path = product.facePaths[s];
        if (path.empty())
            continue;
        const std::wstring refusal = PathRefusal(path, !product.faceNamedByFile[s]);
        if (!refusal.empty()) {
            *pError = FaceOption(s) + L" " + path +
                      L": " + refusal;
            return false;
        }
        FaceLoadFailure why;
        pictures[s] = PictureStore::Shared().Load(path.c_str(), &why, SlotSpan(s, span));
        if (!pictures[s]) {
            *pError = FaceOption(s) + L" " + path +
                      L": " + FaceLoadReason(why);
            return false;
        }
        const PictureRef& picture = pictures[s];
        m_faces.erase(std::remove(m_faces.begin(), m_faces.end(), picture), m_faces.end());
        m_faces.push_back(picture);
        unsigned long long bytes = 0;
        for (const PictureRef& face : m_faces)
            bytes += face->Bytes();
        while (m_faces.size() > kCachedFaces || (bytes > kCachedFaceBytes && m_faces.size() > 1)) {
            bytes -= m_faces.front()->Bytes();
            m_faces.erase(m_faces.begin());  // a face of this line keeps its own
        }
    }
    return true;
}

void PictureSession::ReleaseFaces()
{
    for (PictureRef& picture : m_scene.m_picture)
        picture.reset();
    m_scene.m_products.clear();
    m_faces.clear();
    m_renderer.m_faceTextures.DropUnheld();
}

bool PictureSession::Render(const RenderJob& job, std::wstring* pError)
{
    if (DrawsIntoFile(job))
        return DrawIntoFile(job, pError);
    DecodedImage picture;
    return Draw(job, &picture, pError) && Write(job, picture, pError);
}

namespace {
std::wstring LowerCaseOf(const wchar_t* text)
{
    std::wstring lower(text);
    for (wchar_t& c : lower)
        c = static_cast<wchar_t>(std::towlower(c));
    return lower;
}
} // namespace

void PictureSession::NoteGutter(const RenderJob& job, int k)
{
    const PictureRef& spread = PicturesOf(m_scene, k)[SideSpread];
    int values[kSceneValueCount];
    ProductValuesOf(m_scene, k, values);
    if (!spread || values[kValueShape] != ShapeOpenBook || !ArtworkInGutter(spread->pixels, values))
        return;
    const std::wstring& path = (k == 0 ? job : job.products[static_cast<size_t>(k - 1)]).facePaths[SideSpread];
    const std::wstring note = L"it has artwork within " + InchesText(GutterMargin(values[kValuePages])) +
                              L" of the gutter, where a book of " + std::to_wstring(values[kValuePages]) +
                              L" pages bends out of sight (the inside margin printers ask for)";
    if (m_notedCovers.insert(path + L"|" + note).second)
        PrintErr(L"zelmora-render: note: " + FaceOption(SideSpread) + L" " + path + L": " + note + L"\n");
}

bool PictureSession::Prepare(const RenderJob& job, PictureRequest* pRequest, std::wstring* pError)
{
    if (!Check(job, pError) || !LoadFaces(job, pError))
        return false;
    if (job.bTransparent && IsJpegName(job.output)) {
        *pError = job.output + L": JPEG has no transparency; write a .png";
        return false;
    }
    job.ApplyTo(m_scene);
    m_scene.m_fRotation1Fraction = job.rotation1Fraction;
    for (int k = 0; k < ProductCount(m_scene); ++k) {
        NoteGutter(job, k);
        if (!PicturesOf(m_scene, k)[SideCover])
            continue;
        std::wstring note, refusal;
        const ShapeSpec shape = ProductShape(m_scene, k, &note, &refusal);
        const std::wstring& cover = (k == 0 ? job : job.products[static_cast<size_t>(k - 1)]).facePaths[SideCover];
        if (!refusal.empty()) {
            *pError = FaceOption(SideCover) + L" " + cover + L": " + refusal;
            return false;
        }
        if (!TakesCover(shape.shape))
            note = L"a " + LowerCaseOf(ShapeOf(shape.shape).pszCaption) +
                   L" wraps no cover; it is drawn by --shape paperback, hardcover, dvd-case or open-book";
        if (!note.empty() && m_notedCovers.insert(cover + L"|" + note).second)
            PrintErr(L"zelmora-render: note: " + FaceOption(SideCover) + L" " + cover + L": " + note + L"\n");
    }
    UINT w = job.width ? job.width : static_cast<UINT>(m_defaultSize.cx);
    UINT h = job.height ? job.height : static_cast<UINT>(m_defaultSize.cy);
    if (job.fitMargin >= 0) {
        ViewFit fit;
        if (!FitView(m_scene, static_cast<float>(w) / static_cast<float>(h), static_cast<float>(job.fitMargin), &fit)) {
            *pError = job.output + L": --fit: the camera is inside the box; nothing to frame";
            return false;
        }
        ApplyFit(m_scene, fit);
    }
    if (const wchar_t* reason = OutOfViewReason(SceneVisibility(m_scene, static_cast<float>(w) / static_cast<float>(h)))) {
        *pError = job.output + L": " + reason;
        return false;
    }
    const std::wstring tooSmall = TooSmallReason(m_scene, w, h);
    if (!tooSmall.empty()) {
        *pError = job.output + L": " + tooSmall;
        return false;
    }
    *pRequest = {w, h, job.bTransparent, job.samples, job.supersample};
    const SIZE tile = m_renderer.PictureTileSize(*pRequest);
    const int samples = m_renderer.PictureSamples(job.bTransparent, job.samples, static_cast<UINT>(tile.cx),
                                                  static_cast<UINT>(tile.cy));
    const int wanted = m_renderer.PictureSamples(job.bTransparent, job.samples);
    if (job.samples > 0 && wanted != job.samples && !m_bSamplesAskedNoted) {
        PrintErr(L"zelmora-render: note: --samples " + std::to_wstring(job.samples) + L": the device offers " +
                 (wanted ? L"the nearest count, " + std::to_wstring(wanted) : std::wstring(L"no multisampling")) +
                 L", which is used\n");
        m_bSamplesAskedNoted = true;
    }
    if (samples < wanted && !m_bSamplesNoted) {
        PrintErr(L"zelmora-render: note: " + std::to_wstring(w) + L"x" + std::to_wstring(h) + L" is drawn with " +
                 (samples ? std::to_wstring(samples) + L" samples" : std::wstring(L"no multisampling")) + L" (not " +
                 std::to_wstring(wanted) + L"): the device fills at most 2 GB of samples\n");
        m_bSamplesNoted = true;
    }
    return true;
}

bool PictureSession::Failed(const RenderJob& job, const PictureRequest& request, HRESULT hr,
                            std::wstring* pError) const
{
    const std::wstring size = std::to_wstring(request.width) + L"x" + std::to_wstring(request.height);
    if (hr == D3DERR_NOTAVAILABLE) {
        *pError = job.output + L": the device drew nothing at " + size +
                  L" (out of memory?); nothing was written";
        return true;
    }
    if (FAILED(hr)) {
        wchar_t code[16];
        wsprintfW(code, L"0x%08lX", static_cast<unsigned long>(hr));
        *pError = job.output + L": the device could not draw a " + size + L" picture (" + code + L", out of memory?)";
        return true;
    }
    return false;
}

bool PictureSession::DrawsIntoFile(const RenderJob& job) const
{
    const unsigned long long w = job.width ? job.width : static_cast<UINT>(m_defaultSize.cx);
    const unsigned long long h = job.height ? job.height : static_cast<UINT>(m_defaultSize.cy);
    return w * h > kWholePicturePixels;
}

std::function<void(const wchar_t*)> PictureSession::ProgressOf(const RenderJob& job)
{
    if (!ShowsProgress())
        return nullptr;
    // The studio's pictures take seconds: a terminal sees each stage ("drawing 3 of 16").
    return [name = job.output](const wchar_t* stage) { ShowProgress(name + L": " + stage + L"..."); };
}

bool PictureSession::Draw(const RenderJob& job, DecodedImage* pPicture, std::wstring* pError,
                          PictureDrawTimings* pTimings)
{
    PictureRequest request;
    if (!Prepare(job, &request, pError))
        return false;
    const HRESULT hr = m_renderer.RenderPicture(request, *pPicture, pTimings, ProgressOf(job));
    EndProgress();
    return !Failed(job, request, hr, pError);
}

bool PictureSession::DrawIntoFile(const RenderJob& job, std::wstring* pError, PictureDrawTimings* pTimings)
{
    PictureRequest request;
    if (!Prepare(job, &request, pError))
        return false;
    if (!MakeOutputFolder(job.output, pError))
        return false;
    const HRESULT hr = RenderPictureToFile(m_renderer, request, PictureFormatOf(job), job.output, pTimings, ProgressOf(job));
    EndProgress();
    if (hr == D3DERR_NOTAVAILABLE)
        return !Failed(job, request, hr, pError);
    if (FAILED(hr)) {
        // A failure of the device, or of the file: which one, the code tells.
        if (hr == D3DERR_OUTOFVIDEOMEMORY || hr == D3DERR_INVALIDCALL || HRESULT_FACILITY(hr) == 0x876)
            return !Failed(job, request, hr, pError);
        *pError = job.output + L": " + WriteFailureReason(job.output, hr);
        return false;
    }
    return true;
}

PictureFormat PictureSession::PictureFormatOf(const RenderJob& job)
{
    PictureFormat format;
    format.bJpeg = IsJpegName(job.output);
    format.bAlpha = job.bTransparent;
    format.quality = job.quality;
    format.dpi = job.dpi;
    format.record = job.record;
    return format;
}

bool PictureSession::Write(const RenderJob& job, const DecodedImage& picture, std::wstring* pError,
                           PictureTimings* pTimings)
{
    if (!MakeOutputFolder(job.output, pError))
        return false;
    HRESULT hr = WritePicture(picture, PictureFormatOf(job), job.output, pTimings);
    if (FAILED(hr)) {
        *pError = job.output + L": " + WriteFailureReason(job.output, hr);
        return false;
    }
    return true;
}
