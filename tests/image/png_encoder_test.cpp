// The picture writers: what the platform's own decoder reads back of a PNG, whatever the
// number of bands the rows were compressed in, a stream whose checksum zlib itself accepts,
// and JPEGs whose quality is the one asked for.
#include <gtest/gtest.h>

#include <algorithm>

#include <wincodec.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "com_scope.h"
#include "jpeg_encoder.h"
#include "png_encoder.h"

namespace {

// Odd sizes and every channel moving differently, alpha included: a filter, a channel order
// or a band boundary that is wrong shows as wrong pixels.
DecodedImage Gradient(UINT width, UINT height)
{
    DecodedImage image;
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<size_t>(width) * height);
    for (UINT y = 0; y < height; ++y)
        for (UINT x = 0; x < width; ++x) {
            uint32_t r = (x * 255) / (width - 1), g = (y * 255) / (height - 1), b = (x * 7 + y * 13) & 0xFF,
                     a = (x + 2 * y) & 0xFF;
            image.pixels[static_cast<size_t>(y) * width + x] = a << 24 | r << 16 | g << 8 | b;
        }
    return image;
}

struct Decoded {
    UINT width = 0, height = 0;
    double dpiX = 0;
    std::vector<uint32_t> pixels;
};

Decoded DecodeWithPlatform(const std::vector<BYTE>& bytes)
{
    ComScope com;
    Decoded d;
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICFormatConverter> converter;
    if (FAILED(CreateImagingFactory(&factory)) ||
        FAILED(factory->CreateStream(&stream)) ||
        FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()))) ||
        FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand, &decoder)) ||
        FAILED(decoder->GetFrame(0, &frame)) || FAILED(factory->CreateFormatConverter(&converter)) ||
        FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0,
                                     WICBitmapPaletteTypeCustom)))
        return d;
    double dpiY = 0;
    frame->GetResolution(&d.dpiX, &dpiY);
    converter->GetSize(&d.width, &d.height);
    d.pixels.resize(static_cast<size_t>(d.width) * d.height);
    if (FAILED(converter->CopyPixels(nullptr, d.width * 4, static_cast<UINT>(d.pixels.size() * 4),
                                     reinterpret_cast<BYTE*>(d.pixels.data()))))
        d.pixels.clear();
    return d;
}

// The IDAT chunks joined and inflated by zlib, which checks the stream's checksum.
int InflateImageData(const std::vector<BYTE>& png, size_t expectedBytes)
{
    std::vector<BYTE> stream;
    for (size_t at = 8; at + 12 <= png.size();) {
        const size_t length = static_cast<size_t>(png[at]) << 24 | png[at + 1] << 16 | png[at + 2] << 8 | png[at + 3];
        if (std::string(png.begin() + at + 4, png.begin() + at + 8) == "IDAT")
            stream.insert(stream.end(), png.begin() + at + 8, png.begin() + at + 8 + length);
        at += 12 + length;
    }
    std::vector<BYTE> raw(expectedBytes + 16);
    uLongf rawLength = static_cast<uLongf>(raw.size());
    int rc = uncompress(raw.data(), &rawLength, stream.data(), static_cast<uLong>(stream.size()));
    return rc == Z_OK && rawLength == expectedBytes ? Z_OK : (rc == Z_OK ? Z_DATA_ERROR : rc);
}

} // namespace

TEST(PngEncoder, ThePlatformReadsBackEveryPixelWhateverTheBands)
{
    const DecodedImage image = Gradient(301, 203);
    for (bool bAlpha : {false, true})
        for (unsigned bands : {1u, 2u, 7u, 203u}) {
            SCOPED_TRACE(testing::Message() << (bAlpha ? "RGBA" : "RGB") << ", " << bands << " bands");
            PngOptions options;
            options.bAlpha = bAlpha;
            options.bands = bands;
            options.dpi = 300;
            std::vector<BYTE> png;
            ASSERT_EQ(EncodePng(image, options, &png), S_OK);
            EXPECT_EQ(InflateImageData(png, (1 + 301 * (bAlpha ? 4 : 3)) * 203u), Z_OK)
                << "one zlib stream with the right checksum";
            // Tagged as sRGB, right after the header (a one-byte chunk, perceptual intent).
            const BYTE tag[] = {0, 0, 0, 1, 's', 'R', 'G', 'B', 0};
            EXPECT_TRUE(png.size() > 33 + sizeof tag && std::equal(tag, tag + sizeof tag, png.begin() + 33));

            Decoded back = DecodeWithPlatform(png);
            ASSERT_EQ(back.width, 301u);
            ASSERT_EQ(back.height, 203u);
            EXPECT_NEAR(back.dpiX, 300.0, 0.05);
            size_t wrong = 0;
            for (size_t i = 0; i < image.pixels.size(); ++i) {
                const uint32_t want = bAlpha ? image.pixels[i] : (image.pixels[i] | 0xFF000000u);
                wrong += back.pixels[i] != want;
            }
            EXPECT_EQ(wrong, 0u);
        }
}

TEST(PngEncoder, RefusesAnEmptyOrInconsistentPicture)
{
    std::vector<BYTE> png;
    DecodedImage empty;
    EXPECT_EQ(EncodePng(empty, PngOptions(), &png), E_INVALIDARG);
    DecodedImage shortRows = Gradient(10, 10);
    shortRows.pixels.pop_back();
    EXPECT_EQ(EncodePng(shortRows, PngOptions(), &png), E_INVALIDARG);
}

TEST(JpegEncoder, TheQualityAskedForIsTheQualityWritten)
{
    const DecodedImage image = Gradient(301, 203);
    auto meanError = [&](const Decoded& back) {
        double sum = 0;
        for (size_t i = 0; i < image.pixels.size(); ++i)
            for (int shift = 0; shift < 24; shift += 8)
                sum += std::abs(static_cast<int>((image.pixels[i] >> shift) & 0xFF) - static_cast<int>((back.pixels[i] >> shift) & 0xFF));
        return sum / (image.pixels.size() * 3.0);
    };
    std::vector<BYTE> low, high;
    ASSERT_EQ(EncodeJpeg(image, 50, 0, &low), S_OK);
    ASSERT_EQ(EncodeJpeg(image, 95, 300, &high), S_OK);
    const Decoded lowBack = DecodeWithPlatform(low), highBack = DecodeWithPlatform(high);
    ASSERT_EQ(lowBack.pixels.size(), image.pixels.size());
    ASSERT_EQ(highBack.pixels.size(), image.pixels.size());
    EXPECT_GT(high.size(), low.size() * 3 / 2) << "quality 95 keeps more than quality 50";
    EXPECT_LT(meanError(highBack), meanError(lowBack) * 0.7) << meanError(highBack) << " vs " << meanError(lowBack);
    EXPECT_NEAR(highBack.dpiX, 300.0, 0.05);
}
