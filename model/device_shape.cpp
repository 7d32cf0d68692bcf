#include "device_shape.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "shape_builder.h"

namespace {

constexpr float kPi = 3.14159265f;
constexpr int kCornerSteps = 8;
constexpr float kProppedAngle = 18 * kPi / 180;  // leaning back from upright on its stand

// What each kind is when its values leave it to its kind, inches.
struct DeviceKind {
    float screenWidth, screenHeight, bezel, bezelBottom, corner, depth;
    float camera;  // the camera's square on the back, 0: none
    bool bInk;
};
constexpr DeviceKind kPhone = {2.65f, 5.75f, 0.08f, 0.08f, 0.40f, 0.31f, 1.05f, false};
constexpr DeviceKind kTablet = {6.30f, 8.90f, 0.30f, 0.30f, 0.45f, 0.25f, 0.50f, false};
constexpr DeviceKind kEReader = {3.60f, 4.90f, 0.30f, 0.62f, 0.28f, 0.32f, 0.0f, true};
constexpr float kCameraRise = 0.045f;

const DeviceKind* KindOf(int shape)
{
    switch (shape) {
    case ShapePhone:
        return &kPhone;
    case ShapeTablet:
        return &kTablet;
    case ShapeEReader:
        return &kEReader;
    default:
        return nullptr;
    }
}

constexpr Colour kBodies[kBodyCount] = {MakeColour(34, 34, 37), MakeColour(236, 236, 232), MakeColour(196, 198, 202),
                                        MakeColour(255, 255, 255)};
constexpr Colour kGlassFrame = MakeColour(14, 14, 16);  // a lit screen's black border under the glass

float Inches(int thousandths, float own)
{
    return thousandths > 0 ? thousandths / 1000.0f : own;
}

// The device upright, before it is posed: all its measures.
struct Device {
    const DeviceKind* kind;
    float width, height, depth;  // the body
    float corner, bevel;         // its corners' radius; its front and back edges softened
    float screen[4];             // the screen's left, top, right, bottom (y down)
    float screenCorner;
    float camera, cameraRise;    // the camera's square, 0: none
    float pose;                  // radians leaning back from upright
};

Device Measure(const int* values)
{
    Device d;
    d.kind = KindOf(values[kValueShape]);
    const DeviceKind& k = d.kind ? *d.kind : kPhone;
    const float sw = Inches(values[kValueScreenWidth], k.screenWidth);
    const float sh = Inches(values[kValueScreenHeight], k.screenHeight);
    const float bezel = Inches(values[kValueBezel], k.bezel);
    // An e-reader's own frame is wider below; one given for the sides alone keeps its share.
    const float below = values[kValueBezelBottom] > 0 ? values[kValueBezelBottom] / 1000.0f
                                                      : (values[kValueBezel] > 0 ? bezel * k.bezelBottom / k.bezel : k.bezelBottom);
    d.depth = k.depth;
    d.bevel = std::min(0.03f, d.depth / 4);
    // The screen never reaches into the softened edge.
    const float side = std::max(bezel, d.bevel + 0.01f), bottom = std::max(below, d.bevel + 0.01f);
    d.width = sw + 2 * side;
    d.height = sh + side + bottom;
    d.corner = std::clamp(Inches(values[kValueCorner], k.corner), d.bevel + 0.01f, std::min(d.width, d.height) / 2);
    d.screen[0] = -sw / 2, d.screen[2] = sw / 2;
    d.screen[1] = -d.height / 2 + side, d.screen[3] = d.screen[1] + sh;
    d.screenCorner = std::clamp(d.corner - side, 0.02f, std::min(sw, sh) / 2);
    d.camera = values[kValueCameraBump] && k.camera > 0 ? std::min(k.camera, std::min(d.width, d.height) / 3) : 0;
    d.cameraRise = d.camera > 0 ? kCameraRise : 0;
    d.pose = values[kValuePose] == PoseFlat ? kPi / 2 : values[kValuePose] == PosePropped ? kProppedAngle : 0;
    return d;
}

// The camera's square on the back, as seen from the front: its left, top, right, bottom.
void CameraSquare(const Device& d, float r[4])
{
    const float inset = std::min(0.22f, d.corner);
    r[2] = d.width / 2 - inset, r[0] = r[2] - d.camera;
    r[1] = -d.height / 2 + inset, r[3] = r[1] + d.camera;
}

// Where an upright point (y down, z toward the back) goes when the device leans back by the
// pose: lying flat, its screen looks up and its top lies away from the camera.
Point3 Posed(const Device& d, Point3 p)
{
    const float c = std::cos(d.pose), s = std::sin(d.pose);
    return {p.x, p.y * c + p.z * s, -p.y * s + p.z * c};
}

// The posed device's extent up and down and front to back, and so where its middle lies.
void PosedBounds(const Device& d, float lo[3], float hi[3])
{
    const float h = d.height / 2, z = d.depth / 2, b = d.bevel;
    // The body seen end on, its edges softened; the camera on its back at the top.
    std::vector<Point3> outline = {{0, -h + b, -z}, {0, -h, -z + b}, {0, -h, z - b}, {0, -h + b, z},
                                   {0, h - b, z},   {0, h, z - b},   {0, h, -z + b}, {0, h - b, -z}};
    if (d.camera > 0) {
        float r[4];
        CameraSquare(d, r);
        outline.push_back({0, r[1], z + d.cameraRise});
        outline.push_back({0, r[3], z + d.cameraRise});
    }
    lo[0] = -d.width / 2, hi[0] = d.width / 2;
    lo[1] = lo[2] = 1e9f, hi[1] = hi[2] = -1e9f;
    for (const Point3& p : outline) {
        const Point3 q = Posed(d, p);
        lo[1] = std::min(lo[1], q.y), hi[1] = std::max(hi[1], q.y);
        lo[2] = std::min(lo[2], q.z), hi[2] = std::max(hi[2], q.z);
    }
}

void DeviceSize(const int* values, double, float size[3])
{
    float lo[3], hi[3];
    PosedBounds(Measure(values), lo, hi);
    for (int k = 0; k < 3; ++k)
        size[k] = hi[k] - lo[k];
}

// A rounded rectangle's edge (left, top, right, bottom; y down), round from its top left,
// each point with its outward direction.
struct Rim {
    std::vector<float> x, y, nx, ny;
};
Rim RoundedRim(const float r[4], float radius)
{
    Rim rim;
    const float cx[4] = {r[0] + radius, r[2] - radius, r[2] - radius, r[0] + radius};
    const float cy[4] = {r[1] + radius, r[1] + radius, r[3] - radius, r[3] - radius};
    for (int corner = 0; corner < 4; ++corner) {
        for (int i = 0; i <= kCornerSteps; ++i) {
            const float a = kPi * (1 + 0.5f * corner) + 0.5f * kPi * i / kCornerSteps;
            rim.nx.push_back(std::cos(a)), rim.ny.push_back(std::sin(a));
            rim.x.push_back(cx[corner] + radius * std::cos(a)), rim.y.push_back(cy[corner] + radius * std::sin(a));
        }
    }
    return rim;
}

void Inset(float r[4], const float from[4], float by)
{
    r[0] = from[0] + by, r[1] = from[1] + by, r[2] = from[2] - by, r[3] = from[3] - by;
}

Point3 Unit(Point3 p)
{
    const float l = std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);
    return {p.x / l, p.y / l, p.z / l};
}

class DeviceBuilder {
public:
    DeviceBuilder(const ShapeSpec& spec, const Device& d) : m_b(spec), m_d(d)
    {
        const int body = std::clamp(spec.values[kValueBody], 0, kBodyCount - 1);
        m_body = {SideBack, PartLook::Plain, kBodies[body]};
        m_camera = {SideBack, PartLook::Plain, MakeColour(150, 150, 150)};
        const bool bInk = d.kind && d.kind->bInk;
        m_frame = bInk ? m_body : PartKind{SideBack, PartLook::Plain, kGlassFrame, true};
        m_screen = {SideScreen, PartLook::Picture, MakeColour(255, 255, 255), !bInk, false, !bInk};
        PosedBounds(d, m_lo, m_hi);
    }

    ShapeMesh Build()
    {
        const Device& d = m_d;
        const float outer[4] = {-d.width / 2, -d.height / 2, d.width / 2, d.height / 2};
        float inner[4];
        Inset(inner, outer, d.bevel);
        const Rim edge = RoundedRim(outer, d.corner), face = RoundedRim(inner, d.corner - d.bevel);
        const Rim screen = RoundedRim(d.screen, d.screenCorner);
        const float front = -d.depth / 2, back = d.depth / 2, b = d.bevel;
        // The body's patches together, so that it is one part (a drawing each pass).
        Band(m_body, face, front, edge, front + b, -1);
        Band(m_body, edge, front + b, edge, back - b, 0);
        Band(m_body, edge, back - b, face, back, 1);
        Fan(m_body, face, back, 1, nullptr);
        Band(m_frame, face, front, screen, front, -1);
        Fan(m_screen, screen, front, -1, d.screen);
        if (d.camera > 0) {
            float square[4];
            CameraSquare(d, square);
            const Rim camera = RoundedRim(square, d.camera * 0.28f);
            Band(m_camera, camera, back, camera, back + d.cameraRise, 0);
            Fan(m_camera, camera, back + d.cameraRise, 1, nullptr);
        }
        return m_b.Finish();
    }

private:
    // Posed, and the whole moved so that its bounds are centred.
    Point3 Place(Point3 p) const
    {
        const Point3 q = Posed(m_d, p);
        return {q.x - (m_lo[0] + m_hi[0]) / 2, q.y - (m_lo[1] + m_hi[1]) / 2, q.z - (m_lo[2] + m_hi[2]) / 2};
    }

    // The surface between two rims at depths za and zb. facing: -1 the band faces front (a
    // softened edge, or the frame), 1 back, 0 straight out (the sides).
    void Band(const PartKind& kind, const Rim& a, float za, const Rim& b, float zb, int facing)
    {
        const size_t n = a.x.size();
        for (size_t i = 0; i < n; ++i) {
            const size_t j = (i + 1) % n;
            const Point3 p[4] = {Place({a.x[i], a.y[i], za}), Place({a.x[j], a.y[j], za}), Place({b.x[j], b.y[j], zb}),
                                 Place({b.x[i], b.y[i], zb})};
            Point3 n4[4];
            const size_t at[4] = {i, j, j, i};
            for (int c = 0; c < 4; ++c) {
                const Rim& rim = c < 2 ? a : b;
                // A flat face's band (the frame) looks straight out of the face; an edge half
                // out of it and half sideways; a side straight sideways.
                const bool bFlat = za == zb;
                const float out = bFlat ? 0.0f : 1.0f, along = facing == 0 ? 0.0f : static_cast<float>(facing);
                n4[c] = Posed(m_d, Unit({rim.nx[at[c]] * out, rim.ny[at[c]] * out, along}));
            }
            const float uv[4][2] = {};
            m_b.Patch(kind, p, n4, uv);
        }
    }

    // The flat face inside a rim at depth z, facing front (-1) or back (1); `picture`: the
    // rectangle its picture spans (the screen), else no picture.
    void Fan(const PartKind& kind, const Rim& rim, float z, int facing, const float* picture)
    {
        const size_t n = rim.x.size();
        float cx = 0, cy = 0;
        for (size_t i = 0; i < n; ++i)
            cx += rim.x[i] / n, cy += rim.y[i] / n;
        auto uvOf = [&](float x, float y, float uv[2]) {
            uv[0] = picture ? (x - picture[0]) / (picture[2] - picture[0]) : 0;
            uv[1] = picture ? (y - picture[1]) / (picture[3] - picture[1]) : 0;
        };
        const Point3 normal = Posed(m_d, {0, 0, static_cast<float>(facing)});
        for (size_t i = 0; i < n; ++i) {
            const size_t j = (i + 1) % n;
            if (rim.x[i] == rim.x[j] && rim.y[i] == rim.y[j])
                continue;
            const Point3 p[4] = {Place({cx, cy, z}), Place({rim.x[i], rim.y[i], z}), Place({rim.x[j], rim.y[j], z}),
                                 Place({cx, cy, z})};
            float uv[4][2];
            uvOf(cx, cy, uv[0]);
            uvOf(rim.x[i], rim.y[i], uv[1]);
            uvOf(rim.x[j], rim.y[j], uv[2]);
            uvOf(cx, cy, uv[3]);
            m_b.Flat(kind, p, normal, uv);
        }
    }

    ShapeBuilder m_b;
    const Device& m_d;
    PartKind m_body, m_camera, m_frame, m_screen;
    float m_lo[3], m_hi[3];
};

ShapeMesh BuildDevice(const ShapeSpec& spec)
{
    const Device d = Measure(spec.values);
    return DeviceBuilder(spec, d).Build();
}

} // namespace

bool DeviceScreenOf(const int* values, DeviceScreen* pScreen)
{
    const Device d = Measure(values);
    if (!d.kind)
        return false;
    pScreen->width = d.screen[2] - d.screen[0];
    pScreen->height = d.screen[3] - d.screen[1];
    pScreen->fit = values[kValueScreenFit];
    pScreen->bInk = d.kind->bInk;
    pScreen->bColourInk = d.kind->bInk && values[kValueInk] == InkColour;
    pScreen->bezel = d.screen[0] + d.width / 2;
    pScreen->bezelBottom = d.height / 2 - d.screen[3];
    pScreen->corner = d.corner;
    pScreen->bCamera = d.kind->camera > 0;
    return true;
}

const ShapeRow g_phoneShape = {L"Phone", nullptr, DeviceSize, BuildDevice, FootprintOfSize, SideScreen};
const ShapeRow g_tabletShape = {L"Tablet", nullptr, DeviceSize, BuildDevice, FootprintOfSize, SideScreen};
const ShapeRow g_eReaderShape = {L"E-reader", nullptr, DeviceSize, BuildDevice, FootprintOfSize, SideScreen};
