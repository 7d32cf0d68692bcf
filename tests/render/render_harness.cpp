#include "render_harness.h"

#include <cstdlib>

namespace {
const double kPi = 3.14159265358979323846;
}

HWND CreatePreviewWindow(int width, int height)
{
    RECT rc = {0, 0, width, height};
    ::AdjustWindowRectEx(&rc, WS_POPUP, FALSE, 0);
    HWND hWnd = ::CreateWindowExW(0, L"STATIC", L"preview", WS_POPUP | WS_VISIBLE, 40, 40, rc.right - rc.left,
                                  rc.bottom - rc.top, nullptr, nullptr, nullptr, nullptr);
    ::UpdateWindow(hWnd);
    return hWnd;
}

Pixel Frame::At(int x, int y) const
{
    DWORD c = pixels[static_cast<size_t>(y) * width + x];
    return {static_cast<int>((c >> 16) & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>(c & 0xFF)};
}

Frame ReadFrame(BoxRenderer& renderer)
{
    Frame f;
    IDirect3DSurface9* pSurface = nullptr;
    if (FAILED(renderer.CopyLastFrame(&pSurface)))
        return f;
    D3DSURFACE_DESC desc;
    pSurface->GetDesc(&desc);
    D3DLOCKED_RECT locked;
    if (SUCCEEDED(pSurface->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
        f.width = static_cast<int>(desc.Width);
        f.height = static_cast<int>(desc.Height);
        f.pixels.resize(static_cast<size_t>(f.width) * f.height);
        for (int y = 0; y < f.height; ++y) {
            auto* row = reinterpret_cast<const DWORD*>(static_cast<const BYTE*>(locked.pBits) + y * locked.Pitch);
            for (int x = 0; x < f.width; ++x)
                f.pixels[static_cast<size_t>(y) * f.width + x] = row[x] & 0x00FFFFFF;
        }
        pSurface->UnlockRect();
    }
    pSurface->Release();
    return f;
}

Frame GrabWindow(HWND hWnd)
{
    Frame f;
    RECT rc;
    ::GetClientRect(hWnd, &rc);
    POINT origin = {0, 0};
    ::ClientToScreen(hWnd, &origin);
    f.width = rc.right;
    f.height = rc.bottom;
    f.pixels.resize(static_cast<size_t>(f.width) * f.height);

    HDC hScreen = ::GetDC(nullptr);
    HDC hMem = ::CreateCompatibleDC(hScreen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = f.width;
    bi.bmiHeader.biHeight = -f.height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* pBits = nullptr;
    HBITMAP hBmp = ::CreateDIBSection(hScreen, &bi, DIB_RGB_COLORS, &pBits, nullptr, 0);
    HGDIOBJ hOld = ::SelectObject(hMem, hBmp);
    ::BitBlt(hMem, 0, 0, f.width, f.height, hScreen, origin.x, origin.y, SRCCOPY);
    ::GdiFlush();
    const auto* src = static_cast<const DWORD*>(pBits);
    for (size_t i = 0; i < f.pixels.size(); ++i)
        f.pixels[i] = src[i] & 0x00FFFFFF;
    ::SelectObject(hMem, hOld);
    ::DeleteObject(hBmp);
    ::DeleteDC(hMem);
    ::ReleaseDC(nullptr, hScreen);
    return f;
}

WorldPoint EyeOf(const BoxScene& scene)
{
    double yaw = (scene.m_nRotation1 + 180) * kPi / 180.0;
    double roll = (scene.m_nRotation2 + 90) * kPi / 180.0;
    double d = scene.m_nDistance * 0.1;
    return {d * std::cos(roll) * std::cos(yaw), d * std::sin(roll), -d * std::cos(roll) * std::sin(yaw)};
}

ScreenPoint Project(const BoxScene& scene, WorldPoint p, int width, int height, double* pDepth)
{
    WorldPoint eye = EyeOf(scene);
    auto sub = [](WorldPoint a, WorldPoint b) { return WorldPoint{a.x - b.x, a.y - b.y, a.z - b.z}; };
    auto dot = [](WorldPoint a, WorldPoint b) { return a.x * b.x + a.y * b.y + a.z * b.z; };
    auto cross = [](WorldPoint a, WorldPoint b) {
        return WorldPoint{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
    };
    auto normal = [&](WorldPoint a) {
        double l = std::sqrt(dot(a, a));
        return WorldPoint{a.x / l, a.y / l, a.z / l};
    };
    // Right-handed look-at: the camera looks down its -z axis.
    WorldPoint zAxis = normal(eye);
    WorldPoint xAxis = normal(cross(WorldPoint{0, -1, 0}, zAxis));
    WorldPoint yAxis = cross(zAxis, xAxis);
    WorldPoint rel = sub(p, eye);
    double vx = dot(xAxis, rel), vy = dot(yAxis, rel), vz = dot(zAxis, rel);
    double fov = (1200 - scene.m_nZoom) * 0.1 * kPi / 180.0;
    double yScale = 1.0 / std::tan(fov / 2);
    double aspect = static_cast<double>(width) / height;
    double ndcX = (yScale / aspect) * vx / -vz;
    double ndcY = yScale * vy / -vz;
    if (pDepth)
        *pDepth = -vz;
    return {(ndcX + 1) / 2 * width, (1 - ndcY) / 2 * height};
}

WorldPoint FaceCentre(const BoxScene& scene, int slot)
{
    double hx = scene.m_nWidth / 20.0, hy = scene.m_nHeight / 20.0, hz = scene.m_nDepth / 20.0;
    switch (slot) {
    case SideFront: return {0, 0, -hz};
    case SideLeft: return {-hx, 0, 0};
    case SideTop: return {0, -hy, 0};
    case SideBack: return {0, 0, hz};
    case SideRight: return {hx, 0, 0};
    default: return {0, hy, 0};
    }
}

std::wstring TestImagePath(const std::wstring& name)
{
    const wchar_t* dir = _wgetenv(L"ZELMORA_TEST_IMAGES");
    std::wstring path = L"Z:";
    path += dir ? dir : L"/tmp";
    path += L"/" + name;
    for (wchar_t& c : path)
        if (c == L'/') c = L'\\';
    return path;
}
