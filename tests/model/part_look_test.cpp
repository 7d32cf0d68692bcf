// What the parts of real shapes show: the look both the frame and the model file draw from.
#include <gtest/gtest.h>

#include "light_kinds.h"
#include "part_look.h"
#include "scene_values.h"
#include "shapes.h"

namespace {

ShapeMesh MeshOf(int shape, unsigned coverWidth = 0, unsigned coverHeight = 0)
{
    int values[kSceneValueCount];
    for (int i = 0; i < kSceneValueCount; ++i)
        values[i] = g_sceneValues[i].nDefault;
    values[kValueShape] = shape;
    const ShapeSpec spec = ShapeSpecOf(values, coverWidth, coverHeight);
    return ShapeOf(spec.shape).pfnBuild(spec);
}

struct Faces {
    Colour colours[kPictureCount];
    bool pictures[kPictureCount] = {};
    Faces()
    {
        for (Colour& c : colours)
            c = MakeColour(255, 255, 255);
    }
};

int Count(const ShapeMesh& mesh, const Faces& faces, PartSurface::Source source)
{
    int n = 0;
    for (const ShapeMesh::Part& part : mesh.parts)
        n += SurfaceOf(part, faces.colours, faces.pictures, FinishMatte).source == source;
    return n;
}

} // namespace

TEST(PartLook, APaperbacksEdgesArePaperUntilTheirFaceHasAPictureOfItsOwn)
{
    const ShapeMesh book = MeshOf(ShapePaperback);
    Faces faces;
    EXPECT_GT(Count(book, faces, PartSurface::PaperDown), 0);     // head and foot
    EXPECT_GT(Count(book, faces, PartSurface::PaperAcross), 0);   // fore-edge
    faces.pictures[SideTop] = faces.pictures[SideBottom] = faces.pictures[SideRight] = true;
    EXPECT_EQ(Count(book, faces, PartSurface::PaperDown), 0);
    EXPECT_EQ(Count(book, faces, PartSurface::PaperAcross), 0);
}

TEST(PartLook, ACoverPictureWrapsTheBookAndItsColourTintsIt)
{
    const ShapeMesh book = MeshOf(ShapeHardcover, 4050, 2850);
    Faces faces;
    faces.colours[SideCover] = MakeColour(200, 100, 50);
    EXPECT_EQ(Count(book, faces, PartSurface::CoverPicture), 0);  // no picture: its colour alone
    faces.pictures[SideCover] = true;
    ASSERT_GT(Count(book, faces, PartSurface::CoverPicture), 0);
    for (const ShapeMesh::Part& part : book.parts) {
        const PartSurface look = SurfaceOf(part, faces.colours, faces.pictures, FinishMatte);
        if (look.source == PartSurface::CoverPicture) {
            EXPECT_EQ(look.colour, faces.colours[SideCover]);
        }
    }
}

TEST(PartLook, TheCasesPlasticIsGlossyAndTintedAndPaperIsMatte)
{
    const ShapeMesh dvd = MeshOf(ShapeDvdCase);
    Faces faces;
    faces.colours[SideFront] = MakeColour(128, 128, 128);
    int glossy = 0;
    for (const ShapeMesh::Part& part : dvd.parts) {
        const PartSurface look = SurfaceOf(part, faces.colours, faces.pictures, FinishMatte);
        if (look.bGloss) {
            ++glossy;
            EXPECT_LE(look.roughness, 0.3);
        } else {
            EXPECT_GE(look.roughness, 0.6);
        }
        if (part.look == PartLook::Plain) {  // the face's colour times the plastic's own
            const Colour c = faces.colours[part.slot];
            EXPECT_EQ(look.colour, MakeColour(RedOf(c) * RedOf(part.tint) / 255, GreenOf(c) * GreenOf(part.tint) / 255,
                                              BlueOf(c) * BlueOf(part.tint) / 255));
        }
    }
    EXPECT_GT(glossy, 0);
}
