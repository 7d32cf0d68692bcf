#pragma once
#include <gtest/gtest.h>

#include "render_harness.h"

// A live renderer on a preview window, with the start values of the scene.
class RenderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        hPreview = CreatePreviewWindow();
        ASSERT_NE(hPreview, nullptr);
        LPCWSTR reason = renderer.InitDirect3D(hPreview);
        ASSERT_EQ(reason, nullptr) << "device set-up failed";
    }
    void TearDown() override
    {
        renderer.Release();
        ::DestroyWindow(hPreview);
    }

    Frame Draw()
    {
        renderer.RenderFrame();
        return ReadFrame(renderer);
    }
    ScreenPoint FaceOnScreen(int slot, const Frame& f) const
    {
        return Project(scene, FaceCentre(scene, slot), f.width, f.height);
    }
    Pixel PixelAt(const Frame& f, ScreenPoint p) const
    {
        return f.At(static_cast<int>(p.x), static_cast<int>(p.y));
    }
    // The Front face square to the view, in full light: the image's own colours.
    void FaceOn()
    {
        scene.m_nRotation1 = 90;
        scene.m_nRotation2 = 90;
        scene.m_nAmbient = 100;
    }
    // A point of the Front face at (fx, fy) of its width and height from its top-left corner.
    // Seen from -Z with up at -Y, the picture's left is world -X and its top world -Y.
    Pixel FrontAt(const Frame& f, double fx, double fy) const
    {
        double hx = scene.m_nWidth / 20.0, hy = scene.m_nHeight / 20.0, hz = scene.m_nDepth / 20.0;
        return PixelAt(f, Project(scene, {-hx + 2 * hx * fx, -hy + 2 * hy * fy, -hz}, f.width, f.height));
    }

    TestScene scene;
    BoxRenderer renderer{scene};
    HWND hPreview = nullptr;
};

inline std::ostream& operator<<(std::ostream& os, const Pixel& p)
{
    return os << "(" << p.r << ", " << p.g << ", " << p.b << ")";
}
