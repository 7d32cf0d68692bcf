// Framing: the zoom and centre at which the box, with its reflection and shadow where they
// are drawn, fills a picture of the given proportions up to a margin.
#pragma once
#include <string>

#include "box_scene.h"

struct ViewFit {
    int zoom = 0;
    int centreX = 0, centreY = 0;
    int distance = 0;  // a set too large for the camera's distance moves it back to this; 0: as it is
};
// The fit into the scene's values.
void ApplyFit(BoxScene& scene, const ViewFit& fit);
// The camera's distance (tenths of a unit) from which a set larger than the scene's distance
// allows is seen whole; 0 for a single product, or a set the camera is far enough from.
int DistanceForSet(const BoxScene& scene);

// The margin "Fit in frame" and a spin leave when none is asked for.
constexpr float kDefaultFitMargin = 5.0f;

// marginPercent: the space left on each side, in percent of the picture's width and height.
// False when the camera is inside what is to be framed (nothing then fits).
bool FitView(const BoxScene& scene, float aspect, float marginPercent, ViewFit* pFit);
// A view fitted to pictures of one shape is fitted again to another: a taller picture would
// otherwise cut the sides the wider one held. A view framed by hand is left as it is.
// True when the scene's zoom and centre changed.
bool RefitForAspect(BoxScene& scene, float oldAspect, float newAspect, float marginPercent);

// Framing that holds for several views (a series of pictures that differ only in the view):
// what each shows is added up, in units that do not depend on the zoom, and one zoom and
// centre are found for all, so that the box does not jump from picture to picture.
struct FramedExtent {
    double x0 = 1e9, x1 = -1e9, y0 = 1e9, y1 = -1e9;
    bool Empty() const { return x1 < x0; }
};
bool AddToExtent(const BoxScene& scene, float aspect, FramedExtent* pExtent);
bool FitExtent(const FramedExtent& extent, float marginPercent, ViewFit* pFit);

// Whether a picture of the scene shows anything of the box, its reflection or its shadow,
// decided from where they are, not from the pixels (a white box on white is still there).
enum class Visibility { InView, CameraInside, OutsidePicture };
Visibility SceneVisibility(const BoxScene& scene, float aspect);
// Why nothing is written for such a picture, in words for the user; null when in view.
const wchar_t* OutOfViewReason(Visibility visibility);

// The part of a width x height picture outside which it is all background, in its pixels
// (right and bottom exclusive): the box, its reflection as far as it shows and its shadow's
// square, as the device draws them, and a few pixels round them. False when that cannot be
// told: the studio's floor is lit everywhere, or the camera is at the box.
struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool Empty() const { return right <= left || bottom <= top; }
};
bool DrawnPixels(const BoxScene& scene, unsigned width, unsigned height, PixelRect* pRect);

// How many pixels across and down the box itself spans in a width x height picture (its
// corners' extent, unclipped); false when the camera is at or inside it.
bool ProductPixelSize(const BoxScene& scene, unsigned width, unsigned height, double* pAcross, double* pDown);
// Why a picture of the scene would show next to nothing of the box (it spans under two
// pixels): in words for the user, as the out-of-view reasons are; empty when it shows.
std::wstring TooSmallReason(const BoxScene& scene, unsigned width, unsigned height);
