// Puts a shape's mesh together out of four-cornered patches, each on a part that says what
// covers it, with texture coordinates taken from where a corner lies: on a face's picture as
// the box shows it, on the cover picture's panel for the front, spine and back, or across
// a page block.
#pragma once
#include <functional>

#include "shapes.h"

struct Point3 {
    float x, y, z;
};

struct PartKind {
    int slot;
    PartLook look = PartLook::Picture;
    Colour tint = MakeColour(255, 255, 255);
    bool bGloss = false;
    bool bAcross = false;
    bool bLit = false;
};

class ShapeBuilder {
public:
    explicit ShapeBuilder(const ShapeSpec& spec) : m_spec(spec) {}

    // A patch a, b, c, d (in order round it) with a normal at each corner, turned to face
    // along the normals as the box's faces are.
    void Patch(const PartKind& kind, const Point3 p[4], const Point3 n[4], const float uv[4][2]);
    // The same, flat: one normal.
    void Flat(const PartKind& kind, const Point3 p[4], Point3 normal, const float uv[4][2]);

    // A flat patch of the outer skin on the front, left (spine) or back: the cover's panel
    // when the shape wraps one, else that face's picture as on a box of the outer size.
    // extra: laid under the same picture, a glossy sleeve for instance.
    void Skin(int slot, const Point3 p[4], const Point3 n[4], PartKind extra = {0});
    void FlatSkin(int slot, const Point3 p[4], Point3 normal, PartKind extra = {0});
    // Where a point of the outer box lies on a face's picture (the box's own mapping),
    // within the box from lo to hi.
    static void FaceUv(int slot, Point3 p, const float lo[3], const float hi[3], float uv[2]);

    // An axis-aligned block from lo to hi; each face in SideSlot order drawn as kinds[s]
    // says (slot < 0: not drawn) with that face's picture mapped over the block's own face.
    void Block(const float lo[3], const float hi[3], const PartKind (&kinds)[kSideCount]);

    // A book's page block from lo to hi: paper edges at the top, bottom and fore-edge (each
    // face's own picture there instead, when it has one); the spine side hidden in the cover.
    void PageBlock(const float lo[3], const float hi[3]);

    // A face's picture coordinates moved onto the cover panel of a shape that wraps one.
    static void OntoCover(const ShapeSpec& spec, int slot, float uv[2]);

    // Where every patch from now on is put: its corners and normals moved (a shape built in
    // one pose and shown in another); none: as given.
    using Placement = std::function<void(Point3& p, Point3& n)>;
    void SetPlacement(Placement place) { m_place = std::move(place); }

    ShapeMesh Finish() { return std::move(m_mesh); }
    const ShapeSpec& Spec() const { return m_spec; }

private:
    void SkinUv(int slot, Point3 p, float uv[2]) const;
    ShapeMesh m_mesh;
    const ShapeSpec& m_spec;
    Placement m_place;
};
