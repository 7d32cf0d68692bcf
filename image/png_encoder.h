// PNG from rendered pixels, Up-filtered and compressed as runs and literals (RunDeflater:
// what zlib's run-length strategy finds, in under half the time). The rows are split into
// bands that are deflated side by side on the machine's cores and joined into one zlib
// stream (each band but the last ends on a byte boundary with a sync flush, the checksums
// are combined), as parallel compressors do: any PNG reader sees one ordinary stream.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "decoded_image.h"

struct PngOptions {
    bool bAlpha = false;  // 8-bit RGBA (straight alpha); else 8-bit RGB
    int dpi = 0;          // 0: no resolution chunk
    unsigned bands = 0;   // 0: one per core (at least 64 rows each)
    std::string record;   // what made it: a tEXt chunk before the pictures; empty: none
};

// Where the time of one encoding went, for the benchmark.
struct PngTimings {
    double filterSeconds = 0;    // rows laid out and filtered (summed over bands)
    double deflateSeconds = 0;   // compression (summed over bands)
    double wallSeconds = 0;      // the whole encoding, as the caller waited for it
};

// The same PNG written as its rows arrive, in bands of any height (each band compressed
// on the machine's cores), so that a picture larger than memory allows can be written.
class PngStreamEncoder {
public:
    using ByteSink = std::function<HRESULT(const BYTE*, size_t)>;
    PngStreamEncoder(UINT width, UINT height, const PngOptions& options, ByteSink write);
    HRESULT Begin();
    // The next `count` rows, top first, `width` pixels each (0xAARRGGBB).
    HRESULT AddRows(const uint32_t* pRows, UINT count);
    // After the last row.
    HRESULT Finish();
    const PngTimings& Timings() const { return m_timings; }

private:
    HRESULT Put(const char type[4], const BYTE* data, size_t length);

    UINT m_width, m_height;
    PngOptions m_options;
    ByteSink m_write;
    size_t m_rowBytes;
    UINT m_nextRow = 0;
    unsigned long m_adler = 1;
    std::vector<uint32_t> m_above;  // the last row given, which the next band's filter needs
    PngTimings m_timings;
};

// One chunk (length, type, data, CRC) appended to `out`.
void PutPngChunk(std::vector<BYTE>& out, const char type[4], const BYTE* data, size_t length);

HRESULT EncodePng(const DecodedImage& image, const PngOptions& options, std::vector<BYTE>* pBytes,
                  PngTimings* pTimings = nullptr);
