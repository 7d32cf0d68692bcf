#include "apng_writer.h"

#include <cstring>

#include "png_encoder.h"

namespace {

const BYTE kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

uint32_t ReadBE32(const BYTE* p)
{
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 | p[3];
}

void AppendBE32(std::vector<BYTE>& out, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<BYTE>(v >> shift));
}

void AppendBE16(std::vector<BYTE>& out, unsigned v)
{
    out.push_back(static_cast<BYTE>(v >> 8));
    out.push_back(static_cast<BYTE>(v));
}

} // namespace

HRESULT ApngWriter::Open(const std::wstring& path, UINT frameCount, UINT delayMs)
{
    if (frameCount == 0)
        return E_INVALIDARG;
    m_nFrames = frameCount;
    m_nDelayMs = delayMs;
    m_nAdded = m_nSequence = 0;
    m_header.clear();
    return m_file.Open(path.c_str());
}

HRESULT ApngWriter::Put(const char type[4], const BYTE* data, size_t length)
{
    std::vector<BYTE> chunk;
    PutPngChunk(chunk, type, data, length);
    return m_file.Write(chunk.data(), static_cast<DWORD>(chunk.size()));
}

HRESULT ApngWriter::PutFrameControl(UINT width, UINT height)
{
    std::vector<BYTE> control;
    AppendBE32(control, m_nSequence++);
    AppendBE32(control, width);
    AppendBE32(control, height);
    AppendBE32(control, 0);  // x and y offset: every frame is whole
    AppendBE32(control, 0);
    AppendBE16(control, m_nDelayMs);  // delay m_nDelayMs / 1000 s
    AppendBE16(control, 1000);
    control.push_back(0);  // dispose: none (the next frame covers it all)
    control.push_back(0);  // blend: source, so that transparent pixels stay transparent
    return Put("fcTL", control.data(), control.size());
}

HRESULT ApngWriter::AddFrame(const std::vector<BYTE>& png)
{
    if (m_nAdded >= m_nFrames || png.size() < 8 || memcmp(png.data(), kSignature, 8) != 0)
        return E_INVALIDARG;
    const bool bFirst = m_nAdded == 0;
    HRESULT hr = bFirst ? m_file.Write(kSignature, 8) : S_OK;
    bool bControlled = false;
    for (size_t at = 8; SUCCEEDED(hr) && at + 12 <= png.size();) {
        const uint32_t length = ReadBE32(&png[at]);
        if (length > png.size() - at - 12)
            return E_INVALIDARG;
        const char* type = reinterpret_cast<const char*>(&png[at + 4]);
        const BYTE* data = &png[at + 8];
        at += 12 + length;
        if (memcmp(type, "IHDR", 4) == 0) {
            if (bFirst) {
                m_header.assign(data, data + length);
                hr = Put("IHDR", data, length);
                std::vector<BYTE> animation;
                AppendBE32(animation, m_nFrames);
                AppendBE32(animation, 0);  // plays: for ever
                if (SUCCEEDED(hr))
                    hr = Put("acTL", animation.data(), animation.size());
            } else if (m_header.size() != length || memcmp(m_header.data(), data, length) != 0) {
                return E_INVALIDARG;  // another size or kind of picture
            }
        } else if (memcmp(type, "IDAT", 4) == 0) {
            if (!bControlled) {
                hr = PutFrameControl(ReadBE32(&m_header[0]), ReadBE32(&m_header[4]));
                bControlled = true;
            }
            if (SUCCEEDED(hr) && bFirst) {
                hr = Put("IDAT", data, length);
            } else if (SUCCEEDED(hr)) {
                std::vector<BYTE> frameData;
                frameData.reserve(4 + length);
                AppendBE32(frameData, m_nSequence++);
                frameData.insert(frameData.end(), data, data + length);
                hr = Put("fdAT", frameData.data(), frameData.size());
            }
        } else if (memcmp(type, "IEND", 4) != 0 && bFirst) {
            hr = Put(std::string(type, 4).c_str(), data, length);  // pHYs and the like, once
        }
    }
    if (SUCCEEDED(hr) && !bControlled)
        return E_INVALIDARG;  // no picture in it
    if (SUCCEEDED(hr))
        ++m_nAdded;
    return hr;
}

HRESULT ApngWriter::Commit()
{
    if (m_nAdded != m_nFrames)
        return E_UNEXPECTED;
    HRESULT hr = Put("IEND", nullptr, 0);
    return SUCCEEDED(hr) ? m_file.Commit() : hr;
}
