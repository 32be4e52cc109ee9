#include "Worldscene.h"

#include "Customscene3d.h"
#include "Sphere3d.h"
#include "Vertexprimitive3darray.h"
#include "Vertexprimitive3dlist.h"

namespace {

// Colours as 0x00BBGGRR.
constexpr TRGBA Red = 0xFF;
constexpr TRGBA Yellow = 0xFFFF;
constexpr TRGBA Blue = 0xFF0000;
constexpr TRGBA Grey = 0x808080;
constexpr TRGBA Silver = 0xC0C0C0;

TXYZ ToXYZ(const CVector &v)
{
    return {v.x, v.y, v.z};
}

} // namespace

TWorldScene::TWorldScene(TCustomScene3D &scene)
    : Scene(scene), FilamentLines(std::make_unique<TVertexPrimitive3DList>()),
      SpaceFrame(std::make_unique<TVertexPrimitive3DArray>()), BacteriumSphere(std::make_unique<TSphere3D>())
{
    FilamentLines->Kind = pkLines;
    FilamentLines->VertexColors = true;
    FilamentLines->Color = Red;

    SpaceFrame->Kind = pkLines;
    SpaceFrame->SetVerticesCount(24);
    SpaceFrame->Color = Grey;

    BacteriumSphere->Color = Silver;

    scene.Add(FilamentLines.get());
    scene.Add(SpaceFrame.get());
    scene.Add(BacteriumSphere.get());
}

TWorldScene::~TWorldScene() = default;

void TWorldScene::SetBox(const TXYZ &size)
{
    const std::array<TXYZ, 24> corners = SpaceFrameVertices(size);
    for (int i = 0; i < 24; ++i)
        SpaceFrame->GetVertex(i).Position = corners[std::size_t(i)];
    SpaceFrame->ApplyChanges(0);
    Scene.BoxMin = TXYZ(0.0, 0.0, 0.0);
    Scene.BoxMax = size;
    Scene.ProjectionMatrix = OrthoMatrix(float(-size.x), float(size.x), float(-size.y), float(size.y),
                                         float(-50 * size.z), float(50 * size.z));
    Scene.ApplyBox();
}

void TWorldScene::Show(const ObservedScene &observed)
{
    FilamentLines->Vertices.clear();
    for (const ObservedScene::Filament &filament : observed.Filaments) {
        const CVector &barbed = filament.Barbed;
        const CVector &pointed = filament.Pointed;
        FilamentLines->Vertices.emplace_back(barbed.x, barbed.y, barbed.z, filament.Capped ? Yellow : Blue);
        FilamentLines->Vertices.emplace_back(pointed.x, pointed.y, pointed.z, Red);
    }
    // A world without a bacterium shows none, not the last one seen.
    BacteriumSphere->Radius = observed.HasBacterium ? observed.BacteriumRadius : 0.0;
    if (observed.HasBacterium) {
        BacteriumSphere->LocalMatrix = TranslationMatrix(ToXYZ(observed.BacteriumCentre));
        BacteriumSphere->UpdateMatrix();
    }
}

void TWorldScene::SetSolidBacterium(bool solid)
{
    BacteriumSphere->Solid = solid;
}

std::array<TXYZ, 24> SpaceFrameVertices(const TXYZ &c)
{
    const TXYZ o(0.0, 0.0, 0.0);
    return {{
        // The face at z = 0.
        o,
        TXYZ(c.x, 0, 0),
        TXYZ(c.x, c.y, 0),
        TXYZ(c.x, 0, 0),
        TXYZ(c.x, c.y, 0),
        TXYZ(0, c.y, 0),
        TXYZ(0, c.y, 0),
        o,
        // The face at z = Z.
        TXYZ(0, 0, c.z),
        TXYZ(c.x, 0, c.z),
        TXYZ(c.x, c.y, c.z),
        TXYZ(c.x, 0, c.z),
        TXYZ(c.x, c.y, c.z),
        TXYZ(0, c.y, c.z),
        TXYZ(0, c.y, c.z),
        TXYZ(0, 0, c.z),
        // The four edges between them.
        TXYZ(0, 0, c.z),
        o,
        TXYZ(c.x, 0, 0),
        TXYZ(c.x, 0, c.z),
        TXYZ(c.x, c.y, c.z),
        TXYZ(c.x, c.y, 0),
        TXYZ(0, c.y, c.z),
        TXYZ(0, c.y, 0),
    }};
}
