// Shrinking by area: a large picture is shrunk on two threads with the same result as the
// banded resampler gives, and averaged in light where asked.
#include <gtest/gtest.h>

#include <random>

#include "image_resample.h"

namespace {

DecodedImage Noise(UINT width, UINT height)
{
    DecodedImage image;
    image.width = width, image.height = height;
    image.pixels.resize(static_cast<size_t>(width) * height);
    std::mt19937 random(7);
    for (uint32_t& p : image.pixels)
        p = random();
    return image;
}

} // namespace

TEST(ImageResample, ALargePictureShrinksOnTwoThreadsAsTheBandedResamplerDoes)
{
    // Odd sides (the last column and row take three source pixels), over a million pixels,
    // halved as a mip level is and shrunk by another ratio.
    const DecodedImage source = Noise(1501, 1001);
    for (bool bLight : {true, false})
        for (UINT w : {750u, 613u}) {
            const UINT h = w == 750 ? 500 : 409;
            AreaResampler banded(source.width, source.height, w, h, bLight);
            while (!banded.Done()) {
                const UINT first = banded.NextBandFirstRow();
                banded.AddRows(&source.pixels[static_cast<size_t>(first) * source.width], banded.NextBandRowCount(),
                               source.width);
            }
            const DecodedImage expected = banded.Take();
            const DecodedImage shrunk = ResampleImage(source, w, h, bLight);
            ASSERT_EQ(shrunk.width, w);
            ASSERT_EQ(shrunk.height, h);
            EXPECT_EQ(shrunk.pixels, expected.pixels) << w << " x " << h << (bLight ? " in light" : "");
        }
}

TEST(ImageResample, FineBlackAndWhiteShrinksToTheGreyItLooks)
{
    DecodedImage checker;
    checker.width = checker.height = 1200;
    checker.pixels.resize(1200 * 1200);
    for (UINT y = 0; y < 1200; ++y)
        for (UINT x = 0; x < 1200; ++x)
            checker.pixels[y * 1200 + x] = (x + y) % 2 ? 0xFFFFFFFFu : 0xFF000000u;
    const DecodedImage inLight = ResampleImage(checker, 600, 600, true);
    const DecodedImage asStored = ResampleImage(checker, 600, 600, false);
    EXPECT_EQ(inLight.pixels[600 * 300 + 300] & 0xFF, 188u);
    EXPECT_EQ(asStored.pixels[600 * 300 + 300] & 0xFF, 128u);
    EXPECT_EQ(inLight.pixels[600 * 599 + 599] & 0xFF, 188u) << "the last row and column too";
}
