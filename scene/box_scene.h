// The one record that describes the picture. Pages write it, the renderer reads it every
// frame. Numeric fields hold raw trackbar positions; only the renderer scales them.
#pragma once
#include <vector>

#include "colour_value.h"
#include "scene_picture.h"

// A face of the box: indexes the face arrays and is the order faces are drawn and listed.
enum SideSlot {
    SideFront = 0,
    SideLeft = 1,
    SideTop = 2,
    SideBack = 3,
    SideRight = 4,
    SideBottom = 5,
};
constexpr int kSideCount = 6;
// The pictures a scene holds: one per face, and a book's or case's whole cover (back, spine
// and front in one print-ready picture), which its shapes wrap round the front, left and back.
constexpr int SideCover = 6;
// An open book's two visible pages in one picture (a spread), and a device's screen.
constexpr int SideSpread = 7;
constexpr int SideScreen = 8;
constexpr int kPictureCount = 9;
// What a picture slot shows with no picture: white, but a device's screen is dark until lit.
constexpr Colour DefaultFaceColour(int slot)
{
    return slot == SideScreen ? 0x00000000 : 0x00FFFFFF;
}
// A scene shows from one product to this many, on one floor under one light.
constexpr int kMaxProducts = 12;

// A product of a set after the scene's own first one: the values that are a product's (its
// shape, sizes and finish; the stage's are the scene's), its pictures and colours.
struct SceneProduct {
    std::vector<int> values;  // as g_sceneValues orders them; only a product's own are read
    PictureRef m_picture[kPictureCount];
    Colour m_clrFace[kPictureCount] = {};
};

class BoxScene {
public:
    // Makes every page show the current field values.
    virtual void RefreshPages() = 0;

    int m_nRotation1 = 0;   // degrees, 0..360
    int m_nRotation2 = 0;   // degrees, 1..179
    int m_nDistance = 0;    // tenths of a world unit, 50..500
    int m_nZoom = 0;        // 150..1200; field of view = (1200 - zoom) / 10 degrees
    int m_nWidth = 0;       // tenths of a world unit, 1..300
    int m_nHeight = 0;
    int m_nDepth = 0;
    int m_nAmbient = 0;     // percent, 0..200
    int m_nDiffuse = 0;
    int m_nReflection = 0;      // percent of the box mirrored in the floor where it stands, 0..100
    int m_nReflectionFade = 0;  // where the reflection has faded out: percent of the box's height, 1..100
    int m_nShadow = 0;          // percent darkness of the contact shadow, 0..100
    int m_nShadowSoftness = 0;  // how far the shadow spreads and blurs, 0..100
    int m_nCentreX = 0;         // where the box's centre is in the picture: thousandths of its
    int m_nCentreY = 0;         // half width right, of its half height down, from the middle
    int m_nEdgeRadius = 0;      // tenths of a world unit, 0..150: the box's edges rounded (0: sharp)
    int m_nShape = 0;           // ShapeKind: box, paperback, hardcover, DVD case
    int m_nTrimWidth = 0;       // a book's page size, thousandths of an inch
    int m_nTrimHeight = 0;
    int m_nPages = 0;           // a book's page count
    int m_nPaper = 0;           // PaperKind: what its pages are printed on
    int m_nBleed = 0;           // thousandths of an inch of a cover picture past the trim, cut off
    int m_nWrap = 0;            // thousandths of an inch of a case wrap folded inside the boards
    int m_nTopLight = 0;        // percent: a second light shining straight down (0: none)
    int m_nLight = 0;           // LightKind: the light at the eye, or the studio's
    int m_nLightAzimuth = 0;    // studio: degrees round the view the key light stands (0: at the camera)
    int m_nLightElevation = 0;  // degrees above the floor
    int m_nLightSize = 0;       // degrees across: how soft its shadows are
    int m_nKey = 0;             // percent: the key light's strength
    int m_nSky = 0;             // percent: the studio dome's light from all round
    int m_nFinish = 0;          // FinishKind: how printed covers show the lights
    int m_nLightSamples = 0;    // placements of the key light a resting frame averages
    int m_nArrange = 0;         // ArrangeKind: how a set's products stand
    int m_nGap = 0;             // tenths of a world unit between products side by side
    int m_nStagger = 0;         // tenths of a world unit: each product of a row further back
    int m_nSpread = 0;          // degrees between a fan's neighbours
    int m_nSeed = 0;            // a stack's twists and offsets: the same seed, the same stack
    int m_nPull = 0;            // percent of its width a box set's pulled book stands out
    int m_nPulled = 0;          // which book of a box set is pulled (1: the first)
    int m_nLeanAngle = 0;       // degrees from upright the last product of a lean stands at
    int m_nPlaceX = 0;          // free: where the product stands, tenths of a unit right of the middle
    int m_nPlaceZ = 0;          // and behind it
    int m_nTurn = 0;            // free: degrees it is turned about the upright, clockwise seen from above
    int m_nBinding = 0;         // BindingKind: an open book's
    int m_nRead = 0;            // percent of an open book's pages on its left
    int m_nOpenAngle = 0;       // degrees between an open book's halves: 180 lying open, less standing
    int m_nScreenWidth = 0;     // a device's screen, thousandths of an inch (0: its kind's)
    int m_nScreenHeight = 0;
    int m_nBezel = 0;           // thousandths of an inch round a device's screen (0: its kind's)
    int m_nBezelBottom = 0;     // and below it
    int m_nCorner = 0;          // thousandths of an inch: a device's corners rounded (0: its kind's)
    int m_nBody = 0;            // BodyKind
    int m_nScreenFit = 0;       // ScreenFitKind
    int m_nPose = 0;            // PoseKind
    int m_nCameraBump = 0;      // 1: a device's camera stands out of its back
    int m_nInk = 0;             // InkKind: an e-reader's screen
    int m_nTone = 0;            // ToneKind: how the studio's light past white reaches the picture
    float m_fRotation1Fraction = 0.0f;  // degrees past m_nRotation1: a spin's even steps (0 in the window)
    std::uint32_t m_clrBackground = 0xFFFFFFFF;  // 0xAARRGGBB, alpha always 0xFF
    PictureRef m_picture[kPictureCount];          // null: no picture, the face's colour alone
    Colour m_clrFace[kPictureCount] = {};
    // A set: the products after the first, whose values, pictures and colours are the fields
    // above (the product fields of a scene with one product are that product's).
    std::vector<SceneProduct> m_products;
    // The product of a set the fields above hold, for the window's pages to edit (0: the
    // first); the first's then lie in its place in m_products. The set's order is as ever:
    // StoredProduct() finds each product.
    int m_nChosenProduct = 0;

protected:
    BoxScene() = default;
    ~BoxScene() = default;  // never deleted through this base
};
