// Where two parts of a shape lie close together (a cover over its page block, a board over
// its endpaper), the nearer one is drawn whole: no tooth of the farther one shows through
// along any edge, however long the lens, and nothing behind shows through a gap.
#include "render_fixture.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "scene_shape.h"
#include "picture_writer.h"

namespace {

constexpr int kSize = 1000;
constexpr Colour kBlue = RGB(30, 60, 210);

// What a part is drawn in, with blue faces and white paper.
enum Group : signed char { Nothing = -1, Paper = 0, Blue = 1, Dark = 2 };

Group GroupOf(const ShapeMesh::Part& part)
{
    if (part.look == PartLook::Pages)
        return Paper;
    return std::min({GetRValue(part.tint), GetGValue(part.tint), GetBValue(part.tint)}) > 64 ? Blue : Dark;
}

// The group of the nearest part under each pixel's centre, found by drawing the mesh's
// triangles in double precision here.
std::vector<Group> NearestParts(const BoxScene& scene, const ShapeMesh& mesh)
{
    std::vector<Group> group(kSize * kSize, Nothing);
    std::vector<double> nearest(kSize * kSize, std::numeric_limits<double>::infinity());
    for (const ShapeMesh::Part& part : mesh.parts) {
        const Group g = GroupOf(part);
        for (unsigned t = 0; t < part.triangleCount; ++t) {
            ScreenPoint p[3];
            double depth[3];
            for (int i = 0; i < 3; ++i) {
                const BoxVertex& v = mesh.vertices[mesh.indices[part.firstIndex + 3 * t + i]];
                p[i] = Project(scene, {v.x, v.y, v.z}, kSize, kSize, &depth[i]);
            }
            const double area = (p[1].x - p[0].x) * (p[2].y - p[0].y) - (p[2].x - p[0].x) * (p[1].y - p[0].y);
            if (std::fabs(area) < 1e-12)
                continue;
            const int x0 = std::max(0, static_cast<int>(std::floor(std::min({p[0].x, p[1].x, p[2].x}))));
            const int x1 = std::min(kSize - 1, static_cast<int>(std::ceil(std::max({p[0].x, p[1].x, p[2].x}))));
            const int y0 = std::max(0, static_cast<int>(std::floor(std::min({p[0].y, p[1].y, p[2].y}))));
            const int y1 = std::min(kSize - 1, static_cast<int>(std::ceil(std::max({p[0].y, p[1].y, p[2].y}))));
            for (int y = y0; y <= y1; ++y)
                for (int x = x0; x <= x1; ++x) {
                    const double cx = x + 0.5, cy = y + 0.5;
                    double w[3];
                    for (int i = 0; i < 3; ++i) {
                        const ScreenPoint a = p[(i + 1) % 3], b = p[(i + 2) % 3];
                        w[i] = ((b.x - a.x) * (cy - a.y) - (cx - a.x) * (b.y - a.y)) / area;
                    }
                    if (w[0] < 0 || w[1] < 0 || w[2] < 0)
                        continue;
                    // Depth runs straight across the screen as its reciprocal.
                    const double d = 1 / (w[0] / depth[0] + w[1] / depth[1] + w[2] / depth[2]);
                    if (d < nearest[y * kSize + x])
                        nearest[y * kSize + x] = d, group[y * kSize + x] = g;
                }
        }
    }
    return group;
}

// The background is green: a hole through the model shows it.
bool Fits(Group g, uint32_t c)
{
    const int r = (c >> 16) & 0xFF, gr = (c >> 8) & 0xFF, b = c & 0xFF;
    const bool bBlue = b > (r + gr) / 2 + 40, bGreen = gr > r + b, bPaper = std::min({r, gr, b}) > 100 && !bBlue;
    switch (g) {
    case Paper: return !bBlue && !bGreen;
    case Blue: return !bPaper && !bGreen;
    default: return !bGreen;
    }
}

class SeamTest : public RenderTest {};

} // namespace

TEST_F(SeamTest, TheNearerPartIsDrawnWholeAlongEveryEdgeAtEveryView)
{
    struct View {
        int rotation1, rotation2, distance;
    };
    // The start view, the book views' long lenses from level and from above, a view from
    // below, and the farthest eye of all (where depth is least precise).
    const View views[] = {{135, 120, 200}, {60, 95, 420}, {300, 105, 420}, {210, 70, 300}, {20, 140, 500}};
    for (int shape : {ShapePaperback, ShapeHardcover, ShapeDvdCase}) {
        scene.m_nShape = shape;
        scene.m_nPaper = PaperWhite;
        for (Colour& c : scene.m_clrFace)
            c = RGB(255, 255, 255);  // the page edges' faces: paper
        for (int slot : {SideFront, SideLeft, SideBack})
            scene.m_clrFace[slot] = kBlue;
        scene.m_clrBackground = 0xFF00FF00;
        scene.m_nAmbient = 40;
        const ShapeSpec spec = SceneShape(scene);
        const ShapeMesh mesh = ShapeOf(shape).pfnBuild(spec);
        const double radius = std::sqrt(spec.size[0] * spec.size[0] + spec.size[1] * spec.size[1] +
                                        spec.size[2] * spec.size[2]) / 2;
        for (const View& view : views) {
            scene.m_nRotation1 = view.rotation1, scene.m_nRotation2 = view.rotation2;
            scene.m_nDistance = view.distance;
            const double fovTenths = 2 * std::asin(radius * 1.15 / (view.distance / 10.0)) * 1800 / 3.14159265;
            scene.m_nZoom = 1200 - static_cast<int>(std::ceil(fovTenths));
            scene.m_nCentreX = scene.m_nCentreY = 0;
            DecodedImage image;
            ASSERT_EQ(renderer.RenderPicture(kSize, kSize, false, -1, image), S_OK);
            const std::vector<Group> parts = NearestParts(scene, mesh);
            // Pixels two away from any other part's: wholly inside one part, whatever the
            // multisampling blends at its edges.
            int inside = 0, wrong = 0, firstX = -1, firstY = -1;
            for (int y = 2; y < kSize - 2; ++y)
                for (int x = 2; x < kSize - 2; ++x) {
                    const Group g = parts[y * kSize + x];
                    if (g == Nothing)
                        continue;
                    bool bWhole = true;
                    for (int dy = -2; dy <= 2 && bWhole; ++dy)
                        for (int dx = -2; dx <= 2 && bWhole; ++dx)
                            bWhole = parts[(y + dy) * kSize + x + dx] == g;
                    if (!bWhole)
                        continue;
                    ++inside;
                    if (!Fits(g, image.pixels[y * kSize + x])) {
                        if (firstX < 0)
                            firstX = x, firstY = y;
                        ++wrong;
                    }
                }
            if (_wgetenv(L"SEAM_DUMP")) {
                DecodedImage map = image;
                for (int i = 0; i < kSize * kSize; ++i)
                    if (parts[i] == Paper) map.pixels[i] = 0xFFFFFFFF; else if (parts[i] == Blue) map.pixels[i] = 0xFF0000FF; else if (parts[i] == Dark) map.pixels[i] = 0xFF404040; else map.pixels[i] = 0xFF000000;
                std::wstring base = L"Z:/tmp/seam-" + std::to_wstring(shape) + L"-" + std::to_wstring(view.rotation1);
                WritePicture(image, PictureFormat{}, base + L".png");
                WritePicture(map, PictureFormat{}, base + L"-map.png");
            }
            EXPECT_GT(inside, kSize * kSize / 20);
            EXPECT_EQ(wrong, 0) << shape << " from " << view.rotation1 << "/" << view.rotation2 << " at "
                                << view.distance << ": " << wrong << " of " << inside << " pixels, first at " << firstX
                                << "," << firstY;
        }
    }
}
