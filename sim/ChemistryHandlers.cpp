// The reaction handlers of the chemistry. Each keeps the species counters
// consistent with the filament list and marks every filament whose size, ends
// or cap it changes, so that its mass properties follow at its next Move.

#include "Chemistry.h"

namespace {

// Monomers a new filament is made of; shorter pieces dissolve.
constexpr std::int32_t NUCLEUS_SIZE = 3;

} // namespace

void CChemistry::FormFilament()
{
    // A box without interior (an edge not above 0) has no place for a filament.
    if (Species[ACG] < NUCLEUS_SIZE || !(world_.Size.x > 0.0 && world_.Size.y > 0.0 && world_.Size.z > 0.0))
        return;
    CVector pointedEnd;
    do
        pointedEnd = MulComponents(world_.Size, RandomUniformVector(world_.Random));
    while (!world_.Contains(pointedEnd));
    const CVector direction = RandomUnitVector(world_.Random);
    AppendFilament(pointedEnd, direction, NUCLEUS_SIZE);
    Species[ACG] -= NUCLEUS_SIZE;
    Species[ACF] += NUCLEUS_SIZE;
    ++Species[FIB];
    ++Species[FIP];
}

void CChemistry::FormFilamentAtBacterium()
{
    if (Species[ACG] < NUCLEUS_SIZE || !world_.Bacterium)
        return;
    // On the outer surface of the shell, 1.1 radii from the centre.
    const CVector outward = RandomUnitVector(world_.Random);
    const CVector pointedEnd = world_.Bacterium->Center + outward * world_.Bacterium->Radius * 1.1;
    const CVector direction = RandomUnitVector(world_.Random);
    AppendFilament(pointedEnd, direction, NUCLEUS_SIZE);
    Species[ACG] -= NUCLEUS_SIZE;
    Species[ACF] += NUCLEUS_SIZE;
    ++Species[FIB];
    ++Species[FIP];
}

void CChemistry::AssocBarbed()
{
    if (Species[FIB] < 1 || Species[ACG] < 1)
        return;
    CSolidFilament *f = FreeBarbedFilament(world_.Random.UniformInt(0, Species[FIB] - 1));
    // A barbed end outside the box cannot grow further out.
    if (!f || !world_.Contains(f->GetBarbedEnd()))
        return;
    ++f->Monomers;
    FilamentChanged(*f);
    --Species[ACG];
    ++Species[ACF];
}

void CChemistry::AssocPointed()
{
    if (Species[FIP] < 1 || Species[ACG] < 1)
        return;
    GrowAtPointedEnd(FilamentAt(world_.Random.UniformInt(0, Species[FIP] - 1)));
}

void CChemistry::GrowAtPointedEnd(CSolidFilament *f)
{
    if (!f || !world_.Contains(f->GetPointedEnd()))
        return;
    ++f->Monomers;
    f->PointedEnd = f->GetMonomerPosition(-1);
    FilamentChanged(*f);
    MoveSites(*f, 1);
    --Species[ACG];
    ++Species[ACF];
}

void CChemistry::DissocBarbed()
{
    if (Species[FIB] < 1)
        return;
    CSolidFilament *f = FreeBarbedFilament(world_.Random.UniformInt(0, Species[FIB] - 1));
    if (!f)
        return;
    if (f->Monomers <= NUCLEUS_SIZE) {
        RemoveFilament(f);
        return;
    }
    --f->Monomers;
    FilamentChanged(*f);
    MoveSites(*f, 0);
    ++Species[ACG];
    --Species[ACF];
}

void CChemistry::DissocPointed()
{
    if (Species[FIP] < 1)
        return;
    ShrinkAtPointedEnd(FilamentAt(world_.Random.UniformInt(0, Species[FIP] - 1)));
}

void CChemistry::ShrinkAtPointedEnd(CSolidFilament *f)
{
    if (!f)
        return;
    if (f->Monomers <= NUCLEUS_SIZE) {
        RemoveFilament(f);
        return;
    }
    --f->Monomers;
    f->PointedEnd = f->GetMonomerPosition(1);
    FilamentChanged(*f);
    MoveSites(*f, -1);
    ++Species[ACG];
    --Species[ACF];
}

void CChemistry::CapBarbed()
{
    if (Species[FIB] < 1 || Species[CAP] < 1)
        return;
    CSolidFilament *f = FreeBarbedFilament(world_.Random.UniformInt(0, Species[FIB] - 1));
    if (!f)
        return;
    f->Capped = true;
    FilamentChanged(*f);
    --Species[CAP];
    ++Species[CAF];
    --Species[FIB];
}

void CChemistry::Sever()
{
    if (Species[ACF] < 1)
        return;
    const MonomerSite site = FilamentOfMonomer(world_.Random.UniformInt(0, Species[ACF] - 1));
    if (site.Filament)
        SeverAt(site.Filament, site.FromBarbedEnd);
}

void CChemistry::SeverAt(CSolidFilament *f, std::int32_t barbedSide)
{
    if (barbedSide < 0 || barbedSide >= f->Monomers)
        return;
    // The cut monomer itself lies between the two pieces.
    const std::int32_t pointedSide = f->Monomers - barbedSide - 1;
    const bool barbedPieceDissolves = barbedSide < NUCLEUS_SIZE;
    const bool pointedPieceDissolves = pointedSide < NUCLEUS_SIZE;

    if (barbedPieceDissolves && pointedPieceDissolves) {
        RemoveFilament(f);
        return;
    }
    if (barbedPieceDissolves) {
        if (!branches_.empty())
            SplitSites(*f, pointedSide, false, true, nullptr);
        // The barbed end goes, and with it the cap.
        if (f->Capped) {
            f->Capped = false;
            ++Species[CAP];
            --Species[CAF];
            ++Species[FIB];
        }
        const std::int32_t lost = barbedSide + 1;
        f->Monomers -= lost;
        FilamentChanged(*f);
        Species[ACG] += lost;
        Species[ACF] -= lost;
        return;
    }
    if (pointedPieceDissolves) {
        if (!branches_.empty())
            SplitSites(*f, pointedSide, true, false, f);
        const std::int32_t lost = pointedSide + 1;
        f->Monomers -= lost;
        f->PointedEnd = f->GetMonomerPosition(lost);
        FilamentChanged(*f);
        Species[ACG] += lost;
        Species[ACF] -= lost;
        return;
    }
    // Split: the barbed-side piece becomes a new filament that takes the cap
    // along; f keeps its pointed end and gets a free barbed end.
    CSolidFilament &barbedPiece =
        AppendFilament(f->GetMonomerPosition(pointedSide + 1), f->Direction, barbedSide);
    barbedPiece.Capped = f->Capped;
    FilamentChanged(barbedPiece);
    if (!branches_.empty())
        SplitSites(*f, pointedSide, false, false, &barbedPiece);
    ++Species[FIB];
    ++Species[FIP];
    f->Capped = false;
    f->Monomers = pointedSide;
    FilamentChanged(*f);
    ++Species[ACG];
    --Species[ACF];
}
