#include "glb_container.h"

#include <cstdio>

void PadTo4(std::vector<uint8_t>& out)
{
    while (out.size() % 4)
        out.push_back(0);
}

std::string JsonNumber(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

std::vector<uint8_t> GlbContainer(std::string json, const std::vector<uint8_t>& bin)
{
    while (json.size() % 4)
        json += ' ';
    std::vector<uint8_t> glb;
    const uint32_t total = static_cast<uint32_t>(12 + 8 + json.size() + 8 + bin.size());
    AppendBytes(glb, 0x46546C67u);  // "glTF"
    AppendBytes(glb, 2u);
    AppendBytes(glb, total);
    AppendBytes(glb, static_cast<uint32_t>(json.size()));
    AppendBytes(glb, 0x4E4F534Au);  // "JSON"
    glb.insert(glb.end(), json.begin(), json.end());
    AppendBytes(glb, static_cast<uint32_t>(bin.size()));
    AppendBytes(glb, 0x004E4942u);  // "BIN"
    glb.insert(glb.end(), bin.begin(), bin.end());
    return glb;
}
