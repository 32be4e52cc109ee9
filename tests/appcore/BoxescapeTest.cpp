#include "Boxescape.h"

#include "Cell.h"

#include <gtest/gtest.h>

namespace {

TEST(BoxEscape, OnlyABodyMoreThanOneBoxSizeOutsideCounts)
{
    CCell cell;
    cell.SetBox(CVector(1e-6, 0, 0), CVector(2e-6, 1e-6, 1e-6)); // x from 1 to 3 um
    cell.CreateBacterium();
    CSphereSpace &bacterium = *cell.Bacterium;
    const struct {
        CVector Center;
        bool Far;
    } cases[] = {
        {CVector(2e-6, 0.5e-6, 0.5e-6), false},
        {CVector(-0.9e-6, 0.5e-6, 0.5e-6), false}, // 1.9 um below, box 2 um wide
        {CVector(-1.1e-6, 0.5e-6, 0.5e-6), true},
        {CVector(2e-6, 2.1e-6, 0.5e-6), true},     // 1.1 um above, box 1 um high
        {CVector(2e-6, 0.5e-6, -0.9e-6), false},
    };
    for (const auto &c : cases) {
        bacterium.Center = c.Center;
        EXPECT_EQ(AnyBodyFarOutsideBox(cell), c.Far) << c.Center.x << " " << c.Center.y;
    }

    bacterium.Center = cell.GetCenter();
    CSolidFilament filament;
    filament.SetGeometry(CVector(-5e-6, 0, 0), CVector(1, 0, 0));
    filament.Monomers = 5;
    cell.Filaments.Append(filament);
    EXPECT_TRUE(AnyBodyFarOutsideBox(cell));
}

} // namespace
