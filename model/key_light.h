// The studio's key light: where it is, placed by the scene's values around the view, and
// the light's own view of the model for its shadow map.
#pragma once
#include "box_scene.h"
#include "camera_math.h"
#include "shapes.h"

struct KeyLight {
    Vec3 toLight;     // unit, from the model toward the light
    Mat4 view;        // the light looking at the model's middle
    Mat4 projection;  // orthographic, just holding the model's bounding sphere
    float mapSize;    // world units across the map
};

// A point on the key light's face, as a picture averaged over its size places the light:
// (0, 0) its middle, on the unit disc.
struct LightSample {
    float u = 0, v = 0;
};
// The index-th placement of the key light of a sequence that covers the disc evenly however
// many are taken (Halton's points in bases 2 and 3, area for area), so that the first few
// already span the light and each later one fills in between.
LightSample DiscSample(unsigned index);

// Azimuth 0 is from the camera, 90 from the right, 270 from the left (round the model's
// middle, over the floor); elevation 0 along the floor, 90 straight from above.
Vec3 KeyLightDirection(const BoxScene& scene, const Vec3& eye);
Vec3 LightDirection(int azimuthDegrees, int elevationDegrees, const Vec3& eye);
// The light from the sample's point of its face (the scene's light-size across), never
// from below the floor.
KeyLight KeyLightOf(const BoxScene& scene, const ShapeSpec& shape, const Vec3& eye, LightSample sample = {});

// A light from that direction (unit, toward the light) holding the model in its map.
KeyLight DirectionalLight(const Vec3& toLight, const ShapeSpec& shape);

// The index-th direction of the studio's sky, for the placements a picture averages: over
// the dome, more of them high than low as the light a floor gets from a dome is (cosine
// weighted), never nearer the floor than 50 degrees; and the part of the dome each one
// stands for, as a cone's half-angle in radians, for count of them.
Vec3 SkyDirection(unsigned index);
float SkySampleSpread(unsigned count);

// How much of the light's size one drawing's shadow filtering spans: all of it where one
// drawing is the picture, less as more placements of the light share the penumbra.
float PenumbraSpread(unsigned passes);
// How wide the key light's shadow on the floor is blurred in one of `passes` drawings, per
// unit of distance from the footprint: the light's size seen from there, where the casting
// edge is about the distance over cos(elevation) away along the ray.
float ShadowBlurPerDistance(const BoxScene& scene, unsigned passes);

// Where a light of that direction sees a point of the model as texture coordinates of its
// map and depth (u, v right and down from the map's corner, depth 0..1): its view times its
// projection times this.
Mat4 ShadowMapBias(unsigned mapTexels);
