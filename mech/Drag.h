#pragma once

// Drag of bodies in a viscous fluid at low Reynolds number, in SI units: a
// force coefficient gamma (N s/m) gives the speed F/gamma under a force F, a
// rotational one (N m s) the angular speed tau/gamma under a torque tau.

// A rigid rod of length L and diameter d (aspect ratio p = L/d): translation
// along and across its axis, rotation about an axis across it. For p >= 2 the
// fits of Tirado and Garcia de la Torre (1979, 1980, 1984), fitted up to
// p of about 30 and used beyond as the slender-body limit; below p = 2 a
// sphere of the rod's volume.
struct RodDrag {
    double Along = 0.0;    // N s/m
    double Across = 0.0;   // N s/m
    double Rotation = 0.0; // N m s
};

// Aspect ratios below this count as a sphere.
inline constexpr double kSphereBelowAspectRatio = 2.0;

// length and diameter in m, viscosity in Pa s.
RodDrag FilamentDrag(double length, double diameter, double viscosity);

// A sphere of radius a: 6 pi eta a for translation (N s/m).
double SphereTranslationDrag(double radius, double viscosity);
// 8 pi eta a^3 for rotation (N m s).
double SphereRotationDrag(double radius, double viscosity);

// Boltzmann's constant, J/K.
inline constexpr double kBoltzmann = 1.380649e-23;
