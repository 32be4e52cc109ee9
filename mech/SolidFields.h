#pragma once

// The state of a symmetric solid (Solid.h) as world files keep it. A field
// list serves both directions: io(key, value) writes or reads each field in
// turn, so the order here is the order in a file.
template <typename Io, typename Solid>
void SymmetricSolidFields(const Io &io, Solid &b)
{
    io("mass", b.Mass);
    io("inertia", b.Inertia);
    io("invInertia", b.InvInertia);
    io("velocity", b.Velocity);
    io("velocityIncrement", b.VelocityIncrement);
    io("angularVelocity", b.AngularVelocity);
    io("angularVelocityIncrement", b.AngularVelocityIncrement);
    io("rotationIncrement", b.RotationIncrement);
    io("position", b.Position);
    io("prevPosition", b.PrevPosition);
    io("displacement", b.Displacement);
    io("force", b.Force);
    io("torque", b.Torque);
}
