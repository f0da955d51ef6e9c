#include "identity.h"

#include <cstring>
#include <initializer_list>
#include <utility>
#include <sstream>

namespace tavisol::engine::testing {

namespace {

template <class T> bool Same(const T &a, const T &b) {
    if constexpr (std::is_same_v<T, std::string>)
        return a == b;
    else
        return std::memcmp(&a, &b, sizeof(T)) == 0;
}

class Report {
public:
    template <class T> void Check(const std::string &what, const T &plain, const T &fast) {
        // The first differences tell the story.
        if (!Same(plain, fast) && ++count_ <= 12)
            out_ << what << ": plain " << plain << ", fast " << fast << "\n";
    }
    // Element by element, labelled what(i).
    template <class T, std::size_t N>
    void Check(const std::string &what, const std::array<T, N> &plain, const std::array<T, N> &fast) {
        for (std::size_t i = 0; i < N; ++i)
            Check(what + "(" + std::to_string(i) + ")", plain[i], fast[i]);
    }
    // Same-typed fields of one struct, each under its label.
    template <class T, class S>
    void CheckFields(const std::string &prefix, const S &p, const S &f,
                     std::initializer_list<std::pair<const char *, T S::*>> fields) {
        for (const auto &[name, field] : fields)
            Check(prefix + name, p.*field, f.*field);
    }
    void CheckRecord(const std::string &what, const StationRecord &p, const StationRecord &f) {
        Check(what + ".Latitude", p.Latitude, f.Latitude);
        Check(what + ".Longitude", p.Longitude, f.Longitude);
        Check(what + ".Altitude", p.Altitude, f.Altitude);
        Check(what + ".Values", p.Values, f.Values);
        Check(what + ".Distance", p.Distance, f.Distance);
        Check(what + ".Direction", p.Direction, f.Direction);
        Check(what + ".Name", p.Name, f.Name);
        Check(what + ".Country", p.Country, f.Country);
        Check(what + ".Active", p.Active, f.Active);
        Check(what + ".Compass", p.Compass, f.Compass);
        Check(what + ".Weight", p.Weight, f.Weight);
    }
    std::string str() const { return out_.str(); }

private:
    std::ostringstream out_;
    int count_ = 0;
};

} // namespace

ChainOutcome RunChain(EngineState &state, Chain chain, Integer variable) {
    ChainOutcome out;
    state.Callbacks.ShowMessage = [&out](const EngineMessage &m) { out.messages.push_back(m); };
    try {
        state.CurrentVariable = variable;
        switch (chain) {
        case Chain::LocationResults: out.estimated = RunLocationResultsChain(state, variable); break;
        case Chain::Batch: out.estimated = RunBatchChain(state); break;
        case Chain::RasterExport: out.estimated = Calculate(state); break;
        }
    } catch (const EngineError &e) {
        out.error = e.what();
    }
    state.Callbacks.ShowMessage = nullptr;
    out.StationCount = state.StationCount;
    out.NeighbourCount = state.NeighbourCount;
    out.WhyNoNeighbour = state.WhyNoNeighbour;
    out.ActiveCount = state.ActiveCount;
    out.ActiveWithAltCount = state.ActiveWithAltCount;
    out.NeighbourMaxAlt = state.NeighbourMaxAlt;
    out.NeighbourMinAlt = state.NeighbourMinAlt;
    out.IdwPower = state.IdwPower;
    out.Neighbours = state.Neighbours;
    out.CurResult = state.CurResult;
    out.CurWarnings = state.CurWarnings;
    out.Workbench = state.Workbench;
    return out;
}

std::string Differences(const ChainOutcome &p, const ChainOutcome &f) {
    Report r;
    r.Check("estimated", p.estimated, f.estimated);
    r.Check("error", p.error, f.error);
    r.Check("messages", p.messages.size(), f.messages.size());
    for (std::size_t i = 0; i < std::min(p.messages.size(), f.messages.size()); ++i) {
        r.Check("message text", p.messages[i].Text, f.messages[i].Text);
        r.Check("message title", p.messages[i].Title, f.messages[i].Title);
    }
    using O = ChainOutcome;
    r.CheckFields<Integer>("", p, f,
                           {{"StationCount", &O::StationCount}, {"NeighbourCount", &O::NeighbourCount},
                            {"ActiveCount", &O::ActiveCount}, {"ActiveWithAltCount", &O::ActiveWithAltCount}});
    r.Check("WhyNoNeighbour", static_cast<int>(p.WhyNoNeighbour), static_cast<int>(f.WhyNoNeighbour));
    r.CheckFields<Single>("", p, f,
                          {{"NeighbourMaxAlt", &O::NeighbourMaxAlt}, {"NeighbourMinAlt", &O::NeighbourMinAlt},
                           {"IdwPower", &O::IdwPower}});
    for (std::size_t k = 1; k <= 21; ++k)
        r.CheckRecord("Neighbours(" + std::to_string(k) + ")", p.Neighbours[k], f.Neighbours[k]);
    const EstimateResult &a = p.CurResult, &b = f.CurResult;
    using E = EstimateResult;
    r.CheckFields<Months13>("", a, b,
                            {{"Best", &E::Best}, {"Bias", &E::Bias}, {"StdErr", &E::StdErr},
                             {"AbsGrad", &E::AbsGrad}, {"DirGrad", &E::DirGrad}, {"VertGrad", &E::VertGrad},
                             {"LonGradDeg", &E::LonGradDeg}, {"LatGradDeg", &E::LatGradDeg},
                             {"LonGrad", &E::LonGrad}, {"LatGrad", &E::LatGrad},
                             {"ExplVar", &E::ExplVar}, {"Harmonics", &E::Harmonics}});
    r.Check("DirGradText", a.DirGradText, b.DirGradText);
    using W = WarningFlags;
    r.CheckFields<Integer>("", p.CurWarnings, f.CurWarnings,
                           {{"High", &W::High}, {"Low", &W::Low}, {"Lonely", &W::Lonely},
                            {"Strange", &W::Strange}, {"Doubled", &W::Doubled}, {"Few", &W::Few},
                            {"Hit", &W::Hit}, {"StrangeMonth", &W::StrangeMonth},
                            {"StrangeStation", &W::StrangeStation}});
    for (std::size_t k = 1; k <= 20; ++k) {
        r.Check("Check" + std::to_string(k), p.Workbench.Check[k], f.Workbench.Check[k]);
        r.Check("CheckVisible" + std::to_string(k), p.Workbench.CheckVisible[k], f.Workbench.CheckVisible[k]);
    }
    return r.str();
}

std::shared_ptr<const StationList> ParsedOnceFiles::ReadStationFile(const std::filesystem::path &file,
                                                                    std::size_t maxRecords) {
    auto it = kept_.find(file.native());
    if (it == kept_.end() || it->second->size() > maxRecords) {
        auto records = plain_.ReadStationFile(file, maxRecords);
        it = kept_.insert_or_assign(file.native(), records).first;
    }
    return it->second;
}

std::uint8_t ParsedOnceFiles::ReadRasterByte(const std::filesystem::path &raster, std::uint64_t offset) {
    return plain_.ReadRasterByte(raster, offset);
}

StatePair::StatePair(const std::filesystem::path &dataFolder) {
    for (EngineState *s : {&plain, &fast}) {
        SetInitialValues(*s);
        s->DataFolder = dataFolder;
    }
    plain.PlainSteps = true;
    plain.Files = std::make_shared<ParsedOnceFiles>();
    // Nothing changes the files during a comparison: keep them at once.
    fast.Files = std::make_shared<CachingDataFiles>(std::chrono::milliseconds(0));
}

void DrawSettings(std::mt19937 &rng, StatePair &pair) {
    auto pick = [&rng](std::initializer_list<double> values) {
        std::uniform_int_distribution<std::size_t> i(0, values.size() - 1);
        return static_cast<Single>(*(values.begin() + static_cast<std::ptrdiff_t>(i(rng))));
    };
    auto coin = [&rng](double p) { return std::bernoulli_distribution(p)(rng); };
    EngineSettings s = DefaultSettings();
    s.IdwPower = pick({1, 1, 2, 0, 0.00005, 0.0005, 0.5, 3.5});
    s.MaxDistance = pick({1000, 1000, 300, 100, 50, 2000, 5000, 25000});
    s.MinDistance = pick({0.1, 0.1, 0, 3, 30});
    s.MaxStations = static_cast<Integer>(coin(0.5) ? 20 : std::uniform_int_distribution<int>(1, 20)(rng));
    if (coin(0.05))
        s.MaxStations = pick({0, 25});
    s.AltWindowOn = coin(0.3) ? 1 : 0;
    s.MinAltitude = pick({-350, 0, 200, 500});
    s.MaxAltitude = pick({8848, 300, 1000, 1500});
    s.AltCorrOn = coin(0.8) ? 1 : 0;
    s.GradCorrOn = coin(0.8) ? 1 : 0;
    s.ShadowOn = coin(0.8) ? 1 : 0;
    s.ShadowCoef = pick({1, 1, 0.5, 0});
    pair.plain.UseSettings(s);
    pair.fast.UseSettings(s);
}

std::string CompareAt(StatePair &pair, Chain chain, Integer variable, Single lon, Single lat, Single alt) {
    for (EngineState *s : {&pair.plain, &pair.fast}) {
        s->CalcLongitude = lon;
        s->CalcLatitude = lat;
        s->CalcAltitude = alt;
    }
    const ChainOutcome plain = RunChain(pair.plain, chain, variable);
    const ChainOutcome fast = RunChain(pair.fast, chain, variable);
    return Differences(plain, fast);
}

} // namespace tavisol::engine::testing
