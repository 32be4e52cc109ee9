#pragma once

// The renderer's tests run without a display: CTest runs under xvfb-run,
// which would hide a renderer that needs X. Both variables are unset before
// any test, for the test program and the programs it starts.

#include <gtest/gtest.h>

#include <cstdlib>

class WithoutDisplay : public testing::Environment {
public:
    void SetUp() override
    {
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
    }
};

inline testing::Environment *const NoDisplay = testing::AddGlobalTestEnvironment(new WithoutDisplay);
