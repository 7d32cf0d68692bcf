// Books and cases as the renderer builds them: the spine the pages make, the hardcover's
// boards and overhang, every shape closed and facing out within its size, and a print-ready
// cover laid onto the right faces the right way round.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "book_cover.h"
#include "page_edge_image.h"
#include "scene_values.h"
#include "shapes.h"

namespace {

struct Values {
    int v[kSceneValueCount];
    Values(int shape, int trimWidth = 6000, int trimHeight = 9000, int pages = 300, int paper = PaperWhite)
    {
        for (int i = 0; i < kSceneValueCount; ++i)
            v[i] = g_sceneValues[i].nDefault;
        v[kValueShape] = shape, v[kValueTrimWidth] = trimWidth, v[kValueTrimHeight] = trimHeight;
        v[kValuePages] = pages, v[kValuePaper] = paper;
    }
};

// The pixel size of a cover for that spec at 300 dpi.
void CoverPixels(const CoverSpec& c, double spine, unsigned* pWidth, unsigned* pHeight)
{
    *pWidth = static_cast<unsigned>(std::lround((2 * c.margin + 2 * c.panelWidth + spine) * 300));
    *pHeight = static_cast<unsigned>(std::lround((2 * c.margin + c.panelHeight) * 300));
}

// The shape as given a print-ready cover made for its own spine at 300 dpi: what was said of
// it, and the cover picture's pixel size.
ShapeSpec WithItsCover(const Values& values, std::wstring* pNote, unsigned* pWidth = nullptr, unsigned* pHeight = nullptr)
{
    CoverSpec c;
    if (!ShapeOf(values.v[kValueShape]).pfnCoverSpec(values.v, &c))
        return ShapeSpec();
    unsigned width = 0, height = 0;
    CoverPixels(c, c.spine, &width, &height);
    if (pWidth)
        *pWidth = width, *pHeight = height;
    std::wstring note, refusal;
    const ShapeSpec spec = ShapeSpecOf(values.v, width, height, &note, &refusal);
    if (pNote)
        *pNote = note + refusal;
    return spec;
}

float Turn(const ShapeMesh& mesh, size_t t)
{
    const BoxVertex &a = mesh.vertices[mesh.indices[t]], &b = mesh.vertices[mesh.indices[t + 1]],
                    &c = mesh.vertices[mesh.indices[t + 2]];
    const float u[3] = {b.x - a.x, b.y - a.y, b.z - a.z}, w[3] = {c.x - a.x, c.y - a.y, c.z - a.z};
    const float n[3] = {u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2], u[0] * w[1] - u[1] * w[0]};
    return n[0] * (a.nx + b.nx + c.nx) + n[1] * (a.ny + b.ny + c.ny) + n[2] * (a.nz + b.nz + c.nz);
}

// The vertex of the parts with that look and slot nearest the point.
const BoxVertex* Nearest(const ShapeMesh& mesh, PartLook look, int slot, float x, float y, float z)
{
    const BoxVertex* best = nullptr;
    float bestDistance = 1e9f;
    for (const ShapeMesh::Part& part : mesh.parts) {
        if (part.look != look || part.slot != slot)
            continue;
        for (unsigned i = part.firstIndex; i < part.firstIndex + 3 * part.triangleCount; ++i) {
            const BoxVertex& v = mesh.vertices[mesh.indices[i]];
            const float d = (v.x - x) * (v.x - x) + (v.y - y) * (v.y - y) + (v.z - z) * (v.z - z);
            if (d < bestDistance)
                bestDistance = d, best = &v;
        }
    }
    return best;
}

} // namespace

TEST(BookShape, ThePagesMakeTheSpineAndTheHardcoversBoardsStandPastThem)
{
    EXPECT_NEAR(PageBlockInches(300, PaperWhite), 0.6756, 1e-9);
    EXPECT_NEAR(PageBlockInches(300, PaperCream), 0.75, 1e-9);
    EXPECT_NEAR(PageBlockInches(100, PaperColour), 0.2347, 1e-9);

    const ShapeSpec paperback = ShapeSpecOf(Values(ShapePaperback).v, 0, 0);
    EXPECT_NEAR(paperback.size[0], 6.0f, 1e-5f);
    EXPECT_NEAR(paperback.size[1], 9.0f, 1e-5f);
    EXPECT_NEAR(paperback.size[2], 0.6756f, 1e-5f);

    const ShapeSpec hardcover = ShapeSpecOf(Values(ShapeHardcover).v, 0, 0);
    EXPECT_NEAR(hardcover.size[1], 9.25f, 1e-5f);
    EXPECT_NEAR(hardcover.size[2], 0.6756f + 0.2f, 1e-5f);
    const ShapeMesh mesh = ShapeOf(ShapeHardcover).pfnBuild(hardcover);
    const float w = hardcover.size[0] / 2, h = hardcover.size[1] / 2, d = hardcover.size[2] / 2;
    float pagesHigh = -1e9f, pagesRight = -1e9f, pagesFront = 1e9f;
    for (const ShapeMesh::Part& part : mesh.parts)
        for (unsigned i = part.firstIndex; i < part.firstIndex + 3 * part.triangleCount; ++i) {
            const BoxVertex& v = mesh.vertices[mesh.indices[i]];
            if (part.look == PartLook::Pages)
                pagesHigh = std::max(pagesHigh, std::fabs(v.y)), pagesRight = std::max(pagesRight, v.x),
                pagesFront = std::min(pagesFront, v.z);
        }
    EXPECT_NEAR(h - pagesHigh, 0.125f, 1e-4f) << "the boards overhang the pages at the top and bottom";
    EXPECT_NEAR(w - pagesRight, 0.125f, 1e-4f) << "and at the fore-edge";
    EXPECT_NEAR(pagesFront + d, 0.1f, 1e-4f) << "the pages start behind a board 0.1 in thick";
}

TEST(BookShape, EveryShapeStaysWithinItsSizeAndFacesOutwards)
{
    for (int shape = 0; shape < kShapeCount; ++shape) {
        for (int pages : {24, 300, 800}) {
            const ShapeSpec spec = ShapeSpecOf(Values(shape, 8500, 11000, pages).v, 0, 0);
            const ShapeMesh mesh = ShapeOf(shape).pfnBuild(spec);
            ASSERT_FALSE(mesh.indices.empty());
            float lo[3] = {1e9f, 1e9f, 1e9f}, hi[3] = {-1e9f, -1e9f, -1e9f};
            for (const BoxVertex& v : mesh.vertices) {
                const float p[3] = {v.x, v.y, v.z};
                for (int k = 0; k < 3; ++k)
                    lo[k] = std::min(lo[k], p[k]), hi[k] = std::max(hi[k], p[k]);
                ASSERT_NEAR(v.nx * v.nx + v.ny * v.ny + v.nz * v.nz, 1.0f, 1e-3f);
            }
            for (int k = 0; k < 3; ++k) {
                EXPECT_NEAR(hi[k], spec.size[k] / 2, 1e-4f) << g_shapeNames[shape] << " axis " << k;
                EXPECT_NEAR(lo[k], -spec.size[k] / 2, 1e-4f) << g_shapeNames[shape] << " axis " << k;
            }
            // Every triangle turns about its normals as the box's do (wrongly turned ones are
            // culled: holes), none is folded flat.
            for (size_t t = 0; t < mesh.indices.size(); t += 3)
                ASSERT_LT(Turn(mesh, t), 0.0f) << g_shapeNames[shape] << " triangle " << t / 3;
        }
    }
}

TEST(BookShape, TheCoverLiesOnItsFacesTheRightWayRoundAndItsSpineIsChecked)
{
    for (int shape : {ShapePaperback, ShapeHardcover, ShapeDvdCase}) {
        for (int pages : {24, 300, 800}) {
            const Values values(shape, 5000, 8000, pages);
            CoverSpec c;
            ASSERT_TRUE(ShapeOf(shape).pfnCoverSpec(values.v, &c));
            std::wstring note;
            unsigned width = 0, height = 0;
            const ShapeSpec spec = WithItsCover(values, &note, &width, &height);
            ASSERT_TRUE(spec.bCover) << note;
            EXPECT_TRUE(note.empty()) << note;
            // The panels in the picture's order, the bleed (or wrap) outside them cut off.
            const CoverLayout& l = spec.cover;
            EXPECT_GE(l.back[0], c.margin * 300 / width);
            EXPECT_LE(l.front[1], 1 - c.margin * 300 / width);
            EXPECT_NEAR(l.spine[1] - l.spine[0], c.spine * 300 / width, 1.5 / width);
            EXPECT_GE(l.top, c.margin * 300 / height);
            EXPECT_LE(l.bottom, 1 - c.margin * 300 / height);

            // Each panel's top-left corner, as printed, is where a reader sees it: the front's
            // at the spine, the back's at the fore-edge, the spine's at the back; the top of
            // each at the top of the book (-y).
            const ShapeMesh mesh = ShapeOf(shape).pfnBuild(spec);
            const float w = spec.size[0] / 2, h = spec.size[1] / 2, d = spec.size[2] / 2;
            struct Corner {
                int slot;
                float x, z;
                float u0;
            } corners[] = {{SideFront, -w, -d, l.front[0]}, {SideBack, w, d, l.back[0]}, {SideLeft, -w, d, l.spine[0]}};
            for (const Corner& k : corners) {
                const BoxVertex* v = Nearest(mesh, PartLook::Cover, k.slot, k.x, -h, k.z);
                ASSERT_NE(v, nullptr) << g_shapeNames[shape] << " slot " << k.slot;
                EXPECT_NEAR(v->u, k.u0, 0.02f) << g_shapeNames[shape] << " slot " << k.slot;
                EXPECT_NEAR(v->v, l.top, 0.02f) << g_shapeNames[shape] << " slot " << k.slot;
            }
        }
    }

    // A paperback's cover made for 400 pages while the scene says 300: said, naming both
    // spines, and the picture's is the book's.
    const Values values(ShapePaperback);
    CoverSpec c;
    ShapeOf(ShapePaperback).pfnCoverSpec(values.v, &c);
    unsigned width = 0, height = 0;
    CoverPixels(c, PageBlockInches(400, PaperWhite), &width, &height);
    std::wstring note, refusal;
    ShapeSpec spec = ShapeSpecOf(values.v, width, height, &note, &refusal);
    EXPECT_TRUE(spec.bCover);
    EXPECT_NE(note.find(L"0.90"), std::wstring::npos) << note;
    EXPECT_NE(note.find(L"0.676 in"), std::wstring::npos) << note;
    EXPECT_NEAR(spec.size[2], 0.9008f, 0.005f);
    // Within 1/16 in: nothing said.
    CoverPixels(c, c.spine + 0.05, &width, &height);
    note.clear();
    ShapeSpecOf(values.v, width, height, &note, &refusal);
    EXPECT_TRUE(note.empty()) << note;

    // A front cover alone, or a picture on its side, is no cover: refused, the faces then drawn.
    for (auto size : {std::pair<unsigned, unsigned>{1800, 2700}, {2775, 3879}}) {
        refusal.clear();
        spec = ShapeSpecOf(values.v, size.first, size.second, &note, &refusal);
        EXPECT_FALSE(spec.bCover);
        EXPECT_NE(refusal.find(L"not a cover"), std::wstring::npos) << refusal;
    }
}

TEST(BookShape, ADvdCasesInsertFillsItsFlatFacesInsideARimOfTheCasesPlastic)
{
    std::wstring note;
    const ShapeSpec spec = WithItsCover(Values(ShapeDvdCase), &note);
    ASSERT_TRUE(spec.bCover) << note;
    const ShapeMesh mesh = ShapeOf(ShapeDvdCase).pfnBuild(spec);
    const float w = spec.size[0] / 2, h = spec.size[1] / 2;
    for (int slot : {SideFront, SideBack}) {
        float insertY = 0, insertX = -w, rimY = 0, uLo = 1, uHi = 0, vLo = 1, vHi = 0;
        for (const ShapeMesh::Part& part : mesh.parts) {
            if (part.slot != slot)
                continue;
            for (unsigned i = part.firstIndex; i < part.firstIndex + 3 * part.triangleCount; ++i) {
                const BoxVertex& v = mesh.vertices[mesh.indices[i]];
                if (part.look == PartLook::Cover) {
                    insertY = std::max(insertY, std::fabs(v.y)), insertX = std::max(insertX, v.x);
                    uLo = std::min(uLo, v.u), uHi = std::max(uHi, v.u), vLo = std::min(vLo, v.v), vHi = std::max(vHi, v.v);
                } else {
                    EXPECT_EQ(part.look, PartLook::Plain) << "the case's plastic";
                    EXPECT_TRUE(part.bGloss) << "under the sleeve";
                    rimY = std::max(rimY, std::fabs(v.y));
                }
            }
        }
        EXPECT_LT(insertY, h - 0.05f) << "slot " << slot << ": the insert stops short of the top and bottom";
        EXPECT_LT(insertX, w - 0.05f) << "and of the opening";
        EXPECT_GT(rimY, insertY + 0.02f) << "the case's own plastic shows round the bend beyond it";
        // The whole panel shows, nothing of it cut off by the rim.
        const float* panel = slot == SideFront ? spec.cover.front : spec.cover.back;
        EXPECT_NEAR(uLo, panel[0], 0.002f) << "slot " << slot;
        EXPECT_NEAR(uHi, panel[1], 0.002f) << "slot " << slot;
        EXPECT_NEAR(vLo, spec.cover.top, 0.002f);
        EXPECT_NEAR(vHi, spec.cover.bottom, 0.002f);
    }
}

TEST(BookShape, ThePageEdgesShowLeavesAndKeepThePapersColour)
{
    const std::vector<float> shades = PageEdgeShades();
    ASSERT_EQ(shades.size(), kPageTexels);
    // A dark line where two leaves meet, over and over across the block.
    int lines = 0;
    double sum = 0;
    for (size_t i = 1; i + 1 < shades.size(); ++i) {
        if (shades[i] < 0.9f * std::min(shades[i - 1], shades[i + 1]))
            ++lines;
        sum += shades[i];
    }
    EXPECT_GT(lines, 100) << "leaves' edges across 1024 texels";
    // Seen from afar, the block is its paper's colour, a shade darker.
    EXPECT_GT(sum / static_cast<double>(shades.size() - 2), 0.88);
    EXPECT_LE(*std::max_element(shades.begin(), shades.end()), 1.0f);
}

TEST(BookShape, APaperbacksFrontIsScoredAtItsHingeAndTheCoverRunsOverIt)
{
    const ShapeSpec spec = ShapeSpecOf(Values(ShapePaperback).v, 0, 0);
    const ShapeMesh mesh = ShapeOf(ShapePaperback).pfnBuild(spec);
    const float w = spec.size[0] / 2, d = spec.size[2] / 2;
    // The groove's floor: front-cover vertices pressed in a little from the front, near the spine.
    bool bGroove = false;
    for (const ShapeMesh::Part& part : mesh.parts) {
        if (part.slot != SideFront)
            continue;
        for (unsigned i = 0; i < part.triangleCount * 3; ++i) {
            const BoxVertex& v = mesh.vertices[mesh.indices[part.firstIndex + i]];
            if (v.z > -d + 0.001f && v.z < -d + 0.012f && v.x > -w + 0.1f && v.x < -w + 0.3f)
                bGroove = true;
        }
    }
    EXPECT_TRUE(bGroove) << "a groove about 0.2 in from the spine";
}

TEST(BookShape, AHardcoversBoardsAreRoundedAtTheForeEdge)
{
    const ShapeSpec spec = ShapeSpecOf(Values(ShapeHardcover).v, 0, 0);
    const ShapeMesh mesh = ShapeOf(ShapeHardcover).pfnBuild(spec);
    // Both boards turn from their outside onto the fore-edge through normals between the two.
    int turning[2] = {};
    for (const ShapeMesh::Part& part : mesh.parts) {
        if (part.slot != SideFront && part.slot != SideBack)
            continue;
        for (unsigned i = 0; i < part.triangleCount * 3; ++i) {
            const BoxVertex& v = mesh.vertices[mesh.indices[part.firstIndex + i]];
            if (v.x > spec.size[0] / 2 - 0.1f && v.nx > 0.3f && std::fabs(v.nz) > 0.3f)
                ++turning[v.nz < 0 ? 0 : 1];
        }
    }
    EXPECT_GT(turning[0], 0) << "the front board";
    EXPECT_GT(turning[1], 0) << "the back board";
}
