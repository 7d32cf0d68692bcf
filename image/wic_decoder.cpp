#include "wic_decoder.h"

#include <wincodec.h>

#include "com_scope.h"
#include "image_resample.h"

namespace {

// Rows of the picture as BGRA, through the format converter. (16-bit grey included: the
// converter keeps each sample's high byte, as it should.)
class RowReader {
public:
    RowReader(IWICBitmapSource* pConverted, UINT width) : m_pConverted(pConverted), m_width(width) {}

    HRESULT Read(UINT first, UINT count, uint32_t* pOut)
    {
        WICRect rect = {0, static_cast<INT>(first), static_cast<INT>(m_width), static_cast<INT>(count)};
        HRESULT hr = m_pConverted->CopyPixels(&rect, m_width * 4, m_width * count * 4, reinterpret_cast<BYTE*>(pOut));
        if (SUCCEEDED(hr))
            CompositeOverWhite(pOut, static_cast<size_t>(m_width) * count);  // before any averaging
        return hr;
    }

private:
    IWICBitmapSource* m_pConverted;
    UINT m_width;
};

} // namespace

// Decodes the first frame of what the decoder holds (the file or the bytes come from
// DecodeWithWic below).
static HRESULT DecodeFirstFrame(IWICImagingFactory* factory, IWICBitmapDecoder* decoder, UINT maxSide,
                                DecodedImage& out)
{
    HRESULT hr;
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
    hr = converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                               WICBitmapPaletteTypeCustom);
    if (FAILED(hr))
        return hr;

    RowReader reader(converter.Get(), width);

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

HRESULT DecodeWithWic(LPCWSTR pszPath, UINT maxSide, DecodedImage& out)
{
    ComScope com;
    ComPtr<IWICImagingFactory> factory;
    HRESULT hr = CreateImagingFactory(&factory);
    if (FAILED(hr))
        return hr;
    ComPtr<IWICBitmapDecoder> decoder;
    hr = factory->CreateDecoderFromFilename(pszPath, nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand, &decoder);
    if (FAILED(hr))
        return hr;
    return DecodeFirstFrame(factory.Get(), decoder.Get(), maxSide, out);
}

HRESULT DecodeWithWic(const BYTE* pData, size_t nSize, UINT maxSide, DecodedImage& out)
{
    if (nSize > 0xFFFFFFFFu)
        return E_INVALIDARG;
    ComScope com;
    ComPtr<IWICImagingFactory> factory;
    HRESULT hr = CreateImagingFactory(&factory);
    ComPtr<IWICStream> stream;
    if (SUCCEEDED(hr))
        hr = factory->CreateStream(&stream);
    if (SUCCEEDED(hr))
        hr = stream->InitializeFromMemory(const_cast<BYTE*>(pData), static_cast<DWORD>(nSize));
    ComPtr<IWICBitmapDecoder> decoder;
    if (SUCCEEDED(hr))
        hr = factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand, &decoder);
    if (FAILED(hr))
        return hr;
    return DecodeFirstFrame(factory.Get(), decoder.Get(), maxSide, out);
}
