// Shows the renderer's frames in the preview with GDI, for where Present cannot: Wine shows
// nothing of a Direct3D device on a child window, so there the device draws for a hidden
// window of its own and the finished frames are copied into the preview.
//
// The copy is made only when the frame can differ from the one on screen (a fingerprint of
// everything the frame depends on), and without stalling: a frame's read-back is started
// on one tick and collected on the next, when the device has long finished it (waiting for
// it at once stalls the device's command stream every tick). The preview repaints itself
// from the last copy when it is uncovered.
#pragma once
#include <windows.h>
#include <d3d9.h>

#include <vector>

#include "box_scene.h"
#include "com_ptr.h"
#include "scene_values.h"

// Everything a frame is drawn from; equal fingerprints mean equal frames.
struct FrameFingerprint {
    int values[kSceneValueCount] = {};
    uint32_t background = 0;
    Colour faceColours[kPictureCount] = {};
    unsigned long long faceSerials[kPictureCount] = {};  // each picture's own number
    UINT width = 0, height = 0;
    UINT deviceGeneration = 0;  // a reset device may have lost what it showed
    bool sharp = false;         // faces filtered anisotropically (a resting or saved frame)
    unsigned lightPasses = 1;   // placements of the studio's key light averaged so far
    float exportAspect = 0;     // the export's shape the preview marks
    // A set's other products: each one's values, colours and pictures' numbers in a row.
    std::vector<unsigned long long> products;

    static FrameFingerprint Of(const BoxScene& scene, UINT width, UINT height, UINT deviceGeneration);
    // The same scene at the same size, however sharp and however many light placements.
    bool SameDrawing(const FrameFingerprint& o) const;
    bool operator==(const FrameFingerprint& o) const;
    bool operator!=(const FrameFingerprint& o) const { return !(*this == o); }
};

class PreviewMirror {
public:
    PreviewMirror() = default;
    ~PreviewMirror() { Detach(); }
    PreviewMirror(const PreviewMirror&) = delete;
    PreviewMirror& operator=(const PreviewMirror&) = delete;

    // Starts mirroring into hPreview (taking over its painting); width x height is the frame.
    bool Attach(HWND hPreview, UINT width, UINT height);
    void Detach();

    // Once per drawn frame, with the render target that holds it (not multisampled): reads it
    // back and shows it, unless the screen shows that frame already.
    void Update(IDirect3DDevice9* pDevice, IDirect3DSurface9* pResolved, const FrameFingerprint& frame);
    // Frees the device's surfaces (before a reset or when the device goes), keeping a copy of
    // the frame on screen to repaint it from; the next frame is shown whatever its fingerprint.
    void ReleaseDeviceObjects();

    // For tests and the benchmark: read-backs started and frames shown so far.
    unsigned long long ReadbacksStarted() const { return m_nReadbacks; }
    unsigned long long FramesShown() const { return m_nShown; }

private:
    static LRESULT CALLBACK PreviewProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR self);
    void Show(IDirect3DSurface9* pSurface);
    void ShowPending();
    void Paint(HDC hdc);
    void PaintBits(HDC hdc, const void* pBits, UINT pitch) const;
    void KeepCopy();

    HWND m_hPreview = nullptr;
    UINT m_width = 0, m_height = 0;
    std::vector<BYTE> m_copy;  // the frame on screen once its read-back surface is gone
    bool m_bHaveCopy = false;

    ComPtr<IDirect3DSurface9> m_pReadback;  // system memory: the frame on screen, while it lasts
    bool m_bPending = false;                   // a read-back into it is in flight
    FrameFingerprint m_pendingFrame;
    FrameFingerprint m_shownFrame;
    bool m_bShownValid = false;
    unsigned long long m_nReadbacks = 0;
    unsigned long long m_nShown = 0;
};
