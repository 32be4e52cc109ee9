// Renders scenes into a control on screen and reads the pixels back.

#include "Cylinder3d.h"
#include "Sphere3d.h"
#include "Vertexprimitive3darray.h"
#include "Vertexprimitive3dlist.h"

#include "ScreenTestSupport.h"

#include <QDir>
#include <QGuiApplication>
#include <QPalette>
#include <QScreen>

#include <gtest/gtest.h>

#include <functional>
#include <numbers>

namespace {

const TColor Background = 0x402010;
const TRGBA Silver = 0xC0C0C0;
const TRGBA Grey = 0x808080;
const TRGBA Red = 0x0000FF;
const TRGBA Blue = 0xFF0000;
const TRGBA Yellow = 0x00FFFF;
const TRGBA Green = 0x00C000;
const int Side = TShownWindow::Side;

// Whether some pixel within radius of (x, y) satisfies the test; thin lines
// may fall on either side of a pixel boundary.
bool AnyPixelNear(const QImage &image, int x, int y, int radius, const std::function<bool(QColor)> &test)
{
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx)
            if (test(image.pixelColor(x + dx, y + dy)))
                return true;
    return false;
}

bool AnyPixelNear(const QImage &image, int x, int y, TRGBA color)
{
    return AnyPixelNear(image, x, y, 2, [color](QColor c) { return SameColor(c, ColorOf(color)); });
}

int PixelsInDisc(const QImage &image, int cx, int cy, int radius, QColor color)
{
    int count = 0;
    for (int y = cy - radius; y <= cy + radius; ++y)
        for (int x = cx - radius; x <= cx + radius; ++x)
            if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius &&
                SameColor(image.pixelColor(x, y), color))
                ++count;
    return count;
}

// Box (0, 0, 0)-(2, 2, 2) centred in a view of (-2, 2) on x and y: a point
// (x, y) of the box lands on pixel column 200 + 100 (x - 1) and, y being
// mirrored, row 200 + 100 (y - 1).
void BuildScene(TWindow3D &window)
{
    TScene3D *scene = window.GetScene3D();
    scene->BoxMin = TXYZ(0.0);
    scene->BoxMax = TXYZ(2.0);
    scene->ProjectionMatrix = OrthoMatrix(-2, 2, -2, 2, -100, 100);

    auto *lines = new TVertexPrimitive3DList;
    lines->Kind = pkLines;
    lines->VertexColors = true;
    lines->Vertices.emplace_back(0.2, 0.4, 1.0, Yellow);
    lines->Vertices.emplace_back(1.8, 0.4, 1.0, Yellow);
    lines->Vertices.emplace_back(0.2, 1.6, 1.0, Red);
    lines->Vertices.emplace_back(1.8, 1.6, 1.0, Blue);
    scene->Add(lines);

    auto *frame = new TVertexPrimitive3DArray;
    frame->Kind = pkLines;
    frame->Color = Grey;
    frame->SetVerticesCount(24);
    const double X = 2, Y = 2, Z = 2;
    const TXYZ corners[24] = {{0, 0, 0}, {X, 0, 0}, {X, Y, 0}, {X, 0, 0}, {X, Y, 0}, {0, Y, 0},
                              {0, Y, 0}, {0, 0, 0}, {0, 0, Z}, {X, 0, Z}, {X, Y, Z}, {X, 0, Z},
                              {X, Y, Z}, {0, Y, Z}, {0, Y, Z}, {0, 0, Z}, {0, 0, Z}, {0, 0, 0},
                              {X, 0, 0}, {X, 0, Z}, {X, Y, Z}, {X, Y, 0}, {0, Y, Z}, {0, Y, 0}};
    for (int i = 0; i < 24; ++i)
        frame->GetVertex(i).Position = corners[i];
    frame->ApplyChanges(0);
    scene->Add(frame);

    auto *sphere = new TSphere3D;
    sphere->Color = Silver;
    sphere->Radius = 0.5;
    sphere->LocalMatrix = TranslationMatrix(1, 1, 1);
    scene->Add(sphere);

    scene->ApplyBox();
    window.SetBgColor(Background);
    window.Render();
}

TSphere3D *SphereOf(TWindow3D &window)
{
    return static_cast<TSphere3D *>(window.GetScene3D()->Item(2));
}

void Save(const QImage &image, const char *name)
{
    image.save(QDir::temp().filePath(name));
}

} // namespace

TEST(Window3dRender, DrawsLinesFrameAndSphereOverTheBackground)
{
    TShownWindow shown;
    TCountingWindow3D &window = *shown.Window;
    ASSERT_TRUE(window.GetErrors().isEmpty()) << window.GetErrors().join(' ').toStdString();
    BuildScene(window);
    const QImage image = window.GrabFramebuffer();
    Save(image, "scene3d_render.png");
    ASSERT_EQ(image.width(), Side);
    ASSERT_EQ(image.height(), Side);

    const QColor background = ColorOf(ColorToRGBA(Background, 255));
    EXPECT_TRUE(SameColor(image.pixelColor(5, 5), background, 0));
    EXPECT_TRUE(SameColor(image.pixelColor(Side - 5, Side - 5), background, 0));

    EXPECT_TRUE(SameColor(image.pixelColor(200, 200), ColorOf(Silver), 0));
    EXPECT_TRUE(SameColor(image.pixelColor(240, 200), ColorOf(Silver), 0));
    EXPECT_TRUE(SameColor(image.pixelColor(260, 200), background, 0));

    EXPECT_TRUE(AnyPixelNear(image, 200, 140, Yellow)) << "the yellow line at y = 0.4";
    EXPECT_TRUE(AnyPixelNear(image, 125, 260, 2, [](QColor c) { return c.red() > 220 && c.blue() < 40; }))
        << "the gradient line starts red";
    EXPECT_TRUE(AnyPixelNear(image, 275, 260, 2, [](QColor c) { return c.blue() > 220 && c.red() < 40; }))
        << "and ends blue";
    EXPECT_TRUE(AnyPixelNear(image, 200, 260, 2, [](QColor c) {
        return c.red() > 90 && c.red() < 165 && c.blue() > 90 && c.blue() < 165 && c.green() < 20;
    })) << "with a blend between";

    for (const auto &[x, y] : {std::pair{200, 100}, {200, 300}, {100, 200}, {300, 200}})
        EXPECT_TRUE(AnyPixelNear(image, x, y, Grey)) << "frame edge near " << x << ", " << y;
}

TEST(Window3dRender, WireFrameSphereLeavesMostOfItsDiscEmpty)
{
    TShownWindow shown;
    TCountingWindow3D &window = *shown.Window;
    BuildScene(window);
    const int filled = PixelsInDisc(window.GrabFramebuffer(), 200, 200, 48, ColorOf(Silver));
    SphereOf(window)->Solid = false;
    SphereOf(window)->ApplyChanges(0);
    const QImage wire = window.GrabFramebuffer();
    Save(wire, "scene3d_wireframe.png");
    const int drawn = PixelsInDisc(wire, 200, 200, 48, ColorOf(Silver));
    EXPECT_GT(filled, 0.95 * 3.14159 * 48 * 48);
    EXPECT_GT(drawn, 100);
    EXPECT_LT(drawn, filled / 2);
}

TEST(Window3dRender, CylinderAfterAWireFrameSphereIsAWireFrameToo)
{
    TShownWindow shown;
    TCountingWindow3D &window = *shown.Window;
    BuildScene(window);
    // A tube standing along y beside the box: x from 1.3 to 1.7 and y from
    // -0.5 to 0.5 about the centre, pixel columns 330..370, rows 150..250.
    auto *cylinder = new TCylinder3D;
    cylinder->Color = Green;
    cylinder->Radius = 0.2;
    cylinder->LocalMatrix =
        MatrixProduct(RotationXMatrix(-std::numbers::pi_v<float> / 2), TranslationMatrix(2.5, 0.5, 1));
    window.GetScene3D()->Add(cylinder);
    window.GetScene3D()->UpdateMatrix();
    const auto greenPixels = [&window] {
        const QImage image = window.GrabFramebuffer();
        int count = 0;
        for (int y = 160; y < 240; ++y)
            for (int x = 335; x < 365; ++x)
                count += SameColor(image.pixelColor(x, y), ColorOf(Green));
        return count;
    };
    const int filled = greenPixels();
    EXPECT_EQ(filled, 30 * 80);
    SphereOf(window)->Solid = false;
    const int wire = greenPixels();
    EXPECT_GT(wire, 50);
    EXPECT_LT(wire, filled / 2);
}

TEST(Window3dRender, RenderPaintsAtOnceUnlessLockedButToolkitPaintsAlwaysDraw)
{
    TShownWindow shown;
    TCountingWindow3D &window = *shown.Window;
    BuildScene(window);
    TShownWindow::Settle();
    int paints = window.Paints;
    SphereOf(window)->Color = Green;
    window.Render();
    EXPECT_EQ(window.Paints, paints + 1) << "Render paints synchronously";
    TShownWindow::Settle();
    EXPECT_EQ(window.Paints, paints + 1) << "and shows that picture without drawing the scene again";
    const QImage screen = QGuiApplication::primaryScreen()->grabWindow(shown.Host.winId()).toImage();
    EXPECT_TRUE(SameColor(screen.pixelColor(200, 200), ColorOf(Green), 0)) << "the picture on screen";

    window.LockRender();
    window.SetBgColor(0x00FF00);
    EXPECT_EQ(window.Paints, paints + 1);
    const QImage image = window.GrabFramebuffer();
    EXPECT_GT(window.Paints, paints + 1);
    EXPECT_TRUE(SameColor(image.pixelColor(5, 5), QColor(0, 255, 0), 0));
    paints = window.Paints;
    window.UnLockRender();
    EXPECT_EQ(window.Paints, paints + 1);
}

TEST(Window3dRender, SystemColorBackgroundResolvesThroughThePalette)
{
    TShownWindow shown;
    TCountingWindow3D &window = *shown.Window;
    BuildScene(window);
    const TColor buttonFace = TColor(0x8000000Fu);
    window.SetBgColor(buttonFace);
    const QColor expected = QGuiApplication::palette().color(QPalette::Active, QPalette::Button);
    EXPECT_TRUE(SameColor(window.GrabFramebuffer().pixelColor(5, 5), expected, 0));
}

TEST(Window3dRender, ProportionalViewKeepsTheSphereRound)
{
    TShownWindow shown;
    shown.Host.resize(Side, Side / 2);
    TShownWindow::Settle();
    TCountingWindow3D &window = *shown.Window;
    BuildScene(window);
    window.SetProportional(true);
    EXPECT_FLOAT_EQ(window.GetCorrection()[0], 0.5f);
    const QImage image = window.GrabFramebuffer();
    // The sphere of radius 0.5 spans a quarter of the height, 50 pixels, and
    // as much across once x is squeezed.
    EXPECT_TRUE(SameColor(image.pixelColor(200 + 20, 100), ColorOf(Silver), 0));
    EXPECT_TRUE(SameColor(image.pixelColor(200 + 30, 100), ColorOf(ColorToRGBA(Background, 255)), 0));
}

namespace {

// Moves the control into another top-level window, which gives it a new
// native window and a new context, and shows the scene there.
void ExpectSceneAfterMove(TShownWindow &shown)
{
    TCountingWindow3D &window = *shown.Window;
    QWidget otherHost;
    auto *layout = new QVBoxLayout(&otherHost);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(&window);
    otherHost.resize(Side, Side);
    otherHost.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&otherHost));
    TShownWindow::Settle();

    EXPECT_FALSE(window.ShowsErrorText());
    EXPECT_TRUE(SphereOf(window)->HasQuadric());
    window.Render();
    EXPECT_TRUE(SameColor(window.GrabFramebuffer().pixelColor(200, 200), ColorOf(Silver), 0));
    // Back to its first host, which owns it.
    window.setParent(&shown.Host);
}

} // namespace

TEST(Window3dRender, MovingToAnotherWindowReconnectsTheScene)
{
    TShownWindow shown;
    BuildScene(*shown.Window);
    ASSERT_TRUE(SphereOf(*shown.Window)->HasQuadric());
    ExpectSceneAfterMove(shown);
    EXPECT_TRUE(shown.Window->GetErrors().isEmpty());
}

TEST(Window3dRender, FailedCreationIsRetriedInANewWindow)
{
    TShownWindow shown(TOpenGLStep::SetPixelFormat);
    BuildScene(*shown.Window);
    TShownWindow::Settle();
    ASSERT_TRUE(shown.Window->ShowsErrorText());
    shown.Window->SimulateFailure(TOpenGLStep::None);
    ExpectSceneAfterMove(shown);
}

struct TCreationFailure {
    const char *Name;
    TOpenGLStep Step;
    const char *Reason;
};

void PrintTo(const TCreationFailure &failure, std::ostream *out)
{
    *out << failure.Name;
}

class Window3dCreationFailure : public testing::TestWithParam<TCreationFailure> {};

TEST_P(Window3dCreationFailure, ShowsTheTwoLinesOfTheFailure)
{
    TShownWindow shown(GetParam().Step);
    TCountingWindow3D &window = *shown.Window;
    BuildScene(window);
    TShownWindow::Settle();
    EXPECT_EQ(window.GetErrors(), QStringList({"OpenGL initialization is failed.", GetParam().Reason}));
    ExpectErrorText(window, Qt::white, ColorOf(ColorToRGBA(Background, 255)));
    EXPECT_TRUE(window.GrabFramebuffer().isNull());
}

INSTANTIATE_TEST_SUITE_P(
    EachStep, Window3dCreationFailure,
    testing::Values(
        TCreationFailure{"WindowDC", TOpenGLStep::WindowDC, "Could not get window DC!"},
        TCreationFailure{"ChoosePixelFormat", TOpenGLStep::ChoosePixelFormat, "Choose PixelFormat failed."},
        TCreationFailure{"SetPixelFormat", TOpenGLStep::SetPixelFormat, "Set PixelFormat failed."},
        TCreationFailure{"RenderingContext", TOpenGLStep::RenderingContext, "Could not get OpenGL RC!"}),
    [](const testing::TestParamInfo<TCreationFailure> &info) { return info.param.Name; });

TEST(Window3dRender, LostContextShowsTextUntilItCanConnectAgain)
{
    TShownWindow shown;
    TCountingWindow3D &window = *shown.Window;
    BuildScene(window);
    window.SimulateFailure(TOpenGLStep::MakeCurrent);
    window.SetBgColor(0xFFFFFF);
    EXPECT_EQ(window.GetErrors(), QStringList({"OpenGL operation is failed.", "Can not connect to OpenGL."}));
    TShownWindow::Settle();
    Save(window.grab().toImage(), "scene3d_error.png");
    ExpectErrorText(window, Qt::black, Qt::white);

    window.SimulateFailure(TOpenGLStep::None);
    window.Render();
    TShownWindow::Settle();
    EXPECT_FALSE(window.ShowsErrorText());
    EXPECT_TRUE(SameColor(window.GrabFramebuffer().pixelColor(200, 200), ColorOf(Silver), 0));
}
