// The frame in the studio's light: the key light's shadow map first, then the floor (the
// reflection as the eye light draws it, the sky's soft dark base, the key light's cast
// shadow), then the model lit by the key light and the sky, with its finish's highlight.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <iterator>

#include "pass_states.h"
#include "box_renderer.h"
#include "colour.h"
#include "device_matrix.h"
#include "key_light.h"
#include "light_kinds.h"
#include "part_look.h"
#include "reflectance.h"
#include "scene_camera.h"
#include "scene_shape.h"
#include "target_swap.h"

namespace {

// Eight taps round a point, in two rings: where the shadow map is compared.
const float kTaps[8][2] = {{0.35f, 0.0f},  {0.0f, 0.35f},  {-0.35f, 0.0f}, {0.0f, -0.35f},
                           {0.71f, 0.71f}, {-0.71f, 0.71f}, {-0.71f, -0.71f}, {0.71f, -0.71f}};

// A matrix as vertex shader constants: its columns, for m4x4.
void SetMatrixConstants(IDirect3DDevice9* pDevice, UINT first, const Mat4& m)
{
    float columns[16];
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            columns[c * 4 + r] = m.m[r][c];
    pDevice->SetVertexShaderConstantF(first, columns, 4);
}

// Sixteen taps on a unit disc (a sunflower's spiral): the floor shader turns them pixel by pixel.
const float kDiscTaps[16][2] = {
    {0.1768f, 0.0000f},
    {-0.2258f, 0.2068f},
    {0.0346f, -0.3938f},
    {0.2846f, 0.3712f},
    {-0.5222f, -0.0924f},
    {0.4947f, -0.3147f},
    {-0.1655f, 0.6155f},
    {-0.3156f, -0.6076f},
    {0.6846f, 0.2500f},
    {-0.7123f, 0.2940f},
    {0.3434f, -0.7337f},
    {0.2537f, 0.8089f},
    {-0.7647f, -0.4432f},
    {0.8971f, -0.1972f},
    {-0.5475f, 0.7788f},
    {-0.1265f, -0.9761f}};

void SetTaps(IDirect3DDevice9* pDevice, float radius)
{
    float taps[16];
    for (int i = 0; i < 8; ++i)
        taps[2 * i] = kTaps[i][0] * radius, taps[2 * i + 1] = kTaps[i][1] * radius;
    pDevice->SetPixelShaderConstantF(6, taps, 4);
}

void SetShadowSampler(IDirect3DDevice9* pDevice, DWORD sampler, IDirect3DTexture9* pMap)
{
    pDevice->SetTexture(sampler, pMap);
    pDevice->SetSamplerState(sampler, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    pDevice->SetSamplerState(sampler, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    pDevice->SetSamplerState(sampler, D3DSAMP_MIPFILTER, D3DTEXF_NONE);
    pDevice->SetSamplerState(sampler, D3DSAMP_ADDRESSU, D3DTADDRESS_BORDER);
    pDevice->SetSamplerState(sampler, D3DSAMP_ADDRESSV, D3DTADDRESS_BORDER);
    pDevice->SetSamplerState(sampler, D3DSAMP_BORDERCOLOR, 0xFFFFFFFF);  // beyond the map: lit
    pDevice->SetSamplerState(sampler, D3DSAMP_SRGBTEXTURE, FALSE);
}

// The light buffer, read texel for pixel.
void SetBufferSampler(IDirect3DDevice9* pDevice, IDirect3DTexture9* pBuffer)
{
    pDevice->SetTexture(3, pBuffer);
    pDevice->SetSamplerState(3, D3DSAMP_MINFILTER, D3DTEXF_POINT);
    pDevice->SetSamplerState(3, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    pDevice->SetSamplerState(3, D3DSAMP_MIPFILTER, D3DTEXF_NONE);
    pDevice->SetSamplerState(3, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    pDevice->SetSamplerState(3, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
    pDevice->SetSamplerState(3, D3DSAMP_SRGBTEXTURE, FALSE);
}

// The floor's colour (the background's) as light, red, green and blue.
std::array<float, 3> FloorColour(const BoxScene& scene)
{
    const DWORD c = scene.m_clrBackground;
    return {LinearOfChannel((c >> 16) & 0xFF), LinearOfChannel((c >> 8) & 0xFF), LinearOfChannel(c & 0xFF)};
}

// The light the floor throws back up at the model: as a path tracer finds it, a white floor
// under the key and the sky lights a standing cover by half its own brightness again.
std::array<float, 3> FloorLight(const BoxScene& scene)
{
    const float elevation = static_cast<float>(scene.m_nLightElevation) * 0.017453292f;
    const float lit = static_cast<float>(scene.m_nKey) / 100.0f * std::max(std::sin(elevation), 0.0f) +
                      static_cast<float>(scene.m_nSky) / 100.0f;
    std::array<float, 3> light = FloorColour(scene);
    for (float& channel : light)
        channel *= lit;
    return light;
}

// The floor's brightness (its colour's luminance, in light).
float FloorBrightness(const BoxScene& scene)
{
    const std::array<float, 3> colour = FloorColour(scene);
    return 0.2126f * colour[0] + 0.7152f * colour[1] + 0.0722f * colour[2];
}

// The key's and the sky's light on a white floor, for its shadows: the key never quite
// grazing it, so that a low light still casts a visible shadow.
struct FloorLights {
    float key, sky;
};
FloorLights LightsOnFloor(const BoxScene& scene)
{
    const float elevation = static_cast<float>(scene.m_nLightElevation) * 0.017453292f;
    return {static_cast<float>(scene.m_nKey) / 100.0f * std::max(std::sin(elevation), 0.1f),
            static_cast<float>(scene.m_nSky) / 100.0f};
}

// A rough matte floor seen at a slant returns more light than Lambert's law says (Burley's
// diffuse at roughness 1, as path tracers draw it), most in a shadow lit by the sky alone:
// the sky-lit floor's gain over Lambert's by the sine of the angle the camera sees it at
// where the model stands (a view level with it: half as bright again; from above: 3.5 %).
float FloorSeenGain(const SceneCamera& camera, float floorY)
{
    constexpr float kSines[] = {0.0f, 0.05f, 0.1f, 0.2f, 0.3f, 0.5f, 0.7f, 1.0f};
    constexpr float kGains[] = {1.535f, 1.461f, 1.378f, 1.244f, 1.150f, 1.056f, 1.034f, 1.035f};
    const Vec3 e = camera.eye;
    const float height = floorY - e.y;  // y runs down
    const float distance = std::sqrt(e.x * e.x + height * height + e.z * e.z);
    const float sine = distance > 0 ? std::clamp(height / distance, 0.0f, 1.0f) : 1.0f;
    size_t i = 1;
    while (i + 1 < std::size(kSines) && kSines[i] < sine)
        ++i;
    const float t = (sine - kSines[i - 1]) / (kSines[i] - kSines[i - 1]);
    return kGains[i - 1] + std::clamp(t, 0.0f, 1.0f) * (kGains[i] - kGains[i - 1]);
}

// How dark the floor goes where a share of its light is hidden, as the picture shows it:
// the floor's light with all of it and with what remains, each held to white and encoded
// as sRGB. A white floor under the key and the sky is lit past white: hiding the key
// leaves a grey shadow, hiding only the sky barely shows. seenGain: as FloorSeenGain says.
float FloorDarkness(const BoxScene& scene, float remaining, float lit, float seenGain)
{
    const float floor = FloorBrightness(scene) * seenGain;
    auto shown = [&](float light) { return EncodedOfLight(std::min(light * floor, 1.0f)); };
    const float all = shown(lit);
    return all > 0 ? std::clamp(1 - shown(remaining) / all, 0.0f, 1.0f) : 0.0f;
}

} // namespace

D3DLIGHT9 BoxRenderer::FixedKeyLight(const KeyLight& key) const
{
    D3DLIGHT9 light = {};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Direction = {-key.toLight.x, -key.toLight.y, -key.toLight.z};
    light.Diffuse.r = light.Diffuse.g = light.Diffuse.b = static_cast<float>(m_scene.m_nKey) / 100.0f;
    // The sky's mean over the model's sides.
    light.Ambient.r = light.Ambient.g = light.Ambient.b = static_cast<float>(m_scene.m_nSky) / 200.0f;
    return light;
}

bool BoxRenderer::RenderStudio(const SceneCamera& camera, const Mat4& projection, const FramePass& pass)
{
    IDirect3DDevice9* pDevice = m_pDevice;
    // Made when the studio is first asked for: a window that never uses it starts sooner.
    if (!m_studio.Ready() && !m_studio.Tried())
        m_studio.CreateShaders(m_pD3D, pDevice);
    if (!m_studio.Ready() || !m_studio.CreateTargets(pDevice))
        return false;
    SetBoxStages(pass.sharp);  // the shape's buffers
    const DrawnParts drawn = PartsToDraw();
    const ShapeSpec& shape = m_frameShape;
    const KeyLight key =
        KeyLightOf(m_scene, shape, camera.eye, pass.lightPasses > 1 ? DiscSample(pass.lightPass) : LightSample{});
    // While the scene moves, frames are drafts that keep the beat: the key, the sky and the
    // floor's light per vertex, the sky's dark base, no cast shadows. At rest and in
    // pictures, the whole light.
    if (!pass.sharp && !pass.picture) {
        StudioLights draft;
        draft.key = key;
        if (FloorVisible(camera.eye.y))
            DrawStudioFloor(camera, projection, draft, pass, false);
        // The key, the sky and the floor's light as the resting frame's shader gives them,
        // added per vertex (the lights in the vertex shader, the pictures by the fixed
        // stages): letting go does not brighten the picture.
        SetBoxStages(pass.sharp);
        PassStates{}.Apply(pDevice);
        const std::array<float, 3> bounce = FloorLight(m_scene);
        const float toKey[4] = {key.toLight.x, key.toLight.y, key.toLight.z, static_cast<float>(m_scene.m_nKey) / 100.0f};
        const float up[4] = {0, -1, 0, static_cast<float>(m_scene.m_nSky) / 100.0f};
        const float floorLight[4] = {bounce[0], bounce[1], bounce[2], 0};
        const float eye[4] = {camera.eye.x, camera.eye.y, camera.eye.z, 1};
        pDevice->SetVertexShader(m_studio.m_pDraftShader);
        SetMatrixConstants(pDevice, 0, MatrixMultiply(camera.view, projection));
        pDevice->SetVertexShaderConstantF(4, toKey, 1);
        pDevice->SetVertexShaderConstantF(5, up, 1);
        pDevice->SetVertexShaderConstantF(6, floorLight, 1);
        pDevice->SetVertexShaderConstantF(7, eye, 1);
        DrawFaces(255, false, true);
        pDevice->SetVertexShader(nullptr);
        return true;
    }
    StudioLights lights;
    lights.key = key;
    if (pass.light == FramePass::Light::FromBuffer) {
        // The frame from the light its placements gathered: the shadows' maps are theirs.
        if (FloorVisible(camera.eye.y))
            DrawStudioFloor(camera, projection, lights, pass, true);
        DrawStudioModel(camera, projection, lights, drawn, pass);
        return true;
    }
    lights.toKeyMap =
        MatrixMultiply(MatrixMultiply(key.view, key.projection), ShadowMapBias(StudioLight::kMapTexels));
    DrawShadowMap(key, drawn, m_studio.m_pShadowMap, m_studio.m_pMapColour, StudioLight::kMapTexels);
    // Averaged drawings take the sky from one of its directions each: what hides the sky
    // (the floor under the model, a board's inner side) darkens as their share of it.
    lights.bSky = pass.lightPasses > 1;
    if (lights.bSky) {
        lights.sky = DirectionalLight(SkyDirection(pass.lightPass), shape);
        lights.toSkyMap = MatrixMultiply(MatrixMultiply(lights.sky.view, lights.sky.projection),
                                         ShadowMapBias(StudioLight::kSkyMapTexels));
        DrawShadowMap(lights.sky, drawn, m_studio.m_pSkyMap, m_studio.m_pSkyColour, StudioLight::kSkyMapTexels);
    }
    if (pass.light == FramePass::Light::Gather) {
        TargetSwap swap(pDevice);
        pDevice->SetDepthStencilSurface(m_lightBuffer.Depth());
        if (FloorVisible(camera.eye.y)) {
            pDevice->SetRenderTarget(0, m_lightBuffer.Floor());
            DrawStudioFloor(camera, projection, lights, pass, true);
        }
        pDevice->SetRenderTarget(0, m_lightBuffer.Model());
        if (pass.lightPass == 0)
            DrawStudioModel(camera, projection, lights, drawn, pass, true);
        DrawStudioModel(camera, projection, lights, drawn, pass);
        return true;
    }
    if (FloorVisible(camera.eye.y))
        DrawStudioFloor(camera, projection, lights, pass, true);
    DrawStudioModel(camera, projection, lights, drawn, pass);
    return true;
}

void BoxRenderer::DrawShadowMap(const KeyLight& light, const DrawnParts& drawn, IDirect3DTexture9* pMap,
                                IDirect3DSurface9* pColour, UINT texels)
{
    IDirect3DDevice9* pDevice = m_pDevice;
    TargetSwap swap(pDevice);
    ComPtr<IDirect3DSurface9> depth;
    if (FAILED(pMap->GetSurfaceLevel(0, &depth)))
        return;
    pDevice->SetRenderTarget(0, pColour);
    pDevice->SetDepthStencilSurface(depth);
    const D3DVIEWPORT9 viewport = {0, 0, texels, texels, 0.0f, 1.0f};
    pDevice->SetViewport(&viewport);
    PassStates states;
    states.colourWrite = 0, states.bLighting = false, states.cull = D3DCULL_NONE;
    // Kept off the surfaces that cast it, so that a lit face does not shadow itself.
    states.slopeBias = 2.0f, states.depthBias = 0.0004f;
    states.Apply(pDevice);
    pDevice->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);

    pDevice->SetVertexShader(nullptr);
    pDevice->SetPixelShader(nullptr);
    pDevice->SetFVF(kBoxVertexFvf);
    const Mat4 world = MatrixIdentity();
    pDevice->SetTransform(D3DTS_WORLD, AsDeviceMatrix(world));
    pDevice->SetTransform(D3DTS_VIEW, AsDeviceMatrix(light.view));
    pDevice->SetTransform(D3DTS_PROJECTION, AsDeviceMatrix(light.projection));
    pDevice->SetTexture(0, nullptr);
    pDevice->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, drawn.vertexCount, 0, drawn.indexCount / 3);
}

void BoxRenderer::DrawStudioFloor(const SceneCamera& camera, const Mat4& projection, const StudioLights& lights,
                                  const FramePass& pass, bool bCast)
{
    IDirect3DDevice9* pDevice = m_pDevice;
    pDevice->SetTransform(D3DTS_VIEW, AsDeviceMatrix(camera.view));
    pDevice->SetTransform(D3DTS_PROJECTION, AsDeviceMatrix(projection));
    const bool bGather = pass.light == FramePass::Light::Gather;
    if (!bGather) {
        // The reflection in the studio's light too (by the fixed stages, without shadows).
        const D3DLIGHT9 eyeLight = m_light;
        m_light = FixedKeyLight(lights.key);
        pDevice->SetLight(0, &m_light);
        pDevice->LightEnable(1, FALSE);
        DrawReflection(camera.view, pass.sharp);
        m_light = eyeLight;
        pDevice->SetLight(0, &m_light);
    }
    if (m_scene.m_nShadow <= 0)
        return;
    const float seenGain = FloorSeenGain(camera, FloorY(m_frameShape));
    if (pass.light == FramePass::Light::FromBuffer) {
        DrawGatheredFloorShadow(pass.gathered, seenGain);
        return;
    }
    // The shadow value is the share of the darkness the hidden light leaves that shows: at
    // 100 the floor as a path tracer shows it.
    const float shadow = static_cast<float>(m_scene.m_nShadow) / 100.0f;
    const FloorLights onFloor = LightsOnFloor(m_scene);
    const float keyOnFloor = onFloor.key, sky = onFloor.sky;
    if (lights.bSky) {
        // The sky hidden from the floor by the model: each direction's shadow blurred over
        // the part of the dome it stands for, and faded out within a quarter of the model's
        // height of it, so that the floor a little way off keeps its colour.
        // Gathered, the hidden share itself: the buffer's reader tones it with the key's.
        const float share = bGather ? 1.0f : FloorDarkness(m_scene, keyOnFloor, keyOnFloor + sky, seenGain);
        const float skyElevation = std::asin(std::min(-lights.sky.toLight.y, 1.0f));
        const float spread = std::tan(std::min(SkySampleSpread(pass.lightPasses), 1.2f));
        DrawFloorShadow(camera, projection, lights.sky, lights.toSkyMap, m_studio.m_pSkyMap, bGather ? 1.0f : shadow * share,
                        spread / std::max(std::cos(skyElevation), 0.2f) / lights.sky.mapSize,
                        1.5f / StudioLight::kSkyMapTexels, 0.25f * m_frameShape.size[1],
                        bGather ? D3DCOLORWRITEENABLE_GREEN : 0);
    } else {
        // The sky's dark base: a narrow soft line where the model stands.
        const ShapeSpec& shape = m_frameShape;
        const float contactSpread = 0.02f;
        const float contactSigma = contactSpread * (shape.size[0] + shape.size[2]) * 0.5f;
        DrawShadow(contactSigma, contactSpread, AlphaOfPercent(m_scene.m_nShadow * std::min(m_scene.m_nSky, 100) / 200), pass.sharp);
    }
    if (!bCast)
        return;
    DrawFloorShadow(camera, projection, lights.key, lights.toKeyMap, m_studio.m_pShadowMap,
                    bGather ? 1.0f : shadow * FloorDarkness(m_scene, sky, keyOnFloor + sky, seenGain),
                    ShadowBlurPerDistance(m_scene, pass.lightPasses) / lights.key.mapSize,
                    1.5f / StudioLight::kMapTexels, 0.0f, bGather ? D3DCOLORWRITEENABLE_RED : 0);
}

void BoxRenderer::DrawGatheredFloorShadow(unsigned gathered, float seenGain)
{
    IDirect3DDevice9* pDevice = m_pDevice;
    D3DVIEWPORT9 viewport = {};
    pDevice->GetViewport(&viewport);
    struct QuadVertex {
        float x, y, z, rhw;
    };
    const float w = static_cast<float>(viewport.Width) - 0.5f, h = static_cast<float>(viewport.Height) - 0.5f;
    const QuadVertex quad[4] = {{-0.5f, -0.5f, 0, 1}, {w, -0.5f, 0, 1}, {-0.5f, h, 0, 1}, {w, h, 0, 1}};
    PassStates states;
    states.bDepthTest = states.bDepthWrite = false, states.cull = D3DCULL_NONE, states.bLighting = false;
    states.blend = PassStates::Over;
    states.Apply(pDevice);
    pDevice->SetVertexShader(nullptr);
    pDevice->SetPixelShader(m_studio.m_pSummedFloorShader);
    const float share[4] = {1.0f / static_cast<float>(std::max(gathered, 1u)), 0, 0, 0};
    pDevice->SetPixelShaderConstantF(0, share, 1);
    // The buffer holds the shares of the key and the sky hidden from each pixel; the floor
    // shows what light remains as a path tracer's picture does, held to white: hiding a
    // little sky from a floor lit past white shows nothing, hiding it in the key's shadow
    // darkens it further.
    const float floor = FloorBrightness(m_scene) * seenGain;
    const FloorLights onFloor = LightsOnFloor(m_scene);
    const float key = floor * onFloor.key, sky = floor * onFloor.sky;
    const float all = EncodedOfLight(std::min(key + sky, 1.0f));
    // An unlit or black floor shows no shadow: it cannot darken.
    const float lights[4] = {key, sky, all > 0 ? static_cast<float>(m_scene.m_nShadow) / 100.0f : 0.0f,
                             all > 0 ? 1.0f / all : 0.0f};
    pDevice->SetPixelShaderConstantF(1, lights, 1);
    float texel[4];
    m_lightBuffer.TexelSize(texel);
    pDevice->SetPixelShaderConstantF(18, texel, 1);
    SetBufferSampler(pDevice, m_lightBuffer.FloorTexture());
    pDevice->SetFVF(D3DFVF_XYZRHW);
    pDevice->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(QuadVertex));
    pDevice->SetTexture(3, nullptr);
    pDevice->SetPixelShader(nullptr);
}

void BoxRenderer::DrawFloorShadow(const SceneCamera& camera, const Mat4& projection, const KeyLight& light,
                                  const Mat4& toMap, IDirect3DTexture9* pMap, float strength, float perDistance,
                                  float atFootprint, float fadeDistance, DWORD gatherInto)
{
    IDirect3DDevice9* pDevice = m_pDevice;
    const ShapeSpec& shape = m_frameShape;
    // Over the floor the shadow can fall on: where the light casts the map's sphere round
    // the model, an ellipse about the point under the middle along the light.
    const float y = FloorY(shape);
    const float down = std::max(-light.toLight.y, 0.05f);
    const float cx = -light.toLight.x * y / down, cz = -light.toLight.z * y / down;
    const float reach = light.mapSize * 0.5f / down * 1.1f;
    float lo[2] = {cx - reach, cz - reach}, hi[2] = {cx + reach, cz + reach};
    if (fadeDistance <= 0) {
        // Only where the shadow can fall: between the footprint and the model's top cast
        // along the light, and out by twice the widest blur that far (sixteen taps a pixel
        // over the rest of a large picture's floor find nothing).
        const float castX = -light.toLight.x * shape.size[1] / down, castZ = -light.toLight.z * shape.size[1] / down;
        const float hx = shape.size[0] * 0.5f, hz = shape.size[2] * 0.5f;
        const float margin = 2.0f * (perDistance * std::sqrt(castX * castX + castZ * castZ) + atFootprint) * light.mapSize +
                             0.05f * (hx + hz);
        lo[0] = std::max(lo[0], std::min(-hx, castX - hx) - margin), hi[0] = std::min(hi[0], std::max(hx, castX + hx) + margin);
        lo[1] = std::max(lo[1], std::min(-hz, castZ - hz) - margin), hi[1] = std::min(hi[1], std::max(hz, castZ + hz) + margin);
        if (lo[0] >= hi[0] || lo[1] >= hi[1])
            return;
    }
    const BoxVertex floor[4] = {{lo[0], y, lo[1], 0, -1, 0, 0, 0},
                                {hi[0], y, lo[1], 0, -1, 0, 0, 0},
                                {lo[0], y, hi[1], 0, -1, 0, 0, 0},
                                {hi[0], y, hi[1], 0, -1, 0, 0, 0}};
    SetMatrixConstants(pDevice, 0, MatrixMultiply(camera.view, projection));
    SetMatrixConstants(pDevice, 4, toMap);
    pDevice->SetVertexShader(m_studio.m_pVertexShader);
    pDevice->SetPixelShader(m_studio.m_pFloorShader);
    pDevice->SetFVF(kBoxVertexFvf);
    const float strengths[4] = {strength, 0, 0, 0};
    pDevice->SetPixelShaderConstantF(0, strengths, 1);
    pDevice->SetPixelShaderConstantF(6, &kDiscTaps[0][0], 8);
    const float footprint[4] = {shape.size[0] * 0.5f, shape.size[2] * 0.5f, perDistance, atFootprint};
    pDevice->SetPixelShaderConstantF(17, footprint, 1);
    const float fade[4] = {fadeDistance > 0 ? 1.0f / fadeDistance : 0.0f, 0, 0, 0};
    pDevice->SetPixelShaderConstantF(18, fade, 1);
    // A grazing light sees the floor edge-on: all of it lies on the model's lowest row of the
    // map, where a disc of taps is half below the floor (lit) and half in the model (in
    // shadow), a pale, grainy shadow. There the disc is raised by its radius toward the
    // model, wholly above the floor; from 20 degrees up nothing moves.
    const float sinElevation = std::max(-light.toLight.y, 0.0f);
    const float grazing = std::clamp(1.0f - sinElevation / 0.342f, 0.0f, 1.0f);
    const Vec3 onFloor = TransformPoint({cx, y, cz}, toMap), above = TransformPoint({cx, y - 1.0f, cz}, toMap);
    const float upX = above.x - onFloor.x, upY = above.y - onFloor.y;
    const float upLength = std::sqrt(upX * upX + upY * upY);
    const float raise[4] = {upLength > 0 ? grazing * upX / upLength : 0.0f, upLength > 0 ? grazing * upY / upLength : 0.0f,
                            0, 0};
    pDevice->SetPixelShaderConstantF(19, raise, 1);
    // Gathered, the darkness is added into its channel of the floor's buffer.
    const float inColour[4] = {gatherInto ? 1.0f : 0.0f, gatherInto ? 1.0f : 0.0f, gatherInto ? 1.0f : 0.0f, 0};
    pDevice->SetPixelShaderConstantF(20, inColour, 1);
    SetShadowSampler(pDevice, 1, pMap);
    PassStates states;
    states.bDepthTest = gatherInto == 0;  // gathered under the model too: it is drawn over later
    states.bDepthWrite = false, states.cull = D3DCULL_NONE, states.bLighting = false;
    states.blend = gatherInto ? PassStates::Add : PassStates::Over;
    if (gatherInto)
        states.colourWrite = gatherInto;
    states.Apply(pDevice);
    pDevice->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, floor, sizeof(BoxVertex));
    pDevice->SetTexture(1, nullptr);
    pDevice->SetVertexShader(nullptr);
    pDevice->SetPixelShader(nullptr);
}

void BoxRenderer::DrawStudioModel(const SceneCamera& camera, const Mat4& projection, const StudioLights& lights,
                                  const DrawnParts& drawn, const FramePass& pass, bool bDepthOnly)
{
    IDirect3DDevice9* pDevice = m_pDevice;
    SetBoxStages(pass.sharp);
    pDevice->SetVertexShader(m_studio.m_pVertexShader);
    const bool bGather = pass.light == FramePass::Light::Gather, bFromBuffer = pass.light == FramePass::Light::FromBuffer;
    pDevice->SetPixelShader(bGather     ? m_studio.m_pModelLightShader.Get()
                            : bFromBuffer ? m_studio.m_pSummedModelShader.Get()
                                          : m_studio.m_pModelShader.Get());
    SetMatrixConstants(pDevice, 0, MatrixMultiply(camera.view, projection));
    SetMatrixConstants(pDevice, 4, lights.toKeyMap);
    SetMatrixConstants(pDevice, 8, lights.bSky ? lights.toSkyMap : lights.toKeyMap);
    const KeyLight& key = lights.key;
    const float toLight[4] = {key.toLight.x, key.toLight.y, key.toLight.z, 0};
    const float strengths[4] = {static_cast<float>(m_scene.m_nKey) / 100.0f,
                                static_cast<float>(m_scene.m_nSky) / 100.0f, 0, 0};
    const float eye[4] = {camera.eye.x, camera.eye.y, camera.eye.z, 1};
    const float up[4] = {0, -1, 0, 0};
    pDevice->SetPixelShaderConstantF(0, toLight, 1);
    pDevice->SetPixelShaderConstantF(1, strengths, 1);
    pDevice->SetPixelShaderConstantF(3, eye, 1);
    pDevice->SetPixelShaderConstantF(5, up, 1);
    const BOOL bNeutralTone = m_scene.m_nTone == ToneNeutral;
    pDevice->SetPixelShaderConstantB(0, &bNeutralTone, 1);
    // The model's own shadows (a board over the pages): softened by the light's size.
    SetTaps(pDevice, std::max(1.5f, 0.1f * PenumbraSpread(pass.lightPasses) * static_cast<float>(m_scene.m_nLightSize)) /
                         StudioLight::kMapTexels);
    SetShadowSampler(pDevice, 1, m_studio.m_pShadowMap);
    // The sky from this drawing's direction, where drawings are averaged; else open.
    const Vec3 skyFrom = lights.bSky ? lights.sky.toLight : key.toLight;
    const float sky[4] = {skyFrom.x, skyFrom.y, skyFrom.z, lights.bSky ? 1.0f : 0.0f};
    pDevice->SetPixelShaderConstantF(10, sky, 1);
    const float skyTap = 2.0f / StudioLight::kSkyMapTexels;
    const float skyTaps[8] = {skyTap, skyTap, -skyTap, skyTap, -skyTap, -skyTap, skyTap, -skyTap};
    pDevice->SetPixelShaderConstantF(11, skyTaps, 2);
    SetShadowSampler(pDevice, 2, lights.bSky ? m_studio.m_pSkyMap.Get() : m_studio.m_pShadowMap.Get());
    const std::array<float, 3> bounce = FloorLight(m_scene);
    const float floorLight[4] = {bounce[0], bounce[1], bounce[2], 0};
    pDevice->SetSamplerState(0, D3DSAMP_SRGBTEXTURE, TRUE);
    if (bFromBuffer) {
        float texel[4];
        m_lightBuffer.TexelSize(texel);
        pDevice->SetPixelShaderConstantF(18, texel, 1);
        SetBufferSampler(pDevice, m_lightBuffer.ModelTexture());
    }
    PassStates states;
    states.bEncodeSrgb = !bGather, states.bLighting = false;
    if (bGather) {
        // Against the model's nearest surfaces, drawn first: each pixel's light added once.
        states.bDepthWrite = bDepthOnly;
        states.colourWrite = bDepthOnly ? 0 : 0xF;
        states.blend = bDepthOnly ? PassStates::Opaque : PassStates::Add;
    }
    states.Apply(pDevice);
    for (const DrawnRun& run : RunsToDraw(drawn)) {
        const PartSurface& look = run.look;
        IDirect3DTexture9* pTexture = run.pTexture;
        pDevice->SetTexture(0, pTexture ? pTexture : m_studio.m_pWhite.Get());
        const float colour[4] = {LinearOfChannel(RedOf(look.colour)), LinearOfChannel(GreenOf(look.colour)),
                                 LinearOfChannel(BlueOf(look.colour)), 1};
        const float sheen[4] = {look.sheen, look.sheenPower, 0.25f, 0.75f};
        const std::array<float, 4> mirrored = StudioReflection(look.roughness, look.mirror);
        pDevice->SetPixelShaderConstantF(2, colour, 1);
        pDevice->SetPixelShaderConstantF(4, sheen, 1);
        pDevice->SetPixelShaderConstantF(13, mirrored.data(), 1);
        const float emission[4] = {look.emission, 1 - look.emission, 0, 0};
        pDevice->SetPixelShaderConstantF(17, emission, 1);
        pDevice->SetPixelShaderConstantF(16, floorLight, 1);
        pDevice->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, drawn.vertexCount, run.firstIndex, run.triangleCount);
    }
    pDevice->SetSamplerState(0, D3DSAMP_SRGBTEXTURE, FALSE);
    pDevice->SetTexture(1, nullptr);
    pDevice->SetTexture(2, nullptr);
    pDevice->SetTexture(3, nullptr);
    pDevice->SetVertexShader(nullptr);
    pDevice->SetPixelShader(nullptr);
}
