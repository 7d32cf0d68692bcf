// A colour as scenes and the model of the shapes hold it: 0x00BBGGRR, the platform's
// COLORREF layout, without the platform's headers.
#pragma once
#include <cmath>
#include <cstdint>

using Colour = std::uint32_t;

constexpr Colour MakeColour(unsigned r, unsigned g, unsigned b)
{
    return (r & 0xFFu) | (g & 0xFFu) << 8 | (b & 0xFFu) << 16;
}
constexpr unsigned RedOf(Colour c) { return c & 0xFFu; }
constexpr unsigned GreenOf(Colour c) { return (c >> 8) & 0xFFu; }
constexpr unsigned BlueOf(Colour c) { return (c >> 16) & 0xFFu; }

// An opaque 0xAARRGGBB (a Direct3D or texel colour) of it.
constexpr std::uint32_t OpaqueArgbOf(Colour c)
{
    return 0xFF000000u | RedOf(c) << 16 | GreenOf(c) << 8 | BlueOf(c);
}

// A channel (0..255) of an sRGB colour as light, 0..1.
inline float LinearOfChannel(unsigned value)
{
    const double c = value / 255.0;
    return static_cast<float>(c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
}

// Light, 0..1, as an sRGB channel, 0..1: the other way.
inline float EncodedOfLight(float light)
{
    return light <= 0.0031308f ? 12.92f * light : 1.055f * std::pow(light, 1 / 2.4f) - 0.055f;
}
