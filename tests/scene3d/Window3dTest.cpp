#include "Cylinder3d.h"
#include "Sphere3d.h"
#include "Vertexprimitive3darray.h"
#include "Vertexprimitive3dlist.h"
#include "Window3d.h"

#include "CountingWindow3d.h"

#include <gtest/gtest.h>

TEST(Window3d, Defaults)
{
    TWindow3D window;
    EXPECT_EQ(window.GetBgColor(), 0);
    EXPECT_FALSE(window.GetProportional());
    EXPECT_EQ(window.GetRenderLock(), 0);
    EXPECT_EQ(window.GetCorrection(), IdentityMatrix());
    EXPECT_TRUE(window.GetErrors().isEmpty());
    EXPECT_EQ(window.width(), 200);
    EXPECT_EQ(window.height(), 200);
    ASSERT_NE(window.GetScene3D(), nullptr);
    EXPECT_EQ(window.GetScene3D()->Window, &window);
    EXPECT_EQ(window.GetScene3D()->GetWindow3D(), &window);
}

TEST(Window3d, RenderIsHeldBackWhileLocked)
{
    TCountingWindow3D window;
    EXPECT_EQ(window.LockRender(), 1);
    EXPECT_EQ(window.LockRender(), 2);
    window.Render();
    EXPECT_EQ(window.Paints, 0);
    EXPECT_EQ(window.UnLockRender(), 1);
    EXPECT_EQ(window.Paints, 0);
    EXPECT_EQ(window.UnLockRender(), 0);
    EXPECT_EQ(window.Paints, 1) << "only the last unlock paints, once";

    EXPECT_EQ(window.UnLockRender(), 0) << "the count never drops below 0";
    EXPECT_EQ(window.Paints, 2);
    window.Render();
    EXPECT_EQ(window.Paints, 3);
}

TEST(Window3d, ObjectsRedrawThroughTheirScene)
{
    TCountingWindow3D window;
    auto *lines = new TVertexPrimitive3DList;
    auto *frame = new TVertexPrimitive3DArray;
    window.GetScene3D()->Add(lines);
    window.GetScene3D()->Add(frame);
    lines->ApplyChanges(0);
    frame->ApplyChanges(0);
    EXPECT_EQ(window.Paints, 0);
    lines->ApplyChanges(1);
    frame->ApplyChanges(2);
    EXPECT_EQ(window.Paints, 2);
    window.LockRender();
    lines->Redraw();
    EXPECT_EQ(window.Paints, 2);
}

TEST(Window3d, OnlyTheSphereRedrawsForNoChanges)
{
    TCountingWindow3D window;
    auto *sphere = new TSphere3D;
    auto *cylinder = new TCylinder3D;
    window.GetScene3D()->Add(sphere);
    window.GetScene3D()->Add(cylinder);
    sphere->ApplyChanges(0);
    EXPECT_EQ(window.Paints, 1);
    cylinder->ApplyChanges(0);
    EXPECT_EQ(window.Paints, 1);
    cylinder->ApplyChanges(1);
    EXPECT_EQ(window.Paints, 2);
}

TEST(Window3d, DestroyingTheControlDestroysItsScene)
{
    auto *window = new TWindow3D;
    auto *sphere = new TSphere3D;
    window->GetScene3D()->Add(sphere);
    window->GetScene3D()->OGL_Connect();
    EXPECT_TRUE(sphere->HasQuadric());
    delete window;
}

TEST(Window3d, ChangingTheBackgroundRedrawsOnce)
{
    TCountingWindow3D window;
    window.SetBgColor(0);
    EXPECT_EQ(window.Paints, 0);
    window.SetBgColor(0x00FF00);
    EXPECT_EQ(window.Paints, 1);
    EXPECT_EQ(window.GetBgColor(), 0x00FF00);
    window.SetBgColor(0x00FF00);
    EXPECT_EQ(window.Paints, 1);
}

TEST(Window3d, ProportionalCorrectionSqueezesTheLongerSide)
{
    TCountingWindow3D window;
    window.resize(400, 200);
    window.SetProportional(true);
    EXPECT_EQ(window.Paints, 1);
    EXPECT_FLOAT_EQ(window.GetCorrection()[0], 0.5f);
    EXPECT_FLOAT_EQ(window.GetCorrection()[5], 1.0f);

    window.resize(200, 400);
    window.MakeProportionalCorrection();
    EXPECT_FLOAT_EQ(window.GetCorrection()[0], 1.0f);
    EXPECT_FLOAT_EQ(window.GetCorrection()[5], 0.5f);

    window.resize(300, 300);
    window.MakeProportionalCorrection();
    EXPECT_EQ(window.GetCorrection(), IdentityMatrix());

    window.resize(400, 200);
    window.SetProportional(true);
    EXPECT_EQ(window.Paints, 1) << "setting the same value does nothing";
    window.SetProportional(false);
    EXPECT_EQ(window.GetCorrection(), IdentityMatrix());
    EXPECT_EQ(window.Paints, 2);
}

TEST(Window3d, ProportionalCorrectionOfAnEmptyAreaIsTheIdentity)
{
    TWindow3D window;
    window.resize(0, 0);
    window.SetProportional(true);
    EXPECT_EQ(window.GetCorrection(), IdentityMatrix());
}

TEST(Window3d, PaintingWithoutAContextLeavesNoErrorBehind)
{
    TWindow3D window;
    window.Render();
    EXPECT_TRUE(window.GetErrors().isEmpty());
    EXPECT_FALSE(window.ShowsErrorText());
    EXPECT_TRUE(window.GrabFramebuffer().isNull());
}
