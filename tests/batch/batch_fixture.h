#pragma once

// Helpers of the batch tests: a temporary folder, a data folder with station
// files around a few locations, and a run host that records what a run shows.

#include <filesystem>
#include <string>
#include <vector>

#include "batch/runs.h"
#include "engine/state.h"
#include "support/datafolder.h"

namespace tavisol::batch::testing {

using testsupport::TempFolder;

struct Point {
    double lon = 0;
    double lat = 0;
    std::vector<int> without = {}; // variables with no station near the point
};

// Writes every station file that the runs read at the given points into
// programFolder / "TavisolData": eight stations within about 50 km of each
// point, two of them at one position; values rise with the variable index.
// Every station file exists, also when no point has stations of it.
void WriteDataFolder(const std::filesystem::path &programFolder, const std::vector<Point> &points);

// A state with the default settings, reading from programFolder/TavisolData.
engine::EngineState MakeState(const std::filesystem::path &programFolder);

// The same estimate a run makes, on a fresh state (for comparing the lines).
engine::EngineState EstimatedAt(const std::filesystem::path &programFolder, int variable, float lon, float lat,
                                float alt);

// The lines of a text file as UTF-8, CR LF checked: fails the test on a bare LF.
std::vector<std::string> ReadLines(const std::filesystem::path &file);

// Records the messages and progress of a run and answers its questions.
struct RecordingHost {
    RecordingHost();
    RunHost host;
    BatchChoices choices;
    std::vector<Message> messages;
    std::vector<double> progress;
    std::vector<std::string> summary;
    bool summaryShown = false;
    bool answerYes = true;
    int elevation = 100;
};

} // namespace tavisol::batch::testing
