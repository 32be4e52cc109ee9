#pragma once

#include "Lib3d.h"
#include "Space.h"

#include <cstdint>

// Length one monomer adds to a filament [m].
inline constexpr double MONOMER_LENGTH = 3e-9;

// A straight rod of actin monomers from its pointed end to its barbed end. As
// a region it is the axis-aligned box spanned by its two ends.
class CFilament : public CSpace {
public:
    CVector PointedEnd; // [m]
    CVector Direction;  // unit vector from the pointed end toward the barbed end
    std::int32_t Monomers = 0;
    // The body's own number in its world, given when the filament is listed
    // (a severed filament's new piece gets a new one); the viscous model's
    // noise is drawn by it.
    std::uint32_t Id = 0;
    bool Capped = false; // the barbed end carries a capping protein
    // A branch made by Arp2/3 holds its pointed end on a monomer of its
    // mother: the mother's id (0 while the pointed end is free) and that
    // monomer, counted from the mother's pointed end.
    std::uint32_t Mother = 0;
    std::int32_t Site = 0;

    // The ends are never stored together: the barbed end follows from
    // PointedEnd, Direction and Monomers.
    void SetGeometry(const CVector &pointedEnd, const CVector &direction);
    CVector GetPointedEnd() const { return PointedEnd; }
    CVector GetLengthVector() const { return MonomerStep() * Monomers; }
    CVector GetBarbedEnd() const { return PointedEnd + GetLengthVector(); }
    // Position of monomer i counted from the pointed end; i = Monomers is the
    // barbed end, negative i lie beyond the pointed end.
    CVector GetMonomerPosition(int i) const;
    bool IsBarbedEndFree() const { return Monomers > 0 && !Capped; }
    bool IsPointedEndFree() const { return Mother == 0; }
    std::int32_t GetMonomers() const { return Monomers; }

    CVector GetSize() const override;
    double GetRadius() const override;
    CVector GetCenter() const override;
    CVector GetMin() const override;
    CVector GetMax() const override;
    double GetVolume() const override;
    bool Contains(const CVector &p) const override;

private:
    CVector MonomerStep() const { return Direction * MONOMER_LENGTH; }
};
