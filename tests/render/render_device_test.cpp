// Device set-up and its failures, device loss and recovery, and the copy of the frame.
#include <algorithm>

#include "d3d_proxy.h"
#include "light_kinds.h"
#include "render_fixture.h"

namespace {

// Runs the set-up with a stand-in Direct3D object and gives back its reason text.
class DeviceSetupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        hPreview = CreatePreviewWindow();
        proxy = new Direct3DProxy(Direct3DCreate9(D3D_SDK_VERSION));
        Direct3DProxy::s_pNext = proxy;
        BoxRenderer::s_pfnDirect3DCreate = &Direct3DProxy::Create;
    }
    void TearDown() override
    {
        renderer.Release();
        BoxRenderer::s_pfnDirect3DCreate = &Direct3DCreate9;
        ::DestroyWindow(hPreview);
    }
    std::wstring Init()
    {
        LPCWSTR reason = renderer.InitDirect3D(hPreview);
        return reason ? reason : L"";
    }

    TestScene scene;
    BoxRenderer renderer{scene};
    Direct3DProxy* proxy = nullptr;  // owned by the renderer once handed out
    HWND hPreview = nullptr;
};

IDirect3D9* WINAPI CreateNothing(UINT) { return nullptr; }

} // namespace

TEST_F(DeviceSetupTest, EachFailingStepGivesItsReason)
{
    proxy->failDisplayMode = true;
    EXPECT_EQ(Init(), L"Unable to query display mode");
    EXPECT_EQ(renderer.m_pDevice, nullptr);
}

TEST_F(DeviceSetupTest, DeviceFormatFailure)
{
    proxy->failDeviceFormat = true;
    EXPECT_EQ(Init(), L"Unable to check device format");
}

TEST_F(DeviceSetupTest, CapsFailure)
{
    proxy->failCaps = true;
    EXPECT_EQ(Init(), L"Unable to query device capabilities");
}

TEST_F(DeviceSetupTest, CreateDeviceFailure)
{
    proxy->failCreateDevice = true;
    EXPECT_EQ(Init(), L"Unable to create device");
    EXPECT_EQ(renderer.m_pDevice, nullptr);
}

TEST_F(DeviceSetupTest, NoDirect3DObjectReadsLikeAFailedDevice)
{
    BoxRenderer::s_pfnDirect3DCreate = &CreateNothing;
    proxy->Release();  // never handed out
    EXPECT_EQ(Init(), L"Unable to create device");
}

TEST_F(DeviceSetupTest, SuccessfulSetUpFillsThePresentationParameters)
{
    EXPECT_EQ(Init(), L"");
    ASSERT_NE(renderer.m_pDevice, nullptr);
    const D3DPRESENT_PARAMETERS& pp = renderer.m_presentParams;
    EXPECT_EQ(pp.BackBufferWidth, static_cast<UINT>(kPreviewWidth));
    EXPECT_EQ(pp.BackBufferHeight, static_cast<UINT>(kPreviewHeight));
    EXPECT_EQ(pp.SwapEffect, D3DSWAPEFFECT_DISCARD);
    EXPECT_EQ(pp.hDeviceWindow, hPreview);
    EXPECT_TRUE(pp.Windowed);
    EXPECT_EQ(pp.AutoDepthStencilFormat, D3DFMT_D24X8);  // 24 bits, no stencil to keep through each clear
    EXPECT_EQ(pp.PresentationInterval, static_cast<UINT>(D3DPRESENT_INTERVAL_IMMEDIATE));
    EXPECT_NE(pp.MultiSampleType, D3DMULTISAMPLE_NONE);  // this adapter offers some
    EXPECT_EQ(proxy->lastBehaviourFlags, static_cast<DWORD>(D3DCREATE_HARDWARE_VERTEXPROCESSING));
    EXPECT_FLOAT_EQ(renderer.m_fAspect, static_cast<float>(kPreviewWidth) / kPreviewHeight);
    EXPECT_NE(renderer.m_pBoxIndices, nullptr);
    EXPECT_NE(renderer.m_pBoxVertices, nullptr);
}

TEST_F(DeviceSetupTest, AnAdapterWithoutDeepDepthBuffersDrawsWithSixteenBits)
{
    proxy->noDepth24 = true;
    EXPECT_EQ(Init(), L"");
    EXPECT_EQ(renderer.m_presentParams.AutoDepthStencilFormat, D3DFMT_D16);
    DecodedImage picture;
    EXPECT_EQ(renderer.RenderPicture(64, 64, false, -1, picture), S_OK);
}

TEST_F(DeviceSetupTest, AdapterWithoutMultisamplingOrVertexCapsStillGetsADevice)
{
    proxy->noMultisampling = true;
    proxy->noVertexProcessingCaps = true;
    EXPECT_EQ(Init(), L"");
    EXPECT_EQ(renderer.m_presentParams.MultiSampleType, D3DMULTISAMPLE_NONE);
    EXPECT_EQ(renderer.m_presentParams.MultiSampleQuality, 0u);
    EXPECT_EQ(proxy->lastBehaviourFlags, static_cast<DWORD>(D3DCREATE_SOFTWARE_VERTEXPROCESSING));
    Frame f = (renderer.RenderFrame(), ReadFrame(renderer));
    EXPECT_EQ(f.width, kPreviewWidth);
}

TEST_F(DeviceSetupTest, WithoutAFloatTargetTheStudioDrawsOnceAndThePreviewRests)
{
    proxy->noFloatTargets = true;
    ASSERT_EQ(Init(), L"");
    scene.m_nLight = LightStudio, scene.m_nShadow = 80, scene.m_nLightSamples = 16;
    // A picture comes out, its shadow drawn from the light's middle.
    DecodedImage picture;
    ASSERT_EQ(renderer.RenderPicture(160, 120, true, -1, picture), S_OK);
    EXPECT_TRUE(std::any_of(picture.pixels.begin(), picture.pixels.end(), [](uint32_t c) {
        return (c >> 24) > 0 && (c >> 24) < 255;
    })) << "the shadow: partly transparent pixels";
    // At rest the preview draws its sharp frame once, not a placement a tick for ever.
    renderer.RenderFrame();
    const DWORD changed = ::GetTickCount();
    while (::GetTickCount() - changed < 400)
        ::Sleep(20);
    const unsigned long long before = renderer.FramesDrawn();
    for (int tick = 0; tick < 10; ++tick)
        renderer.RenderFrame();
    EXPECT_EQ(renderer.FramesDrawn() - before, 1u);
}

TEST_F(DeviceSetupTest, NoDeviceMeansNoFrame)
{
    EXPECT_FALSE(renderer.CheckDevice());
}

namespace {
class DeviceLossTest : public RenderTest {};
}

TEST_F(DeviceLossTest, LostThenNotResetRecoversWithTexturesIntact)
{
    scene.m_nRotation1 = 90;
    scene.m_nRotation2 = 90;
    scene.m_nAmbient = 100;
    ASSERT_TRUE(renderer.LoadSideImage(SideFront, TestImagePath(L"white.png").c_str()));
    scene.m_clrFace[SideFront] = RGB(0, 0, 255);
    ASSERT_TRUE(renderer.CheckDevice());
    renderer.RenderFrame();
    IDirect3DTexture9* texture = renderer.m_faceTextures.For(renderer.m_pDevice, scene.m_picture[SideFront]);
    ASSERT_NE(texture, nullptr);

    {
        DeviceLossScript loss(renderer.m_pDevice);
        loss.answers = {D3DERR_DEVICELOST, D3DERR_DEVICELOST, D3DERR_DEVICENOTRESET};
        EXPECT_FALSE(renderer.CheckDevice());
        EXPECT_EQ(renderer.m_pBoxVertices, nullptr);
        EXPECT_EQ(renderer.m_pBoxIndices, nullptr);
        EXPECT_FALSE(renderer.CheckDevice());
        EXPECT_EQ(loss.resets, 0);

        EXPECT_FALSE(renderer.CheckDevice());  // reset now
        EXPECT_EQ(loss.resets, 1);
        EXPECT_EQ(loss.failedResets, 0);
        EXPECT_NE(renderer.m_pBoxIndices, nullptr);

        EXPECT_TRUE(renderer.CheckDevice());
    }
    Frame f = Draw();
    EXPECT_NE(renderer.m_pBoxVertices, nullptr);  // re-created by the frame
    EXPECT_EQ(renderer.m_faceTextures.For(renderer.m_pDevice, scene.m_picture[SideFront]), texture);  // managed: kept
    Pixel p = PixelAt(f, FaceOnScreen(SideFront, f));
    EXPECT_GT(p.b, 200);
    EXPECT_LT(p.r, 40);
}

TEST_F(DeviceLossTest, NotResetWithoutHavingBeenLostRecoversToo)
{
    renderer.RenderFrame();  // the resolve target exists now, in the default pool as well
    {
        DeviceLossScript loss(renderer.m_pDevice);
        loss.answers = {D3DERR_DEVICENOTRESET};
        EXPECT_FALSE(renderer.CheckDevice());
        EXPECT_EQ(loss.resets, 1);
        EXPECT_EQ(loss.failedResets, 0);
        EXPECT_NE(renderer.m_pBoxIndices, nullptr);
        EXPECT_TRUE(renderer.CheckDevice());
    }
    scene.m_clrBackground = 0xFF00FF00;
    Frame f = Draw();
    EXPECT_EQ(f.At(0, 0).g, 255);
}

TEST_F(DeviceLossTest, ResetIsRefusedWhileTheDefaultPoolHoldsObjects)
{
    // Why recovery must free the index buffer first.
    ASSERT_NE(renderer.m_pBoxIndices, nullptr);
    EXPECT_TRUE(FAILED(renderer.m_pDevice->Reset(&renderer.m_presentParams)));
}

TEST_F(DeviceLossTest, OtherAnswersDrawNothing)
{
    DeviceLossScript loss(renderer.m_pDevice);
    loss.answers = {D3DERR_DRIVERINTERNALERROR};
    EXPECT_FALSE(renderer.CheckDevice());
    EXPECT_NE(renderer.m_pBoxIndices, nullptr);  // nothing released
}

namespace {
class FrameCopyTest : public RenderTest {};
}

TEST_F(FrameCopyTest, NoFrameYetMeansNothingToCopy)
{
    IDirect3DSurface9* pSurface = reinterpret_cast<IDirect3DSurface9*>(1);
    EXPECT_TRUE(FAILED(renderer.CopyLastFrame(&pSurface)));
    EXPECT_EQ(pSurface, nullptr);
}

TEST_F(FrameCopyTest, CopyEqualsWhatThePreviewShows)
{
    scene.m_clrFace[SideFront] = RGB(200, 30, 30);
    scene.m_clrFace[SideLeft] = RGB(30, 200, 30);
    scene.m_clrBackground = 0xFF2040A0;
    renderer.RenderFrame();
    ::Sleep(200);
    Frame copy = ReadFrame(renderer);
    Frame shown = GrabWindow(hPreview);
    ASSERT_EQ(copy.width, shown.width);
    ASSERT_EQ(copy.height, shown.height);
    size_t differing = 0;
    for (size_t i = 0; i < copy.pixels.size(); ++i)
        if (copy.pixels[i] != shown.pixels[i]) ++differing;
    EXPECT_EQ(differing, 0u);
}
