// The Direct3D side of the preview: the device and its recovery, the box buffers, the
// frame, the face textures and a copy of the last frame for saving. Owned by the main
// dialog; reads the scene every frame and writes only its device and textures.
#pragma once
#include <windows.h>
#include <d3d9.h>

#include <functional>

#include "com_ptr.h"

#include "box_geometry.h"
#include "box_scene.h"
#include "camera_math.h"
#include "shapes.h"
#include "stage_layout.h"
#include "book_paper.h"
#include "decoded_image.h"
#include "face_textures.h"
#include "preview_mirror.h"
#include "light_buffer.h"
#include "part_look.h"
#include "studio_light.h"

// The device's vertex format for the model's BoxVertex.
constexpr DWORD kBoxVertexFvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;

// Where the time of drawing one picture went, for the benchmark.
struct PictureDrawTimings {
    double drawSeconds = 0;      // the scene drawn into the multisampled target
    double resolveSeconds = 0;   // multisampling resolved into a plain target
    double readbackSeconds = 0;  // copied into system memory
    double convertSeconds = 0;   // rows copied out, straight alpha recovered
};

// The surfaces an off-screen picture is drawn into, kept while pictures keep their size:
// a batch makes them once instead of a quarter of a gigabyte per picture.
struct PictureTargets {
    ComPtr<IDirect3DSurface9> pTarget;    // default pool, multisampled
    ComPtr<IDirect3DSurface9> pDepth;     // default pool
    ComPtr<IDirect3DSurface9> pResolved;  // default pool
    ComPtr<IDirect3DSurface9> pCopy;      // system memory
    std::vector<uint32_t> band;           // a band of rows as its tiles are read back
    UINT width = 0, height = 0;
    D3DFORMAT format = D3DFMT_UNKNOWN;
    D3DMULTISAMPLE_TYPE multiSample = D3DMULTISAMPLE_NONE;
    DWORD quality = 0;

    HRESULT Prepare(IDirect3DDevice9* pDevice, UINT width, UINT height, D3DFORMAT format,
                    D3DMULTISAMPLE_TYPE multiSample, DWORD quality, D3DFORMAT depthFormat);
    void Release();
};

struct PictureRequest {
    UINT width = 0, height = 0;
    bool bTransparent = false;
    int samples = -1;     // multisampling: < 0 the preview's own choice, 0 none
    int supersample = 1;  // 1..4: drawn that many times larger each way, averaged down in light
};

// Rows of a picture as they are finished: `count` rows from `firstRow`, of the picture's width.
using PictureRows = std::function<HRESULT(const uint32_t* pRows, UINT firstRow, UINT count)>;

using Direct3DCreateFn = IDirect3D9*(WINAPI*)(UINT);

// The part of a larger picture a viewport draws: fullWidth 0, the whole picture.
struct PictureTile {
    UINT fullWidth = 0, fullHeight = 0;
    UINT x = 0, y = 0;
};

// How a frame is drawn, decided by its caller and handed down the passes.
struct FramePass {
    bool sharp = false;    // faces filtered anisotropically: a resting frame or a picture
    bool picture = false;  // a picture's tile: no preview-only marks
    PictureTile tile;      // the part of a larger picture the viewport holds
    // Which placement of the studio's key light this drawing is, of how many averaged.
    unsigned lightPass = 0, lightPasses = 1;
    // Where several placements are averaged, each adds its light into the light buffer
    // (Gather: nothing is drawn), then the frame is drawn once from the buffer (FromBuffer,
    // holding `gathered` placements).
    enum class Light { OneDrawing, Gather, FromBuffer } light = Light::OneDrawing;
    unsigned gathered = 0;
};

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
    // Gives the frame the preview's size when the window has resized it (a device reset);
    // true when it changed.
    bool FitPreview();
    // Once a tick: draws the scene if it differs from the frame on screen. While the scene
    // changes the faces are filtered cheaply (bilinear, nearest mip level), so that dragging
    // keeps its beat on a software device; once it has rested a moment the same frame is
    // drawn again with anisotropic filtering, as saved pictures always are.
    void RenderFrame();
    // What the device holds in its default pool (the box's indices; the frame copies and
    // picture surfaces come on demand) and the floor's textures: made by the one call,
    // freed by the other, each safe to call twice. A reset sits between the two.
    void CreateDeviceObjects();
    void InvalidateDeviceObjects();
    void FillBoxVertices();

    // Replaces the face's picture with the one in the file; on failure nothing changes.
    bool LoadSideImage(int nSlot, LPCWSTR pszPath) { return ::LoadSideImage(m_scene, nSlot, pszPath); }
    void ClearSideImage(int nSlot) { ::ClearSideImage(m_scene, nSlot); }

    // Frames drawn since the device was made (a tick whose frame equals the one on screen
    // draws none): for tests and the live benchmark.
    unsigned long long FramesDrawn() const { return m_nFramesDrawn; }
    const PreviewMirror& Mirror() const { return m_mirror; }

    // Draws the scene off screen into a picture of its own size: the preview's frame, drawn
    // at that size, its faces always sharp. Transparent: the background is left clear and
    // the picture has straight (not premultiplied) alpha. A large or supersampled picture is
    // drawn in tiles and handed over in bands of rows, top first, as they are finished.
    // With pTimings, each stage is waited for so that its time can be told apart (summed
    // over the tiles). onStage is told each stage as it begins ("drawing", "resolving",
    // "reading back", "converting"): a window can show it and stay responsive between them.
    HRESULT RenderPicture(const PictureRequest& request, const PictureRows& rows, PictureDrawTimings* pTimings = nullptr,
                          const std::function<void(const wchar_t*)>& onStage = nullptr);
    // The same, the whole picture in memory.
    HRESULT RenderPicture(const PictureRequest& request, DecodedImage& out, PictureDrawTimings* pTimings = nullptr,
                          const std::function<void(const wchar_t*)>& onStage = nullptr);
    HRESULT RenderPicture(UINT width, UINT height, bool bTransparent, int samples, DecodedImage& out)
    {
        return RenderPicture(PictureRequest{width, height, bTransparent, samples, 1}, out);
    }
    uint32_t Background() const { return m_scene.m_clrBackground; }
    // The proportions of the pictures Save Image writes (0: the preview's own). Where they
    // are narrower than the preview, the preview dims the sides such a picture leaves out.
    void SetExportAspect(float aspect) { m_fExportAspect = aspect; }
    // Supersampling steps offered (drawn this many times larger each way); the tile size.
    static constexpr int kMaxSupersample = 4;
    static constexpr unsigned long long kTilePixels = 4096ull * 4096;
    // Previews larger than this draw their moving frames without multisampling.
    static constexpr unsigned long long kLargePreviewPixels = 400000;
    // The part of the larger (supersampled) picture drawn at a time.
    SIZE PictureTileSize(const PictureRequest& request) const;
    // Frees RenderPicture's surfaces, kept while pictures of one size follow each other.
    void ReleasePictureTargets() { m_pictureTargets.Release(); }
    // The largest side RenderPicture can draw; the multisample count it would use.
    UINT MaxPictureSide() const;
    // A picture of width x height (0 x 0: any size) gets no more samples than the device
    // really fills: past 2 GB of multisampled colour it accepts the target, draws nothing
    // and reads back zeros (found at 12288 x 12288 with 4 samples; 16384 x 8192 draws).
    int PictureSamples(bool bTransparent, int requested, UINT width = 0, UINT height = 0) const;

    // The last frame drawn, at the back buffer's size, in a new system-memory surface.
    HRESULT CopyLastFrame(IDirect3DSurface9** ppSurface);
    // The same frame as opaque pixels, as the picture writer takes them.
    HRESULT ReadLastFrame(DecodedImage& out);

    // Releases everything in the order the device needs: buffers, textures, device, Direct3D.
    void Release();

    // How the Direct3D object is made; tests put a stand-in here.
    static Direct3DCreateFn s_pfnDirect3DCreate;

    ComPtr<IDirect3D9> m_pD3D;
    ComPtr<IDirect3DDevice9> m_pDevice;
    FaceTextures m_faceTextures;  // the scene's pictures as the device draws them
    D3DPRESENT_PARAMETERS m_presentParams = {};
    ComPtr<IDirect3DVertexBuffer9> m_pBoxVertices;   // managed pool
    ComPtr<IDirect3DIndexBuffer9> m_pBoxIndices;     // default pool
    // Every shape but the sharp box: its own mesh, made again when the shape changes.
    ComPtr<IDirect3DVertexBuffer9> m_pShapeVertices;  // managed pool
    ComPtr<IDirect3DIndexBuffer9> m_pShapeIndices;    // managed pool
    std::vector<ShapeMesh::Part> m_shapeParts;
    UINT m_nShapeVertexCount = 0, m_nShapeIndexCount = 0;
    StageLayout m_shapeStage;                           // what the shape's buffers hold
    // The page blocks' paper edges for each paper: stacked along v, and along u.
    ComPtr<IDirect3DTexture9> m_pPaperTexture[kPaperCount][2];  // managed
    // Each product's cover picture as drawn, nothing past its trim: made for its picture and layout.
    struct CoverCopy {
        ComPtr<IDirect3DTexture9> texture;  // managed
        unsigned long long serial = 0;
        CoverLayout layout;
    };
    CoverCopy m_coverCopies[kMaxProducts];
    // Each device's screen picture as its screen shows it (fitted, in ink): made for its
    // picture, screen and bars' colour.
    struct ScreenCopy {
        unsigned long long serial = 0;
        float aspect = 0;
        int fit = 0;
        bool bInk = false, bColourInk = false;
        Colour bars = 0;
        PictureRef fitted;
    };
    ScreenCopy m_screenCopies[kMaxProducts];
    // Each open book's spread made from its two page pictures, where it has no spread picture.
    struct SpreadCopy {
        unsigned long long left = 0, right = 0;  // the pages' serials (0: none)
        Colour paper = 0;
        PictureRef made;
    };
    SpreadCopy m_spreadCopies[kMaxProducts];
    ComPtr<IDirect3DSurface9> m_pResolvedFrame;      // default pool: the last frame, not multisampled
    ComPtr<IDirect3DSurface9> m_pDraftDepth;         // default pool: depth for drafts drawn into it
    float m_fAspect = 1.0f;
    D3DLIGHT9 m_light = {};
    D3DMATERIAL9 m_material = {};

private:
    void CreateBoxIndices();
    // The shape's buffers for the scene; false if there is no memory.
    bool FillShapeBuffers();
    // Whether the scene draws a mesh of its own rather than the box's buffers.
    bool OwnShape() const;
    // The parts the frame draws, from the shape's buffers or the sharp box's.
    struct DrawnParts {
        struct {  // the parts as they lie, not copied: a frame asks for them more than once
            const ShapeMesh::Part* first = nullptr;
            size_t count = 0;
            const ShapeMesh::Part* begin() const { return first; }
            const ShapeMesh::Part* end() const { return first + count; }
        } parts;
        UINT vertexCount = 0, indexCount = 0;
    };
    DrawnParts PartsToDraw() const;
    // The texture a part's look shows (null: its colour alone), of the part's product.
    IDirect3DTexture9* TextureOf(const struct PartSurface& look, int product);
    // What a part shows, with its product's pictures, colours and finish.
    struct PartSurface LookOf(const ShapeMesh::Part& part) const;
    // The parts as drawn: neighbours in the index list that look alike (a set's page edges,
    // a hardcover's spine pieces) drawn as one; each with its look and texture.
    struct DrawnRun {
        PartSurface look;
        IDirect3DTexture9* pTexture;
        UINT firstIndex, triangleCount;
    };
    std::vector<DrawnRun> RunsToDraw(const DrawnParts& drawn);
    // The studio light's frame: the key light's shadow map, the floor with the key's
    // shadow and the sky's dark base, the model lit by both. False where the device cannot.
    bool RenderStudio(const struct SceneCamera& camera, const Mat4& projection, const FramePass& pass);
    // The light's view of the model into a depth map of that many texels across.
    void DrawShadowMap(const struct KeyLight& light, const DrawnParts& drawn, IDirect3DTexture9* pMap,
                       IDirect3DSurface9* pColour, UINT texels);
    // The key light and the sky as the fixed stages light: for drafts and the reflection.
    D3DLIGHT9 FixedKeyLight(const KeyLight& key) const;
    // bCast: the key light's cast shadow too (not in a moving frame's draft).
    // Gathering, only the shadows' darkness into the floor's buffer; from the buffer, the
    // reflection and the averaged darkness.
    void DrawStudioFloor(const SceneCamera& camera, const Mat4& projection, const StudioLights& lights,
                         const FramePass& pass, bool bCast);
    // A light's shadow on the floor from its map: strength 0..1 at most; the penumbra's
    // radius in the map grows by perDistance for each unit off the footprint from atFootprint;
    // faded out at fadeDistance from the footprint (0: never).
    // gatherInto: 0 drawn over the frame, else the floor buffer's channel it is added into.
    void DrawFloorShadow(const SceneCamera& camera, const Mat4& projection, const KeyLight& light, const Mat4& toMap,
                         IDirect3DTexture9* pMap, float strength, float perDistance, float atFootprint,
                         float fadeDistance, DWORD gatherInto);
    // The floor's buffer averaged over the frame: black with the shadows' darkness as alpha.
    // seenGain: the floor seen at a slant returns more (FloorSeenGain).
    void DrawGatheredFloorShadow(unsigned gathered, float seenGain);
    // bDepthOnly: the model's nearest surfaces into the light buffer's depth, before its
    // light is gathered against them.
    void DrawStudioModel(const SceneCamera& camera, const Mat4& projection, const StudioLights& lights,
                         const DrawnParts& drawn, const FramePass& pass, bool bDepthOnly = false);
    // The paper texture for a page block's edges of that paper.
    IDirect3DTexture9* PaperTexture(bool bAcross, int paper);
    // The product's shape in the frame being drawn (null: no such product).
    const ShapeSpec* FrameSpecOf(int product) const;
    // The product's cover picture for its shape's layout (the picture itself if it wraps none).
    IDirect3DTexture9* CoverTexture(int product);
    // The product's screen picture fitted to its device's screen.
    IDirect3DTexture9* ScreenTexture(int product);
    // The product's spread: its spread picture, else its left and right pages side by side.
    IDirect3DTexture9* SpreadTexture(int product);
    void RenderBox(const FramePass& pass);
    // The camera's projection for the part of the picture the viewport holds.
    Mat4 PictureWindowed(const Mat4& projection, const PictureTile& tile) const;
    void SetBoxStages(bool bSharp);
    // The faces' sampler: anisotropic with linear mip filtering when sharp, else bilinear
    // from the nearest mip level.
    void SetFaceFiltering(bool bSharp);
    void DrawFrame(FrameFingerprint frame);
    // How many placements of the key light a frame at rest and a picture average.
    unsigned LightPassesWanted() const;
    // bInLight: the box itself in a sharp frame, its textures filtered in light by the
    // face shader where the device has one.
    // bStudioDraft: the studio's draft vertex shader is bound and lights the faces (at half
    // strength, doubled by the stages).
    void DrawFaces(BYTE alpha, bool bInLight = false, bool bStudioDraft = false);
    // The floor under the box: its mirror image fading away below it, and a soft contact
    // shadow. Only seen from above the floor.
    bool FloorVisible(float eyeY) const;
    void DrawReflection(const Mat4& view, bool bSharp);
    // The soft contact shadow under the model: its footprint blurred by sigma (world units),
    // darkening the floor by strength (alpha) at most.
    // The contact shadow: the model's footprint blurred by sigma; in a set each product's on
    // the floor, blurred by `spread` of its own footprint's mean width and depth.
    void DrawShadow(float sigma, float spread, BYTE strength, bool bSharp);
    IDirect3DTexture9* ShadowTextureFor(float width, float depth, float sigma);
    void ResolveFrame();
    // One tile of a picture into the picture targets, read back into their copy.
    // In the studio, the key light's placements [firstPass, endPass) add their light into the
    // light buffer, and the tile is drawn from the average of all it holds.
    // RenderPicture's work. pWhole: where the whole picture goes; a picture drawn in one
    // tile is read back straight into it, with no band between.
    HRESULT DrawPicture(const PictureRequest& request, const PictureRows& rows, uint32_t* pWhole,
                        PictureDrawTimings* pTimings, const std::function<void(const wchar_t*)>& onStage);
    // pPart: only that part of the tile is cleared and resolved; the rest of what is read
    // back is whatever the surfaces held.
    HRESULT DrawTile(UINT width, UINT height, bool bTransparent, FramePass pass, unsigned firstPass, unsigned endPass,
                     PictureDrawTimings* pTimings, const std::function<void(const wchar_t*)>& stage,
                     bool bReadBack = true, const RECT* pPart = nullptr);
    // A large preview draws its moving frames without multisampling, to keep its beat; its
    // resting frame is drawn multisampled off screen and copied into the frame.
    bool DrawMultisampledFrame(const FramePass& pass, unsigned firstPass, unsigned endPass);
    // Whether a moving frame is drawn aside into the kept frame (m_pResolvedFrame, with
    // m_pDraftDepth), both made here.
    bool DraftAsideReady(const FramePass& pass);
    bool MakeResolvedFrame();  // the kept frame's surface, made at the back buffer's size
    // The picture surfaces for a tile, multisampled as a picture of that size is.
    HRESULT PreparePictureTargets(UINT width, UINT height, bool bTransparent, int samples);
    void DestroyHiddenDeviceWindow();
    // Where Present cannot show a child window (Wine), the device lives on a hidden window
    // of its own and the mirror copies finished frames into the preview.
    bool m_bPaintWithGdi = false;
    PreviewMirror m_mirror;
    FrameFingerprint m_resolvedFrame;  // what m_pResolvedFrame holds
    PictureTargets m_pictureTargets;
    // What the preview shows (or is about to show): a tick with the same frame draws nothing.
    FrameFingerprint m_presentedFrame;
    bool m_bPresentedValid = false;
    float m_fExportAspect = 0;
    void DrawExportShade();
    DWORD m_nMaxAnisotropy = 1;    // what the device filters with, at most 16
    D3DMULTISAMPLE_TYPE m_bestMultiSample = D3DMULTISAMPLE_NONE;  // the preview's own, when small
    DWORD m_nBestMultiSampleQuality = 0;
    DWORD m_nLastChangeTick = 0;   // when the preview's scene last changed
    // Where the device presents into the preview itself, a repaint draws the frame again.
    static LRESULT CALLBACK PresentedPreviewProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                                 DWORD_PTR self);
    UINT m_nDeviceGeneration = 0;
    unsigned long long m_nFramesDrawn = 0;
    HWND m_hPreview = nullptr;
    HWND m_hHiddenDeviceWindow = nullptr;
    // The scene's products for the frame being drawn (FillBoxVertices), and its shape: the
    // first product's, its size the whole set's.
    StageLayout m_frameStage;
    ShapeSpec m_frameShape;
    StudioLight m_studio;
    LightBuffer m_lightBuffer;
    bool m_bLightBufferFailed = false;  // the device cannot gather: every frame is one drawing
    // What the light buffer holds for a picture: the scene's light at a tile, whatever the
    // pictures on the model and their colours (a batch's books of one size are lit alike,
    // and the next is drawn from the light the last one gathered). placements 0: nothing.
    struct GatheredLight {
        FrameFingerprint scene;
        PictureTile tile;
        bool bTransparent = false;
        unsigned placements = 0;
        bool operator==(const GatheredLight& o) const;
    };
    GatheredLight GatheredLightOf(const FramePass& pass, bool bTransparent, unsigned placements) const;
    GatheredLight m_gathered;
    FrameFingerprint m_summedFrame;  // the frame whose placements the light buffer holds
    bool m_bSummedValid = false;
    ComPtr<IDirect3DPixelShader9> m_pFaceShader;  // null: sharp frames use the fixed stages
    ComPtr<IDirect3DTexture9> m_pFadeTexture;    // managed: opaque at the floor, clear at the fade's end
    // Managed: a blurred footprint as alpha, with the width, depth and softness it was made for.
    struct ShadowTexture {
        float shape[3];
        ComPtr<IDirect3DTexture9> pTexture;
    };
    std::vector<ShadowTexture> m_shadowTextures;

    BoxScene& m_scene;
};
