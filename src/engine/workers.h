#pragma once

// What every pool of worker threads shares (a batch run's estimates computed
// ahead, a raster export's cells): how many workers a run gets and what each
// worker's own engine state takes from the run that starts it.

#include <filesystem>
#include <memory>
#include <utility>

#include "engine/state.h"

namespace tavisol::engine {

// Workers of a run on this machine: one per processor, at least one, at most
// 256 (more would only wait for room).
unsigned WorkerCount();

// What a worker's own state takes from the run: the settings, the data
// folder, the way data files are read and the way of stepping. Never the
// callbacks, so that a worker lets no window events through and raises no
// message box off the window's thread; never the stations or the leave-one-out
// memo, which every state keeps for itself.
struct WorkerSetup {
    WorkerSetup(const EngineSettings &settings, std::filesystem::path dataFolder,
                std::shared_ptr<DataFiles> files = {}, bool plainSteps = false)
        : Settings(settings), DataFolder(std::move(dataFolder)), Files(std::move(files)), PlainSteps(plainSteps) {}

    EngineSettings Settings;
    std::filesystem::path DataFolder;
    std::shared_ptr<DataFiles> Files; // empty: the program's shared reader
    bool PlainSteps = false;

    // The setup of workers computing for the run on `run`.
    static WorkerSetup Of(const EngineState &run);
    // Gives a worker's new state the start values and then this setup.
    void Prepare(EngineState &worker) const;
};

} // namespace tavisol::engine
