#include "image_resample.h"

#include <algorithm>
#include <cmath>
#include <thread>

void FitWithin(UINT width, UINT height, UINT maxSide, UINT* pOutWidth, UINT* pOutHeight)
{
    if (maxSide == 0 || (width <= maxSide && height <= maxSide)) {
        *pOutWidth = width;
        *pOutHeight = height;
        return;
    }
    double scale = static_cast<double>(maxSide) / std::max(width, height);
    *pOutWidth = std::clamp<UINT>(static_cast<UINT>(width * scale + 0.5), 1u, maxSide);
    *pOutHeight = std::clamp<UINT>(static_cast<UINT>(height * scale + 0.5), 1u, maxSide);
}

namespace {

// sRGB's transfer function both ways, as tables: 8-bit values to 16-bit light, and light
// (in steps of 16) back to the nearest 8-bit value.
struct SrgbTables {
    uint16_t toLinear[256];
    uint8_t toSrgb[4097];
    SrgbTables()
    {
        auto decode = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        auto encode = [](double l) { return l <= 0.0031308 ? l * 12.92 : 1.055 * std::pow(l, 1 / 2.4) - 0.055; };
        for (int i = 0; i < 256; ++i)
            toLinear[i] = static_cast<uint16_t>(decode(i / 255.0) * 65535.0 + 0.5);
        for (int i = 0; i <= 4096; ++i)
            toSrgb[i] = static_cast<uint8_t>(std::clamp(encode(i / 4096.0) * 255.0 + 0.5, 0.0, 255.0));
    }
};

const SrgbTables& Srgb()
{
    static const SrgbTables tables;
    return tables;
}

} // namespace

AreaResampler::AreaResampler(UINT srcWidth, UINT srcHeight, UINT dstWidth, UINT dstHeight, bool bLinearLight)
    : m_srcWidth(srcWidth), m_srcHeight(srcHeight), m_dstWidth(dstWidth), m_dstHeight(dstHeight),
      m_bLinearLight(bLinearLight), m_colBegin(dstWidth), m_colEnd(dstWidth)
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
    m_sums.assign(static_cast<size_t>(m_dstWidth) * 4, 0);
    AverageRows(pRows, rowCount, stride, m_sums.data(), &m_out.pixels[static_cast<size_t>(m_nextDstRow) * m_dstWidth]);
    ++m_nextDstRow;
    if (!Done())
        m_nextSrcRow = SrcRowBegin(m_nextDstRow);
}

void AreaResampler::AverageRows(const uint32_t* pRows, UINT rowCount, UINT stride, unsigned long long* pSums,
                                uint32_t* pDst) const
{
    // Row by row, so that the source is read in order; one sum per channel per column
    // (pSums: four a column, zero).
    const SrgbTables* pSrgb = m_bLinearLight ? &Srgb() : nullptr;
    for (UINT r = 0; r < rowCount; ++r) {
        const uint32_t* pRow = pRows + static_cast<size_t>(r) * stride;
        unsigned long long* pSum = pSums;
        for (UINT x = 0; x < m_dstWidth; ++x, pSum += 4) {
            unsigned long long b = 0, g = 0, red = 0, a = 0;
            for (UINT c = m_colBegin[x]; c < m_colEnd[x]; ++c) {
                uint32_t p = pRow[c];
                if (pSrgb) {
                    b += pSrgb->toLinear[p & 0xFF];
                    g += pSrgb->toLinear[(p >> 8) & 0xFF];
                    red += pSrgb->toLinear[(p >> 16) & 0xFF];
                } else {
                    b += p & 0xFF;
                    g += (p >> 8) & 0xFF;
                    red += (p >> 16) & 0xFF;
                }
                a += p >> 24;
            }
            pSum[0] += b;
            pSum[1] += g;
            pSum[2] += red;
            pSum[3] += a;
        }
    }
    const unsigned long long* pSum = pSums;
    for (UINT x = 0; x < m_dstWidth; ++x, pSum += 4) {
        unsigned long long n = static_cast<unsigned long long>(rowCount) * (m_colEnd[x] - m_colBegin[x]);
        auto avg = [&](int i) { return static_cast<uint32_t>((pSum[i] + n / 2) / n); };
        auto colour = [&](int i) { return pSrgb ? pSrgb->toSrgb[(avg(i) + 8) >> 4] : avg(i); };
        pDst[x] = colour(0) | (colour(1) << 8) | (colour(2) << 16) | (avg(3) << 24);
    }
}

void AreaResampler::ResampleRows(const DecodedImage& src, UINT firstDstRow, UINT endDstRow)
{
    std::vector<unsigned long long> sums;
    for (UINT y = firstDstRow; y < endDstRow; ++y) {
        sums.assign(static_cast<size_t>(m_dstWidth) * 4, 0);
        const UINT first = SrcRowBegin(y);
        AverageRows(&src.pixels[static_cast<size_t>(first) * src.width], SrcRowEnd(y) - first, src.width, sums.data(),
                    &m_out.pixels[static_cast<size_t>(y) * m_dstWidth]);
    }
}

DecodedImage AreaResampler::Take()
{
    return std::move(m_out);
}

DecodedImage ResampleImage(const DecodedImage& src, UINT dstWidth, UINT dstHeight, bool bLinearLight)
{
    if (src.width == dstWidth && src.height == dstHeight)
        return src;
    AreaResampler resampler(src.width, src.height, dstWidth, dstHeight, bLinearLight);
    // A large picture (a cover's mip levels, a wrap fitted to a texture) on two cores: each
    // takes half the rows, the same arithmetic either way.
    const UINT half = static_cast<unsigned long long>(src.width) * src.height >= (1u << 20) && dstHeight > 1 &&
                              std::thread::hardware_concurrency() > 1
                          ? dstHeight / 2
                          : 0;
    std::thread helper;
    if (half)
        helper = std::thread([&] { resampler.ResampleRows(src, half, dstHeight); });
    resampler.ResampleRows(src, 0, half ? half : dstHeight);
    if (helper.joinable())
        helper.join();
    return resampler.Take();
}
