#include "job_record.h"

#include <windows.h>

#include <cstdio>
#include <map>
#include <tuple>

#include "picture_record.h"

namespace {

// Two FNV-1a hashes from different starts: 128 bits, ample to tell one job from another.
class Digest {
public:
    void Add(const void* p, size_t n)
    {
        const auto* bytes = static_cast<const unsigned char*>(p);
        for (size_t i = 0; i < n; ++i) {
            m_a = (m_a ^ bytes[i]) * 1099511628211ull;
            m_b = (m_b ^ bytes[i]) * 1099511628211ull;
        }
    }
    template <typename T>
    void AddValue(const T& value)
    {
        Add(&value, sizeof value);
    }
    void AddText(const std::wstring& text)
    {
        AddValue(text.size());
        Add(text.data(), text.size() * sizeof(wchar_t));
    }
    std::string Hex() const
    {
        char text[33];
        std::snprintf(text, sizeof text, "%016llx%016llx", m_a, m_b);
        return text;
    }

private:
    unsigned long long m_a = 14695981039346656037ull, m_b = 0x9E3779B97F4A7C15ull;
};

// A picture file's contents, hashed once per run for each file as it is now (a catalogue
// uses a few pictures many times). Empty when it cannot be read: the drawing says why.
std::string ContentsDigest(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA info = {};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &info))
        return std::string();
    using Key = std::tuple<std::wstring, DWORD, DWORD, DWORD, DWORD>;
    static std::map<Key, std::string> s_known;
    const Key key{path, info.nFileSizeLow, info.nFileSizeHigh, info.ftLastWriteTime.dwLowDateTime,
                  info.ftLastWriteTime.dwHighDateTime};
    auto known = s_known.find(key);
    if (known != s_known.end())
        return known->second;
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return std::string();
    Digest digest;
    std::string buffer(1 << 20, '\0');
    DWORD got = 0;
    while (::ReadFile(h, &buffer[0], static_cast<DWORD>(buffer.size()), &got, nullptr) && got > 0)
        digest.Add(buffer.data(), got);
    ::CloseHandle(h);
    return s_known[key] = digest.Hex();
}

} // namespace

std::string JobRecord(const RenderJob& job)
{
    Digest d;
    d.AddValue(1);  // how this digest is made: changed whenever what it covers changes
    auto addFaces = [&d](const ProductDescription& product) {
        for (int s = 0; s < kPictureCount; ++s) {
            d.AddText(product.facePaths[s]);
            d.AddValue(product.faceColours[s]);
            const std::string contents =
                product.facePaths[s].empty() ? std::string() : ContentsDigest(product.facePaths[s]);
            d.Add(contents.data(), contents.size());
        }
    };
    addFaces(job);
    for (int v : job.values)
        d.AddValue(v);
    // A set's other products: their pictures, colours and own values (none for a single one).
    for (const ProductDescription& product : job.products) {
        addFaces(product);
        for (int i = 0; i < kSceneValueCount; ++i)
            if (g_sceneValues[i].bProduct)
                d.AddValue(product.values[i]);
    }
    d.AddValue(job.background);
    d.AddValue(job.width), d.AddValue(job.height), d.AddValue(job.bTransparent), d.AddValue(job.dpi);
    d.AddValue(job.supersample);
    d.AddValue(job.quality), d.AddValue(job.samples), d.AddValue(job.fitMargin), d.AddValue(job.rotation1Fraction);
    d.AddValue(job.modelTextureSize), d.AddValue(job.spin), d.AddValue(job.spinElevation);
    d.AddValue(job.spinFormats), d.AddValue(job.spinDelay);
    return d.Hex();
}

bool IsFinishedOutput(const std::wstring& path, const std::string& record)
{
    return !record.empty() && FinishedFileRecord(path) == record;
}
