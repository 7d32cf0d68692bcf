// How much of the studio round it a part mirrors, as the model's shaders take it: a
// dielectric's reflectance (a laminate, plastic, paper and ink alike, 4 % face-on) averaged
// over the spread its roughness gives, as a path tracer's GGX surface returns it under an
// even dome. A smooth part follows Schlick's steep rise toward grazing angles; a rough one
// keeps only a gentle rise but still returns its few percent of the light round it.
#pragma once
#include <algorithm>
#include <array>
#include <iterator>

// The reflectance at a cosine c between the normal and the eye is a + b 2^(-k c): fitted,
// within 0.003, to Cycles' Principled surface of each roughness on a sphere under a
// uniform dome (c from 1 down to 0.27).
struct ReflectanceFit {
    double roughness;
    float a, b, k;
};
constexpr ReflectanceFit kReflectanceFits[] = {
    {0.2, 0.0347f, 0.910f, 8.2f}, {0.25, 0.0336f, 0.774f, 7.7f}, {0.35, 0.0316f, 0.479f, 6.5f},
    {0.5, 0.0295f, 0.215f, 5.2f}, {0.7, 0.0233f, 0.0892f, 4.4f}, {0.8, 0.0196f, 0.0652f, 4.4f},
    {0.9, 0.0135f, 0.0474f, 3.7f}, {1.0, 0.0084f, 0.0370f, 3.2f},
};

// The shader's terms for a part that mirrors so much (0..1) of it: the reflectance is
// z + y 2^(x c); w is 4 alpha^2 (GGX's alpha, the roughness squared), by which the shader
// finds the share of the lobe that sees the dome rather than the floor: its microfacets'
// slopes along one direction spread as a Student's t of two degrees of freedom, so that
// the share is 1/2 + h / 2 sqrt(h^2 + 4 alpha^2) for a mirrored view at height h. A gloss
// spine seen level mirrors the lit floor's glow well above the horizon, as a path tracer's
// long-tailed lobe does.
inline std::array<float, 4> StudioReflection(double roughness, float mirror)
{
    const ReflectanceFit* pFirst = std::begin(kReflectanceFits);
    const ReflectanceFit* pLast = std::end(kReflectanceFits) - 1;
    const double r = std::clamp(roughness, pFirst->roughness, pLast->roughness);
    const ReflectanceFit* pHigh = pFirst + 1;
    while (pHigh < pLast && pHigh->roughness < r)
        ++pHigh;
    const ReflectanceFit& lo = pHigh[-1];
    const ReflectanceFit& hi = *pHigh;
    const float t = static_cast<float>((r - lo.roughness) / (hi.roughness - lo.roughness));
    auto mix = [t](float x, float y) { return x + (y - x) * t; };
    const double alpha = r * r;
    return {-mix(lo.k, hi.k), mirror * mix(lo.b, hi.b), mirror * mix(lo.a, hi.a), static_cast<float>(4 * alpha * alpha)};
}
