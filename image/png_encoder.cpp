#include "png_encoder.h"

#include <zlib.h>

#include "picture_record.h"
#include "run_deflate.h"

#include <algorithm>
#include <chrono>
#include <new>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point t0)
{
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

constexpr UINT kMinRowsPerBand = 64;
constexpr UINT kRowsPerStep = 32;            // rows filtered, then handed to deflate
constexpr size_t kIdatChunk = 1u << 20;      // bytes of compressed data per IDAT chunk
constexpr size_t kMaxBandRawBytes = 1u << 30; // the checksum combine takes a 32-bit length

struct Band {
    UINT firstRow = 0, endRow = 0;
    std::vector<BYTE> deflated;
    uLong adler = 1;
    size_t rawBytes = 0;
    double filterSeconds = 0, deflateSeconds = 0;
    bool ok = false;
};

// One row with the Up filter, as the file stores it: each byte of R, G, B (and A) minus the
// byte above it. Of the cheap filters it compresses rendered boxes best (5% larger than the
// adaptive choice at level 6, at a fraction of the time); a band's first row takes the row
// above it from the picture, so bands need nothing from each other. The four bytes of a
// pixel are subtracted at once, without borrows between them.
void FilterRowUp(const uint32_t* row, const uint32_t* above, UINT width, bool bAlpha, BYTE* dst)
{
    *dst++ = 2;  // filter type: Up
    for (UINT x = 0; x < width; ++x) {
        const uint32_t c = row[x], a = above ? above[x] : 0;
        const uint32_t d = ((c | 0x80808080u) - (a & 0x7F7F7F7Fu)) ^ ((c ^ ~a) & 0x80808080u);
        *dst++ = static_cast<BYTE>(d >> 16);
        *dst++ = static_cast<BYTE>(d >> 8);
        *dst++ = static_cast<BYTE>(d);
        if (bAlpha)
            *dst++ = static_cast<BYTE>(d >> 24);
    }
}

// Rows of the picture from row `first` on, and the row above them (null at the top).
struct RowRun {
    const uint32_t* pFirst = nullptr;
    UINT first = 0;
    UINT width = 0;
    const uint32_t* pAbove = nullptr;
    const uint32_t* Row(UINT y) const { return y < first ? pAbove : pFirst + static_cast<size_t>(y - first) * width; }
};

void DeflateBandRows(const RowRun& rows, const PngOptions& options, bool bLast, Band* pBand)
{
    const size_t rowBytes = 1 + static_cast<size_t>(rows.width) * (options.bAlpha ? 4 : 3);
    std::vector<BYTE> raw(rowBytes * kRowsPerStep);
    const bool bHasAbove = pBand->firstRow > rows.first || rows.pAbove;
    const size_t count = pBand->endRow - pBand->firstRow;
    // Rendered pictures deflate to a fraction of their size.
    pBand->deflated.reserve(std::max<size_t>(rowBytes * count / 6, 4096));
    RunDeflater deflater;
    for (UINT y = pBand->firstRow; y < pBand->endRow; y += kRowsPerStep) {
        const UINT n = std::min(kRowsPerStep, pBand->endRow - y);
        Clock::time_point t0 = Clock::now();
        for (UINT r = 0; r < n; ++r) {
            const bool bAbove = y + r > pBand->firstRow || bHasAbove;
            FilterRowUp(rows.Row(y + r), bAbove ? rows.Row(y + r - 1) : nullptr, rows.width, options.bAlpha,
                        &raw[r * rowBytes]);
        }
        const size_t inBytes = n * rowBytes;
        pBand->adler = adler32(pBand->adler, raw.data(), static_cast<uInt>(inBytes));
        pBand->rawBytes += inBytes;
        Clock::time_point t1 = Clock::now();
        pBand->filterSeconds += std::chrono::duration<double>(t1 - t0).count();
        deflater.Add(raw.data(), inBytes, &pBand->deflated);
        pBand->deflateSeconds += SecondsSince(t1);
    }
    // The last band ends the stream; the others end on a byte boundary so that the next
    // band's blocks follow them directly.
    const Clock::time_point t1 = Clock::now();
    deflater.Finish(bLast, &pBand->deflated);
    pBand->deflateSeconds += SecondsSince(t1);
    pBand->ok = true;
}

// On a thread of its own too: out of memory fails the picture, it does not end the program.
void DeflateBand(const RowRun& rows, const PngOptions& options, bool bLast, Band* pBand)
{
    try {
        DeflateBandRows(rows, options, bLast, pBand);
    } catch (const std::bad_alloc&) {
        pBand->ok = false;
        std::vector<BYTE>().swap(pBand->deflated);
    }
}

void PutBE32(std::vector<BYTE>& out, uint32_t v)
{
    const BYTE b[4] = {static_cast<BYTE>(v >> 24), static_cast<BYTE>(v >> 16), static_cast<BYTE>(v >> 8),
                       static_cast<BYTE>(v)};
    out.insert(out.end(), b, b + 4);
}

} // namespace

void PutPngChunk(std::vector<BYTE>& out, const char type[4], const BYTE* data, size_t length)
{
    PutBE32(out, static_cast<uint32_t>(length));
    const size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    if (length)
        out.insert(out.end(), data, data + length);
    uLong crc = crc32(0, &out[typeAt], static_cast<uInt>(4 + length));
    PutBE32(out, static_cast<uint32_t>(crc));
}

PngStreamEncoder::PngStreamEncoder(UINT width, UINT height, const PngOptions& options, ByteSink write)
    : m_width(width), m_height(height), m_options(options), m_write(std::move(write)),
      m_rowBytes(1 + static_cast<size_t>(width) * (options.bAlpha ? 4 : 3))
{
}

HRESULT PngStreamEncoder::Put(const char type[4], const BYTE* data, size_t length)
{
    std::vector<BYTE> chunk;
    PutPngChunk(chunk, type, data, length);
    return m_write(chunk.data(), chunk.size());
}

HRESULT PngStreamEncoder::Begin()
{
    if (m_width == 0 || m_height == 0)
        return E_INVALIDARG;
    static const BYTE kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    HRESULT hr = m_write(kSignature, 8);
    std::vector<BYTE> header;
    PutBE32(header, m_width);
    PutBE32(header, m_height);
    header.push_back(8);                           // bits per sample
    header.push_back(m_options.bAlpha ? 6 : 2);    // colour type: RGBA or RGB
    header.push_back(0);                           // deflate
    header.push_back(0);                           // adaptive filtering
    header.push_back(0);                           // not interlaced
    if (SUCCEEDED(hr))
        hr = Put("IHDR", header.data(), header.size());
    // The pixels are sRGB (the renderer's output, artwork as the screen shows it): say so,
    // so that colour-managed programs show and print them as they are.
    const BYTE perceptual = 0;
    if (SUCCEEDED(hr))
        hr = Put("sRGB", &perceptual, 1);
    if (SUCCEEDED(hr) && m_options.dpi > 0) {
        std::vector<BYTE> phys;
        const uint32_t perMetre = static_cast<uint32_t>(m_options.dpi / 0.0254 + 0.5);
        PutBE32(phys, perMetre);
        PutBE32(phys, perMetre);
        phys.push_back(1);  // unit: the metre
        hr = Put("pHYs", phys.data(), phys.size());
    }
    if (SUCCEEDED(hr) && !m_options.record.empty()) {
        std::string text = std::string(kRecordKeyword) + '\0' + m_options.record;
        hr = Put("tEXt", reinterpret_cast<const BYTE*>(text.data()), text.size());
    }
    // The zlib stream runs across IDAT chunks (a reader joins them): the header (32 KB
    // window, fast compression), each band's blocks as they are, the combined checksum.
    static const BYTE kZlibHeader[2] = {0x78, 0x5E};
    if (SUCCEEDED(hr))
        hr = Put("IDAT", kZlibHeader, 2);
    return hr;
}

HRESULT PngStreamEncoder::AddRows(const uint32_t* pRows, UINT count)
{
    if (count == 0 || m_nextRow + count > m_height)
        return E_INVALIDARG;
    const Clock::time_point start = Clock::now();
    const bool bEndsPicture = m_nextRow + count == m_height;
    unsigned bands = m_options.bands;
    if (bands == 0)
        bands = std::max(1u, std::min(std::thread::hardware_concurrency(), count / kMinRowsPerBand));
    const size_t minBands = (m_rowBytes * count + kMaxBandRawBytes - 1) / kMaxBandRawBytes;
    bands = std::clamp<unsigned>(bands, static_cast<unsigned>(std::max<size_t>(1, minBands)), count);

    RowRun rows;
    rows.pFirst = pRows;
    rows.first = m_nextRow;
    rows.width = m_width;
    rows.pAbove = m_nextRow > 0 ? m_above.data() : nullptr;
    std::vector<Band> parts(bands);
    for (unsigned i = 0; i < bands; ++i) {
        parts[i].firstRow = m_nextRow + static_cast<UINT>(static_cast<unsigned long long>(count) * i / bands);
        parts[i].endRow = m_nextRow + static_cast<UINT>(static_cast<unsigned long long>(count) * (i + 1) / bands);
    }
    std::vector<std::thread> helpers;
    try {
        for (unsigned i = 1; i < bands; ++i)
            helpers.emplace_back(DeflateBand, std::cref(rows), std::cref(m_options), bEndsPicture && i + 1 == bands,
                                 &parts[i]);
    } catch (...) {
        // No thread to spare: the rest is done here, one band after another.
    }
    DeflateBand(rows, m_options, bEndsPicture && bands == 1, &parts[0]);
    for (unsigned i = 1 + static_cast<unsigned>(helpers.size()); i < bands; ++i)
        DeflateBand(rows, m_options, bEndsPicture && i + 1 == bands, &parts[i]);
    for (std::thread& t : helpers)
        t.join();

    HRESULT hr = S_OK;
    for (Band& b : parts) {
        if (!b.ok) {
            hr = E_FAIL;
            break;
        }
        for (size_t at = 0; SUCCEEDED(hr) && at < b.deflated.size(); at += kIdatChunk)
            hr = Put("IDAT", b.deflated.data() + at, std::min(kIdatChunk, b.deflated.size() - at));
        m_adler = adler32_combine(m_adler, b.adler, static_cast<z_off_t>(b.rawBytes));
        m_timings.filterSeconds += b.filterSeconds;
        m_timings.deflateSeconds += b.deflateSeconds;
        std::vector<BYTE>().swap(b.deflated);
    }
    m_above.assign(pRows + static_cast<size_t>(count - 1) * m_width, pRows + static_cast<size_t>(count) * m_width);
    m_nextRow += count;
    m_timings.wallSeconds += SecondsSince(start);
    return hr;
}

HRESULT PngStreamEncoder::Finish()
{
    if (m_nextRow != m_height)
        return E_UNEXPECTED;
    std::vector<BYTE> checksum;
    PutBE32(checksum, static_cast<uint32_t>(m_adler));
    HRESULT hr = Put("IDAT", checksum.data(), checksum.size());
    if (SUCCEEDED(hr))
        hr = Put("IEND", nullptr, 0);
    return hr;
}

HRESULT EncodePng(const DecodedImage& image, const PngOptions& options, std::vector<BYTE>* pBytes,
                  PngTimings* pTimings)
{
    if (image.width == 0 || image.height == 0 || image.pixels.size() != static_cast<size_t>(image.width) * image.height)
        return E_INVALIDARG;
    std::vector<BYTE>& out = *pBytes;
    out.clear();
    // Rendered pictures deflate to a fraction of their size.
    out.reserve(image.pixels.size() / 4 + 1024);
    PngStreamEncoder encoder(image.width, image.height, options, [&](const BYTE* p, size_t n) {
        out.insert(out.end(), p, p + n);
        return S_OK;
    });
    HRESULT hr = encoder.Begin();
    if (SUCCEEDED(hr))
        hr = encoder.AddRows(image.pixels.data(), image.height);
    if (SUCCEEDED(hr))
        hr = encoder.Finish();
    if (pTimings)
        *pTimings = encoder.Timings();
    return hr;
}
