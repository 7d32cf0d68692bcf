#include <algorithm>
#include <cstring>
#include <string>

#include "box_renderer.h"
#include "pass_states.h"
#include "target_swap.h"
#include "image_resample.h"
#include "view_fit.h"

namespace {

D3DFORMAT PictureFormat(bool bTransparent)
{
    return bTransparent ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
}

double Now()
{
    LARGE_INTEGER t, f;
    ::QueryPerformanceCounter(&t);
    ::QueryPerformanceFrequency(&f);
    return static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

// Waits until the device has done everything asked of it so far; the seconds it took
// since `since`. For timing stages only: drawing itself never waits.
double FinishedAfter(IDirect3DDevice9* pDevice, double since)
{
    ComPtr<IDirect3DQuery9> query;
    if (SUCCEEDED(pDevice->CreateQuery(D3DQUERYTYPE_EVENT, &query))) {
        query->Issue(D3DISSUE_END);
        while (query->GetData(nullptr, 0, D3DGETDATA_FLUSH) == S_FALSE)
            ::Sleep(0);
    }
    return Now() - since;
}

// Cleared to transparent black, the resolved edges are premultiplied by their coverage:
// divide it out again.
uint32_t StraightAlpha(uint32_t c)
{
    const uint32_t a = c >> 24;
    if (a == 0 || a == 255)
        return a ? c : 0;
    uint32_t straight = a << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t v = (((c >> shift) & 0xFF) * 255 + a / 2) / a;
        straight |= std::min(v, 255u) << shift;
    }
    return straight;
}

// Copies a tile read back into its place in the band: `part` of it as drawn, the rest of
// `whole` the background. Every pixel read or'ed (the background filled in is not: it says
// nothing of whether the device drew).
uint32_t CopyTile(const D3DLOCKED_RECT& locked, const RECT& part, const RECT& whole, bool bTransparent,
                  uint32_t background, uint32_t* pBand, size_t bandWidth)
{
    uint32_t anything = 0;
    for (LONG y = 0; y < whole.bottom; ++y) {
        uint32_t* dst = pBand + static_cast<size_t>(y) * bandWidth;
        if (y < part.top || y >= part.bottom) {
            std::fill(dst, dst + whole.right, background);
            continue;
        }
        const auto* src = reinterpret_cast<const uint32_t*>(static_cast<const BYTE*>(locked.pBits) + y * locked.Pitch);
        std::fill(dst, dst + part.left, background);
        for (LONG x = part.left; x < part.right; ++x) {
            anything |= src[x];
            dst[x] = bTransparent ? src[x] : src[x] | 0xFF000000u;
        }
        std::fill(dst + part.right, dst + whole.right, background);
    }
    return anything;
}

// Whether the outermost pixels of `part` that lie inside the tile are all background.
bool EdgesAreBackground(const D3DLOCKED_RECT& locked, const RECT& part, const RECT& whole, bool bTransparent,
                        uint32_t background)
{
    const uint32_t mask = bTransparent ? 0xFFFFFFFFu : 0x00FFFFFFu;
    auto at = [&](LONG x, LONG y) {
        return reinterpret_cast<const uint32_t*>(static_cast<const BYTE*>(locked.pBits) + y * locked.Pitch)[x];
    };
    for (LONG x = part.left; x < part.right; ++x)
        if ((part.top > 0 && ((at(x, part.top) ^ background) & mask)) ||
            (part.bottom < whole.bottom && ((at(x, part.bottom - 1) ^ background) & mask)))
            return false;
    for (LONG y = part.top; y < part.bottom; ++y)
        if ((part.left > 0 && ((at(part.left, y) ^ background) & mask)) ||
            (part.right < whole.right && ((at(part.right - 1, y) ^ background) & mask)))
            return false;
    return true;
}

} // namespace

HRESULT PictureTargets::Prepare(IDirect3DDevice9* pDevice, UINT w, UINT h, D3DFORMAT f, D3DMULTISAMPLE_TYPE ms,
                                DWORD q, D3DFORMAT depthFormat)
{
    if (pTarget && w == width && h == height && f == format && ms == multiSample && q == quality)
        return D3D_OK;
    Release();
    HRESULT hr = pDevice->CreateRenderTarget(w, h, f, ms, q, FALSE, &pTarget, nullptr);
    if (SUCCEEDED(hr))
        hr = pDevice->CreateDepthStencilSurface(w, h, depthFormat, ms, q, TRUE, &pDepth, nullptr);
    if (SUCCEEDED(hr))
        hr = pDevice->CreateRenderTarget(w, h, f, D3DMULTISAMPLE_NONE, 0, FALSE, &pResolved, nullptr);
    if (SUCCEEDED(hr))
        hr = pDevice->CreateOffscreenPlainSurface(w, h, f, D3DPOOL_SYSTEMMEM, &pCopy, nullptr);
    if (FAILED(hr)) {
        Release();
        return hr;
    }
    width = w;
    height = h;
    format = f;
    multiSample = ms;
    quality = q;
    return D3D_OK;
}

void PictureTargets::Release()
{
    std::vector<uint32_t>().swap(band);
    pCopy.Reset();
    pResolved.Reset();
    pDepth.Reset();
    pTarget.Reset();
}

UINT BoxRenderer::MaxPictureSide() const
{
    D3DCAPS9 caps = {};
    if (!m_pDevice || FAILED(m_pDevice->GetDeviceCaps(&caps)))
        return 0;
    return std::min(caps.MaxTextureWidth, caps.MaxTextureHeight);
}

int BoxRenderer::PictureSamples(bool bTransparent, int requested, UINT width, UINT height) const
{
    if (!m_pD3D || requested == 0)
        return 0;
    // By default the preview's own choice (at most 8), so that equal sizes give equal pictures.
    const int wanted = requested < 0 ? 8 : std::min(requested, 16);
    constexpr unsigned long long kMaxSampleBytes = 1ull << 31;
    int most = 16;
    while (most >= 2 && static_cast<unsigned long long>(width) * height * static_cast<unsigned>(most) * 4 > kMaxSampleBytes)
        --most;
    auto offered = [&](int t) {
        auto type = static_cast<D3DMULTISAMPLE_TYPE>(t);
        return SUCCEEDED(m_pD3D->CheckDeviceMultiSampleType(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, PictureFormat(bTransparent),
                                                            TRUE, type, nullptr)) &&
               SUCCEEDED(m_pD3D->CheckDeviceMultiSampleType(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL,
                                                            m_presentParams.AutoDepthStencilFormat, TRUE, type, nullptr));
    };
    // The nearest count the device offers at or above the one asked for, else the best below:
    // 2 samples asked of a device that offers only 4 is 4, never none.
    for (int t = std::max(wanted, 2); t <= most; ++t)
        if (offered(t))
            return t;
    for (int t = std::min(wanted, most); t >= 2; --t)
        if (offered(t))
            return t;
    return 0;
}

SIZE BoxRenderer::PictureTileSize(const PictureRequest& request) const
{
    // As wide as the device draws (whole output pixels), as many rows as keep a tile within
    // kTilePixels: a picture of 4096 x 4096 or less is one tile.
    const UINT scale = static_cast<UINT>(std::clamp(request.supersample, 1, kMaxSupersample));
    const UINT maxSide = std::max(MaxPictureSide(), scale);
    const UINT drawnWidth = request.width * scale, drawnHeight = request.height * scale;
    const UINT tileWidth = std::max(drawnWidth <= maxSide ? drawnWidth : maxSide / scale * scale, 1u);
    const UINT rowsFit = static_cast<UINT>(std::max<unsigned long long>(kTilePixels / tileWidth / scale, 1)) * scale;
    const UINT tileHeight = std::min({drawnHeight, rowsFit, maxSide / scale * scale});
    return {static_cast<LONG>(tileWidth), static_cast<LONG>(tileHeight)};
}

HRESULT BoxRenderer::PreparePictureTargets(UINT width, UINT height, bool bTransparent, int samples)
{
    const D3DFORMAT format = PictureFormat(bTransparent);
    const auto multiSample = static_cast<D3DMULTISAMPLE_TYPE>(PictureSamples(bTransparent, samples, width, height));
    DWORD levels = 0;
    if (multiSample != D3DMULTISAMPLE_NONE)
        m_pD3D->CheckDeviceMultiSampleType(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, format, TRUE, multiSample, &levels);
    return m_pictureTargets.Prepare(m_pDevice, width, height, format, multiSample, levels > 0 ? levels - 1 : 0,
                                    m_presentParams.AutoDepthStencilFormat);
}

HRESULT BoxRenderer::RenderPicture(const PictureRequest& request, const PictureRows& rows, PictureDrawTimings* pTimings,
                                   const std::function<void(const wchar_t*)>& onStage)
{
    return DrawPicture(request, rows, nullptr, pTimings, onStage);
}

HRESULT BoxRenderer::DrawPicture(const PictureRequest& request, const PictureRows& rows, uint32_t* pWhole,
                                 PictureDrawTimings* pTimings, const std::function<void(const wchar_t*)>& onStage)
{
    IDirect3DDevice9* pDevice = m_pDevice;
    const UINT width = request.width, height = request.height, maxSide = MaxPictureSide();
    if (!pDevice || width == 0 || height == 0 || width > maxSide || height > maxSide || request.supersample < 1 ||
        request.supersample > kMaxSupersample)
        return D3DERR_INVALIDCALL;
    const bool bTransparent = request.bTransparent;
    const UINT scale = static_cast<UINT>(request.supersample);
    const UINT drawnWidth = width * scale, drawnHeight = height * scale;
    const SIZE tile = PictureTileSize(request);
    const UINT tileWidth = static_cast<UINT>(tile.cx), tileHeight = static_cast<UINT>(tile.cy);
    HRESULT hr = PreparePictureTargets(tileWidth, tileHeight, bTransparent, request.samples);
    if (FAILED(hr))
        return hr;

    auto stage = [&](const wchar_t* name) {
        if (onStage)
            onStage(name);
    };
    // The picture's own proportions, as the preview's frame has the preview's. A transparent
    // picture needs the box's alpha: the lit colour's alpha is the material's, which the
    // preview (no alpha in its target) leaves at 0.
    const float aspect = m_fAspect;
    const float materialAlpha = m_material.Diffuse.a;
    m_fAspect = static_cast<float>(width) / static_cast<float>(height);
    if (bTransparent)
        m_material.Diffuse.a = 1.0f;
    FramePass pass;
    pass.sharp = true;
    pass.picture = true;
    pass.lightPasses = LightPassesWanted();
    FillBoxVertices();
    m_bSummedValid = false;  // the preview's sum is drawn over

    // Read back into the picture itself when it is one tile; else into a band kept with the
    // targets (16 MB and more: made once for a batch, not faulted in for every picture).
    uint32_t* band = pWhole;
    if (!band || scale > 1 || tileWidth < drawnWidth || tileHeight < drawnHeight) {
        m_pictureTargets.band.resize(static_cast<size_t>(drawnWidth) * tileHeight);
        band = m_pictureTargets.band.data();
    }
    uint32_t anything = 0;  // every raw pixel or'ed: zero means nothing was drawn
    const uint32_t background = bTransparent ? 0 : m_scene.m_clrBackground | 0xFF000000u;
    PixelRect drawn;
    // With nothing in view it is drawn whole: the device must still be seen to draw.
    const bool bBounded =
        pass.lightPasses <= 1 && DrawnPixels(m_scene, drawnWidth, drawnHeight, &drawn) && !drawn.Empty();
    for (UINT bandTop = 0; bandTop < drawnHeight && SUCCEEDED(hr); bandTop += tileHeight) {
        const UINT bandRows = std::min(tileHeight, drawnHeight - bandTop);
        for (UINT left = 0; left < drawnWidth && SUCCEEDED(hr); left += tileWidth) {
            const UINT tileColumns = std::min(tileWidth, drawnWidth - left);
            pass.tile = {drawnWidth, drawnHeight, left, bandTop};
            const RECT whole = {0, 0, static_cast<LONG>(tileColumns), static_cast<LONG>(bandRows)};
            RECT part = whole;
            if (bBounded) {
                // Only the part that can differ from the background is cleared, drawn and
                // resolved (a batch's box is often half the picture or less); the rest is
                // filled in here.
                part = {std::max<LONG>(drawn.left - static_cast<LONG>(left), 0),
                        std::max<LONG>(drawn.top - static_cast<LONG>(bandTop), 0),
                        std::min<LONG>(drawn.right - static_cast<LONG>(left), whole.right),
                        std::min<LONG>(drawn.bottom - static_cast<LONG>(bandTop), whole.bottom)};
                if (part.right <= part.left || part.bottom <= part.top)
                    part = {};
            }
            const bool bPart = !::EqualRect(&part, &whole);
            D3DLOCKED_RECT locked = {};
            bool bLocked = false;
            auto drawAndLock = [&](const RECT* pPart) {
                hr = DrawTile(tileColumns, bandRows, bTransparent, pass, 0, pass.lightPasses, pTimings, stage, true,
                              pPart);
                bLocked = SUCCEEDED(hr) &&
                          SUCCEEDED(hr = m_pictureTargets.pCopy->LockRect(&locked, nullptr, D3DLOCK_READONLY));
            };
            if (!::IsRectEmpty(&part)) {
                drawAndLock(bPart ? &part : nullptr);
                // Something drawn up to the part's edge may go on past it: drawn again, whole.
                if (bLocked && bPart && !EdgesAreBackground(locked, part, whole, bTransparent, background)) {
                    m_pictureTargets.pCopy->UnlockRect();
                    part = whole;
                    drawAndLock(nullptr);
                }
            }
            if (SUCCEEDED(hr)) {
                const double t0 = Now();
                anything |= CopyTile(locked, part, whole, bTransparent, background, &band[left], drawnWidth);
                if (bLocked)
                    m_pictureTargets.pCopy->UnlockRect();
                if (pTimings)
                    pTimings->convertSeconds += Now() - t0;
            }
        }
        if (FAILED(hr))
            break;
        stage(L"converting");
        const double t0 = Now();
        DecodedImage reduced;
        uint32_t* pRows = band;
        if (scale > 1) {
            // Averaged down in light, the colours still premultiplied by their coverage.
            AreaResampler resampler(drawnWidth, bandRows, width, bandRows / scale, true);
            while (!resampler.Done())
                resampler.AddRows(&band[static_cast<size_t>(resampler.NextBandFirstRow()) * drawnWidth],
                                  resampler.NextBandRowCount(), drawnWidth);
            reduced = resampler.Take();
            pRows = reduced.pixels.data();
        }
        if (bTransparent)
            for (size_t i = 0, n = static_cast<size_t>(width) * (bandRows / scale); i < n; ++i)
                pRows[i] = StraightAlpha(pRows[i]);
        if (pTimings)
            pTimings->convertSeconds += Now() - t0;
        hr = rows(pRows, bandTop / scale, bandRows / scale);
    }
    m_fAspect = aspect;
    m_material.Diffuse.a = materialAlpha;
    // A device can accept a target it then never fills. Cleared to a colour, or holding a
    // box, the picture cannot be all zeros; a box wholly out of view on a transparent
    // background is the one honest empty picture, and it is refused with the rest.
    if (SUCCEEDED(hr) && anything == 0 && (bTransparent || (m_scene.m_clrBackground & 0x00FFFFFF) != 0))
        hr = D3DERR_NOTAVAILABLE;
    if (FAILED(hr)) {
        m_pictureTargets.Release();  // made again for the next picture
        m_gathered = GatheredLight{};
    }
    return hr;
}

HRESULT BoxRenderer::DrawTile(UINT width, UINT height, bool bTransparent, FramePass pass, unsigned firstPass,
                              unsigned endPass, PictureDrawTimings* pTimings,
                              const std::function<void(const wchar_t*)>& stage, bool bReadBack, const RECT* pPart)
{
    IDirect3DDevice9* pDevice = m_pDevice;
    double t0 = Now();
    const bool bGather = pass.lightPasses > 1 && !m_bLightBufferFailed &&
                         m_lightBuffer.Prepare(m_pD3D, pDevice, m_pictureTargets.width, m_pictureTargets.height,
                                               m_presentParams.AutoDepthStencilFormat);
    if (pass.lightPasses > 1 && !bGather) {
        m_bLightBufferFailed = true;  // drawn once, in the key light's middle, from now on
        pass.lightPasses = 1;
    }
    if (!bGather) {
        firstPass = 0, endPass = 1;
        stage(L"drawing");
    }
    const RECT rect = pPart ? *pPart : RECT{0, 0, static_cast<LONG>(width), static_cast<LONG>(height)};
    const D3DRECT clearRect = {rect.left, rect.top, rect.right, rect.bottom};
    {
        TargetSwap swap(pDevice);
        D3DVIEWPORT9 viewport = {0, 0, width, height, 0.0f, 1.0f};
        pDevice->SetViewport(&viewport);
        if (bGather) {
            const GatheredLight light = pass.picture ? GatheredLightOf(pass, bTransparent, endPass) : GatheredLight{};
            if (pass.picture && firstPass == 0 && light == m_gathered) {
                firstPass = endPass;  // the last picture's light is this one's
                stage(L"drawing");
            }
            m_gathered = GatheredLight{};
            for (unsigned p = firstPass; p < endPass; ++p) {
                if (p == 0)
                    m_lightBuffer.Clear(pDevice);
                // Each placement of a large picture takes a while: told one by one, a window
                // shows its progress and stays responsive between them.
                const std::wstring label = L"drawing " + std::to_wstring(p + 1) + L" of " + std::to_wstring(endPass);
                stage(label.c_str());
                pass.light = FramePass::Light::Gather;
                pass.lightPass = p;
                pDevice->BeginScene();
                RenderBox(pass);
                pDevice->EndScene();
            }
            m_gathered = light;
            pass.light = FramePass::Light::FromBuffer;
            pass.gathered = endPass;
        }
        pDevice->SetRenderTarget(0, m_pictureTargets.pTarget);
        pDevice->SetDepthStencilSurface(m_pictureTargets.pDepth);
        pDevice->SetViewport(&viewport);
        PassStates{}.Apply(pDevice);  // what the clear writes
        pDevice->Clear(pPart ? 1 : 0, pPart ? &clearRect : nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER,
                       bTransparent ? 0x00000000 : m_scene.m_clrBackground, 1.0f, 0);
        pDevice->BeginScene();
        RenderBox(pass);
        pDevice->EndScene();
    }
    if (pTimings) {
        pTimings->drawSeconds += FinishedAfter(pDevice, t0);
        t0 = Now();
    }

    stage(L"resolving");
    HRESULT hr = pDevice->StretchRect(m_pictureTargets.pTarget, &rect, m_pictureTargets.pResolved, &rect, D3DTEXF_NONE);
    if (pTimings) {
        pTimings->resolveSeconds += FinishedAfter(pDevice, t0);
        t0 = Now();
    }
    if (!bReadBack)
        return hr;
    stage(L"reading back");
    if (SUCCEEDED(hr))
        hr = pDevice->GetRenderTargetData(m_pictureTargets.pResolved, m_pictureTargets.pCopy);
    if (pTimings)
        pTimings->readbackSeconds += Now() - t0;
    return hr;
}

bool BoxRenderer::GatheredLight::operator==(const GatheredLight& o) const
{
    return placements && placements == o.placements && scene.SameDrawing(o.scene) && tile.fullWidth == o.tile.fullWidth &&
           tile.fullHeight == o.tile.fullHeight && tile.x == o.tile.x && tile.y == o.tile.y &&
           bTransparent == o.bTransparent;
}

BoxRenderer::GatheredLight BoxRenderer::GatheredLightOf(const FramePass& pass, bool bTransparent,
                                                        unsigned placements) const
{
    GatheredLight light;
    light.scene = FrameFingerprint::Of(m_scene, m_pictureTargets.width, m_pictureTargets.height, m_nDeviceGeneration);
    // The light does not see what a picture shows or its colour, only whether a part has one
    // (a part's finish may follow it).
    for (int i = 0; i < kPictureCount; ++i) {
        light.scene.faceColours[i] = 0;
        light.scene.faceSerials[i] = light.scene.faceSerials[i] != 0;
    }
    light.tile = pass.tile;
    light.bTransparent = bTransparent;
    light.placements = placements;
    return light;
}

bool BoxRenderer::DrawMultisampledFrame(const FramePass& pass, unsigned firstPass, unsigned endPass)
{
    IDirect3DDevice9* pDevice = m_pDevice;
    const UINT width = m_presentParams.BackBufferWidth, height = m_presentParams.BackBufferHeight;
    if (PictureSamples(false, -1, width, height) == 0 || FAILED(PreparePictureTargets(width, height, false, -1)))
        return false;
    if (!MakeResolvedFrame())
        return false;
    if (FAILED(DrawTile(width, height, false, pass, firstPass, endPass, nullptr, [](const wchar_t*) {}, false)) ||
        FAILED(pDevice->StretchRect(m_pictureTargets.pResolved, nullptr, m_pResolvedFrame, nullptr, D3DTEXF_NONE)))
        return false;
    // Where the device presents, the frame goes into the back buffer too.
    ComPtr<IDirect3DSurface9> backBuffer;
    if (!m_bPaintWithGdi && SUCCEEDED(pDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer)))
        pDevice->StretchRect(m_pResolvedFrame, nullptr, backBuffer, nullptr, D3DTEXF_NONE);
    return true;
}

HRESULT BoxRenderer::RenderPicture(const PictureRequest& request, DecodedImage& out, PictureDrawTimings* pTimings,
                                   const std::function<void(const wchar_t*)>& onStage)
{
    out.width = request.width;
    out.height = request.height;
    // A buffer handed back by an earlier picture of this size is taken as it is: every
    // pixel is written.
    out.pixels.resize(static_cast<size_t>(request.width) * request.height);
    return DrawPicture(
        request,
        [&](const uint32_t* pRows, UINT firstRow, UINT count) {
            uint32_t* pTo = out.pixels.data() + static_cast<size_t>(firstRow) * out.width;
            if (pRows != pTo)
                std::copy(pRows, pRows + static_cast<size_t>(count) * out.width, pTo);
            return S_OK;
        },
        out.pixels.data(), pTimings, onStage);
}
