#include "Cylinder3d.h"
#include "Scene3d.h"
#include "Sphere3d.h"
#include "Vertexprimitive3darray.h"
#include "Vertexprimitive3dlist.h"

#include "MatrixExpectations.h"

#include <gtest/gtest.h>

TEST(VertexPrimitive, PrimitivesCountFollowsTheKind)
{
    TVertexPrimitive3DList list;
    const auto count = [&list](int kind, int n) {
        list.Kind = kind;
        return list.VerticesCountToPrimitivesCount(n);
    };
    EXPECT_EQ(count(pkPoints, 5), 5);
    EXPECT_EQ(count(pkLines, 5), 2);
    EXPECT_EQ(count(pkLineStrip, 1), 0);
    EXPECT_EQ(count(pkLineStrip, 4), 3);
    EXPECT_EQ(count(pkTriangles, 7), 2);
    EXPECT_EQ(count(pkTriangleStrip, 2), 0);
    EXPECT_EQ(count(pkTriangleStrip, 5), 3);
    EXPECT_EQ(count(pkTriangleFan, 2), 0);
    EXPECT_EQ(count(pkTriangleFan, 3), 1);
    EXPECT_EQ(count(7, 9), 0);
    EXPECT_EQ(count(0, 9), 0);
}

TEST(VertexPrimitive, UnknownKindsAreDrawnAsPoints)
{
    TVertexPrimitive3DArray array;
    array.Kind = pkPoints;
    const unsigned points = array.OGL_PrimitiveType();
    array.Kind = 7;
    EXPECT_EQ(array.OGL_PrimitiveType(), points);
    array.Kind = pkLines;
    EXPECT_NE(array.OGL_PrimitiveType(), points);
}

TEST(VertexPrimitive, Defaults)
{
    const TRGBA grey = MakeRGBA(128, 128, 128, 255);
    TVertexPrimitive3DList list;
    EXPECT_TRUE(list.Vertices.empty());
    EXPECT_EQ(list.Color, grey);
    EXPECT_FALSE(list.VertexColors);
    EXPECT_EQ(list.Kind, pkPoints);
    TVertexPrimitive3DArray array;
    EXPECT_EQ(array.GetVerticesCount(), 0);
    EXPECT_EQ(array.GetPrimitivesCount(), 0);
    EXPECT_EQ(array.Color, grey);
    EXPECT_FALSE(array.VertexColors);
    EXPECT_EQ(array.Kind, pkPoints);
}

TEST(VertexPrimitive3DArray, TwentyFourVerticesBecomeTwelveLinesOnlyAfterApplyingChanges)
{
    TVertexPrimitive3DArray frame;
    frame.SetVerticesCount(24);
    ASSERT_EQ(frame.GetVerticesCount(), 24);
    EXPECT_EQ(frame.GetPrimitivesCount(), 24) << "still points";
    for (int i = 0; i < 24; ++i) {
        ExpectNear(frame.GetVertex(i).Position, {0, 0, 0}, 0.0);
        EXPECT_EQ(frame.GetVertex(i).Color, 0u);
    }
    frame.Kind = pkLines;
    EXPECT_EQ(frame.GetPrimitivesCount(), 24);
    frame.ApplyChanges(0);
    EXPECT_EQ(frame.GetPrimitivesCount(), 24);
    frame.ApplyChanges(1);
    EXPECT_EQ(frame.GetPrimitivesCount(), 12);
}

TEST(VertexPrimitive3DArray, GrowingKeepsTheFrontShrinkingKeepsTheFirst)
{
    TVertexPrimitive3DArray array;
    array.CreateVertices(3);
    for (int i = 0; i < 3; ++i)
        array.GetVertex(i) = TXYZC(i + 1, 10 * (i + 1), 100 * (i + 1), TRGBA(i + 1));

    array.CreateVertices(5);
    ASSERT_EQ(array.GetVerticesCount(), 5);
    EXPECT_EQ(array.GetPrimitivesCount(), 5);
    for (int i = 0; i < 3; ++i) {
        ExpectNear(array.GetVertex(i).Position, {i + 1.0, 10.0 * (i + 1), 100.0 * (i + 1)}, 0.0);
        EXPECT_EQ(array.GetVertex(i).Color, TRGBA(i + 1));
    }
    for (int i = 3; i < 5; ++i) {
        ExpectNear(array.GetVertex(i).Position, {0, 0, 0}, 0.0);
        EXPECT_EQ(array.GetVertex(i).Color, 0u);
    }

    array.Kind = pkLines;
    array.SetVerticesCount(2);
    ASSERT_EQ(array.GetVerticesCount(), 2);
    EXPECT_EQ(array.GetPrimitivesCount(), 1) << "recounted for the current kind";
    ExpectNear(array.GetVertex(0).Position, {1, 10, 100}, 0.0);
    ExpectNear(array.GetVertex(1).Position, {2, 20, 200}, 0.0);
}

TEST(VertexPrimitive3DArray, ZeroOrNegativeCountEmpties)
{
    TVertexPrimitive3DArray array;
    array.CreateVertices(4);
    array.CreateVertices(0);
    EXPECT_EQ(array.GetVerticesCount(), 0);
    EXPECT_EQ(array.GetPrimitivesCount(), 0);
    array.CreateVertices(4);
    array.CreateVertices(-3);
    EXPECT_EQ(array.GetVerticesCount(), 0);
    EXPECT_EQ(array.GetPrimitivesCount(), 0);
    array.DestroyVertices();
    EXPECT_EQ(array.GetVerticesCount(), 0);
}

TEST(Solids, Defaults)
{
    const TRGBA grey = MakeRGBA(128, 128, 128, 255);
    TSphere3D sphere;
    EXPECT_EQ(sphere.Color, grey);
    EXPECT_EQ(sphere.Radius, 0.9);
    EXPECT_EQ(sphere.Slices, 12);
    EXPECT_EQ(sphere.Stacks, 10);
    EXPECT_TRUE(sphere.Solid);
    EXPECT_FALSE(sphere.HasQuadric());
    TCylinder3D cylinder;
    EXPECT_EQ(cylinder.Color, grey);
    EXPECT_EQ(cylinder.Radius, 0.9);
    EXPECT_EQ(cylinder.Height, 1.0);
    EXPECT_EQ(cylinder.Slices, 10);
    EXPECT_EQ(cylinder.Stacks, 3);
    EXPECT_FALSE(cylinder.HasQuadric());
}

TEST(Solids, TessellationDefaultsAreReadAtConstruction)
{
    const int slices = TSphere3D::DefSlices;
    TSphere3D::DefSlices = 30;
    TSphere3D fine;
    TSphere3D::DefSlices = slices;
    TSphere3D plain;
    EXPECT_EQ(fine.Slices, 30);
    EXPECT_EQ(plain.Slices, slices);
    EXPECT_EQ(TCylinder3D().Slices, TCylinder3D::DefSlices) << "each class has its own defaults";
}

TEST(Solids, HoldAQuadricExactlyWhileConnected)
{
    TScene3D scene;
    auto *sphere = new TSphere3D;
    auto *cylinder = new TCylinder3D;
    scene.Add(sphere);
    scene.Add(cylinder);
    EXPECT_FALSE(sphere->HasQuadric());

    scene.OGL_Connect();
    EXPECT_TRUE(sphere->HasQuadric());
    EXPECT_TRUE(cylinder->HasQuadric());

    scene.Remove(cylinder);
    EXPECT_FALSE(cylinder->HasQuadric());
    EXPECT_FALSE(cylinder->IsConnected());
    delete cylinder;

    scene.OGL_Disconnect();
    EXPECT_FALSE(sphere->HasQuadric());
}

TEST(Solids, JoiningAConnectedSceneKeepsTheOldMatrixUntilUpdated)
{
    TScene3D scene;
    scene.BoxMax = TXYZ(2.0);
    scene.OGL_Connect();
    auto *sphere = new TSphere3D;
    sphere->LocalMatrix = TranslationMatrix(1, 1, 1);
    scene.Add(sphere);
    EXPECT_TRUE(sphere->HasQuadric());
    EXPECT_EQ(sphere->AbsoluteMatrix, IdentityMatrix());
    scene.UpdateMatrix();
    ExpectNear(Transform(sphere->AbsoluteMatrix, {0, 0, 0}), {0, 0, 0});
}

TEST(Solids, DestroyingAConnectedSolidLeavesTheScene)
{
    TScene3D scene;
    scene.OGL_Connect();
    auto *sphere = new TSphere3D;
    scene.Add(sphere);
    scene.Add(new TCylinder3D);
    delete sphere;
    EXPECT_EQ(scene.Count(), 1);
}
