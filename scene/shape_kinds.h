// The shapes a scene can take, by the names scenes spell them (their meshes are the renderer's).
#pragma once

enum ShapeKind { ShapeBox, ShapePaperback, ShapeHardcover, ShapeDvdCase, ShapeSlipcase, ShapeOpenBook,
                 ShapePhone, ShapeTablet, ShapeEReader, kShapeCount };
extern const char* const g_shapeNames[kShapeCount + 1];  // null-terminated

// An open book's binding: its boards (or card) show round its pages.
enum BindingKind { BindingHardcover, BindingPaperback, kBindingCount };
extern const char* const g_bindingNames[kBindingCount + 1];
// A device's body: three finishes, or the colour of its back face.
enum BodyKind { BodyBlack, BodyWhite, BodySilver, BodyBackColour, kBodyCount };
extern const char* const g_bodyNames[kBodyCount + 1];
// How a screen's picture fills it: whole with bars round it, or cropped to fill it.
enum ScreenFitKind { ScreenContain, ScreenCover, kScreenFitCount };
extern const char* const g_screenFitNames[kScreenFitCount + 1];
// How a device stands: upright on its edge, lying on its back, or leaning back on a stand.
// An e-reader's screen: greys, or the muted colours of colour ink.
enum InkKind { InkGrey, InkColour, kInkCount };
extern const char* const g_inkNames[kInkCount + 1];
enum PoseKind { PoseStanding, PoseFlat, PosePropped, kPoseCount };
extern const char* const g_poseNames[kPoseCount + 1];

// The light from above (percent) a book or case gets when it is chosen in a scene without one:
// its top then reads as paper rather than grey.
constexpr int kTopLightForBooks = 40;
