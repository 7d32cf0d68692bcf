#include <algorithm>

#include <windows.h>
#include <commctrl.h>

#include "box_geometry.h"
#include "box_renderer.h"
#include "camera_math.h"
#include "colour.h"

namespace {
const float kDegToRad = 0.017453292f;
const float kTenth = 0.1f;
const float kHundredth = 0.01f;
const float kNearPlane = 0.1f;
const float kFarPlane = 100.0f;
}

void BoxRenderer::RenderFrame()
{
    IDirect3DDevice9* pDevice = m_scene.m_pDevice;
    if (!pDevice)
        return;
    const FrameFingerprint frame = FrameFingerprint::Of(m_scene, m_presentParams.BackBufferWidth,
                                                        m_presentParams.BackBufferHeight, m_nDeviceGeneration);
    if (m_bPresentedValid && frame == m_presentedFrame) {
        // Nothing changed: the screen shows this frame already (under Wine, once the copy
        // started on the last tick has arrived), so nothing is drawn, resolved or presented.
        if (m_bPaintWithGdi)
            m_mirror.Update(pDevice, m_pResolvedFrame, frame);
        return;
    }
    FillBoxVertices();
    pDevice->SetRenderState(D3DRS_COLORWRITEENABLE, 0xF);
    pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, m_scene.m_clrBackground, 1.0f, 0);
    pDevice->BeginScene();
    RenderBox();
    pDevice->EndScene();
    // Keep the frame before presenting: a discarded back buffer need not survive Present.
    // A frame drawn from the same values as the one kept is the same picture.
    if (!m_pResolvedFrame || frame != m_resolvedFrame) {
        ResolveFrame();
        m_resolvedFrame = frame;
    }
    // Where the mirror shows the frame, the device's own window is hidden: presenting to it
    // would only resolve the frame a second time (a tenth of a core while dragging).
    if (!m_bPaintWithGdi)
        pDevice->Present(nullptr, nullptr, nullptr, nullptr);
    if (m_bPaintWithGdi)
        m_mirror.Update(pDevice, m_pResolvedFrame, frame);
    m_presentedFrame = frame;
    m_bPresentedValid = true;
    ++m_nFramesDrawn;
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

void BoxRenderer::RenderBox()
{
    IDirect3DDevice9* pDevice = m_scene.m_pDevice;

    const D3DMATRIX rotation =
        MatrixRotationYawPitchRoll(static_cast<float>(m_scene.m_nRotation1 + 180) * kDegToRad, 0.0f,
                                   static_cast<float>(m_scene.m_nRotation2 + 90) * kDegToRad);
    const Vec3 eye = TransformPoint({static_cast<float>(m_scene.m_nDistance) * kTenth, 0.0f, 0.0f}, rotation);

    const D3DMATRIX view = MatrixLookAtRH(eye, {0.0f, 0.0f, 0.0f}, {0.0f, -1.0f, 0.0f});
    pDevice->SetTransform(D3DTS_VIEW, &view);

    // Zoom 1200 would be a zero field of view and a matrix of infinities: the narrowest
    // view drawn is the one a step below, 0.1 degree.
    int nFovTenths = std::clamp(1200 - m_scene.m_nZoom, 1, 1799);
    const D3DMATRIX projection = MatrixPerspectiveFovRH(static_cast<float>(nFovTenths) * kTenth * kDegToRad, m_fAspect,
                                                        kNearPlane, kFarPlane);
    pDevice->SetTransform(D3DTS_PROJECTION, &projection);

    const D3DMATRIX world = MatrixIdentity();
    pDevice->SetTransform(D3DTS_WORLD, &world);

    pDevice->SetMaterial(&m_material);

    float ambient = static_cast<float>(m_scene.m_nAmbient) * kHundredth;
    float diffuse = static_cast<float>(m_scene.m_nDiffuse) * kHundredth;
    m_light.Ambient.r = m_light.Ambient.g = m_light.Ambient.b = ambient;
    m_light.Position = {eye.x, eye.y, eye.z};
    m_light.Diffuse.r = m_light.Diffuse.g = m_light.Diffuse.b = diffuse;
    pDevice->SetLight(0, &m_light);
    pDevice->LightEnable(0, TRUE);

    SetFrameStates();
    if (FloorVisible(eye.y)) {
        DrawReflection(view);
        DrawShadow();
    }
    SetBoxStages();
    DrawFaces(255);
}

void BoxRenderer::SetFrameStates()
{
    IDirect3DDevice9* pDevice = m_scene.m_pDevice;
    pDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
    pDevice->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    pDevice->SetRenderState(D3DRS_LIGHTING, TRUE);
    pDevice->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
    pDevice->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
    pDevice->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    pDevice->SetRenderState(D3DRS_COLORWRITEENABLE, 0xF);
}

void BoxRenderer::SetBoxStages()
{
    IDirect3DDevice9* pDevice = m_scene.m_pDevice;
    pDevice->SetStreamSource(0, m_pBoxVertices, 0, sizeof(BoxVertex));
    pDevice->SetVertexShader(nullptr);
    pDevice->SetFVF(kBoxVertexFvf);
    pDevice->SetIndices(m_pBoxIndices);

    pDevice->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_ANISOTROPIC);
    pDevice->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_ANISOTROPIC);
    pDevice->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_ANISOTROPIC);
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

    pDevice->SetRenderState(D3DRS_SEPARATEALPHABLENDENABLE, FALSE);
    pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    pDevice->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
}

void BoxRenderer::DrawFaces(BYTE alpha)
{
    IDirect3DDevice9* pDevice = m_scene.m_pDevice;
    for (int s = SideFront; s <= SideBottom; ++s) {
        IDirect3DTexture9* pTexture = m_scene.m_pFaceTexture[s];
        pDevice->SetTexture(0, pTexture);
        pDevice->SetTextureStageState(0, D3DTSS_COLOROP, pTexture ? D3DTOP_MODULATE : D3DTOP_SELECTARG2);
        // The factor's alpha is the reflection's strength; the box's own pass leaves it opaque.
        pDevice->SetRenderState(D3DRS_TEXTUREFACTOR,
                                (ColorRefToD3DColor(m_scene.m_clrFace[s]) & 0x00FFFFFF) | (static_cast<DWORD>(alpha) << 24));
        pDevice->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, kBoxVertexCount, static_cast<UINT>(6 * s), 2);
    }
}
