// Prints how long the preview's frame and a face texture take. Figures only: nothing here
// passes or fails. Usage: render_bench IMAGE_DIR [FRAMES]
#include <windows.h>
#include <psapi.h>

#include <algorithm>

#include "light_kinds.h"
#include <cstdio>
#include <string>
#include <vector>

#include <d3dx9.h>

#include "box_renderer.h"
#include "d3d_proxy.h"
#include "render_harness.h"

namespace {

double Now()
{
    static LARGE_INTEGER freq = [] { LARGE_INTEGER f; ::QueryPerformanceFrequency(&f); return f; }();
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(freq.QuadPart);
}

// All the process's threads: the driver draws on threads of its own.
double ProcessCpuSeconds()
{
    FILETIME created, exited, kernel, user;
    ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto toSeconds = [](FILETIME ft) {
        return static_cast<double>((static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime) * 1e-7;
    };
    return toSeconds(kernel) + toSeconds(user);
}

std::wstring Join(const std::wstring& dir, const wchar_t* name)
{
    return dir + L"\\" + name;
}

void DrawFrames(const wchar_t* label, bool multisample, const std::wstring& dir, int frames, bool floor = false,
                SIZE size = {kPreviewWidth, kPreviewHeight}, bool studio = false)
{
    HWND hPreview = CreatePreviewWindow(size.cx, size.cy);
    TestScene scene;
    if (floor) {  // reflection and shadow at full strength
        scene.m_nReflection = 100;
        scene.m_nReflectionFade = 50;
        scene.m_nShadow = 100;
        scene.m_nShadowSoftness = 40;
    }
    if (studio) {  // the studio's light as a book gets it
        scene.m_nLight = LightStudio;
        scene.m_nLightAzimuth = 40, scene.m_nLightElevation = 50, scene.m_nLightSize = 12;
        scene.m_nKey = 100, scene.m_nSky = 50;
    }
    BoxRenderer renderer(scene);
    auto* proxy = new Direct3DProxy(Direct3DCreate9(D3D_SDK_VERSION));
    proxy->noMultisampling = !multisample;
    Direct3DProxy::s_pNext = proxy;
    BoxRenderer::s_pfnDirect3DCreate = &Direct3DProxy::Create;
    if (LPCWSTR reason = renderer.InitDirect3D(hPreview)) {
        std::wprintf(L"%ls: set-up failed: %ls\n", label, reason);
        return;
    }
    for (int s = 0; s < kSideCount; ++s)
        if (!renderer.LoadSideImage(s, Join(dir, L"artwork-1024.jpg").c_str()))
            std::wprintf(L"%ls: artwork did not load\n", label);

    for (int i = 0; i < 20; ++i)  // warm up: first frames compile shaders
        renderer.RenderFrame();

    std::vector<double> times;
    double cpu0 = ProcessCpuSeconds(), wall0 = Now();
    for (int i = 0; i < frames; ++i) {
        scene.m_nRotation1 = 135 + i % 90;  // something changes every frame, as when dragging
        double t0 = Now();
        renderer.CheckDevice();
        renderer.RenderFrame();
        times.push_back(Now() - t0);
    }
    double wall = Now() - wall0, cpu = ProcessCpuSeconds() - cpu0;
    std::sort(times.begin(), times.end());
    double median = times[times.size() / 2] * 1000.0;
    double p95 = times[static_cast<size_t>(times.size() * 0.95)] * 1000.0;
    std::wprintf(L"%-26ls %ux%u, multisample %d: RenderFrame median %.2f ms, p95 %.2f ms; "
                 L"%.0f frames/s; process CPU %.2f ms/frame\n",
                 label, renderer.m_presentParams.BackBufferWidth, renderer.m_presentParams.BackBufferHeight,
                 static_cast<int>(renderer.m_presentParams.MultiSampleType), median, p95, frames / wall,
                 cpu * 1000.0 / frames);
    // The frame drawn again sharp once the scene rests (and read back, as a save does).
    std::vector<double> sharp;
    for (int i = 0; i < 10; ++i) {
        scene.m_nRotation1 = 150 + i;
        renderer.RenderFrame();
        DecodedImage frame;
        double t0 = Now();
        renderer.ReadLastFrame(frame);
        sharp.push_back(Now() - t0);
    }
    std::sort(sharp.begin(), sharp.end());
    std::wprintf(L"%-26ls the resting frame drawn sharp and read back: median %.1f ms\n", label,
                 sharp[sharp.size() / 2] * 1000.0);
    renderer.Release();
    BoxRenderer::s_pfnDirect3DCreate = &Direct3DCreate9;
    ::DestroyWindow(hPreview);
}

ULONGLONG TextureBytes(IDirect3DTexture9* pTexture)
{
    ULONGLONG bytes = 0;
    for (DWORD level = 0; level < pTexture->GetLevelCount(); ++level) {
        D3DSURFACE_DESC desc;
        pTexture->GetLevelDesc(level, &desc);
        bytes += static_cast<ULONGLONG>(desc.Width) * desc.Height * 4;  // 32-bit formats only here
    }
    return bytes;
}

// Time to a usable face texture and its memory, through the library's defaults and through
// the program's own path, side by side.
void TimeLoad(const std::wstring& dir, const wchar_t* name, int runs)
{
    HWND hPreview = CreatePreviewWindow();
    TestScene scene;
    BoxRenderer renderer(scene);
    if (renderer.InitDirect3D(hPreview))
        return;
    std::wstring path = Join(dir, name);
    double medians[2] = {};
    ULONGLONG bytes[2] = {};
    UINT sides[2] = {};
    for (int way = 0; way < 2; ++way) {
        std::vector<double> times;
        for (int i = 0; i < runs; ++i) {
            double t0 = Now();
            IDirect3DTexture9* pTexture = nullptr;
            if (way == 0) {
                if (FAILED(D3DXCreateTextureFromFileW(renderer.m_pDevice, path.c_str(), &pTexture)))
                    pTexture = nullptr;
            } else if (renderer.LoadSideImage(SideFront, path.c_str())) {
                // Decoded, then made a texture as the first frame with it does.
                if ((pTexture = renderer.m_faceTextures.For(renderer.m_pDevice, scene.m_picture[SideFront])) != nullptr)
                    pTexture->AddRef();
            }
            times.push_back(Now() - t0);
            if (!pTexture) {
                std::wprintf(L"load %ls via %ls: FAILED\n", name, way == 0 ? L"D3DX defaults" : L"Zelmora");
                break;
            }
            D3DSURFACE_DESC desc;
            pTexture->GetLevelDesc(0, &desc);
            sides[way] = desc.Width;
            bytes[way] = TextureBytes(pTexture);
            pTexture->Release();
            renderer.ClearSideImage(SideFront);
        }
        std::sort(times.begin(), times.end());
        medians[way] = times.empty() ? 0 : times[times.size() / 2];
    }
    std::wprintf(L"load %-16ls D3DX defaults %6.0f ms, %4u px, %6.1f MB | Zelmora %6.0f ms, %4u px, %5.1f MB | "
                 L"%.1fx faster\n",
                 name, medians[0] * 1000, sides[0], bytes[0] / 1048576.0, medians[1] * 1000, sides[1],
                 bytes[1] / 1048576.0, medians[1] > 0 ? medians[0] / medians[1] : 0.0);
    renderer.Release();
    ::DestroyWindow(hPreview);
}

// One face from a large picture: time, and how far the process's memory peaks above what
// it used before. Run in a process of its own, so that the peak is this load's.
void PeakOfLoad(const wchar_t* path)
{
    HWND hPreview = CreatePreviewWindow();
    TestScene scene;
    BoxRenderer renderer(scene);
    if (renderer.InitDirect3D(hPreview))
        return;
    PROCESS_MEMORY_COUNTERS before = {}, after = {};
    before.cb = after.cb = sizeof(before);
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &before, sizeof(before));
    double t0 = Now();
    FaceLoadFailure why;
    bool ok = ::LoadSideImage(scene, SideFront, path, &why);
    double seconds = Now() - t0;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &after, sizeof(after));
    std::wprintf(L"load %-28ls %-9ls in %6.0f ms; private memory %5.0f MB before, peak %5.0f MB (+%.0f MB)\n",
                 path + std::wstring(path).find_last_of(L"\\") + 1, ok ? L"loaded" : L"refused", seconds * 1000,
                 before.PagefileUsage / 1048576.0, after.PeakPagefileUsage / 1048576.0,
                 (static_cast<double>(after.PeakPagefileUsage) - static_cast<double>(before.PagefileUsage)) / 1048576.0);
    renderer.Release();
    ::DestroyWindow(hPreview);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 3 && std::wstring(argv[1]) == L"--peak") {
        PeakOfLoad(argv[2]);
        return 0;
    }
    if (argc < 2) {
        std::fwprintf(stderr, L"usage: render_bench IMAGE_DIR [FRAMES]\n");
        return 2;
    }
    std::wstring dir = argv[1];
    int frames = argc > 2 ? _wtoi(argv[2]) : 500;
    std::wprintf(L"The render tick asks for a frame every 10 ms (100 frames/s).\n");
    DrawFrames(L"six 1024x1024 faces", true, dir, frames);
    DrawFrames(L"six 1024x1024 faces", false, dir, frames);
    DrawFrames(L"six faces, floor at full", true, dir, frames, true);
    // A maximized window's preview.
    DrawFrames(L"six faces, large preview", true, dir, frames, false, {1280, 900});
    DrawFrames(L"six faces, floor, large", true, dir, frames, true, {1280, 900});
    DrawFrames(L"studio light, floor at full", true, dir, frames, true, {kPreviewWidth, kPreviewHeight}, true);
    TimeLoad(dir, L"photo-4096.jpg", 3);
    TimeLoad(dir, L"print-8192.png", 1);
    return 0;
}
