#include "Container3d.h"
#include "Scene3d.h"

#include "MatrixExpectations.h"

#include <gtest/gtest.h>

#include <numbers>

namespace {

struct TProbeCounts {
    int Connects = 0;
    int Disconnects = 0;
    int Destroyed = 0;
};

// A node that records what the graph does to it.
class TProbe : public TObject3D {
public:
    explicit TProbe(TProbeCounts &counts) : Counts(counts) {}
    void OGL_Connect() override
    {
        ++Counts.Connects;
        TObject3D::OGL_Connect();
    }
    void OGL_Disconnect() override
    {
        ++Counts.Disconnects;
        TObject3D::OGL_Disconnect();
    }
    ~TProbe() override { ++Counts.Destroyed; }

private:
    TProbeCounts &Counts;
};

} // namespace

TEST(Container3d, AddIgnoresNoneAndDuplicates)
{
    TContainer3D container;
    TProbeCounts counts;
    auto *node = new TProbe(counts);
    container.Add(node);
    container.Add(node);
    container.Add(nullptr);
    EXPECT_EQ(container.Count(), 1);
    EXPECT_EQ(container.Item(0), node);
    EXPECT_EQ(node->GetParent(), &container);
    EXPECT_EQ(container.IndexOf(node), 0);
    EXPECT_EQ(container.IndexOf(nullptr), -1);
    TObject3D stranger;
    EXPECT_EQ(container.IndexOf(&stranger), -1);
    // A container that is not connected does not connect what it receives.
    EXPECT_EQ(counts.Connects, 0);
    EXPECT_FALSE(node->IsConnected());
}

TEST(Container3d, RemoveDisconnectsAndKeepsTheOrderOfTheOthers)
{
    TContainer3D container;
    TProbeCounts counts;
    TObject3D *first = new TObject3D;
    auto *middle = new TProbe(counts);
    TObject3D *last = new TObject3D;
    for (TObject3D *node : {first, static_cast<TObject3D *>(middle), last})
        container.Add(node);

    container.Remove(middle);
    EXPECT_EQ(counts.Disconnects, 1) << "disconnected although the container never was connected";
    EXPECT_EQ(middle->GetParent(), nullptr);
    ASSERT_EQ(container.Count(), 2);
    EXPECT_EQ(container.Item(0), first);
    EXPECT_EQ(container.Item(1), last);

    container.Remove(middle);
    container.Remove(nullptr);
    EXPECT_EQ(counts.Disconnects, 1);
    EXPECT_EQ(container.Count(), 2);
    EXPECT_EQ(counts.Destroyed, 0) << "removing hands the node back, it does not destroy it";
    delete middle;
    EXPECT_EQ(counts.Destroyed, 1);
}

TEST(Container3d, SetParentMovesDetachesOrDoesNothing)
{
    TContainer3D home;
    TContainer3D other;
    TProbeCounts counts;
    auto *node = new TProbe(counts);
    TObject3D *resident = new TObject3D;
    other.Add(resident);
    node->SetParent(&home);
    home.Add(new TObject3D);

    node->SetParent(&home);
    EXPECT_EQ(counts.Disconnects, 0);
    EXPECT_EQ(home.IndexOf(node), 0);

    node->SetParent(&other);
    EXPECT_EQ(home.IndexOf(node), -1);
    EXPECT_EQ(home.Count(), 1);
    EXPECT_EQ(other.IndexOf(node), 1) << "a moved node goes to the end";
    EXPECT_EQ(node->GetParent(), &other);
    EXPECT_EQ(counts.Disconnects, 1);

    node->SetParent(nullptr);
    EXPECT_EQ(other.Count(), 1);
    EXPECT_EQ(node->GetParent(), nullptr);
    delete node;
}

TEST(Container3d, DestroyingDestroysEveryDescendantOnce)
{
    TProbeCounts counts;
    auto *root = new TContainer3D;
    auto *nested = new TContainer3D;
    for (int i = 0; i < 3; ++i)
        root->Add(new TProbe(counts));
    root->Add(nested);
    nested->Add(new TProbe(counts));
    nested->Add(new TProbe(counts));
    delete root;
    EXPECT_EQ(counts.Destroyed, 5);
}

TEST(Container3d, DestroyingAChildTakesItOutOfItsContainer)
{
    TContainer3D container;
    TProbeCounts counts;
    auto *doomed = new TProbe(counts);
    TObject3D *survivor = new TObject3D;
    container.Add(doomed);
    container.Add(survivor);
    delete doomed;
    ASSERT_EQ(container.Count(), 1);
    EXPECT_EQ(container.Item(0), survivor);
}

TEST(Container3d, ConnectingReachesTheTreeOnce)
{
    TScene3D scene;
    TProbeCounts counts;
    auto *branch = new TContainer3D;
    scene.Add(new TProbe(counts));
    scene.Add(branch);
    branch->Add(new TProbe(counts));

    scene.OGL_Connect();
    EXPECT_TRUE(scene.IsConnected());
    EXPECT_TRUE(branch->IsConnected());
    EXPECT_EQ(counts.Connects, 2);

    scene.OGL_Connect();
    EXPECT_EQ(counts.Connects, 2) << "a connected container does not reconnect its children";

    // A node joining a connected container is connected at once.
    auto *late = new TProbe(counts);
    branch->Add(late);
    EXPECT_EQ(counts.Connects, 3);
    EXPECT_TRUE(late->IsConnected());

    scene.OGL_Disconnect();
    EXPECT_EQ(counts.Disconnects, 3);
    EXPECT_FALSE(branch->IsConnected());
    EXPECT_FALSE(late->IsConnected());
    scene.OGL_Disconnect();
    EXPECT_EQ(counts.Disconnects, 3) << "a disconnected container does not visit its children";
}

TEST(Scene3d, BoxIsCentredByDefault)
{
    TScene3D scene;
    EXPECT_FALSE(scene.EqualizeBox);
    EXPECT_EQ(scene.GetWindow3D(), nullptr);
    ExpectElements(scene.BoxMatrix,
                   {{0, 1}, {5, 1}, {10, 1}, {15, 1}, {12, -0.5f}, {13, -0.5f}, {14, -0.5f}});
}

TEST(Scene3d, BoxNormalisationCentresAndOptionallyEqualises)
{
    TScene3D scene;
    scene.BoxMin = TXYZ(0.0);
    scene.BoxMax = TXYZ(2, 4, 6);
    scene.ApplyBox();
    ExpectElements(scene.BoxMatrix, {{0, 1}, {5, 1}, {10, 1}, {15, 1}, {12, -1}, {13, -2}, {14, -3}});

    scene.EqualizeBox = true;
    scene.ApplyBox();
    // Centre first, then stretch every axis to the largest extent, 6.
    ExpectElements(scene.BoxMatrix, {{0, 3}, {5, 1.5f}, {10, 1}, {15, 1}, {12, -3}, {13, -3}, {14, -3}});
    ExpectNear(Transform(scene.BoxMatrix, {2, 4, 6}), {3, 3, 3});
}

TEST(Scene3d, EqualisingSkipsEmptyExtents)
{
    TScene3D scene;
    scene.EqualizeBox = true;
    scene.BoxMin = TXYZ(0.0);
    scene.BoxMax = TXYZ(2, 4, 0);
    scene.MakeBoxNormalization();
    ExpectElements(scene.BoxMatrix, {{0, 2}, {5, 1}, {10, 1}, {15, 1}, {12, -2}, {13, -2}});

    scene.BoxMin = TXYZ(1.0);
    scene.BoxMax = TXYZ(1.0);
    scene.MakeBoxNormalization();
    ExpectElements(scene.BoxMatrix, {{0, 1}, {5, 1}, {10, 1}, {15, 1}, {12, -1}, {13, -1}, {14, -1}});
}

TEST(Scene3d, AbsoluteMatricesApplyTheNodeFirstThenEverythingAbove)
{
    TScene3D scene;
    auto *group = new TContainer3D;
    auto *leaf = new TObject3D;
    scene.Add(group);
    group->Add(leaf);
    scene.BoxMin = TXYZ(0.0);
    scene.BoxMax = TXYZ(2.0);
    scene.LocalMatrix = UniformScalingMatrix(3);
    scene.ViewMatrix = RotationYMatrix(std::numbers::pi_v<float> / 2);
    group->LocalMatrix = TranslationMatrix(0, 1, 0);
    leaf->LocalMatrix = ScalingMatrix(2, 1, 1);
    scene.ApplyBox();

    // leaf: (1, 0, 0) -> (2, 0, 0); group: (2, 1, 0); scene: (6, 3, 0); box
    // centre (1, 1, 1): (5, 2, -1); view, quarter turn about y: (-1, 2, -5).
    ExpectNear(Transform(leaf->AbsoluteMatrix, {1, 0, 0}), {-1, 2, -5}, 1e-5);

    // A change of the view reaches the leaves with the scene's UpdateMatrix.
    MatrixMultiply(scene.ViewMatrix, TranslationMatrix(0, 0, 10));
    scene.UpdateMatrix();
    ExpectNear(Transform(leaf->AbsoluteMatrix, {1, 0, 0}), {-1, 2, 5}, 1e-5);
}

TEST(Scene3d, ConnectingRecomputesEveryMatrix)
{
    TScene3D scene;
    auto *leaf = new TObject3D;
    scene.Add(leaf);
    scene.BoxMax = TXYZ(4.0);
    scene.OGL_Connect();
    ExpectNear(Transform(leaf->AbsoluteMatrix, {0, 0, 0}), {-2, -2, -2});
}

TEST(Object3d, NodeWithoutParentUsesItsOwnTransform)
{
    TObject3D node;
    node.LocalMatrix = TranslationMatrix(1, 2, 3);
    node.UpdateMatrix();
    EXPECT_EQ(node.AbsoluteMatrix, node.LocalMatrix);
    node.Redraw();
}
