#include <algorithm>
#include <optional>

#include <windows.h>
#include <commctrl.h>

#include "box_geometry.h"
#include "box_renderer.h"
#include "device_matrix.h"
#include "camera_math.h"
#include "colour.h"
#include "face_shader.h"
#include "part_look.h"
#include "reflectance.h"
#include "pass_states.h"
#include "light_kinds.h"
#include "scene_camera.h"
#include "scene_shape.h"
#include "target_swap.h"

namespace {
const float kHundredth = 0.01f;
// How long the scene must rest before the preview draws it sharp: longer than the gap
// between a held key's repeats and a drag's mouse moves.
const DWORD kSharpAfterRestMs = 150;
}

void BoxRenderer::RenderFrame()
{
    IDirect3DDevice9* pDevice = m_pDevice;
    if (!pDevice)
        return;
    FrameFingerprint frame = FrameFingerprint::Of(m_scene, m_presentParams.BackBufferWidth,
                                                  m_presentParams.BackBufferHeight, m_nDeviceGeneration);
    frame.exportAspect = m_fExportAspect;
    const DWORD now = ::GetTickCount();
    // Compared in place: a set's fingerprint holds a list, and this runs every tick.
    if (m_bPresentedValid && frame.SameDrawing(m_presentedFrame)) {
        const bool bRefined = m_presentedFrame.sharp && m_presentedFrame.lightPasses >= LightPassesWanted();
        if (bRefined || (!m_presentedFrame.sharp && now - m_nLastChangeTick < kSharpAfterRestMs)) {
            // Nothing to draw: the screen shows this frame already (under Wine, once the
            // copy started on the last tick has arrived).
            if (m_bPaintWithGdi && m_resolvedFrame == m_presentedFrame)
                m_mirror.Update(pDevice, m_pResolvedFrame, m_presentedFrame);
            return;
        }
        // The scene has rested: the same frame, sharp; then, in the studio, one more
        // placement of the key light a tick until the frame holds them all.
        frame.sharp = true;
        frame.lightPasses = m_presentedFrame.sharp ? m_presentedFrame.lightPasses + 1 : 1;
    } else {
        m_nLastChangeTick = now;
    }
    DrawFrame(frame);
}

unsigned BoxRenderer::LightPassesWanted() const
{
    return m_scene.m_nLight == LightStudio && !m_bLightBufferFailed ? static_cast<unsigned>(std::max(m_scene.m_nLightSamples, 1))
                                                                 : 1u;
}

void BoxRenderer::DrawFrame(FrameFingerprint frame)
{
    IDirect3DDevice9* pDevice = m_pDevice;
    FillBoxVertices();
    FramePass pass;
    pass.sharp = frame.sharp;
    pass.lightPasses = frame.sharp ? LightPassesWanted() : 1;
    frame.lightPasses = std::min(frame.lightPasses, pass.lightPasses);
    // The placements the sum holds already for this frame are not drawn again.
    FrameFingerprint summed = m_summedFrame;
    summed.lightPasses = frame.lightPasses;
    const unsigned first = m_bSummedValid && summed == frame && m_summedFrame.lightPasses < frame.lightPasses
                               ? m_summedFrame.lightPasses
                               : 0;
    const bool bAside = frame.sharp && (pass.lightPasses > 1 || (m_presentParams.MultiSampleType == D3DMULTISAMPLE_NONE &&
                                                                  m_bestMultiSample != D3DMULTISAMPLE_NONE));
    const bool bMultisampledAside = bAside && DrawMultisampledFrame(pass, first, frame.lightPasses);
    if (bMultisampledAside) {
        m_resolvedFrame = frame;
        m_summedFrame = frame;
        m_bSummedValid = pass.lightPasses > 1;
    } else {
        // Drawn once, in the key light's middle: nothing further to refine.
        frame.lightPasses = pass.lightPasses;
        pass.lightPasses = 1;
        const bool bDraft = DraftAsideReady(pass);
        {
            std::optional<TargetSwap> swap;
            if (bDraft) {
                swap.emplace(pDevice);
                pDevice->SetRenderTarget(0, m_pResolvedFrame);
                pDevice->SetDepthStencilSurface(m_pDraftDepth);
            }
            PassStates{}.Apply(pDevice);  // what the clear writes
            pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, m_scene.m_clrBackground, 1.0f, 0);
            pDevice->BeginScene();
            RenderBox(pass);
            pDevice->EndScene();
        }
        if (bDraft)
            m_resolvedFrame = frame;
    }
    IDirect3DSurface9* pShown = m_pResolvedFrame;
    ComPtr<IDirect3DSurface9> backBuffer;
    if (m_bPaintWithGdi && !frame.sharp && m_presentParams.MultiSampleType == D3DMULTISAMPLE_NONE &&
        SUCCEEDED(pDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer))) {
        // A moving frame of a preview drawn without multisampling is read straight from the
        // back buffer: resolving it first is one more copy of every pixel, for a frame the next
        // tick replaces (a resting or saved frame is drawn sharp, and kept).
        pShown = backBuffer;
    } else if (!m_pResolvedFrame || frame != m_resolvedFrame) {
        // Keep the frame before presenting: a discarded back buffer need not survive Present.
        // A frame drawn from the same values as the one kept is the same picture.
        ResolveFrame();
        m_resolvedFrame = frame;
        pShown = m_pResolvedFrame;
    }
    // Where the mirror shows the frame, the device's own window is hidden: presenting to it
    // would only resolve the frame a second time (a tenth of a core while dragging).
    if (!m_bPaintWithGdi)
        pDevice->Present(nullptr, nullptr, nullptr, nullptr);
    if (m_bPaintWithGdi)
        m_mirror.Update(pDevice, pShown, frame);
    m_presentedFrame = frame;
    m_bPresentedValid = true;
    ++m_nFramesDrawn;
}

bool BoxRenderer::DraftAsideReady(const FramePass& pass)
{
    // A moving frame in the studio's light is a draft (its light per vertex, no cast shadows);
    // where the mirror shows it, it is drawn straight into the kept frame, not multisampled:
    // with the device's samples drawn by the processor, they were two thirds of a drag's time
    // for an open book or a set. It sharpens, multisampled, once the scene rests.
    if (pass.sharp || pass.picture || m_scene.m_nLight != LightStudio || !m_bPaintWithGdi ||
        m_presentParams.MultiSampleType == D3DMULTISAMPLE_NONE || !MakeResolvedFrame())
        return false;
    return m_pDraftDepth ||
           SUCCEEDED(m_pDevice->CreateDepthStencilSurface(m_presentParams.BackBufferWidth, m_presentParams.BackBufferHeight,
                                                          m_presentParams.AutoDepthStencilFormat, D3DMULTISAMPLE_NONE, 0,
                                                          TRUE, &m_pDraftDepth, nullptr));
}

LRESULT CALLBACK BoxRenderer::PresentedPreviewProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                   DWORD_PTR self)
{
    if (msg == WM_PAINT) {
        // Uncovered or restored: what was presented is gone from the screen; draw it again now.
        auto* renderer = reinterpret_cast<BoxRenderer*>(self);
        ::ValidateRect(hWnd, nullptr);
        renderer->m_bPresentedValid = false;
        renderer->RenderFrame();
        return 0;
    }
    return ::DefSubclassProc(hWnd, msg, wParam, lParam);
}

void BoxRenderer::RenderBox(const FramePass& pass)
{
    IDirect3DDevice9* pDevice = m_pDevice;
    const SceneCamera camera = CameraOf(m_scene, m_fAspect);
    const Vec3 eye = camera.eye;
    const Mat4& view = camera.view;
    pDevice->SetTransform(D3DTS_VIEW, AsDeviceMatrix(view));
    const Mat4 projection = PictureWindowed(camera.projection, pass.tile);
    pDevice->SetTransform(D3DTS_PROJECTION, AsDeviceMatrix(projection));

    const Mat4 world = MatrixIdentity();
    pDevice->SetTransform(D3DTS_WORLD, AsDeviceMatrix(world));

    pDevice->SetMaterial(&m_material);

    float ambient = static_cast<float>(m_scene.m_nAmbient) * kHundredth;
    float diffuse = static_cast<float>(m_scene.m_nDiffuse) * kHundredth;
    m_light.Ambient.r = m_light.Ambient.g = m_light.Ambient.b = ambient;
    m_light.Position = {eye.x, eye.y, eye.z};
    m_light.Diffuse.r = m_light.Diffuse.g = m_light.Diffuse.b = diffuse;
    pDevice->SetLight(0, &m_light);
    pDevice->LightEnable(0, TRUE);
    // The second light, straight down onto the top (the camera's up is -y).
    D3DLIGHT9 top = {};
    top.Type = D3DLIGHT_DIRECTIONAL;
    top.Direction = {0.0f, 1.0f, 0.0f};
    top.Diffuse.r = top.Diffuse.g = top.Diffuse.b = static_cast<float>(m_scene.m_nTopLight) * kHundredth;
    pDevice->SetLight(1, &top);
    pDevice->LightEnable(1, m_scene.m_nTopLight > 0);

    if (pass.light == FramePass::Light::Gather) {
        RenderStudio(camera, projection, pass);  // into the light buffer: nothing on the frame
        return;
    }
    if (m_scene.m_nLight == LightStudio && RenderStudio(camera, projection, pass)) {
        // drawn in the studio's light
    } else {
        if (FloorVisible(eye.y)) {
            DrawReflection(view, pass.sharp);
            DrawShadow(ShadowSigma(m_scene, m_frameShape), ShadowSpread(m_scene), AlphaOfPercent(m_scene.m_nShadow), pass.sharp);
        }
        SetBoxStages(pass.sharp);
        PassStates{}.Apply(pDevice);
        DrawFaces(255, pass.sharp);
    }
    if (!pass.picture)
        DrawExportShade();
}

void BoxRenderer::DrawExportShade()
{
    D3DVIEWPORT9 viewport = {};
    IDirect3DDevice9* pDevice = m_pDevice;
    pDevice->GetViewport(&viewport);
    const float w = static_cast<float>(viewport.Width), h = static_cast<float>(viewport.Height);
    // A picture of another shape keeps the vertical field of view: a narrower one loses the
    // preview's sides, a wider one shows more than the preview can.
    const float visible = h * m_fExportAspect;
    if (m_fExportAspect <= 0 || visible >= w - 1)
        return;
    struct ShadeVertex {
        float x, y, z, rhw;
        D3DCOLOR colour;
    };
    const float left = (w - visible) / 2 - 0.5f, right = (w + visible) / 2 - 0.5f;
    const D3DCOLOR dim = 0x60000000;
    const ShadeVertex quads[12] = {
        {-0.5f, -0.5f, 0, 1, dim}, {left, -0.5f, 0, 1, dim}, {-0.5f, h - 0.5f, 0, 1, dim},
        {left, -0.5f, 0, 1, dim},  {left, h - 0.5f, 0, 1, dim}, {-0.5f, h - 0.5f, 0, 1, dim},
        {right, -0.5f, 0, 1, dim}, {w - 0.5f, -0.5f, 0, 1, dim}, {right, h - 0.5f, 0, 1, dim},
        {w - 0.5f, -0.5f, 0, 1, dim}, {w - 0.5f, h - 0.5f, 0, 1, dim}, {right, h - 0.5f, 0, 1, dim},
    };
    pDevice->SetPixelShader(nullptr);
    pDevice->SetTexture(0, nullptr);
    pDevice->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE);
    pDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    pDevice->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    pDevice->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
    pDevice->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    PassStates states;
    states.bDepthTest = false, states.cull = D3DCULL_NONE, states.blend = PassStates::Over;
    states.Apply(pDevice);
    pDevice->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 4, quads, sizeof(ShadeVertex));
}

Mat4 BoxRenderer::PictureWindowed(const Mat4& projection, const PictureTile& windowTile) const
{
    D3DVIEWPORT9 viewport = {};
    m_pDevice->GetViewport(&viewport);
    const float tw = static_cast<float>(viewport.Width), th = static_cast<float>(viewport.Height);
    PictureTile tile = windowTile;
    if (tile.fullWidth == 0)
        tile = {viewport.Width, viewport.Height, 0, 0};
    const float w = static_cast<float>(tile.fullWidth), h = static_cast<float>(tile.fullHeight);
    const float x0 = static_cast<float>(tile.x), y0 = static_cast<float>(tile.y);
    // The picture moved as the scene's centre says; the tile's part of it fills the
    // viewport; and Direct3D 9 samples a pixel at its top-left corner, not its centre: the
    // picture moves half a pixel up and left, so that pixels sample the scene where a
    // larger picture's pixels averaged together do.
    float cx = 0, cy = 0;
    CentreShift(m_scene, &cx, &cy);
    return MatrixClipWindow(projection, w / tw, h / th, (w - 2 * x0 - tw - 1) / tw + cx * w / tw,
                            (th - h + 2 * y0 + 1) / th + cy * h / th);
}

void BoxRenderer::SetBoxStages(bool bSharp)
{
    IDirect3DDevice9* pDevice = m_pDevice;
    // Every other shape draws its own mesh; the sharp box its own buffers.
    const bool bOwnShape = OwnShape() && FillShapeBuffers();
    pDevice->SetStreamSource(0, bOwnShape ? m_pShapeVertices : m_pBoxVertices, 0, sizeof(BoxVertex));
    pDevice->SetVertexShader(nullptr);
    pDevice->SetFVF(kBoxVertexFvf);
    pDevice->SetIndices(bOwnShape ? m_pShapeIndices : m_pBoxIndices);

    SetFaceFiltering(bSharp);
    pDevice->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    pDevice->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
    pDevice->SetSamplerState(0, D3DSAMP_ADDRESSW, D3DTADDRESS_CLAMP);

    pDevice->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
    pDevice->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    pDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    pDevice->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    pDevice->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_CURRENT);
    pDevice->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
    pDevice->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_TFACTOR);
    pDevice->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    pDevice->SetTextureStageState(2, D3DTSS_COLOROP, D3DTOP_DISABLE);
    pDevice->SetTextureStageState(2, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    pDevice->SetTextureStageState(2, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    pDevice->SetTexture(2, nullptr);
}

void BoxRenderer::SetFaceFiltering(bool bSharp)
{
    IDirect3DDevice9* pDevice = m_pDevice;
    const bool bAnisotropic = bSharp && m_nMaxAnisotropy > 1;
    pDevice->SetSamplerState(0, D3DSAMP_MINFILTER, bAnisotropic ? D3DTEXF_ANISOTROPIC : D3DTEXF_LINEAR);
    pDevice->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    pDevice->SetSamplerState(0, D3DSAMP_MIPFILTER, bSharp ? D3DTEXF_LINEAR : D3DTEXF_POINT);
    pDevice->SetSamplerState(0, D3DSAMP_MAXANISOTROPY, bAnisotropic ? m_nMaxAnisotropy : 1);
}

BoxRenderer::DrawnParts BoxRenderer::PartsToDraw() const
{
    DrawnParts drawn;
    const bool bOwnShape = OwnShape() && m_pShapeVertices && m_pShapeIndices;
    if (bOwnShape) {
        drawn.parts = {m_shapeParts.data(), m_shapeParts.size()};
        drawn.vertexCount = m_nShapeVertexCount;
        drawn.indexCount = m_nShapeIndexCount;
    } else {
        // The sharp box's faces are its parts too: one each, in its own buffers.
        static const ShapeMesh::Part kBoxParts[kSideCount] = {{0, 0, 2}, {1, 6, 2}, {2, 12, 2},
                                                              {3, 18, 2}, {4, 24, 2}, {5, 30, 2}};
        drawn.parts = {kBoxParts, kSideCount};
        drawn.vertexCount = kBoxVertexCount;
        drawn.indexCount = kBoxIndexCount;
    }
    return drawn;
}

PartSurface BoxRenderer::LookOf(const ShapeMesh::Part& part) const
{
    const PictureRef(&pictures)[kPictureCount] = PicturesOf(m_scene, part.product);
    bool hasPicture[kPictureCount];
    for (int s = 0; s < kPictureCount; ++s)
        hasPicture[s] = pictures[s] != nullptr;
    const int held = StoredProduct(m_scene, part.product);
    if (held == 0)
        return SurfaceOf(part, m_scene.m_clrFace, hasPicture, m_scene.m_nFinish);
    const SceneProduct& product = m_scene.m_products[static_cast<size_t>(held - 1)];
    const int finish = kValueFinish < static_cast<int>(product.values.size()) ? product.values[kValueFinish] : m_scene.m_nFinish;
    return SurfaceOf(part, product.m_clrFace, hasPicture, finish);
}

std::vector<BoxRenderer::DrawnRun> BoxRenderer::RunsToDraw(const DrawnParts& drawn)
{
    std::vector<DrawnRun> runs;
    for (const ShapeMesh::Part& part : drawn.parts) {
        const PartSurface look = LookOf(part);
        IDirect3DTexture9* pTexture = TextureOf(look, part.product);
        if (!runs.empty()) {
            DrawnRun& last = runs.back();
            const PartSurface& l = last.look;
            if (last.pTexture == pTexture && last.firstIndex + 3 * last.triangleCount == part.firstIndex &&
                l.colour == look.colour && l.bGloss == look.bGloss && l.sheen == look.sheen &&
                l.sheenPower == look.sheenPower && l.roughness == look.roughness && l.mirror == look.mirror && l.emission == look.emission) {
                last.triangleCount += part.triangleCount;
                continue;
            }
        }
        runs.push_back({look, pTexture, part.firstIndex, part.triangleCount});
    }
    return runs;
}

IDirect3DTexture9* BoxRenderer::TextureOf(const PartSurface& look, int product)
{
    switch (look.source) {
    case PartSurface::FacePicture:
        if (look.slot == SideScreen)
            return ScreenTexture(product);
        if (look.slot == SideSpread)
            return SpreadTexture(product);
        return m_faceTextures.For(m_pDevice, PicturesOf(m_scene, product)[look.slot]);
    case PartSurface::CoverPicture:
        return CoverTexture(product);
    case PartSurface::PaperDown:
    case PartSurface::PaperAcross: {
        int paper = m_scene.m_nPaper;
        const int held = StoredProduct(m_scene, product);
        if (held > 0 && kValuePaper < static_cast<int>(m_scene.m_products[static_cast<size_t>(held - 1)].values.size()))
            paper = m_scene.m_products[static_cast<size_t>(held - 1)].values[kValuePaper];
        return PaperTexture(look.source == PartSurface::PaperAcross, paper);
    }
    default:
        return nullptr;
    }
}

void BoxRenderer::DrawFaces(BYTE alpha, bool bInLight, bool bStudioDraft)
{
    IDirect3DDevice9* pDevice = m_pDevice;
    const DrawnParts drawn = PartsToDraw();
    const UINT vertexCount = drawn.vertexCount;
    // The studio's draft lights at half strength, doubled here: a face lit past white (the
    // key and the floor's light together) keeps its brightness.
    pDevice->SetTextureStageState(1, D3DTSS_COLOROP, bStudioDraft ? D3DTOP_MODULATE2X : D3DTOP_MODULATE);
    const bool bNeutralTone = m_scene.m_nTone == ToneNeutral && m_studio.m_pDraftToneShader;
    for (const DrawnRun& run : RunsToDraw(drawn)) {
        const PartSurface& look = run.look;
        IDirect3DTexture9* pTexture = run.pTexture;
        const Colour colour = look.colour;
        const bool bShader = !bStudioDraft && bInLight && pTexture && m_pFaceShader;
        // The studio's draft in the neutral tone: the stages' sums toned as the resting frame is.
        const bool bToned = bStudioDraft && bNeutralTone;
        pDevice->SetTexture(0, pTexture || !bToned ? pTexture : m_studio.m_pWhite.Get());
        pDevice->SetTextureStageState(0, D3DTSS_COLOROP, pTexture ? D3DTOP_MODULATE : D3DTOP_SELECTARG2);
        // The factor's alpha is the reflection's strength; the box's own pass leaves it opaque.
        const D3DCOLOR factor = (ColorRefToD3DColor(colour) & 0x00FFFFFF) | (static_cast<DWORD>(alpha) << 24);
        pDevice->SetRenderState(D3DRS_TEXTUREFACTOR, factor);
        pDevice->SetPixelShader(bShader ? m_pFaceShader.Get() : bToned ? m_studio.m_pDraftToneShader.Get() : nullptr);
        pDevice->SetSamplerState(0, D3DSAMP_SRGBTEXTURE, bShader);
        if (bShader || bToned) {
            const float rgba[4] = {((factor >> 16) & 0xFF) / 255.0f, ((factor >> 8) & 0xFF) / 255.0f,
                                   (factor & 0xFF) / 255.0f, alpha / 255.0f};
            pDevice->SetPixelShaderConstantF(bShader ? kFaceShaderColourConstant : 0, rgba, 1);
        }
        const bool bOwnMaterial = !bStudioDraft && (look.bGloss || look.emission > 0);
        if (bStudioDraft) {
            const float highlight[4] = {look.bGloss ? kGlossHighlight : 0.0f, kGlossPower, 0, 0};
            const float emission[4] = {look.emission, 0, 0, 0};
            pDevice->SetVertexShaderConstantF(8, highlight, 1);
            pDevice->SetVertexShaderConstantF(10, emission, 1);
            pDevice->SetVertexShaderConstantF(11, StudioReflection(look.roughness, look.mirror).data(), 1);
        } else if (bOwnMaterial) {
            D3DMATERIAL9 material = m_material;
            if (look.bGloss) {
                material.Specular = {kGlossHighlight, kGlossHighlight, kGlossHighlight, 1.0f};
                material.Power = kGlossPower;
                D3DLIGHT9 light = m_light;  // the highlight of the light at the eye, moving with the view
                light.Specular = {1.0f, 1.0f, 1.0f, 1.0f};
                pDevice->SetLight(0, &light);
            }
            if (look.emission > 0) {  // a lit screen: its picture whatever the lights
                const float e = look.emission;
                material.Emissive = {e, e, e, 1.0f};
                material.Diffuse = {material.Diffuse.r * (1 - e), material.Diffuse.g * (1 - e),
                                    material.Diffuse.b * (1 - e), material.Diffuse.a};
                material.Ambient = {material.Ambient.r * (1 - e), material.Ambient.g * (1 - e),
                                    material.Ambient.b * (1 - e), material.Ambient.a};
            }
            pDevice->SetMaterial(&material);
        }
        pDevice->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, vertexCount, run.firstIndex, run.triangleCount);
        if (bOwnMaterial) {
            pDevice->SetMaterial(&m_material);
            pDevice->SetLight(0, &m_light);
        }
    }
    pDevice->SetPixelShader(nullptr);
    pDevice->SetSamplerState(0, D3DSAMP_SRGBTEXTURE, FALSE);
    pDevice->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
}
