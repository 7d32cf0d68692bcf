// The glTF binary container and the small pieces of writing one: bytes appended as they lie
// in memory (glTF is little-endian, as this platform is), padding, numbers as JSON spells them.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

template <typename T>
void AppendBytes(std::vector<uint8_t>& out, const T& value)
{
    const uint8_t* p = reinterpret_cast<const uint8_t*>(&value);
    out.insert(out.end(), p, p + sizeof(T));
}

// Zeros up to the next multiple of four bytes: every glTF chunk and accessor starts on one.
void PadTo4(std::vector<uint8_t>& out);

std::string JsonNumber(double value);

// The .glb file: its header, the JSON chunk (padded with spaces) and the binary chunk.
std::vector<uint8_t> GlbContainer(std::string json, const std::vector<uint8_t>& bin);
