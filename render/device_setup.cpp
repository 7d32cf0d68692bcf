#include <algorithm>

#include <windows.h>
#include <commctrl.h>

#include "box_renderer.h"
#include "face_shader.h"
#include "platform.h"

Direct3DCreateFn BoxRenderer::s_pfnDirect3DCreate = &Direct3DCreate9;

namespace {
constexpr UINT_PTR kPresentedSubclassId = 0x5A50;  // "ZP"
}


LPCWSTR BoxRenderer::InitDirect3D(HWND hPreview)
{
    const UINT adapter = D3DADAPTER_DEFAULT;
    const D3DDEVTYPE type = D3DDEVTYPE_HAL;

    m_pD3D.Reset(s_pfnDirect3DCreate(D3D_SDK_VERSION));
    if (!m_pD3D)
        return L"Unable to create device";

    D3DDISPLAYMODE mode = {};
    if (FAILED(m_pD3D->GetAdapterDisplayMode(adapter, &mode)))
        return L"Unable to query display mode";

    // 24 bits of depth where the adapter has them: under a long lens a cover lies closer to its
    // page block than 16 bits can tell apart, and the block shows through along the edges.
    // Without stencil first: nothing uses one, and a software device clears depth that shares
    // its words with stencil a word at a time, keeping the stencil (an eighth of a core while
    // dragging), where it clears depth alone as a block.
    D3DFORMAT depthFormat = D3DFMT_UNKNOWN;
    for (D3DFORMAT candidate : {D3DFMT_D24X8, D3DFMT_D24S8, D3DFMT_D16}) {
        if (SUCCEEDED(m_pD3D->CheckDeviceFormat(adapter, type, mode.Format, D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE,
                                                candidate)) &&
            SUCCEEDED(m_pD3D->CheckDepthStencilMatch(adapter, type, mode.Format, mode.Format, candidate))) {
            depthFormat = candidate;
            break;
        }
    }
    if (depthFormat == D3DFMT_UNKNOWN)
        return L"Unable to check device format";

    // The best multisampling the adapter has for the back buffer, else none.
    D3DMULTISAMPLE_TYPE multiSample = D3DMULTISAMPLE_NONE;
    DWORD qualityLevels = 1;
    for (int t : {8, 7, 6, 5, 4, 3, 2, 0}) {
        DWORD levels = 0;
        auto candidate = static_cast<D3DMULTISAMPLE_TYPE>(t);
        if (SUCCEEDED(m_pD3D->CheckDeviceMultiSampleType(adapter, type, mode.Format, TRUE, candidate, &levels))) {
            multiSample = candidate;
            qualityLevels = levels;
            break;
        }
    }

    D3DCAPS9 caps = {};
    if (FAILED(m_pD3D->GetDeviceCaps(adapter, type, &caps)))
        return L"Unable to query device capabilities";
    m_nMaxAnisotropy = (caps.TextureFilterCaps & D3DPTFILTERCAPS_MINFANISOTROPIC) ? std::clamp<DWORD>(caps.MaxAnisotropy, 1, 16) : 1;
    DWORD behaviour = caps.VertexProcessingCaps != 0 ? D3DCREATE_HARDWARE_VERTEXPROCESSING
                                                     : D3DCREATE_SOFTWARE_VERTEXPROCESSING;

    m_hPreview = hPreview;
    m_bPaintWithGdi = ::GetParent(hPreview) != nullptr && RunningOnWine();
    HWND hDeviceWindow = hPreview;
    if (m_bPaintWithGdi) {
        m_hHiddenDeviceWindow = ::CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr,
                                                  nullptr, nullptr, nullptr);
        hDeviceWindow = m_hHiddenDeviceWindow ? m_hHiddenDeviceWindow : hPreview;
    }

    RECT rc = {};
    ::GetClientRect(hPreview, &rc);
    m_presentParams = {};
    m_presentParams.BackBufferWidth = static_cast<UINT>(rc.right - rc.left);
    m_presentParams.BackBufferHeight = static_cast<UINT>(rc.bottom - rc.top);
    m_presentParams.BackBufferFormat = mode.Format;
    m_presentParams.BackBufferCount = 1;
    m_bestMultiSample = multiSample;
    m_nBestMultiSampleQuality = qualityLevels > 0 ? qualityLevels - 1 : 0;
    const bool bLarge = static_cast<unsigned long long>(m_presentParams.BackBufferWidth) *
                            m_presentParams.BackBufferHeight > kLargePreviewPixels;
    m_presentParams.MultiSampleType = bLarge ? D3DMULTISAMPLE_NONE : multiSample;
    m_presentParams.MultiSampleQuality = bLarge ? 0 : m_nBestMultiSampleQuality;
    m_presentParams.SwapEffect = D3DSWAPEFFECT_DISCARD;
    m_presentParams.hDeviceWindow = hDeviceWindow;
    m_presentParams.Windowed = TRUE;
    m_presentParams.EnableAutoDepthStencil = TRUE;
    m_presentParams.AutoDepthStencilFormat = depthFormat;
    m_presentParams.Flags = 0;
    m_presentParams.FullScreen_RefreshRateInHz = 0;
    m_presentParams.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;

    IDirect3DDevice9* pDevice = nullptr;
    if (FAILED(m_pD3D->CreateDevice(adapter, type, hDeviceWindow, behaviour, &m_presentParams, &pDevice)) || !pDevice)
        return L"Unable to create device";
    m_pDevice.Reset(pDevice);
    if (m_bPaintWithGdi)
        m_mirror.Attach(hPreview, m_presentParams.BackBufferWidth, m_presentParams.BackBufferHeight);
    else
        ::SetWindowSubclass(hPreview, &PresentedPreviewProc, kPresentedSubclassId, reinterpret_cast<DWORD_PTR>(this));

    D3DVIEWPORT9 viewport = {0, 0, m_presentParams.BackBufferWidth, m_presentParams.BackBufferHeight, 0.0f, 1.0f};
    pDevice->SetViewport(&viewport);

    m_light = {};
    m_light.Type = D3DLIGHT_POINT;
    m_light.Range = 5000.0f;
    m_light.Attenuation0 = 1.0f;

    m_material = {};
    m_material.Diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
    m_material.Ambient = {1.0f, 1.0f, 1.0f, 1.0f};
    m_material.Specular = {1.0f, 1.0f, 1.0f, 0.0f};

    // A zero-height preview would make the aspect infinite.
    m_fAspect = static_cast<float>(m_presentParams.BackBufferWidth) /
                static_cast<float>(std::max(m_presentParams.BackBufferHeight, 1u));

    m_pFaceShader.Reset(CreateFaceShader(m_pD3D, m_pDevice));
    CreateDeviceObjects();
    FillBoxVertices();
    return nullptr;
}

bool BoxRenderer::CheckDevice()
{
    IDirect3DDevice9* pDevice = m_pDevice;
    if (!pDevice)
        return false;

    HRESULT hr = pDevice->TestCooperativeLevel();
    if (hr == D3D_OK)
        return true;

    if (hr == D3DERR_DEVICELOST) {
        ::Sleep(500);
        m_pBoxVertices.Reset();
        InvalidateDeviceObjects();
        return false;
    }

    if (hr == D3DERR_DEVICENOTRESET) {
        // Also when the loss itself was never seen: the reset needs the default pool empty.
        InvalidateDeviceObjects();
        if (SUCCEEDED(pDevice->Reset(&m_presentParams)))
            CreateDeviceObjects();
        return false;
    }
    return false;
}

bool BoxRenderer::FitPreview()
{
    IDirect3DDevice9* pDevice = m_pDevice;
    RECT rc = {};
    if (!pDevice || !m_hPreview || !::GetClientRect(m_hPreview, &rc) || rc.right <= 0 || rc.bottom <= 0)
        return false;  // minimized, or not there: the frame keeps its size
    const UINT width = static_cast<UINT>(rc.right), height = static_cast<UINT>(rc.bottom);
    if (width == m_presentParams.BackBufferWidth && height == m_presentParams.BackBufferHeight)
        return false;
    InvalidateDeviceObjects();
    D3DPRESENT_PARAMETERS params = m_presentParams;
    params.BackBufferWidth = width;
    params.BackBufferHeight = height;
    const bool bLarge = static_cast<unsigned long long>(width) * height > kLargePreviewPixels;
    params.MultiSampleType = bLarge ? D3DMULTISAMPLE_NONE : m_bestMultiSample;
    params.MultiSampleQuality = bLarge ? 0 : m_nBestMultiSampleQuality;
    if (FAILED(pDevice->Reset(&params))) {
        // Too large for the device: it stays at its size (the next tick's check resets it).
        return false;
    }
    m_presentParams = params;
    CreateDeviceObjects();
    D3DVIEWPORT9 viewport = {0, 0, width, height, 0.0f, 1.0f};
    pDevice->SetViewport(&viewport);
    m_fAspect = static_cast<float>(width) / static_cast<float>(height);
    if (m_bPaintWithGdi)
        m_mirror.Attach(m_hPreview, width, height);
    m_bPresentedValid = false;
    return true;
}

void BoxRenderer::CreateDeviceObjects()
{
    CreateBoxIndices();
    IDirect3DDevice9* pDevice = m_pDevice;
    if (!pDevice || m_pFadeTexture)
        return;
    // The reflection's fade: full strength at the floor, nothing at the fade's end.
    constexpr UINT kFadeTexels = 256;
    if (FAILED(pDevice->CreateTexture(kFadeTexels, 1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &m_pFadeTexture,
                                      nullptr)))
        return;
    D3DLOCKED_RECT locked;
    if (SUCCEEDED(m_pFadeTexture->LockRect(0, &locked, nullptr, 0))) {
        auto* texel = static_cast<DWORD*>(locked.pBits);
        for (UINT i = 0; i < kFadeTexels; ++i)
            texel[i] = (static_cast<DWORD>(255 - i * 255 / (kFadeTexels - 1)) << 24) | 0x00FFFFFF;
        m_pFadeTexture->UnlockRect(0);
    }
}

void BoxRenderer::InvalidateDeviceObjects()
{
    m_pBoxIndices.Reset();
    m_pResolvedFrame.Reset();
    m_pDraftDepth.Reset();
    m_pictureTargets.Release();
    m_studio.ReleaseTargets();
    m_lightBuffer.Release();
    m_gathered = GatheredLight{};
    m_bSummedValid = false;
    m_bLightBufferFailed = false;  // a device made again may sum where the old one could not
    m_mirror.ReleaseDeviceObjects();
    ++m_nDeviceGeneration;
}

void BoxRenderer::Release()
{
    m_pShapeVertices.Reset();
    m_pShapeIndices.Reset();
    m_nShapeVertexCount = m_nShapeIndexCount = 0;
    m_shapeStage = StageLayout();
    m_pBoxVertices.Reset();
    m_pBoxIndices.Reset();
    m_pResolvedFrame.Reset();
    m_pDraftDepth.Reset();
    m_pictureTargets.Release();
    m_lightBuffer.Release();
    m_gathered = GatheredLight{};
    m_bSummedValid = false;
    m_pFadeTexture.Reset();
    m_shadowTextures.clear();
    for (auto& paper : m_pPaperTexture)
        for (ComPtr<IDirect3DTexture9>& texture : paper)
            texture.Reset();
    for (CoverCopy& cover : m_coverCopies)
        cover = CoverCopy();
    m_mirror.Detach();
    if (m_hPreview && !m_bPaintWithGdi)
        ::RemoveWindowSubclass(m_hPreview, &PresentedPreviewProc, kPresentedSubclassId);
    m_hPreview = nullptr;
    m_bPresentedValid = false;
    m_faceTextures.Release();
    m_studio.Release();
    m_pFaceShader.Reset();
    m_pDevice.Reset();
    m_pD3D.Reset();
    DestroyHiddenDeviceWindow();
}

void BoxRenderer::DestroyHiddenDeviceWindow()
{
    if (HWND hWnd = m_hHiddenDeviceWindow) {
        m_hHiddenDeviceWindow = nullptr;
        ::DestroyWindow(hWnd);
    }
}
