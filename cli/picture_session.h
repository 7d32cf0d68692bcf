// Renders pictures one after another on one device: the scene, the face pictures (each
// file loaded once while it is in use), the off-screen frame and the file.
#pragma once
#include <functional>
#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "box_renderer.h"
#include "render_job.h"

class PictureSession {
public:
    PictureSession();
    ~PictureSession();
    PictureSession(const PictureSession&) = delete;
    PictureSession& operator=(const PictureSession&) = delete;

    // The device; null on success, else why there is none. The first job's picture files,
    // when given, are read meanwhile on another thread.
    const wchar_t* Start(const RenderJob* pFirst = nullptr);
    // Renders and writes one picture; false with the reason (naming the file at fault).
    bool Render(const RenderJob& job, std::wstring* pError);
    // The two halves of Render: drawing needs the device (this thread), writing does not
    // and may run on another thread while the next picture is drawn.
    bool Draw(const RenderJob& job, DecodedImage* pPicture, std::wstring* pError,
              PictureDrawTimings* pTimings = nullptr);
    static bool Write(const RenderJob& job, const DecodedImage& picture, std::wstring* pError,
                      struct PictureTimings* pTimings = nullptr);
    // A picture too large to hold whole is drawn straight into its file instead.
    bool DrawsIntoFile(const RenderJob& job) const;
    bool DrawIntoFile(const RenderJob& job, std::wstring* pError, PictureDrawTimings* pTimings = nullptr);
    // What a drawing reports its stages to: the terminal's progress line, or nothing.
    static std::function<void(const wchar_t*)> ProgressOf(const RenderJob& job);
    // Checks what can be checked before any work: sizes, folders, names.
    bool Check(const RenderJob& job, std::wstring* pError) const;

    SIZE DefaultSize() const { return m_defaultSize; }
    UINT MaxSide() const { return m_renderer.MaxPictureSide(); }
    int Samples(bool bTransparent, int requested) const { return m_renderer.PictureSamples(bTransparent, requested); }

private:
    class Scene : public BoxScene {
    public:
        void RefreshPages() override {}
    };
    bool LoadFaces(const RenderJob& job, std::wstring* pError);
    // Says once when an open book's spread has artwork where its gutter hides it.
    void NoteGutter(const RenderJob& job, int product);
    bool LoadProductFaces(const ProductDescription& product, PictureRef (&pictures)[kPictureCount], unsigned span,
                          std::wstring* pError);
    // How many pixels a face can span in the job's picture: its artwork is held at no more,
    // so that memory follows the picture, not the artwork. 0: as large as a face takes it.
    unsigned FaceSpan(const RenderJob& job) const;
    // How many pixels a slot's picture can span where the product's faces span that many.
    static unsigned SlotSpan(int slot, unsigned span);
    // The job's pictures from the shared store, as loading its faces takes them; what cannot
    // be read is left for that loading to report.
    std::vector<PictureRef> ReadAhead(const RenderJob& job) const;
    // Checks, loads the faces, applies the scene and notes the samples used.
    bool Prepare(const RenderJob& job, PictureRequest* pRequest, std::wstring* pError);
    // Whether drawing failed, with the reason in *pError.
    bool Failed(const RenderJob& job, const PictureRequest& request, HRESULT hr, std::wstring* pError) const;
    static struct PictureFormat PictureFormatOf(const RenderJob& job);
    void ReleaseFaces();

    Scene m_scene;
    BoxRenderer m_renderer{m_scene};
    HWND m_hWindow = nullptr;
    SIZE m_defaultSize = {};
    // Pictures kept for the lines still to come (and so their textures): most recently used last.
    std::vector<PictureRef> m_faces;
    std::vector<PictureRef> m_readAhead;  // held until the first picture has taken them
    bool m_bSamplesNoted = false;     // the note on fewer samples is given once a run
    std::set<std::wstring> m_notedCovers;  // a cover's note is given once a run
    bool m_bSamplesAskedNoted = false;  // the count asked for is not one the device offers: said once
};
