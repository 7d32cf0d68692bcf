#include "wic_decoder.h"

#include <wincodec.h>

#include "image_resample.h"
#include "platform.h"

namespace {

template <class T>
struct ComPtr {
    T* p = nullptr;
    ~ComPtr() { if (p) p->Release(); }
    T** operator&() { return &p; }
    T* operator->() const { return p; }
};

// Rows of the picture as BGRA, through the format converter, or for Wine's 16-bit grey
// PNGs by hand: Wine's decoder hands out 8-bit grey rows for them, which its own
// converter then misreads.
class RowReader {
public:
    RowReader(IWICBitmapSource* pConverted, IWICBitmapSource* pFrame, bool bGrey8Rows, UINT width)
        : m_pConverted(pConverted), m_pFrame(pFrame), m_bGrey8Rows(bGrey8Rows), m_width(width) {}

    HRESULT Read(UINT first, UINT count, uint32_t* pOut)
    {
        WICRect rect = {0, static_cast<INT>(first), static_cast<INT>(m_width), static_cast<INT>(count)};
        if (!m_bGrey8Rows)
            return m_pConverted->CopyPixels(&rect, m_width * 4, m_width * count * 4, reinterpret_cast<BYTE*>(pOut));
        m_raw.assign(static_cast<size_t>(m_width) * 2 * count, 0);
        HRESULT hr = m_pFrame->CopyPixels(&rect, m_width * 2, static_cast<UINT>(m_raw.size()), m_raw.data());
        if (FAILED(hr))
            return hr;
        for (UINT r = 0; r < count; ++r)
            for (UINT x = 0; x < m_width; ++x) {
                uint32_t v = m_raw[static_cast<size_t>(r) * m_width * 2 + x];
                pOut[static_cast<size_t>(r) * m_width + x] = 0xFF000000u | (v << 16) | (v << 8) | v;
            }
        return S_OK;
    }

private:
    IWICBitmapSource* m_pConverted;
    IWICBitmapSource* m_pFrame;
    bool m_bGrey8Rows;
    UINT m_width;
    std::vector<BYTE> m_raw;
};

// COM for the calls of one decode, whatever the thread had before.
struct ComScope {
    HRESULT hr = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ~ComScope() { if (SUCCEEDED(hr)) ::CoUninitialize(); }
};

} // namespace

HRESULT DecodeWithWic(LPCWSTR pszPath, UINT maxSide, DecodedImage& out)
{
    ComScope com;
    ComPtr<IWICImagingFactory> factory;
    HRESULT hr = ::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                    reinterpret_cast<void**>(&factory));
    if (FAILED(hr))
        return hr;
    ComPtr<IWICBitmapDecoder> decoder;
    hr = factory->CreateDecoderFromFilename(pszPath, nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand, &decoder);
    if (FAILED(hr))
        return hr;
    ComPtr<IWICBitmapFrameDecode> frame;
    if (FAILED(hr = decoder->GetFrame(0, &frame)))
        return hr;
    UINT width = 0, height = 0;
    if (FAILED(hr = frame->GetSize(&width, &height)))
        return hr;
    if (!IsPlausibleImageSize(width, height))
        return E_INVALIDARG;

    // Any pixel format (CMYK, grey, 16 bits a channel, palette, alpha) to 32-bit BGRA.
    ComPtr<IWICFormatConverter> converter;
    if (FAILED(hr = factory->CreateFormatConverter(&converter)))
        return hr;
    hr = converter->Initialize(frame.p, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                               WICBitmapPaletteTypeCustom);
    if (FAILED(hr))
        return hr;

    WICPixelFormatGUID format = {};
    frame->GetPixelFormat(&format);
    RowReader reader(converter.p, frame.p, IsEqualGUID(format, GUID_WICPixelFormat16bppGray) && RunningOnWine(),
                     width);

    UINT dstWidth = 0, dstHeight = 0;
    FitWithin(width, height, maxSide, &dstWidth, &dstHeight);
    if (dstWidth == width && dstHeight == height) {
        DecodedImage image;
        image.width = width;
        image.height = height;
        image.pixels.resize(static_cast<size_t>(width) * height);
        if (FAILED(hr = reader.Read(0, height, image.pixels.data())))
            return hr;
        out = std::move(image);
        return S_OK;
    }

    // Larger than a face needs: shrink band by band, never holding the whole picture.
    AreaResampler resampler(width, height, dstWidth, dstHeight);
    std::vector<uint32_t> band;
    while (!resampler.Done()) {
        UINT first = resampler.NextBandFirstRow(), rows = resampler.NextBandRowCount();
        band.resize(static_cast<size_t>(width) * rows);
        if (FAILED(hr = reader.Read(first, rows, band.data())))
            return hr;
        resampler.AddRows(band.data(), rows, width);
    }
    out = resampler.Take();
    return S_OK;
}
