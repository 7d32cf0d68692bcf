// The floor the box stands on: its bottom face's plane. The reflection is the box drawn
// mirrored through that plane and blended in, its strength fading with the distance below
// the floor (a gradient texture looked up per pixel from the world height); the shadow is
// a quad on the floor with the box's footprint, blurred, as its alpha. Neither needs a
// stencil: the floor has no edge, and everything mirrored lies behind it.
#include <algorithm>
#include <cmath>

#include "box_geometry.h"
#include "pass_states.h"
#include "box_renderer.h"
#include "colour.h"
#include "device_matrix.h"
#include "camera_math.h"
#include "scene_shape.h"

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

void BoxRenderer::UpdateShadowTexture(float sigma)
{
    IDirect3DDevice9* pDevice = m_pDevice;
    const ShapeSpec& spec = m_frameShape;
    const float shape[3] = {spec.size[0], spec.size[2], sigma};
    if (m_pShadowTexture && std::equal(shape, shape + 3, m_shadowShape))
        return;
    if (!m_pShadowTexture && FAILED(pDevice->CreateTexture(kShadowTexels, kShadowTexels, 1, 0, D3DFMT_A8R8G8B8,
                                                           D3DPOOL_MANAGED, &m_pShadowTexture, nullptr)))
        return;
    // The texture spans the footprint and three sigmas around it; the blur of a rectangle
    // is the product of the blurs of its two sides.
    const float width = spec.size[0];
    const float depth = spec.size[2];
    float across[kShadowTexels], along[kShadowTexels];
    for (UINT i = 0; i < kShadowTexels; ++i) {
        const float t = (static_cast<float>(i) + 0.5f) / kShadowTexels - 0.5f;
        across[i] = ShadowCoverage(t * (width + 6.0f * sigma), width, sigma);
        along[i] = ShadowCoverage(t * (depth + 6.0f * sigma), depth, sigma);
    }
    D3DLOCKED_RECT locked;
    if (FAILED(m_pShadowTexture->LockRect(0, &locked, nullptr, 0)))
        return;
    for (UINT row = 0; row < kShadowTexels; ++row) {
        auto* texel = reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + row * locked.Pitch);
        for (UINT column = 0; column < kShadowTexels; ++column)
            texel[column] = static_cast<DWORD>(std::lround(255.0f * across[column] * along[row])) << 24;
    }
    m_pShadowTexture->UnlockRect(0);
    std::copy(shape, shape + 3, m_shadowShape);
}

void BoxRenderer::DrawShadow(float sigma, BYTE strength, bool bSharp)
{
    IDirect3DDevice9* pDevice = m_pDevice;
    if (strength == 0)
        return;
    UpdateShadowTexture(sigma);
    if (!m_pShadowTexture)
        return;
    const ShapeSpec& spec = m_frameShape;
    const float x = spec.size[0] * 0.5f + 3.0f * sigma;
    const float z = spec.size[2] * 0.5f + 3.0f * sigma;
    const float y = FloorY(m_frameShape);
    const FloorVertex quad[4] = {{-x, y, -z, 0.0f, 0.0f}, {x, y, -z, 1.0f, 0.0f},
                                 {-x, y, z, 0.0f, 1.0f},  {x, y, z, 1.0f, 1.0f}};

    SetBoxStages(bSharp);
    PassStates states;
    states.bLighting = false, states.cull = D3DCULL_NONE, states.blend = PassStates::Over;
    states.bDepthWrite = false;  // the box stands on it
    states.Apply(pDevice);
    pDevice->SetRenderState(D3DRS_TEXTUREFACTOR, static_cast<DWORD>(strength) << 24);

    pDevice->SetTexture(0, m_pShadowTexture);
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
    pDevice->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(FloorVertex));
}
