#include "open_book_shape.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "book_paper.h"
#include "hardcover_shape.h"
#include "paperback_shape.h"
#include "shape_builder.h"

namespace {

constexpr float kPi = 3.14159265f;
// How paper lies: the top page leaves the gutter this steeply and comes level over the
// length its half's thickness needs; the last part of it lifts this much off level.
constexpr float kGutterSlope = 75 * kPi / 180, kForeLift = 7 * kPi / 180;
constexpr float kForeShare = 0.12f;    // of the page's width, lifting at the fore-edge
constexpr float kMaxGutterShare = 0.4f;  // of the page's width, at most, bending into the gutter
constexpr float kMinHalf = 0.006f;       // a half of the pages at least a couple of leaves deep
constexpr float kCardThickness = 0.015f;
constexpr int kGutterSteps = 14, kForeSteps = 5, kIntegrationSteps = 64;

float SlopeAt(float arc, float gutter, float width)
{
    if (arc < gutter) {
        const float left = 1 - arc / gutter;
        return kGutterSlope * left * left;
    }
    const float fore = width * (1 - kForeShare);
    if (arc > fore) {
        const float t = (arc - fore) / (width - fore);
        return kForeLift * t * t;
    }
    return 0;
}

// Integrates the slope from arc a to b: how far along and up the paper goes.
void Walk(float a, float b, float gutter, float width, float* x, float* rise)
{
    const float step = (b - a) / kIntegrationSteps;
    for (int i = 0; i < kIntegrationSteps; ++i) {
        const float slope = SlopeAt(a + (i + 0.5f) * step, gutter, width);
        *x += step * std::cos(slope);
        *rise += step * std::sin(slope);
    }
}

struct OpenBook {
    float width, height;      // the trim, inches
    float board, overhang;    // the cover's thickness, and how far it stands past the pages
    float half[2];            // each half's pages deep: left, right
    std::vector<PageCurvePoint> curve[2];
    float reach[2];           // how far from the gutter each half's board reaches
    float top;                // the highest point above the floor
};

OpenBook Measure(const int* values, double spine)
{
    OpenBook b;
    const bool bHardcover = values[kValueBinding] == BindingHardcover;
    b.width = values[kValueTrimWidth] / 1000.0f;
    b.height = values[kValueTrimHeight] / 1000.0f;
    b.board = bHardcover ? kBoardThickness : kCardThickness;
    b.overhang = bHardcover ? kBoardOverhang : 0.0f;
    // The cover picture's spine, where it gives one, holds the boards as well as the pages.
    const float pages = std::max(static_cast<float>(spine) - (bHardcover ? 2 * kBoardThickness : 0.0f), 2 * kMinHalf);
    const float read = std::clamp(values[kValueRead], 0, 100) / 100.0f;
    b.half[0] = std::max(pages * read, kMinHalf);
    b.half[1] = std::max(pages * (1 - read), kMinHalf);
    b.top = 0;
    for (int side = 0; side < 2; ++side) {
        b.curve[side] = PageCurve(b.width, b.half[side]);
        b.reach[side] = b.curve[side].back().x + b.overhang;
        for (const PageCurvePoint& p : b.curve[side])
            b.top = std::max(b.top, b.board + p.rise);
    }
    return b;
}

// How far each half is turned up from lying flat: none at 180 degrees open.
float FoldOf(const int* values)
{
    return (180 - std::clamp(values[kValueOpenAngle], 1, 180)) * 0.5f * kPi / 180;
}

double PagesSpine(const int* values)
{
    return PageBlockInches(values[kValuePages], values[kValuePaper]) +
           (values[kValueBinding] == BindingHardcover ? 2 * kBoardThickness : 0.0);
}

bool OpenBookCover(const int* values, CoverSpec* pSpec)
{
    const ShapeRow& bound = values[kValueBinding] == BindingHardcover ? g_hardcoverShape : g_paperbackShape;
    return bound.pfnCoverSpec(values, pSpec);
}

void StandingBounds(const ShapeSpec& spec, const OpenBook& book, double spine, float lo[3], float hi[3]);

void OpenBookSize(const int* values, double spine, float size[3])
{
    if (spine <= 0)
        spine = PagesSpine(values);
    const OpenBook b = Measure(values, spine);
    if (FoldOf(values) > 0) {
        ShapeSpec spec;
        std::copy(values, values + kSceneValueCount, spec.values);
        float lo[3], hi[3];
        StandingBounds(spec, b, spine, lo, hi);
        for (int k = 0; k < 3; ++k)
            size[k] = hi[k] - lo[k];
        return;
    }
    size[0] = b.reach[0] + b.reach[1];
    size[1] = b.top;
    size[2] = b.height + 2 * b.overhang;
}

class OpenBookBuilder {
public:
    // middle: where the middle of a standing book's bounds lies before it is moved there.
    OpenBookBuilder(const ShapeSpec& spec, const OpenBook& book, const float middle[3] = nullptr)
        : m_b(spec), m_book(book), m_floor(book.top / 2), m_gutter((book.reach[0] - book.reach[1]) / 2),
          m_fold(FoldOf(spec.values))
    {
        if (middle)
            std::copy(middle, middle + 3, m_middle);
    }

    // Alike patches one after another, so that the mesh has a part for each look (each part
    // is a drawing of its own, every pass).
    ShapeMesh Build()
    {
        for (int side = 0; side < 2; ++side) {
            Stand(side);
            Pages(side);
        }
        for (int side = 0; side < 2; ++side) {
            Stand(side);
            PageEdges(side);
        }
        for (int side = 0; side < 2; ++side) {
            Stand(side);
            Board(side);
        }
        return m_b.Finish();
    }

private:
    // Open less than flat, the book stands on its foot, the spread to the camera, each half
    // turned up about the spine by the fold: its patches, built lying, are moved so.
    void Stand(int side)
    {
        if (m_fold <= 0)
            return;
        const float c = std::cos(m_fold), s = std::sin(m_fold) * (side == 0 ? -1.0f : 1.0f);
        const float halfZ = m_book.height / 2 + m_book.overhang;
        m_b.SetPlacement([this, c, s, halfZ](Point3& p, Point3& n) {
            // Lying: across the gutter, up from the floor, along the spine toward the head.
            const float across = p.x - m_gutter, up = m_floor - p.y;
            const float foldedAcross = across * c - up * s, foldedUp = across * s + up * c;
            p = {foldedAcross - m_middle[0], -(p.z + halfZ) - m_middle[1], -foldedUp - m_middle[2]};
            const float nAcross = n.x, nUp = -n.y;
            n = {nAcross * c - nUp * s, -n.z, -(nAcross * s + nUp * c)};
        });
    }

    // A point `out` from the gutter on that side (0 left), `up` above the floor, at depth z.
    Point3 At(int side, float out, float up, float z) const
    {
        return {m_gutter + (side == 0 ? -out : out), m_floor - up, z};
    }

    void Pages(int side)
    {
        const std::vector<PageCurvePoint>& curve = m_book.curve[side];
        const float sign = side == 0 ? -1.0f : 1.0f, halfZ = m_book.height / 2, base = m_book.board;
        const float bleed = m_b.Spec().values[kValueBleed] / 1000.0f;
        const float spreadWidth = 2 * (m_book.width + bleed), spreadHeight = m_book.height + 2 * bleed;
        const PartKind page{SideSpread, PartLook::Picture};
        for (size_t i = 0; i + 1 < curve.size(); ++i) {
            const PageCurvePoint& a = curve[i];
            const PageCurvePoint& c = curve[i + 1];
            // The page itself: the spread's column at the paper's length from the gutter.
            const float ua = (m_book.width + bleed + sign * a.arc) / spreadWidth;
            const float uc = (m_book.width + bleed + sign * c.arc) / spreadWidth;
            const float vFar = bleed / spreadHeight, vNear = (bleed + m_book.height) / spreadHeight;
            const Point3 top[4] = {At(side, a.x, base + a.rise, halfZ), At(side, c.x, base + c.rise, halfZ),
                                   At(side, c.x, base + c.rise, -halfZ), At(side, a.x, base + a.rise, -halfZ)};
            const Point3 na = {-sign * std::sin(a.slope), -std::cos(a.slope), 0};
            const Point3 nc = {-sign * std::sin(c.slope), -std::cos(c.slope), 0};
            const Point3 normals[4] = {na, nc, nc, na};
            const float uv[4][2] = {{ua, vFar}, {uc, vFar}, {uc, vNear}, {ua, vNear}};
            m_b.Patch(page, top, normals, uv);
        }
    }

    // The leaves' edges at the head and foot, under the page's curve, and at the fore-edge.
    void PageEdges(int side)
    {
        const std::vector<PageCurvePoint>& curve = m_book.curve[side];
        const float sign = side == 0 ? -1.0f : 1.0f, halfZ = m_book.height / 2, base = m_book.board;
        const PartKind edges{SideTop, PartLook::Pages};
        for (size_t i = 0; i + 1 < curve.size(); ++i) {
            const PageCurvePoint& a = curve[i];
            const PageCurvePoint& c = curve[i + 1];
            for (float z : {halfZ, -halfZ}) {
                const Point3 p[4] = {At(side, a.x, base, z), At(side, c.x, base, z), At(side, c.x, base + c.rise, z),
                                     At(side, a.x, base + a.rise, z)};
                const float edgeUv[4][2] = {{a.x / m_book.width, 1}, {c.x / m_book.width, 1}, {c.x / m_book.width, 0},
                                            {a.x / m_book.width, 0}};
                m_b.Flat(edges, p, {0, 0, z > 0 ? 1.0f : -1.0f}, edgeUv);
            }
        }
        // The fore-edge.
        const PageCurvePoint& end = curve.back();
        const Point3 fore[4] = {At(side, end.x, base, halfZ), At(side, end.x, base + end.rise, halfZ),
                                At(side, end.x, base + end.rise, -halfZ), At(side, end.x, base, -halfZ)};
        const float foreUv[4][2] = {{0, 1}, {0, 0}, {1, 0}, {1, 1}};
        m_b.Flat(edges, fore, {sign, 0, 0}, foreUv);
    }

    // The cover under a half: its top where it stands past the pages, its edges, its outside
    // below, each showing the cover picture's panel (the front on the left, the back on the
    // right) where it lies, or that face's own picture.
    void Board(int side)
    {
        const ShapeSpec& spec = m_b.Spec();
        const int slot = side == 0 ? SideFront : SideBack;
        const PartKind kind{slot, spec.bCover ? PartLook::Cover : PartLook::Picture};
        const float reach = m_book.reach[side], halfZ = m_book.height / 2 + m_book.overhang;
        auto uvAt = [&](Point3 p, float uv[2]) {
            const float out = std::fabs(p.x - m_gutter) / reach;
            uv[0] = side == 0 ? out : 1 - out;  // the panels run spine to fore-edge on the front, back
            uv[1] = (halfZ - p.z) / (2 * halfZ);
            if (spec.bCover)
                ShapeBuilder::OntoCover(spec, slot, uv);
        };
        auto quad = [&](const Point3 (&p)[4], Point3 normal) {
            float uv[4][2];
            for (int i = 0; i < 4; ++i)
                uvAt(p[i], uv[i]);
            m_b.Flat(kind, p, normal, uv);
        };
        const float t = m_book.board, sign = side == 0 ? -1.0f : 1.0f;
        const Point3 top[4] = {At(side, 0, t, halfZ), At(side, reach, t, halfZ), At(side, reach, t, -halfZ),
                               At(side, 0, t, -halfZ)};
        const Point3 bottom[4] = {At(side, 0, 0, -halfZ), At(side, reach, 0, -halfZ), At(side, reach, 0, halfZ),
                                  At(side, 0, 0, halfZ)};
        const Point3 fore[4] = {At(side, reach, 0, halfZ), At(side, reach, t, halfZ), At(side, reach, t, -halfZ),
                                At(side, reach, 0, -halfZ)};
        quad(top, {0, -1, 0});
        quad(bottom, {0, 1, 0});
        quad(fore, {sign, 0, 0});
        for (float z : {halfZ, -halfZ}) {
            const Point3 end[4] = {At(side, 0, 0, z), At(side, reach, 0, z), At(side, reach, t, z), At(side, 0, t, z)};
            quad(end, {0, 0, z > 0 ? 1.0f : -1.0f});
        }
    }

    ShapeBuilder m_b;
    const OpenBook& m_book;
    float m_floor, m_gutter;  // the floor's y; where the gutter lies across the shape
    float m_fold;
    float m_middle[3] = {};
};

// A standing book's bounds: built once where it falls, measured. Asked for several times a
// frame (its size, the set's layout, the framing), so the last few are kept, as the curves are.
void StandingBounds(const ShapeSpec& spec, const OpenBook& book, double spine, float lo[3], float hi[3])
{
    struct Kept {
        std::array<int, kSceneValueCount> values;
        double spine;
        float lo[3], hi[3];
    };
    thread_local std::vector<Kept> kept;
    for (const Kept& k : kept)
        if (k.spine == spine && std::equal(k.values.begin(), k.values.end(), spec.values)) {
            std::copy(k.lo, k.lo + 3, lo);
            std::copy(k.hi, k.hi + 3, hi);
            return;
        }
    const ShapeMesh mesh = OpenBookBuilder(spec, book).Build();
    for (int k = 0; k < 3; ++k)
        lo[k] = 1e9f, hi[k] = -1e9f;
    for (const BoxVertex& v : mesh.vertices) {
        const float p[3] = {v.x, v.y, v.z};
        for (int k = 0; k < 3; ++k)
            lo[k] = std::min(lo[k], p[k]), hi[k] = std::max(hi[k], p[k]);
    }
    Kept made;
    std::copy(spec.values, spec.values + kSceneValueCount, made.values.begin());
    made.spine = spine;
    std::copy(lo, lo + 3, made.lo);
    std::copy(hi, hi + 3, made.hi);
    if (kept.size() >= 4)
        kept.erase(kept.begin());
    kept.push_back(made);
}

ShapeMesh BuildOpenBook(const ShapeSpec& spec)
{
    const double spine = spec.spine > 0 ? spec.spine : PagesSpine(spec.values);
    const OpenBook book = Measure(spec.values, spine);
    if (FoldOf(spec.values) <= 0)
        return OpenBookBuilder(spec, book).Build();
    float lo[3], hi[3], middle[3];
    StandingBounds(spec, book, spine, lo, hi);
    for (int k = 0; k < 3; ++k)
        middle[k] = (lo[k] + hi[k]) / 2;
    return OpenBookBuilder(spec, book, middle).Build();
}

float OpenBookFootprint(const int*, const ShapeSpec& spec)
{
    return (spec.size[0] + spec.size[2]) * 0.5f;
}

} // namespace

namespace {
// The curve integrated along the paper's length.
std::vector<PageCurvePoint> WalkedCurve(float width, float thickness);
} // namespace

std::vector<PageCurvePoint> PageCurve(float width, float thickness)
{
    // Asked for several times a frame (the set's layout, its size, the framing) with the same
    // two halves: the last few curves are kept, each thread its own.
    struct Kept {
        float width, thickness;
        std::vector<PageCurvePoint> curve;
    };
    thread_local std::vector<Kept> kept;
    for (const Kept& k : kept)
        if (k.width == width && k.thickness == thickness)
            return k.curve;
    std::vector<PageCurvePoint> curve = WalkedCurve(width, thickness);
    if (kept.size() >= 4)
        kept.erase(kept.begin());
    kept.push_back({width, thickness, curve});
    return curve;
}

namespace {
std::vector<PageCurvePoint> WalkedCurve(float width, float thickness)
{
    // The bend's length: the paper rises by the half's thickness before it lies level (a
    // very thick half reaches no further than its share of the page).
    float unitRise = 0, unitX = 0;
    Walk(0, 1, 1, 1e9f, &unitX, &unitRise);
    const float gutter = std::min(thickness / unitRise, kMaxGutterShare * width);
    std::vector<float> arcs;
    for (int i = 0; i <= kGutterSteps; ++i) {
        const float t = static_cast<float>(i) / kGutterSteps;
        arcs.push_back(gutter * t * std::sqrt(t));  // closer together where it is steep
    }
    const float fore = width * (1 - kForeShare);
    for (int i = 0; i <= kForeSteps; ++i)
        arcs.push_back(fore + (width - fore) * i / kForeSteps);
    std::vector<PageCurvePoint> curve;
    float x = 0, rise = 0, arc = 0;
    // A bend held short of its thickness starts that much above the board.
    float gutterRise = 0, gutterX = 0;
    Walk(0, gutter, gutter, width, &gutterX, &gutterRise);
    rise = std::max(0.0f, thickness - gutterRise);
    for (float next : arcs) {
        if (!curve.empty() && next <= arc)
            continue;
        Walk(arc, next, gutter, width, &x, &rise);
        arc = next;
        curve.push_back({arc, x, rise, SlopeAt(arc, gutter, width)});
    }
    return curve;
}

} // namespace

double GutterMargin(int pages)
{
    // The print-on-demand printers' table.
    return pages <= 150 ? 0.375 : pages <= 300 ? 0.5 : pages <= 500 ? 0.625 : pages <= 700 ? 0.75 : 0.875;
}

bool ArtworkInGutter(const DecodedImage& spread, const int* values)
{
    const double inches = 2 * (values[kValueTrimWidth] + values[kValueBleed]) / 1000.0;
    if (!spread.width || !spread.height || inches <= 0)
        return false;
    const double perInch = spread.width / inches;
    const long half = static_cast<long>(GutterMargin(values[kValuePages]) * perInch);
    const long middle = static_cast<long>(spread.width / 2);
    const long x0 = std::max(0L, middle - half), x1 = std::min(static_cast<long>(spread.width), middle + half);
    // The paper: the band's commonest colour along its top row's middle; artwork, what is
    // far from it, counted over the band.
    const uint32_t paper = spread.pixels[static_cast<size_t>(middle)];
    auto far = [&](uint32_t c) {
        int d = 0;
        for (int shift = 0; shift <= 16; shift += 8)
            d += std::abs(static_cast<int>((c >> shift) & 0xFF) - static_cast<int>((paper >> shift) & 0xFF));
        return d > 60;
    };
    size_t marked = 0, all = 0;
    for (unsigned y = 0; y < spread.height; y += 2)
        for (long x = x0; x < x1; x += 2, ++all)
            marked += far(spread.pixels[static_cast<size_t>(y) * spread.width + static_cast<size_t>(x)]);
    return all && marked * 200 > all;  // more than half a percent of it
}

const ShapeRow g_openBookShape = {L"Open book", OpenBookCover, OpenBookSize, BuildOpenBook, OpenBookFootprint, SideSpread};
