#include "spread_of_pages.h"

#include <algorithm>

#include "image_resample.h"

DecodedImage SpreadOfPages(const DecodedImage* left, const DecodedImage* right, uint32_t paper, unsigned maxWidth)
{
    const DecodedImage* pages[2] = {left, right};
    const DecodedImage* some = left && left->width ? left : right;
    DecodedImage out;
    if (!some || !some->width || !some->height)
        return out;
    // Each page at the taller one's height, no wider together than maxWidth; a missing page
    // as wide as the other.
    unsigned height = 0;
    for (const DecodedImage* p : pages)
        if (p && p->width)
            height = std::max(height, p->height);
    unsigned widths[2];
    for (int k = 0; k < 2; ++k) {
        const DecodedImage* p = pages[k] && pages[k]->width ? pages[k] : some;
        widths[k] = static_cast<unsigned>(static_cast<unsigned long long>(p->width) * height / p->height);
    }
    if (widths[0] + widths[1] > maxWidth) {
        const double scale = static_cast<double>(maxWidth) / (widths[0] + widths[1]);
        widths[0] = std::max(1u, static_cast<unsigned>(widths[0] * scale));
        widths[1] = std::max(1u, static_cast<unsigned>(widths[1] * scale));
        height = std::max(1u, static_cast<unsigned>(height * scale));
    }
    out.width = widths[0] + widths[1], out.height = height;
    out.pixels.assign(static_cast<size_t>(out.width) * height, paper | 0xFF000000u);
    unsigned x0 = 0;
    for (int k = 0; k < 2; ++k) {
        if (pages[k] && pages[k]->width) {
            const DecodedImage page = pages[k]->width == widths[k] && pages[k]->height == height
                                          ? *pages[k]
                                          : ResampleImage(*pages[k], widths[k], height, true);
            for (unsigned y = 0; y < height; ++y)
                std::copy_n(page.pixels.begin() + static_cast<long>(y) * widths[k], widths[k],
                            out.pixels.begin() + static_cast<long>(y) * out.width + x0);
        }
        x0 += widths[k];
    }
    return out;
}
