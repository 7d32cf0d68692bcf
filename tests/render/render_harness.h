// Shared pieces of the renderer tests: a scene with the start values, a preview window,
// the frame read back as pixels, and the camera worked out independently of the code.
#pragma once
#include <windows.h>
#include <d3d9.h>

#include <cmath>
#include <string>
#include <vector>

#include "box_renderer.h"
#include "box_scene.h"

class TestScene : public BoxScene {
public:
    TestScene()
    {
        m_nRotation1 = 135; m_nRotation2 = 120; m_nDistance = 200; m_nZoom = 750;
        m_nWidth = 80; m_nHeight = 120; m_nDepth = 20;
        m_nAmbient = 30; m_nDiffuse = 100;
        m_nTrimWidth = 6000; m_nTrimHeight = 9000; m_nPages = 300; m_nBleed = 125; m_nWrap = 591;
        m_nRead = 50; m_nOpenAngle = 180;  // an open book lies open at its middle
        m_clrBackground = 0xFFFFFFFF;
        for (Colour& c : m_clrFace) c = 0x00FFFFFF;
    }
    void RefreshPages() override {}
};

// The preview's client size in the real dialog under Wine's default font.
constexpr int kPreviewWidth = 380;
constexpr int kPreviewHeight = 330;

HWND CreatePreviewWindow(int width = kPreviewWidth, int height = kPreviewHeight);

struct Pixel {
    int r, g, b;
};

struct Frame {
    int width = 0, height = 0;
    std::vector<DWORD> pixels;  // X8R8G8B8
    Pixel At(int x, int y) const;
    bool Empty() const { return pixels.empty(); }
};

// The renderer's copy of the last frame, as pixels.
Frame ReadFrame(BoxRenderer& renderer);
// What the screen shows of the window's client area.
Frame GrabWindow(HWND hWnd);

struct WorldPoint {
    double x, y, z;
};
struct ScreenPoint {
    double x, y;
};

// The eye and the projection of a world point for the scene's camera, from the closed form:
// eye = d (cos R cos Y, sin R, -cos R sin Y), looking at the origin with up (0, -1, 0).
WorldPoint EyeOf(const BoxScene& scene);
// pDepth: the point's distance in front of the eye along the view's axis.
ScreenPoint Project(const BoxScene& scene, WorldPoint p, int width, int height, double* pDepth = nullptr);
// The centre of a face of the scene's box.
WorldPoint FaceCentre(const BoxScene& scene, int slot);

// A Unix path from the test environment as a Windows path (Wine maps / to Z:).
std::wstring TestImagePath(const std::wstring& name);
