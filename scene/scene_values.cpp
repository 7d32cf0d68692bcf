#include "scene_values.h"

#include <cctype>
#include <cstring>

#include "arrangements.h"
#include "book_paper.h"
#include "light_kinds.h"
#include "shape_kinds.h"

namespace {
// Every value is one row here; a row missing would leave an entry without a name.
constexpr SceneValue kRows[] = {
    {"width", &BoxScene::m_nWidth, 1, 300, 80, L"tenths of a unit", nullptr, false, true},
    {"height", &BoxScene::m_nHeight, 1, 300, 120, L"tenths of a unit", nullptr, false, true},
    {"depth", &BoxScene::m_nDepth, 1, 300, 20, L"tenths of a unit", nullptr, false, true},
    {"rotation1", &BoxScene::m_nRotation1, 0, 360, 135, L"degrees"},
    {"rotation2", &BoxScene::m_nRotation2, 1, 179, 120, L"degrees"},
    {"distance", &BoxScene::m_nDistance, 50, 500, 200, L"tenths of a unit"},
    {"zoom", &BoxScene::m_nZoom, 150, 1200, 750, L"field of view (1200 - zoom) / 10 degrees"},
    {"ambient", &BoxScene::m_nAmbient, 0, 200, 30, L"percent"},
    {"diffuse", &BoxScene::m_nDiffuse, 0, 200, 100, L"percent"},
    {"reflection", &BoxScene::m_nReflection, 0, 100, 0, L"percent where the box stands"},
    {"reflection-fade", &BoxScene::m_nReflectionFade, 1, 100, 50, L"percent of the box's height"},
    {"shadow", &BoxScene::m_nShadow, 0, 100, 0, L"percent"},
    {"shadow-softness", &BoxScene::m_nShadowSoftness, 0, 100, 40, L"blur"},
    {"centre-x", &BoxScene::m_nCentreX, -1000, 1000, 0, L"thousandths of the half width, right of the middle"},
    {"centre-y", &BoxScene::m_nCentreY, -1000, 1000, 0, L"thousandths of the half height, below the middle"},
    {"edge-radius", &BoxScene::m_nEdgeRadius, 0, 150, 0, L"tenths of a unit, rounding the edges; at most half the smallest side", nullptr, false, true},
    {"shape", &BoxScene::m_nShape, 0, kShapeCount - 1, ShapeBox, L"box, paperback, hardcover, dvd-case, slipcase, open-book, phone, tablet or e-reader", g_shapeNames, false, true},
    {"trim-width", &BoxScene::m_nTrimWidth, 500, 20000, 6000, L"thousandths of an inch: a book's page width", nullptr, true, true},
    {"trim-height", &BoxScene::m_nTrimHeight, 500, 20000, 9000, L"thousandths of an inch: its page height", nullptr, true, true},
    {"pages", &BoxScene::m_nPages, 2, 2000, 300, L"a book's page count", nullptr, false, true},
    {"paper", &BoxScene::m_nPaper, 0, kPaperCount - 1, PaperWhite, L"white, cream or colour", g_paperNames, false, true},
    {"bleed", &BoxScene::m_nBleed, 0, 1000, 125, L"thousandths of an inch of a cover picture past the trim", nullptr, true, true},
    {"wrap", &BoxScene::m_nWrap, 0, 2000, 591, L"thousandths of an inch of a hardcover's case wrap folded in", nullptr, true, true},
    {"top-light", &BoxScene::m_nTopLight, 0, 200, 0, L"percent: a second light, straight from above"},
    {"light", &BoxScene::m_nLight, 0, kLightCount - 1, LightEye, L"eye or studio", g_lightNames},
    {"light-azimuth", &BoxScene::m_nLightAzimuth, 0, 359, 40, L"degrees round the view: 0 from the camera, 90 from the right, 270 from the left (studio)"},
    {"light-elevation", &BoxScene::m_nLightElevation, 0, 90, 50, L"degrees above the floor (studio)"},
    {"light-size", &BoxScene::m_nLightSize, 0, 45, 12, L"degrees across: how soft its shadows are (studio)"},
    {"key", &BoxScene::m_nKey, 0, 200, 100, L"percent: the key light's strength (studio)"},
    {"sky", &BoxScene::m_nSky, 0, 200, 50, L"percent: light from the studio's dome all round (studio)"},
    {"finish", &BoxScene::m_nFinish, 0, kFinishCount - 1, FinishMatte, L"matte, gloss or soft-touch: a cover's and a sleeve's", g_finishNames, false, true},
    {"light-samples", &BoxScene::m_nLightSamples, 1, 64, 16, L"placements of the key light over its size that a frame at rest and a picture average: more for smoother shadows, 1 for a quick draft (studio)"},
    {"arrange", &BoxScene::m_nArrange, 0, kArrangeCount - 1, ArrangeRow, L"how a set's products stand: row (side by side), stack (lying one on another), fan (spread round a point before them), box-set (standing spines out in the set's slipcase), lean (a row, the last leaning on it) or free (each where its place-x, place-z and turn say)", g_arrangeNames},
    {"gap", &BoxScene::m_nGap, 0, 100, 3, L"tenths of a unit between a set's products side by side"},
    {"stagger", &BoxScene::m_nStagger, -50, 50, 0, L"tenths of a unit: each product of a row that much further back than the one before"},
    {"fan-spread", &BoxScene::m_nSpread, 0, 45, 12, L"degrees between a fan's neighbours"},
    {"seed", &BoxScene::m_nSeed, 0, 9999, 1, L"a stack's small twists and offsets: the same seed, the same stack"},
    {"pull", &BoxScene::m_nPull, 0, 80, 0, L"percent of its width a box set's pulled book stands out of the slipcase"},
    {"pulled", &BoxScene::m_nPulled, 1, kMaxProducts, 1, L"which book of a box set is pulled out (1: the first)"},
    {"lean-angle", &BoxScene::m_nLeanAngle, 5, 40, 15, L"degrees from upright the last product of a lean stands at"},
    {"place-x", &BoxScene::m_nPlaceX, -1000, 1000, 0, L"tenths of a unit right of the middle a product stands (free)", nullptr, false, true},
    {"place-z", &BoxScene::m_nPlaceZ, -1000, 1000, 0, L"tenths of a unit behind the middle a product stands (free)", nullptr, false, true},
    {"turn", &BoxScene::m_nTurn, 0, 359, 0, L"degrees a product is turned about the upright, clockwise seen from above (free)", nullptr, false, true},
    {"binding", &BoxScene::m_nBinding, 0, kBindingCount - 1, BindingHardcover, L"hardcover or paperback: an open book's", g_bindingNames, false, true},
    {"read", &BoxScene::m_nRead, 0, 100, 50, L"percent of an open book's pages lying on its left", nullptr, false, true},
    {"open-angle", &BoxScene::m_nOpenAngle, 60, 180, 180, L"degrees between an open book's halves: 180 lying open, less standing open on its foot", nullptr, false, true},
    {"screen-width", &BoxScene::m_nScreenWidth, 0, 20000, 0, L"thousandths of an inch: a device's screen (0: its kind's own)", nullptr, true, true},
    {"screen-height", &BoxScene::m_nScreenHeight, 0, 20000, 0, L"thousandths of an inch: a device's screen (0: its kind's own)", nullptr, true, true},
    {"bezel", &BoxScene::m_nBezel, 0, 2000, 0, L"thousandths of an inch of a device's frame round its screen (0: its kind's own)", nullptr, true, true},
    {"bezel-bottom", &BoxScene::m_nBezelBottom, 0, 2000, 0, L"thousandths of an inch of a device's frame below its screen (0: its kind's own)", nullptr, true, true},
    {"corner", &BoxScene::m_nCorner, 0, 3000, 0, L"thousandths of an inch: a device's corners rounded (0: its kind's own)", nullptr, true, true},
    {"body", &BoxScene::m_nBody, 0, kBodyCount - 1, BodyBlack, L"black, white, silver or colour (the back's colour): a device's", g_bodyNames, false, true},
    {"screen-fit", &BoxScene::m_nScreenFit, 0, kScreenFitCount - 1, ScreenContain, L"contain (the whole picture, bars of the screen's colour round it) or cover (cropped to fill it)", g_screenFitNames, false, true},
    {"pose", &BoxScene::m_nPose, 0, kPoseCount - 1, PoseStanding, L"standing, flat (on its back) or propped (leaning back): a device's", g_poseNames, false, true},
    {"camera-bump", &BoxScene::m_nCameraBump, 0, 1, 1, L"1: a phone's or tablet's camera stands out of its back", nullptr, false, true},
    {"ink", &BoxScene::m_nInk, 0, kInkCount - 1, InkGrey, L"grey or colour: an e-reader's screen", g_inkNames, false, true},
    {"tone", &BoxScene::m_nTone, 0, kToneCount - 1, ToneLiteral, L"literal (the print's colours as lit, past white cut off) or neutral (highlights roll off toward white, colours kept: Khronos' PBR Neutral) (studio)", g_toneNames},
};
static_assert(sizeof kRows / sizeof kRows[0] == kSceneValueCount, "one row for each SceneValueIndex, in its order");
} // namespace

const SceneValue (&g_sceneValues)[kSceneValueCount] = kRows;

namespace {
bool SameNameIgnoringCase(const char* a, const char* b)
{
    for (; *a && *b; ++a, ++b)
        if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b)))
            return false;
    return *a == *b;
}
} // namespace

int SceneValueNumber(const SceneValue& value, const char* pszName)
{
    for (int i = 0; value.ppszNames && value.ppszNames[i]; ++i)
        if (SameNameIgnoringCase(value.ppszNames[i], pszName))
            return i;
    return -1;
}

void SetStartScene(BoxScene& scene)
{
    for (const SceneValue& v : g_sceneValues)
        scene.*v.pField = v.nDefault;
    scene.m_clrBackground = 0xFFFFFFFF;
    for (int s = 0; s < kPictureCount; ++s)
        scene.m_clrFace[s] = DefaultFaceColour(s);
    scene.m_products.clear();
    scene.m_nChosenProduct = 0;
}
