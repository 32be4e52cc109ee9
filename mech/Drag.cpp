#include "Drag.h"

#include "FixedMath.h"

#include <cmath>
#include <numbers>

double SphereTranslationDrag(double radius, double viscosity)
{
    return 6.0 * std::numbers::pi * viscosity * radius;
}

double SphereRotationDrag(double radius, double viscosity)
{
    return 8.0 * std::numbers::pi * viscosity * radius * radius * radius;
}

RodDrag FilamentDrag(double length, double diameter, double viscosity)
{
    const double p = length / diameter;
    if (p < kSphereBelowAspectRatio) {
        // The sphere of the cylinder's volume pi d^2 L / 4.
        const double radius = std::cbrt(3.0 * diameter * diameter * length / 16.0);
        const double translation = SphereTranslationDrag(radius, viscosity);
        return {translation, translation, SphereRotationDrag(radius, viscosity)};
    }
    const double logP = FixedLog(p);
    const double inverse = 1.0 / p;
    const double inverseSquared = inverse * inverse;
    const double endAlong = -0.207 + 0.980 * inverse - 0.133 * inverseSquared;
    const double endAcross = 0.839 + 0.185 * inverse + 0.233 * inverseSquared;
    const double endRotation = -0.662 + 0.917 * inverse - 0.050 * inverseSquared;
    const double pi = std::numbers::pi;
    return {2.0 * pi * viscosity * length / (logP + endAlong),
            4.0 * pi * viscosity * length / (logP + endAcross),
            pi * viscosity * length * length * length / (3.0 * (logP + endRotation))};
}
