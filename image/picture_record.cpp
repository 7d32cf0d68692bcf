#include "picture_record.h"

#include <cstdio>
#include <cstring>

#include "file_open.h"

namespace {

const char kPageOpen[] = "<!-- zelmora-job ";
const char kPageClose[] = " -->\n</html>\n";

uint32_t ReadBE32(const BYTE* p)
{
    return (static_cast<uint32_t>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

uint32_t ReadLE32(const BYTE* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const std::wstring& path)
        : m_h(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                            nullptr))
    {
        LARGE_INTEGER size = {};
        if (m_h != INVALID_HANDLE_VALUE && ::GetFileSizeEx(m_h, &size))
            m_size = static_cast<unsigned long long>(size.QuadPart);
    }
    ~ReadOnlyFile()
    {
        if (m_h != INVALID_HANDLE_VALUE)
            ::CloseHandle(m_h);
    }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
    unsigned long long Size() const { return m_size; }
    // Exactly n bytes at `at`, or false.
    bool Read(unsigned long long at, void* p, size_t n) const
    {
        if (m_h == INVALID_HANDLE_VALUE || at + n > m_size || n > 0x7FFFFFFF)
            return false;
        LARGE_INTEGER where;
        where.QuadPart = static_cast<LONGLONG>(at);
        DWORD got = 0;
        return ::SetFilePointerEx(m_h, where, nullptr, FILE_BEGIN) &&
               ::ReadFile(m_h, p, static_cast<DWORD>(n), &got, nullptr) && got == n;
    }

private:
    HANDLE m_h;
    unsigned long long m_size = 0;
};

std::string PngRecord(const ReadOnlyFile& file)
{
    static const BYTE kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    BYTE head[8];
    if (!file.Read(0, head, 8) || std::memcmp(head, kSignature, 8) != 0)
        return std::string();
    std::string record;
    bool bHeader = false;
    for (unsigned long long at = 8; at + 12 <= file.Size();) {
        BYTE chunk[8];
        if (!file.Read(at, chunk, 8))
            return std::string();
        const unsigned long long length = ReadBE32(chunk);
        const unsigned long long next = at + 12 + length;
        if (next > file.Size())
            return std::string();  // a chunk runs past the end: cut short
        if (!bHeader && std::memcmp(chunk + 4, "IHDR", 4) != 0)
            return std::string();
        bHeader = true;
        if (std::memcmp(chunk + 4, "tEXt", 4) == 0 && length > sizeof kRecordKeyword && length < 4096) {
            std::string text(static_cast<size_t>(length), '\0');
            if (file.Read(at + 8, &text[0], text.size()) && text.compare(0, sizeof kRecordKeyword, kRecordKeyword,
                                                                         sizeof kRecordKeyword) == 0)
                record = text.substr(sizeof kRecordKeyword);
        }
        if (std::memcmp(chunk + 4, "IEND", 4) == 0)
            return next == file.Size() ? record : std::string();
        at = next;
    }
    return std::string();
}

std::string JpegRecord(const ReadOnlyFile& file)
{
    BYTE end[2];
    if (file.Size() < 4 || !file.Read(file.Size() - 2, end, 2) || end[0] != 0xFF || end[1] != 0xD9)
        return std::string();
    // The segments before the picture's scan: SOI, then marker, length, data.
    BYTE soi[2];
    if (!file.Read(0, soi, 2) || soi[0] != 0xFF || soi[1] != 0xD8)
        return std::string();
    for (unsigned long long at = 2; at + 4 <= file.Size();) {
        BYTE segment[4];
        if (!file.Read(at, segment, 4) || segment[0] != 0xFF || segment[1] == 0xDA)
            return std::string();
        const size_t length = (segment[2] << 8) | segment[3];
        if (segment[1] == 0xFE && length > 2) {
            std::string text(length - 2, '\0');
            if (!file.Read(at + 4, &text[0], text.size()))
                return std::string();
            const std::string tag = std::string(kRecordKeyword) + " ";
            unsigned long long size = 0;
            const size_t space = text.rfind(' ');
            if (text.compare(0, tag.size(), tag) == 0 && space > tag.size() &&
                std::sscanf(text.c_str() + space + 1, "%llx", &size) == 1)
                return size == file.Size() ? text.substr(tag.size(), space - tag.size()) : std::string();
        }
        at += 2 + length;
    }
    return std::string();
}

std::string PageRecord(const ReadOnlyFile& file)
{
    const size_t tail = static_cast<size_t>(std::min<unsigned long long>(file.Size(), 4096));
    std::string text(tail, '\0');
    if (!file.Read(file.Size() - tail, &text[0], tail))
        return std::string();
    const size_t close = text.size() >= std::strlen(kPageClose) ? text.size() - std::strlen(kPageClose) : std::string::npos;
    const size_t open = text.rfind(kPageOpen);
    if (close == std::string::npos || text.compare(close, std::string::npos, kPageClose) != 0 ||
        open == std::string::npos || open > close)
        return std::string();
    return text.substr(open + std::strlen(kPageOpen), close - open - std::strlen(kPageOpen));
}

std::string ModelRecord(const ReadOnlyFile& file)
{
    BYTE header[20];
    if (!file.Read(0, header, 20) || std::memcmp(header, "glTF", 4) != 0 || ReadLE32(header + 4) != 2 ||
        ReadLE32(header + 8) != file.Size() || std::memcmp(header + 16, "JSON", 4) != 0)
        return std::string();
    const uint32_t jsonLength = ReadLE32(header + 12);
    if (jsonLength > (1u << 24))
        return std::string();
    std::string json(jsonLength, '\0');
    if (!file.Read(20, &json[0], json.size()))
        return std::string();
    const std::string tag = std::string("\"") + kRecordKeyword + "\":\"";
    const size_t at = json.find(tag);
    const size_t end = at == std::string::npos ? at : json.find('"', at + tag.size());
    return end == std::string::npos ? std::string() : json.substr(at + tag.size(), end - at - tag.size());
}

} // namespace

void AddJpegRecord(std::vector<BYTE>& jpeg, const std::string& record)
{
    constexpr size_t kJfifEnd = 20;  // SOI and the JFIF segment
    if (record.empty() || jpeg.size() < kJfifEnd)
        return;
    const std::string body = std::string(kRecordKeyword) + " " + record + " ";
    const size_t segment = 4 + body.size() + 16;  // marker, length, text, the size in 16 hex digits
    char size[17];
    std::snprintf(size, sizeof size, "%016llx", static_cast<unsigned long long>(jpeg.size() + segment));
    std::vector<BYTE> com = {0xFF, 0xFE, static_cast<BYTE>((segment - 2) >> 8), static_cast<BYTE>(segment - 2)};
    com.insert(com.end(), body.begin(), body.end());
    com.insert(com.end(), size, size + 16);
    jpeg.insert(jpeg.begin() + kJfifEnd, com.begin(), com.end());
}

std::string PageEndWithRecord(const std::string& record)
{
    return record.empty() ? std::string("</html>\n") : kPageOpen + record + kPageClose;
}

std::string FinishedFileRecord(const std::wstring& path)
{
    ReadOnlyFile file(path);
    if (file.Size() == 0)
        return std::string();
    if (EndsWithNoCase(path, L".png"))
        return PngRecord(file);
    if (EndsWithNoCase(path, L".jpg") || EndsWithNoCase(path, L".jpeg"))
        return JpegRecord(file);
    if (EndsWithNoCase(path, L".html") || EndsWithNoCase(path, L".htm"))
        return PageRecord(file);
    if (EndsWithNoCase(path, L".glb"))
        return ModelRecord(file);
    return std::string();
}
