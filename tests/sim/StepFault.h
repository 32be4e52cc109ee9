#pragma once

#include "Cell.h"
#include "FloatingPoint.h"

#include <gtest/gtest.h>

// One mechanics step of `cell` on `threads` threads with the traps on, which
// must fail with `expected`.
inline void ExpectStepFault(CCell &cell, int threads, fp::Fault expected)
{
    cell.MechanicsThreads = threads;
    const fp::Traps traps;
    try {
        cell.MechStep(1e-4);
        ADD_FAILURE() << "no fault on " << threads << " threads";
    } catch (const fp::FloatingPointError &e) {
        EXPECT_EQ(e.fault(), expected) << threads << " threads";
    }
}
