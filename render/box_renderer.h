// The Direct3D side of the preview: the device and its recovery, the box buffers, the
// frame, the face textures and a copy of the last frame for saving. Owned by the main
// dialog; reads the scene every frame and writes only its device and textures.
#pragma once
#include <windows.h>
#include <d3d9.h>

#include "box_scene.h"
#include "decoded_image.h"
#include "face_textures.h"
#include "preview_mirror.h"

using Direct3DCreateFn = IDirect3D9*(WINAPI*)(UINT);

class BoxRenderer {
public:
    explicit BoxRenderer(BoxScene& scene) : m_scene(scene) {}
    ~BoxRenderer() { Release(); }
    BoxRenderer(const BoxRenderer&) = delete;
    BoxRenderer& operator=(const BoxRenderer&) = delete;

    // Creates the device for the preview window. Returns null on success, else the
    // reason the set-up failed, for the fatal message.
    LPCWSTR InitDirect3D(HWND hPreview);
    // Whether a frame may be drawn now; waits out and recovers from a lost device.
    bool CheckDevice();
    void RenderFrame();
    void CreateBoxIndices();
    void FillBoxVertices();

    // Replaces the face's texture with the image in the file; on failure nothing changes.
    bool LoadSideImage(int nSlot, LPCWSTR pszPath) { return ::LoadSideImage(m_scene, nSlot, pszPath); }
    void ClearSideImage(int nSlot) { ::ClearSideImage(m_scene, nSlot); }

    // Frames drawn since the device was made: for tests and the live benchmark.
    unsigned long long FramesDrawn() const { return m_nFramesDrawn; }
    const PreviewMirror& Mirror() const { return m_mirror; }

    // Draws the scene off screen into a picture of its own size: the preview's frame, drawn
    // at that size. Transparent: the background is left clear and the picture has straight
    // (not premultiplied) alpha. samples < 0: the best multisampling the device offers.
    HRESULT RenderPicture(UINT width, UINT height, bool bTransparent, int samples, DecodedImage& out);
    // The largest side RenderPicture can draw; the multisample count it would use.
    UINT MaxPictureSide() const;
    int PictureSamples(bool bTransparent, int requested) const;

    // The last frame drawn, at the back buffer's size, in a new system-memory surface.
    HRESULT CopyLastFrame(IDirect3DSurface9** ppSurface);
    // The same frame as opaque pixels, as the picture writer takes them.
    HRESULT ReadLastFrame(DecodedImage& out);

    // Releases everything in the order the device needs: buffers, textures, device, Direct3D.
    void Release();

    // How the Direct3D object is made; tests put a stand-in here.
    static Direct3DCreateFn s_pfnDirect3DCreate;

    IDirect3D9* m_pD3D = nullptr;
    D3DPRESENT_PARAMETERS m_presentParams = {};
    IDirect3DVertexBuffer9* m_pBoxVertices = nullptr;   // managed pool
    IDirect3DIndexBuffer9* m_pBoxIndices = nullptr;     // default pool
    IDirect3DSurface9* m_pResolvedFrame = nullptr;      // default pool: the last frame, not multisampled
    float m_fAspect = 1.0f;
    D3DLIGHT9 m_light = {};
    D3DMATERIAL9 m_material = {};

private:
    void RenderBox();
    void ResolveFrame();
    void DestroyHiddenDeviceWindow();
    // Where Present cannot show a child window (Wine), the device lives on a hidden window
    // of its own and the mirror copies finished frames into the preview.
    bool m_bPaintWithGdi = false;
    PreviewMirror m_mirror;
    FrameFingerprint m_resolvedFrame;  // what m_pResolvedFrame holds
    UINT m_nDeviceGeneration = 0;
    unsigned long long m_nFramesDrawn = 0;
    HWND m_hPreview = nullptr;
    HWND m_hHiddenDeviceWindow = nullptr;
    // Frees what lives in the default pool, which must go before the device can be reset.
    void ReleaseDefaultPool();

    BoxScene& m_scene;
};

// Releases a COM pointer, nulling the member before the object goes.
template <class T>
inline void SafeRelease(T*& p)
{
    if (T* old = p) {
        p = nullptr;
        old->Release();
    }
}
