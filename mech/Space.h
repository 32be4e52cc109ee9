#pragma once

#include "Lib3d.h"

// Bounded regions of the world, in metres: the box of the cell, the ball of
// the bacterium's body, its surface shell, and the box spanned by a filament.

// 4*pi/3 as a double.
inline constexpr double FOUR_THIRDS_PI = 4.1887902047863905;

class CSpace {
public:
    virtual ~CSpace() = default;
    // Edge lengths of the axis-aligned bounding box.
    virtual CVector GetSize() const = 0;
    // Radius of a ball around GetCenter that encloses the region.
    virtual double GetRadius() const = 0;
    virtual CVector GetCenter() const = 0;
    // Lower and upper corner of the bounding box.
    virtual CVector GetMin() const = 0;
    virtual CVector GetMax() const = 0;
    virtual double GetVolume() const = 0;
    // Whether p lies in the region; the boundary belongs to it.
    virtual bool Contains(const CVector &p) const = 0;
};

// Axis-aligned box [Origin, Origin + Size].
class CCubeSpace : public CSpace {
public:
    CVector Origin{0.0};
    CVector Size{1.0};

    void SetBox(const CVector &origin, const CVector &size);

    CVector GetSize() const override;
    double GetRadius() const override;
    CVector GetCenter() const override;
    CVector GetMin() const override;
    CVector GetMax() const override;
    double GetVolume() const override;
    bool Contains(const CVector &p) const override;
};

// Ball of radius Radius around Center.
class CSphereSpace : public CSpace {
public:
    CVector Center{0.0};
    double Radius = 1.0;

    void SetSphere(const CVector &center, double radius);

    CVector GetSize() const override;
    double GetRadius() const override;
    CVector GetCenter() const override;
    CVector GetMin() const override;
    CVector GetMax() const override;
    double GetVolume() const override;
    bool Contains(const CVector &p) const override;
};

// Spherical shell between InnerRadius and OuterRadius around Center.
class CHollowSphereSpace : public CSpace {
public:
    CVector Center{0.0};
    double InnerRadius = 1.0;
    double OuterRadius = 2.0;

    void SetShell(const CVector &center, double inner, double outer);

    CVector GetSize() const override;
    double GetRadius() const override;
    CVector GetCenter() const override;
    CVector GetMin() const override;
    CVector GetMax() const override;
    double GetVolume() const override;
    bool Contains(const CVector &p) const override;
};
