// Shrinking pictures by area averaging, from rows that arrive in bands.
#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

#include "decoded_image.h"

// Accumulates source rows (BGRA) into a smaller destination picture. Each destination pixel
// is the average of the source pixels its area covers; when a side grows, the nearest source
// pixel is taken.
class AreaResampler {
public:
    // bLinearLight: colours are averaged as light (sRGB decoded first, encoded again after),
    // so that fine black and white detail keeps its brightness; alpha is averaged as it is.
    AreaResampler(UINT srcWidth, UINT srcHeight, UINT dstWidth, UINT dstHeight, bool bLinearLight = false);
    // The source rows [firstRow, firstRow + rowCount) that the next call to AddRows needs.
    UINT NextBandFirstRow() const { return m_nextSrcRow; }
    UINT NextBandRowCount() const;
    // Takes the next band: rowCount rows of srcWidth pixels, stride in pixels.
    void AddRows(const uint32_t* pRows, UINT rowCount, UINT stride);
    bool Done() const { return m_nextDstRow >= m_dstHeight; }
    // Instead of bands: the destination rows [firstDstRow, endDstRow) from the whole source
    // (calls for rows apart may run on threads of their own).
    void ResampleRows(const DecodedImage& src, UINT firstDstRow, UINT endDstRow);
    DecodedImage Take();

private:
    void AverageRows(const uint32_t* pRows, UINT rowCount, UINT stride, unsigned long long* pSums, uint32_t* pDst) const;
    UINT SrcRowBegin(UINT dstRow) const;
    UINT SrcRowEnd(UINT dstRow) const;

    UINT m_srcWidth, m_srcHeight, m_dstWidth, m_dstHeight;
    bool m_bLinearLight;
    UINT m_nextSrcRow = 0;
    UINT m_nextDstRow = 0;
    std::vector<UINT> m_colBegin, m_colEnd;
    std::vector<unsigned long long> m_sums;
    DecodedImage m_out;
};

// Shrinks (or copies) a picture in memory.
DecodedImage ResampleImage(const DecodedImage& src, UINT dstWidth, UINT dstHeight, bool bLinearLight = false);
