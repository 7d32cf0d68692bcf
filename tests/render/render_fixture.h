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

    TestScene scene;
    BoxRenderer renderer{scene};
    HWND hPreview = nullptr;
};

inline std::ostream& operator<<(std::ostream& os, const Pixel& p)
{
    return os << "(" << p.r << ", " << p.g << ", " << p.b << ")";
}
