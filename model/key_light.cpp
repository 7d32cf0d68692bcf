#include "key_light.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float kDegToRad = 0.017453292f;
constexpr float kLowestSky = 50.0f * kDegToRad;  // the sky's directions are higher than this

float RadicalInverse(unsigned index, unsigned base)
{
    float result = 0, digit = 1.0f / static_cast<float>(base);
    for (; index > 0; index /= base, digit /= static_cast<float>(base))
        result += static_cast<float>(index % base) * digit;
    return result;
}

} // namespace

LightSample DiscSample(unsigned index)
{
    // Index 0 is the middle: a single placement is the light the scene names.
    const float r = std::sqrt(RadicalInverse(index, 2));
    const float angle = 6.2831853f * RadicalInverse(index, 3);
    return {r * std::cos(angle), r * std::sin(angle)};
}

Vec3 KeyLightDirection(const BoxScene& scene, const Vec3& eye)
{
    return LightDirection(scene.m_nLightAzimuth, scene.m_nLightElevation, eye);
}

Vec3 LightDirection(int azimuthDegrees, int elevationDegrees, const Vec3& eye)
{
    // Over the floor (y is down): toward the eye, and the eye's right.
    Vec3 toEye = Normalize({eye.x, 0.0f, eye.z});
    if (toEye.x == 0 && toEye.z == 0)
        toEye = {0.0f, 0.0f, -1.0f};  // the camera straight above or below: the front
    const Vec3 right = {-toEye.z, 0.0f, toEye.x};  // seen from the eye, with up at -y
    const float azimuth = static_cast<float>(azimuthDegrees) * kDegToRad;
    const float elevation = static_cast<float>(elevationDegrees) * kDegToRad;
    const float c = std::cos(elevation);
    return Normalize({c * (std::cos(azimuth) * toEye.x + std::sin(azimuth) * right.x), -std::sin(elevation),
                 c * (std::cos(azimuth) * toEye.z + std::sin(azimuth) * right.z)});
}

KeyLight KeyLightOf(const BoxScene& scene, const ShapeSpec& shape, const Vec3& eye, LightSample sample)
{
    Vec3 toLight = KeyLightDirection(scene, eye);
    if (sample.u != 0 || sample.v != 0) {
        // Across the light's face: two directions square to the light's.
        const Vec3 across =
            std::fabs(toLight.y) > 0.99f ? Vec3{1.0f, 0.0f, 0.0f} : Normalize(Cross(toLight, {0.0f, -1.0f, 0.0f}));
        const Vec3 upward = Cross(across, toLight);
        const float half = std::tan(static_cast<float>(scene.m_nLightSize) * 0.5f * kDegToRad);
        const float a = sample.u * half, b = sample.v * half;
        Vec3 d = Normalize({toLight.x + a * across.x + b * upward.x, toLight.y + a * across.y + b * upward.y,
                       toLight.z + a * across.z + b * upward.z});
        d.y = std::min(d.y, 0.0f);  // a light along the floor stays above it
        toLight = Normalize(d);
    }
    return DirectionalLight(toLight, shape);
}

KeyLight DirectionalLight(const Vec3& toLight, const ShapeSpec& shape)
{
    KeyLight light;
    light.toLight = toLight;
    const float radius =
        0.5f * std::sqrt(shape.size[0] * shape.size[0] + shape.size[1] * shape.size[1] + shape.size[2] * shape.size[2]);
    const float distance = 4.0f * radius;
    const Vec3 at = {light.toLight.x * distance, light.toLight.y * distance, light.toLight.z * distance};
    const Vec3 up = std::fabs(light.toLight.y) > 0.99f ? Vec3{0.0f, 0.0f, 1.0f} : Vec3{0.0f, -1.0f, 0.0f};
    light.view = MatrixLookAtRH(at, {0.0f, 0.0f, 0.0f}, up);
    light.mapSize = 2.0f * radius * 1.02f;
    // Deep enough behind the model for the floor as far as its shadow can reach.
    light.projection = MatrixOrthoRH(light.mapSize, light.mapSize, distance - radius * 1.02f, distance + radius * 40.0f);
    return light;
}

Vec3 SkyDirection(unsigned index)
{
    // A point of the disc lifted onto the dome above it: cosine weighted (Malley's way).
    // The disc is shrunk so the lowest lies 50 degrees up, as a studio's dome is brightest
    // overhead: lower, the sky's shadows would grey the floor far from the model, where a
    // shop wants its white.
    const float kMaxAcross = std::cos(kLowestSky);
    const LightSample s = DiscSample(index);
    const float u = s.u * kMaxAcross, v = s.v * kMaxAcross;
    return Normalize({u, -std::sqrt(std::max(1.0f - u * u - v * v, 0.0f)), v});
}

float SkySampleSpread(unsigned count)
{
    // The cap's share each of count directions has, as a cone of its own:
    // 2 pi (1 - cos a) = 2 pi (1 - sin lowest) / count.
    const float n = static_cast<float>(std::max(count, 1u));
    return std::acos(std::clamp(1.0f - (1.0f - std::sin(kLowestSky)) / n, -1.0f, 1.0f));
}

float PenumbraSpread(unsigned passes)
{
    return std::min(1.0f, 1.5f / std::sqrt(static_cast<float>(std::max(passes, 1u))));
}

float ShadowBlurPerDistance(const BoxScene& scene, unsigned passes)
{
    const float elevation = static_cast<float>(scene.m_nLightElevation) * kDegToRad;
    const float halfSize = std::tan(static_cast<float>(scene.m_nLightSize) * 0.5f * kDegToRad);
    return PenumbraSpread(passes) * halfSize / std::max(std::cos(elevation), 0.2f);
}

Mat4 ShadowMapBias(unsigned mapTexels)
{
    const float half = 0.5f / static_cast<float>(mapTexels);
    Mat4 m = {};
    m._11 = 0.5f;
    m._22 = -0.5f;
    m._33 = 1.0f;
    m._41 = 0.5f + half;
    m._42 = 0.5f + half;
    m._44 = 1.0f;
    return m;
}
