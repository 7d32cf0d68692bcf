// The floor the box stands on: its bottom face's plane. The reflection is the box drawn
// mirrored through that plane and blended in, its strength fading with the distance below
// the floor (a gradient texture looked up per pixel from the world height); the shadow is
// a quad on the floor with the box's footprint, blurred, as its alpha. Neither needs a
// stencil: the floor has no edge, and everything mirrored lies behind it.
#include <algorithm>
#include <cmath>
#include <vector>

#include "box_geometry.h"
#include "pass_states.h"
#include "box_renderer.h"
#include "colour.h"
#include "device_matrix.h"
#include "camera_math.h"
#include "scene_shape.h"
#include "stage_layout.h"

namespace {

constexpr UINT kShadowTexels = 256;

struct FloorVertex {
    float x, y, z;
    float u, v;
};
constexpr DWORD kFloorFvf = D3DFVF_XYZ | D3DFVF_TEX1;

} // namespace

bool BoxRenderer::FloorVisible(float eyeY) const
{
    return (m_scene.m_nReflection > 0 || m_scene.m_nShadow > 0) && eyeY < FloorY(m_frameShape);
}

void BoxRenderer::DrawReflection(const Mat4& view, bool bSharp)
{
    IDirect3DDevice9* pDevice = m_pDevice;
    if (m_scene.m_nReflection <= 0 || !m_pFadeTexture)
        return;
    const float floorY = FloorY(m_frameShape);
    const float boxHeight = 2.0f * floorY;

    // y' = 2 floorY - y: the box mirrored through the floor.
    Mat4 mirror = MatrixIdentity();
    mirror._22 = -1.0f;
    mirror._42 = boxHeight;
    pDevice->SetTransform(D3DTS_WORLD, AsDeviceMatrix(mirror));

    // Texture coordinate u = distance below the floor / fade length, from the camera-space
    // position taken back to the world.
    const float fadeLength = boxHeight * static_cast<float>(std::max(m_scene.m_nReflectionFade, 1)) / 100.0f;
    Mat4 toFade = {};
    toFade._21 = 1.0f / fadeLength;
    toFade._41 = -floorY / fadeLength;
    toFade._42 = 0.5f;
    toFade._44 = 1.0f;
    const Mat4 texture = MatrixMultiply(MatrixInverseRigid(view), toFade);
    pDevice->SetTransform(D3DTS_TEXTURE2, AsDeviceMatrix(texture));

    SetBoxStages(bSharp);
    PassStates states;
    states.cull = D3DCULL_CW;  // mirrored, the faces turn the other way round
    states.blend = PassStates::Over;
    states.Apply(pDevice);

    pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    pDevice->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TFACTOR);
    pDevice->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    pDevice->SetTextureStageState(1, D3DTSS_ALPHAARG1, D3DTA_CURRENT);
    pDevice->SetTexture(2, m_pFadeTexture);
    pDevice->SetTextureStageState(2, D3DTSS_TEXCOORDINDEX, D3DTSS_TCI_CAMERASPACEPOSITION);
    pDevice->SetTextureStageState(2, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
    pDevice->SetTextureStageState(2, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    pDevice->SetTextureStageState(2, D3DTSS_COLORARG1, D3DTA_CURRENT);
    pDevice->SetTextureStageState(2, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    pDevice->SetTextureStageState(2, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    pDevice->SetTextureStageState(2, D3DTSS_ALPHAARG2, D3DTA_CURRENT);
    pDevice->SetSamplerState(2, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    pDevice->SetSamplerState(2, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
    pDevice->SetSamplerState(2, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    pDevice->SetSamplerState(2, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    pDevice->SetSamplerState(2, D3DSAMP_MIPFILTER, D3DTEXF_NONE);

    DrawFaces(AlphaOfPercent(m_scene.m_nReflection));

    const Mat4 world = MatrixIdentity();
    pDevice->SetTransform(D3DTS_WORLD, AsDeviceMatrix(world));
}

IDirect3DTexture9* BoxRenderer::ShadowTextureFor(float width, float depth, float sigma)
{
    IDirect3DDevice9* pDevice = m_pDevice;
    const float shape[3] = {width, depth, sigma};
    for (const ShadowTexture& made : m_shadowTextures)
        if (std::equal(shape, shape + 3, made.shape))
            return made.pTexture;
    // A set's products mostly share a few sizes; a drag through sizes does not pile them up.
    if (m_shadowTextures.size() >= kMaxProducts)
        m_shadowTextures.clear();
    ShadowTexture made;
    if (FAILED(pDevice->CreateTexture(kShadowTexels, kShadowTexels, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &made.pTexture,
                                      nullptr)))
        return nullptr;
    // The texture spans the footprint and three sigmas around it; the blur of a rectangle
    // is the product of the blurs of its two sides.
    float across[kShadowTexels], along[kShadowTexels];
    for (UINT i = 0; i < kShadowTexels; ++i) {
        const float t = (static_cast<float>(i) + 0.5f) / kShadowTexels - 0.5f;
        across[i] = ShadowCoverage(t * (width + 6.0f * sigma), width, sigma);
        along[i] = ShadowCoverage(t * (depth + 6.0f * sigma), depth, sigma);
    }
    D3DLOCKED_RECT locked;
    if (FAILED(made.pTexture->LockRect(0, &locked, nullptr, 0)))
        return nullptr;
    for (UINT row = 0; row < kShadowTexels; ++row) {
        auto* texel = reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + row * locked.Pitch);
        for (UINT column = 0; column < kShadowTexels; ++column)
            texel[column] = static_cast<DWORD>(std::lround(255.0f * across[column] * along[row])) << 24;
    }
    made.pTexture->UnlockRect(0);
    std::copy(shape, shape + 3, made.shape);
    m_shadowTextures.push_back(std::move(made));
    return m_shadowTextures.back().pTexture;
}

void BoxRenderer::DrawShadow(float sigma, float spread, BYTE strength, bool bSharp)
{
    IDirect3DDevice9* pDevice = m_pDevice;
    if (strength == 0)
        return;
    const float y = FloorY(m_frameShape);
    SetBoxStages(bSharp);
    PassStates states;
    states.bLighting = false, states.cull = D3DCULL_NONE, states.blend = PassStates::Over;
    states.bDepthWrite = false;  // the box stands on it
    states.Apply(pDevice);
    pDevice->SetRenderState(D3DRS_TEXTUREFACTOR, static_cast<DWORD>(strength) << 24);

    pDevice->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    pDevice->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    pDevice->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_NONE);
    pDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    pDevice->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TFACTOR);
    pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    pDevice->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    pDevice->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_TFACTOR);
    pDevice->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    pDevice->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);

    pDevice->SetFVF(kFloorFvf);
    for (const ShadowFootprint& f : ShadowFootprints(m_frameStage, m_frameShape, sigma, spread)) {
        IDirect3DTexture9* pTexture = ShadowTextureFor(f.right - f.left, f.back - f.front, f.sigma);
        if (!pTexture)
            return;
        pDevice->SetTexture(0, pTexture);
        const float left = f.left - 3.0f * f.sigma, right = f.right + 3.0f * f.sigma;
        const float front = f.front - 3.0f * f.sigma, back = f.back + 3.0f * f.sigma;
        auto at = [&](float u, float v, float tu, float tv) {
            return FloorVertex{f.centre[0] + u * f.axis[0] - v * f.axis[1], y, f.centre[1] + u * f.axis[1] + v * f.axis[0],
                               tu, tv};
        };
        const FloorVertex quad[4] = {at(left, front, 0, 0), at(right, front, 1, 0), at(left, back, 0, 1),
                                     at(right, back, 1, 1)};
        pDevice->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(FloorVertex));
    }
}
