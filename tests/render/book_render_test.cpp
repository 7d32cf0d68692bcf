// Books and cases drawn: a print-ready cover's bleed never shows, each panel's corner mark
// lands where a reader sees it, and each shape's silhouette is its mesh's outline.
#include "render_fixture.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "book_cover.h"
#include "box_templates.h"
#include "decoded_image.h"
#include "picture_writer.h"
#include "scene_shape.h"
#include "view_fit.h"

namespace {

const uint32_t kBleed = 0xFFFF00FF;
const uint32_t kPanels[3] = {0xFF283CC8, 0xFFE6C81E, 0xFF28AA46};  // back blue, spine yellow, front green

bool IsBleed(Pixel p)
{
    return p.r > 60 && p.b > 60 && p.g * 2 + 30 < std::min(p.r, p.b);
}

// A cover as a printer asks for it at `dpi`: the bleed all round, back, spine and front, and
// in each panel a black mark at its top-left corner and a white one at its bottom-right.
DecodedImage MakeCover(const CoverSpec& c, double dpi)
{
    DecodedImage image;
    image.width = static_cast<UINT>(std::lround((2 * c.margin + 2 * c.panelWidth + c.spine) * dpi));
    image.height = static_cast<UINT>(std::lround((2 * c.margin + c.panelHeight) * dpi));
    image.pixels.assign(static_cast<size_t>(image.width) * image.height, kBleed);
    const double edges[4] = {c.margin * dpi, (c.margin + c.panelWidth) * dpi, (c.margin + c.panelWidth + c.spine) * dpi,
                             (c.margin + 2 * c.panelWidth + c.spine) * dpi};
    const double top = c.margin * dpi, bottom = image.height - c.margin * dpi, markHigh = 0.1 * (bottom - top);
    for (UINT y = 0; y < image.height; ++y)
        for (UINT x = 0; x < image.width; ++x) {
            if (y < top || y >= bottom || x < edges[0] || x >= edges[3])
                continue;
            const int k = x < edges[1] ? 0 : x < edges[2] ? 1 : 2;
            const double markWide = (edges[k + 1] - edges[k]) * (k == 1 ? 0.4 : 0.15);
            uint32_t colour = kPanels[k];
            if (x - edges[k] < markWide && y - top < markHigh)
                colour = 0xFF000000;
            if (edges[k + 1] - x < markWide && bottom - y < markHigh)
                colour = 0xFFFFFFFF;
            image.pixels[static_cast<size_t>(y) * image.width + x] = colour;
        }
    return image;
}

class BookRenderTest : public RenderTest {
protected:
    void TearDown() override
    {
        if (!m_coverPath.empty())
            ::DeleteFileW(m_coverPath.c_str());
        RenderTest::TearDown();
    }
    // The scene becomes that shape with a cover made for it (its spine as its pages make it).
    void MakeBook(int shape, int trimWidth, int trimHeight, int pages, double dpi = 100)
    {
        scene.m_nShape = shape, scene.m_nTrimWidth = trimWidth, scene.m_nTrimHeight = trimHeight;
        scene.m_nPages = pages, scene.m_nPaper = PaperWhite, scene.m_nBleed = 125, scene.m_nWrap = 591;
        scene.m_nTopLight = 40;
        int values[kSceneValueCount];
        SceneValuesOf(scene, values);
        CoverSpec c;
        ASSERT_TRUE(ShapeOf(shape).pfnCoverSpec(values, &c));
        if (m_coverPath.empty()) {
            wchar_t folder[MAX_PATH];
            ::GetTempPathW(MAX_PATH, folder);
            m_coverPath = std::wstring(folder) + L"zelmora-test-cover-" + std::to_wstring(::GetCurrentProcessId()) + L".png";
        }
        ASSERT_EQ(WritePicture(MakeCover(c, dpi), PictureFormat{}, m_coverPath), S_OK);
        ASSERT_TRUE(LoadSideImage(scene, SideCover, m_coverPath.c_str()));
        std::wstring refusal;
        ASSERT_TRUE(SceneShape(scene, nullptr, &refusal).bCover) << refusal;
    }
    DecodedImage Picture(UINT size, bool bTransparent = false)
    {
        ViewFit fit;
        if (FitView(scene, 1.0f, 5.0f, &fit))
            scene.m_nZoom = fit.zoom, scene.m_nCentreX = fit.centreX, scene.m_nCentreY = fit.centreY;
        DecodedImage image;
        EXPECT_EQ(renderer.RenderPicture(size, size, bTransparent, -1, image), S_OK);
        return image;
    }
    static Pixel At(const DecodedImage& image, int x, int y)
    {
        const uint32_t c = image.pixels[static_cast<size_t>(y) * image.width + x];
        return {static_cast<int>((c >> 16) & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>(c & 0xFF)};
    }
    std::wstring m_coverPath;
};

} // namespace

TEST_F(BookRenderTest, TheBleedNeverShowsAndEachCornerMarkIsWhereAReaderSeesIt)
{
    struct Trim {
        int width, height;
    };
    for (Trim trim : {Trim{5000, 8000}, Trim{6000, 9000}, Trim{8500, 11000}}) {
        for (int pages : {24, 300, 800}) {
            MakeBook(ShapePaperback, trim.width, trim.height, pages);
            for (int view = 0; view < 8; ++view) {
                scene.m_nRotation1 = 45 * view + 10;
                scene.m_nRotation2 = view % 2 ? 60 : 125;
                const DecodedImage image = Picture(200);
                int bleed = 0;
                for (int y = 0; y < 200; ++y)
                    for (int x = 0; x < 200; ++x)
                        bleed += IsBleed(At(image, x, y));
                const Frame preview = Draw();  // the preview's own drawing, moving and resting
                for (int y = 0; y < preview.height; ++y)
                    for (int x = 0; x < preview.width; ++x)
                        bleed += IsBleed(preview.At(x, y));
                EXPECT_EQ(bleed, 0) << "trim " << trim.width << "x" << trim.height << ", " << pages << " pages, view "
                                    << scene.m_nRotation1 << "/" << scene.m_nRotation2;
            }
            // Square on to the front, then the back: the black mark at the picture's top-left
            // of the book, the white one at its bottom-right.
            for (int rotation : {90, 270}) {
                scene.m_nRotation1 = rotation, scene.m_nRotation2 = 90;
                const DecodedImage image = Picture(300);
                int left = 300, right = -1, top = 300, bottom = -1;
                for (int y = 0; y < 300; ++y)
                    for (int x = 0; x < 300; ++x)
                        if ((image.pixels[static_cast<size_t>(y) * 300 + x] & 0xFFFFFF) != 0xFFFFFF ||
                            (At(image, x, y).r < 250))
                            left = std::min(left, x), right = std::max(right, x), top = std::min(top, y),
                            bottom = std::max(bottom, y);
                ASSERT_LT(left, right);
                const int dx = (right - left) / 25 + 1, dy = (bottom - top) / 25 + 1;
                const Pixel black = At(image, left + dx, top + dy), white = At(image, right - dx, bottom - dy);
                EXPECT_LT(black.r + black.g + black.b, 60) << "rotation " << rotation << ", " << pages << " pages: " << black;
                EXPECT_GT(std::min({white.r, white.g, white.b}), 150) << "rotation " << rotation << ": " << white;
                const Pixel middle = At(image, (left + right) / 2, (top + bottom) / 2);
                EXPECT_EQ(middle.g > middle.b, rotation == 90) << "the front is green, the back blue: " << middle;
            }
        }
    }
}

TEST_F(BookRenderTest, ACoverIsHeldOnTheDeviceOnce)
{
    // Its trimmed copy is the cover's only texture: a batch of covers does not hold each
    // one twice (1.8 GB at the peak for 30 paperbacks when it did, against 1.1 GB).
    MakeBook(ShapePaperback, 6000, 9000, 300);
    Picture(300);
    EXPECT_EQ(renderer.m_faceTextures.Count(), 0u);
}

TEST_F(BookRenderTest, ThePageEdgesOnTopReadAsPaperAtTheStartView)
{
    // The start view of a cream paperback as chosen (the light from above it brings): the top
    // of the page block is the paper's colour, not the grey a side light alone gives it.
    scene.m_nShape = ShapePaperback, scene.m_nPaper = PaperCream, scene.m_nTopLight = kTopLightForBooks;
    const ShapeSpec spec = SceneShape(scene);
    const Frame f = Draw();
    const Pixel top = PixelAt(f, Project(scene, {0.3, -spec.size[1] / 2 + 0.02, 0}, f.width, f.height));
    const COLORREF paper = PaperOf(PaperCream).edgeColour;
    EXPECT_GT(top.r, GetRValue(paper) * 0.85) << top;
    EXPECT_GT(top.g, GetGValue(paper) * 0.85) << top;
    EXPECT_GT(top.b, GetBValue(paper) * 0.85) << top;
    EXPECT_GT(top.r - top.b, 15) << "cream, not grey: " << top;
}

TEST_F(BookRenderTest, EachShapesSilhouetteIsItsMeshsOutline)
{
    for (int shape = 0; shape < kShapeCount; ++shape) {
        if (shape == ShapeOpenBook)
            continue;  // not convex: its pages dip into the gutter
        scene.m_nShape = shape;
        scene.m_nEdgeRadius = shape == ShapeBox ? 10 : 0;
        const ShapeSpec spec = SceneShape(scene);
        const ShapeMesh mesh = ShapeOf(shape).pfnBuild(spec);
        for (auto view : {std::pair{135, 120}, {30, 100}, {250, 70}}) {
            scene.m_nRotation1 = view.first, scene.m_nRotation2 = view.second;
            scene.m_nZoom = 750, scene.m_nCentreX = scene.m_nCentreY = 0;
            DecodedImage image;
            ASSERT_EQ(renderer.RenderPicture(256, 256, true, -1, image), S_OK) << g_shapeNames[shape] << " " << view.first;
            // The convex outline of the mesh's points as the test's own camera sees them.
            std::vector<ScreenPoint> points;
            for (const BoxVertex& v : mesh.vertices)
                points.push_back(Project(scene, {v.x, v.y, v.z}, 256, 256));
            std::sort(points.begin(), points.end(),
                      [](ScreenPoint a, ScreenPoint b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
            auto turn = [](ScreenPoint o, ScreenPoint a, ScreenPoint b) {
                return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
            };
            std::vector<ScreenPoint> hull(2 * points.size());
            size_t k = 0;
            for (size_t i = 0; i < points.size(); ++i) {
                while (k >= 2 && turn(hull[k - 2], hull[k - 1], points[i]) <= 0)
                    --k;
                hull[k++] = points[i];
            }
            for (size_t i = points.size() - 1, lower = k + 1; i-- > 0;) {
                while (k >= lower && turn(hull[k - 2], hull[k - 1], points[i]) <= 0)
                    --k;
                hull[k++] = points[i];
            }
            hull.resize(k - 1);
            int both = 0, either = 0;
            for (int y = 0; y < 256; ++y)
                for (int x = 0; x < 256; ++x) {
                    const ScreenPoint p = {x + 0.5, y + 0.5};
                    bool inside = true;
                    for (size_t i = 0; i < hull.size() && inside; ++i)
                        inside = turn(hull[i], hull[(i + 1) % hull.size()], p) >= 0;
                    const bool drawn = (image.pixels[static_cast<size_t>(y) * 256 + x] >> 24) >= 128;
                    both += inside && drawn;
                    either += inside || drawn;
                }
            EXPECT_GE(static_cast<double>(both) / either, 0.97)
                << g_shapeNames[shape] << " from " << view.first << "/" << view.second;
        }
    }
}

TEST_F(BookRenderTest, APaperbacksSpineEndsInItsOwnColourWithNoPaperWhiteAtItsEdge)
{
    // A dark blue spine on black, seen as the start view shows it: along the spine's outer
    // edge each row of the picture starts with the spine's blue, never with a white fleck
    // of what lies inside the cover.
    scene.m_nShape = ShapePaperback;
    scene.m_clrBackground = 0xFF000000;
    scene.m_clrFace[SideLeft] = scene.m_clrFace[SideFront] = RGB(30, 70, 160);  // the back's inside stays white
    ViewFit fit;
    ASSERT_TRUE(FitView(scene, 1.0f, 6.0f, &fit));
    scene.m_nZoom = fit.zoom, scene.m_nCentreX = fit.centreX, scene.m_nCentreY = fit.centreY;
    DecodedImage picture;
    ASSERT_EQ(renderer.RenderPicture(1024, 1024, false, -1, picture), D3D_OK);
    // Each row's first pixel of the book; below its top corner (a third down) that is the spine.
    auto level = [](uint32_t c, int shift) { return static_cast<int>((c >> shift) & 0xFF); };
    std::vector<int> first(picture.height, -1);
    int top = -1, bottom = -1;
    for (UINT y = 0; y < picture.height; ++y)
        for (UINT x = 0; x + 2 < picture.width; ++x) {
            const uint32_t c = picture.pixels[y * picture.width + x];
            if (std::max({level(c, 16), level(c, 8), level(c, 0)}) > 24) {
                first[y] = static_cast<int>(x);
                top = top < 0 ? static_cast<int>(y) : top;
                bottom = static_cast<int>(y);
                break;
            }
        }
    int rows = 0, flecked = 0;
    for (int y = top + (bottom - top) / 3; y < bottom - 8; ++y) {
        ++rows;
        for (int i = 0; i < 3; ++i) {
            const uint32_t c = picture.pixels[static_cast<size_t>(y) * picture.width + first[y] + i];
            flecked += std::min({level(c, 16), level(c, 8), level(c, 0)}) > 120 ? 1 : 0;
        }
    }
    EXPECT_GT(rows, 500);
    EXPECT_EQ(flecked, 0) << "of " << rows << " rows";
}

TEST_F(BookRenderTest, TheBookViewsKeepVerticalsUpright)
{
    // The lean, in degrees, of the silhouette's left and right sides over the middle half of
    // the book's height: vertical edges of an upright book.
    auto leans = [&](const BoxTemplate& t, double* pLeft, double* pRight) {
        scene.m_nRotation1 = t.nRotation1, scene.m_nRotation2 = t.nRotation2;
        scene.m_nDistance = t.nDistance, scene.m_nZoom = t.nZoom;
        const DecodedImage p = Picture(400, true);
        std::vector<int> rows;
        for (UINT y = 0; y < p.height; ++y)
            for (UINT x = 0; x < p.width; ++x)
                if ((p.pixels[y * p.width + x] >> 24) > 128) {
                    rows.push_back(static_cast<int>(y));
                    break;
                }
        ASSERT_GT(rows.size(), 100u);
        const int top = rows.front() + static_cast<int>(rows.size()) / 4, bottom = rows.back() - static_cast<int>(rows.size()) / 4;
        double sy = 0, syy = 0, sl = 0, sr = 0, syl = 0, syr = 0, n = 0;
        for (int y = top; y <= bottom; ++y) {
            int left = -1, right = -1;
            for (UINT x = 0; x < p.width; ++x)
                if ((p.pixels[y * p.width + x] >> 24) > 128)
                    right = static_cast<int>(x), left = left < 0 ? static_cast<int>(x) : left;
            sy += y, syy += double(y) * y, sl += left, sr += right, syl += double(y) * left, syr += double(y) * right, ++n;
        }
        const double d = n * syy - sy * sy;
        *pLeft = std::atan(std::fabs((n * syl - sy * sl) / d)) * 57.29578;
        *pRight = std::atan(std::fabs((n * syr - sy * sr) / d)) * 57.29578;
    };
    MakeBook(ShapeHardcover, 6000, 9000, 300);
    scene.m_nShadow = 0, scene.m_nReflection = 0;
    double left = 0, right = 0;
    for (int i = kFirstBookTemplate; i < kBoxTemplateCount; ++i) {
        if (g_boxTemplates[i].nRotation2 > 100)
            continue;  // the views that look down on what lies open or flat
        leans(g_boxTemplates[i], &left, &right);
        EXPECT_LT(left, 1.0) << g_boxTemplates[i].pszName;
        EXPECT_LT(right, 1.0) << g_boxTemplates[i].pszName;
    }
    // The start view looks down through a wide lens: its verticals do lean.
    leans(g_boxTemplates[0], &left, &right);
    EXPECT_GT(std::max(left, right), 2.0) << "the measure sees a lean where there is one";
}
