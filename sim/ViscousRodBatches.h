#pragma once

#include "FilamentList.h"
#include "FirstFailure.h"
#include "ThermalMoves.h"
#include "ViscousMechanics.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// The filaments' stage of a viscous step for the filaments of one task:
// sixteen at a time they are gathered into a batch, moved by their noise and
// written back; those that left the box are gathered into a second batch,
// sixteen at a time, for the walls. Each slot whose filament then has an
// end in the bacterium is noted among its block's contacts, in slot order.
// A floating-point fault is charged to the rod that causes it.
class ViscousRodBatches {
public:
    // What the tasks of one step share.
    struct Stage {
        CFilamentList &Filaments;
        const CViscousMechanics &Mechanics;
        ThermalMoveBounds Bounds;
        double Stiffness = 0.0; // N/m
        double Dt = 0.0;        // s
        std::uint32_t Key = 0;
        std::uint64_t Step = 0;
        FirstFailure &Failure;
        // The contacts of block b, slots [b s, (b + 1) s) for s =
        // SlotsPerBlock; a task fills only those of its own blocks.
        std::vector<std::vector<std::size_t>> &Contacts;
        std::size_t SlotsPerBlock = 0;
    };

    explicit ViscousRodBatches(const Stage &stage) : stage_(stage) {}

    // Moves the filaments of the live slots of blocks [firstBlock, endBlock).
    void MoveBlocks(std::size_t firstBlock, std::size_t endBlock);

private:
    using Slots = std::array<std::size_t, kNoiseBatch>;

    void MoveBatch();
    void SettleWalls();
    // The rod of lane i of `batch` is done: written to its filament, its
    // slot noted if an end lies in the bacterium.
    void WriteBack(const ThermalMoveBatch &batch, std::size_t i, std::size_t slot);
    void NoteContact(std::size_t slot);
    // Runs `run` on a batch of `filled` rods; if a floating-point fault
    // ends it (which does not tell the rod), runs each rod alone with
    // runAlone(i) under its own guard, to charge the rods that fail. False
    // if the batch failed.
    template <typename Run, typename RunAlone>
    bool RunCharged(const Slots &slots, std::size_t filled, Run &&run, RunAlone &&runAlone);

    const Stage &stage_;
    ThermalMoveBatch moving_, walls_, alone_;
    Slots movingSlots_{}, wallSlots_{};
    std::size_t movingCount_ = 0, wallCount_ = 0;
};
