#pragma once

#include <functional>
#include <string>
#include <vector>

struct EnsemblePlan;

// How the runs of an ensemble are started.
struct EnsembleLaunch {
    std::string Program;                 // the runner itself
    std::vector<std::string> Arguments;  // its command line, to which "--run-index K" is added
    std::string Folder;                  // the ensemble folder
    int Jobs = 1;                        // processes at a time
    bool Report = true;                  // one line on standard error per ended run
    std::function<bool()> StopRequested; // then no run starts and the running ones are stopped
};

// Runs every run of the plan in a process of its own, at most launch.Jobs at
// a time, in the order of their indices. The simulation's random numbers are
// process-wide, so processes (not threads) keep the runs apart. Each run
// writes its results and record into its folder and its messages into
// log.txt there; a run that ends without a record (killed, crashed, or not
// started at all) is recorded as failed by this function. Returns when every
// started run has ended.
void RunEnsemble(const EnsemblePlan &plan, const EnsembleLaunch &launch);
