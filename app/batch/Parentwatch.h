#pragma once

#include <string>
#include <vector>

// The runs of an ensemble are processes of their own. They must not outlive
// the ensemble (a SIGKILL to it, a killed job step): nobody would wait for
// them, and they would go on using the cores unseen.

// The environment for a run this process starts: its own, plus the entry
// that tells the run which process started it ("NAME=VALUE" texts).
std::vector<std::string> RunEnvironment();

// In a run started by an ensemble, has the kernel send it SIGTERM (SIGKILL
// when SIGTERM is ignored) when the ensemble ends, so that it stops and
// writes what it has; when the ensemble has ended already, sends that signal
// at once. Nothing in a process started otherwise (a job array's task).
void StopWithParent();
