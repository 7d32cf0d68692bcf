#include "image_resample.h"

#include <algorithm>

void FitWithin(UINT width, UINT height, UINT maxSide, UINT* pOutWidth, UINT* pOutHeight)
{
    if (width <= maxSide && height <= maxSide) {
        *pOutWidth = width;
        *pOutHeight = height;
        return;
    }
    double scale = static_cast<double>(maxSide) / std::max(width, height);
    *pOutWidth = std::clamp<UINT>(static_cast<UINT>(width * scale + 0.5), 1u, maxSide);
    *pOutHeight = std::clamp<UINT>(static_cast<UINT>(height * scale + 0.5), 1u, maxSide);
}

AreaResampler::AreaResampler(UINT srcWidth, UINT srcHeight, UINT dstWidth, UINT dstHeight)
    : m_srcWidth(srcWidth), m_srcHeight(srcHeight), m_dstWidth(dstWidth), m_dstHeight(dstHeight),
      m_colBegin(dstWidth), m_colEnd(dstWidth)
{
    for (UINT x = 0; x < dstWidth; ++x) {
        UINT begin = static_cast<UINT>(static_cast<unsigned long long>(x) * srcWidth / dstWidth);
        UINT end = static_cast<UINT>(static_cast<unsigned long long>(x + 1) * srcWidth / dstWidth);
        m_colBegin[x] = std::min(begin, srcWidth - 1);
        m_colEnd[x] = std::max(end, m_colBegin[x] + 1);
    }
    m_out.width = dstWidth;
    m_out.height = dstHeight;
    m_out.pixels.resize(static_cast<size_t>(dstWidth) * dstHeight);
    m_nextSrcRow = SrcRowBegin(0);
}

UINT AreaResampler::SrcRowBegin(UINT dstRow) const
{
    UINT begin = static_cast<UINT>(static_cast<unsigned long long>(dstRow) * m_srcHeight / m_dstHeight);
    return std::min(begin, m_srcHeight - 1);
}

UINT AreaResampler::SrcRowEnd(UINT dstRow) const
{
    UINT end = static_cast<UINT>(static_cast<unsigned long long>(dstRow + 1) * m_srcHeight / m_dstHeight);
    return std::max(end, SrcRowBegin(dstRow) + 1);
}

UINT AreaResampler::NextBandRowCount() const
{
    return Done() ? 0 : SrcRowEnd(m_nextDstRow) - SrcRowBegin(m_nextDstRow);
}

void AreaResampler::AddRows(const uint32_t* pRows, UINT rowCount, UINT stride)
{
    // Row by row, so that the source is read in order; one sum per channel per column.
    m_sums.assign(static_cast<size_t>(m_dstWidth) * 4, 0);
    for (UINT r = 0; r < rowCount; ++r) {
        const uint32_t* pRow = pRows + static_cast<size_t>(r) * stride;
        unsigned long long* pSum = m_sums.data();
        for (UINT x = 0; x < m_dstWidth; ++x, pSum += 4) {
            unsigned long long b = 0, g = 0, red = 0, a = 0;
            for (UINT c = m_colBegin[x]; c < m_colEnd[x]; ++c) {
                uint32_t p = pRow[c];
                b += p & 0xFF;
                g += (p >> 8) & 0xFF;
                red += (p >> 16) & 0xFF;
                a += p >> 24;
            }
            pSum[0] += b;
            pSum[1] += g;
            pSum[2] += red;
            pSum[3] += a;
        }
    }
    uint32_t* pDst = &m_out.pixels[static_cast<size_t>(m_nextDstRow) * m_dstWidth];
    const unsigned long long* pSum = m_sums.data();
    for (UINT x = 0; x < m_dstWidth; ++x, pSum += 4) {
        unsigned long long n = static_cast<unsigned long long>(rowCount) * (m_colEnd[x] - m_colBegin[x]);
        auto avg = [&](int i) { return static_cast<uint32_t>((pSum[i] + n / 2) / n); };
        pDst[x] = avg(0) | (avg(1) << 8) | (avg(2) << 16) | (avg(3) << 24);
    }
    ++m_nextDstRow;
    if (!Done())
        m_nextSrcRow = SrcRowBegin(m_nextDstRow);
}

DecodedImage AreaResampler::Take()
{
    return std::move(m_out);
}

DecodedImage ResampleImage(const DecodedImage& src, UINT dstWidth, UINT dstHeight)
{
    if (src.width == dstWidth && src.height == dstHeight)
        return src;
    AreaResampler resampler(src.width, src.height, dstWidth, dstHeight);
    while (!resampler.Done()) {
        UINT first = resampler.NextBandFirstRow();
        resampler.AddRows(&src.pixels[static_cast<size_t>(first) * src.width], resampler.NextBandRowCount(),
                          src.width);
    }
    return resampler.Take();
}
