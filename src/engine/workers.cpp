#include "engine/workers.h"

#include <algorithm>
#include <thread>

namespace tavisol::engine {

unsigned WorkerCount() { return std::clamp(std::thread::hardware_concurrency(), 1u, 256u); }

WorkerSetup WorkerSetup::Of(const EngineState &run) {
    return WorkerSetup{run.Settings(), run.DataFolder, run.Files, run.PlainSteps};
}

void WorkerSetup::Prepare(EngineState &worker) const {
    SetInitialValues(worker);
    worker.UseSettings(Settings);
    worker.DataFolder = DataFolder;
    worker.Files = Files;
    worker.PlainSteps = PlainSteps;
}

} // namespace tavisol::engine
