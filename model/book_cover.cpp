#include "book_cover.h"

#include <algorithm>
#include <cmath>
#include <cwchar>

namespace {
constexpr double kCutInsideInches = 1.0 / 32;
constexpr double kCutInsidePixels = 4;
} // namespace

bool CoverLayout::operator==(const CoverLayout& o) const
{
    return std::equal(back, back + 2, o.back) && std::equal(spine, spine + 2, o.spine) &&
           std::equal(front, front + 2, o.front) && top == o.top && bottom == o.bottom;
}

std::wstring InchesText(double inches)
{
    wchar_t text[64];
    swprintf(text, 64, L"%.3f in (%.1f mm)", inches, inches * 25.4);
    return text;
}

void TexelsInside(float lo, float hi, unsigned size, unsigned* pFirst, unsigned* pEnd)
{
    unsigned first = static_cast<unsigned>(std::ceil(std::max(0.0f, lo) * size - 1e-4f));
    unsigned end = static_cast<unsigned>(std::floor(hi * size + 1e-4f));
    if (end <= first) {
        first = std::min(size - 1, static_cast<unsigned>((lo + hi) / 2 * size));
        end = first + 1;
    }
    *pFirst = std::min(first, size - 1);
    *pEnd = std::min(end, size);
}

std::wstring CoverSizeText(const CoverSpec& spec, unsigned pictureHeight)
{
    const double dpi = pictureHeight / (spec.panelHeight + 2 * spec.margin);
    wchar_t text[200];
    swprintf(text, 200, L"at its height's %.0f dpi a %.3f x %.3f in page with a %.3f in spine takes a picture %.0f pixels wide",
             dpi, spec.panelWidth, spec.panelHeight, spec.spine,
             std::round((2 * spec.margin + 2 * spec.panelWidth + spec.spine) * dpi));
    return text;
}

bool LayoutCover(const CoverSpec& spec, unsigned pictureWidth, unsigned pictureHeight, CoverLayout* pLayout, double* pSpine,
                 std::wstring* pWhy)
{
    const double fullHeight = spec.panelHeight + 2 * spec.margin;
    if (pictureWidth == 0 || pictureHeight == 0 || fullHeight <= 0)
        return false;
    const double dpi = pictureHeight / fullHeight;
    const double fullWidth = pictureWidth / dpi;
    const double spine = fullWidth - 2 * spec.margin - 2 * spec.panelWidth;
    // A spine of its own width again (or an inch) either way is not this cover: another trim,
    // a single front, a picture turned on its side.
    if (spine <= 0 || std::fabs(spine - spec.spine) > std::max(1.0, spec.spine)) {
        wchar_t text[64];
        swprintf(text, 64, L"a %u x %u picture is not a cover for this book: ", pictureWidth, pictureHeight);
        *pWhy = text + CoverSizeText(spec, pictureHeight);
        return false;
    }
    // The cut edges are drawn a little inside the trim, as a guillotine may cut: filtering
    // then never reaches the bleed past them, whose colour must not show.
    const double cut = std::min(std::max(kCutInsideInches, kCutInsidePixels / dpi), spec.panelWidth / 8);
    const auto u = [&](double inches) { return static_cast<float>(inches / fullWidth); };
    pLayout->back[0] = u(spec.margin + cut);
    pLayout->back[1] = pLayout->spine[0] = u(spec.margin + spec.panelWidth);
    pLayout->spine[1] = pLayout->front[0] = u(spec.margin + spec.panelWidth + spine);
    pLayout->front[1] = u(fullWidth - spec.margin - cut);
    pLayout->top = static_cast<float>((spec.margin + cut) / fullHeight);
    pLayout->bottom = static_cast<float>(1 - (spec.margin + cut) / fullHeight);
    *pSpine = spine;
    return true;
}
