#pragma once

// Running an estimate the plain way and the fast way and telling every
// difference in what a caller copies away.

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "engine/engine.h"

namespace tavisol::engine::testing {

// Everything a caller reads after a chain, with the failure and the messages.
struct ChainOutcome {
    bool estimated = false;
    std::string error;  // what() of a failure, empty when none
    std::vector<EngineMessage> messages;
    Integer StationCount = 0;
    Integer NeighbourCount = 0, ActiveCount = 0, ActiveWithAltCount = 0;
    NoNeighbourCause WhyNoNeighbour = NoNeighbourCause::None;
    Single NeighbourMaxAlt = 0, NeighbourMinAlt = 0, IdwPower = 0;
    std::array<StationRecord, 22> Neighbours;
    EstimateResult CurResult;
    WarningFlags CurWarnings;
    WorkbenchSelection Workbench;
};

enum class Chain { LocationResults, Batch, RasterExport };

// Runs one chain for one variable at the state's point.
ChainOutcome RunChain(EngineState &state, Chain chain, Integer variable);

// Every field that differs (bit for bit for numbers), one per line; empty
// when the two are the same.
std::string Differences(const ChainOutcome &plain, const ChainOutcome &fast);

// Reads every station file once and hands out the same records ever after,
// without an index; failures are not kept. The plain side of a comparison,
// so that it need not parse the files again for every estimate.
class ParsedOnceFiles : public DataFiles {
public:
    std::shared_ptr<const StationList> ReadStationFile(const std::filesystem::path &file,
                                                       std::size_t maxRecords) override;
    std::uint8_t ReadRasterByte(const std::filesystem::path &raster, std::uint64_t offset) override;

private:
    PlainDataFiles plain_;
    std::map<std::string, std::shared_ptr<const StationList>> kept_;
};

// A plain and a fast state over one data folder.
struct StatePair {
    EngineState plain, fast;
    explicit StatePair(const std::filesystem::path &dataFolder);
};

// Settings drawn at random over the ranges the dialogs allow and a little
// beyond: power (0, tiny, 1..4), distances, station count, altitude window,
// corrections, shadow coefficient. Written into both states.
void DrawSettings(std::mt19937 &rng, StatePair &pair);

// Runs the chain on both states at one point and returns the differences.
std::string CompareAt(StatePair &pair, Chain chain, Integer variable, Single lon, Single lat, Single alt);

} // namespace tavisol::engine::testing
