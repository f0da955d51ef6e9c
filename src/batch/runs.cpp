#include "batch/runs.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <deque>
#include <exception>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>

#include "batch/estimatepool.h"
#include "engine/engine.h"
#include "export/furrowin.h"
#include "export/ketlo.h"
#include "export/standard_table.h"
#include "export/tillwick.h"
#include "numfmt/textfile.h"
#include "numfmt/textread.h"
#include "results/storedresults.h"

namespace tavisol::batch {

namespace {

using numfmt::TextFileWriter;

bool Say(const RunHost &host, const Message &m) {
    if (host.Message)
        return host.Message(m);
    return true;
}

BatchChoices ChoicesOf(const RunHost &host) { return host.Choices ? host.Choices() : BatchChoices{}; }

void Flushed(TextFileWriter &w) {
    if (!w.flush())
        throw numfmt::TextFileError(w.error());
}

TextFileWriter &Opened(TextFileWriter &w) {
    if (w.failed())
        throw numfmt::TextFileError(w.error());
    return w;
}

// A run's file of lines that knows where each location's lines begin in it.
// Lines reach the disk a chunk at a time, so a failed write is noticed after
// the location whose lines it lost; Lost() names that location. It tells
// the run the names it wrote with "?" when it closes.
class RunFile : public TextFileWriter {
public:
    RunFile(const std::filesystem::path &path, Mode mode, numfmt::ChangedNames &changed)
        : TextFileWriter(path, mode), changed_(changed) {
        Opened(*this);
    }
    ~RunFile() { changed_.merge(changedNames()); }
    RunFile(const RunFile &) = delete;
    RunFile &operator=(const RunFile &) = delete;
    // The lines of the location follow.
    RunFile &At(int location) {
        // Only a location whose lines may not all have reached the file is kept.
        while (starts_.size() > 1 && starts_[1].second <= handedOver())
            starts_.pop_front();
        starts_.emplace_back(location, taken());
        return *this;
    }
    // The first location whose lines did not all reach the file; -1 while
    // none was lost.
    int Lost() const {
        if (!failed() || handedOver() == taken() || starts_.empty())
            return -1;
        int lost = starts_.front().first;
        for (const auto &[location, start] : starts_)
            if (start <= handedOver())
                lost = location;
        return lost;
    }

private:
    std::deque<std::pair<int, std::uint64_t>> starts_;
    numfmt::ChangedNames &changed_;
};

// The run stands at the first location whose lines a file lacks, if that
// comes before `location`.
void BackTo(int &location, int lost) {
    if (lost >= 0 && lost < location)
        location = lost;
}

// A new file (an existing one emptied) holding exactly these lines.
void CreateTextFile(const std::filesystem::path &path, const std::vector<std::string> &lines) {
    TextFileWriter w(path, TextFileWriter::Mode::Replace);
    Opened(w);
    for (const std::string &l : lines)
        w.writeLine(l);
    w.commitOrThrow();
}


std::filesystem::path Named(const std::filesystem::path &folder, const std::string &name) { return folder / name; }

// The run information file of the run named by prefix.
std::filesystem::path InformationFile(const std::filesystem::path &folder, const std::string &prefix) {
    return folder / (prefix + "_INFORMATION.tvs");
}

int Elevation(const RunHost &host, const engine::EngineState &state, float lon, float lat) {
    if (host.Elevation)
        return host.Elevation(lon, lat);
    // Through the state's data files, which may keep the raster in memory.
    engine::DataFiles &files = state.Files ? *state.Files : *engine::DefaultDataFiles();
    return engine::GetElevation(files, state.DataFolder, lon, lat);
}

// The user's answer to a pending abort request: true to stop. The end of
// the program stops the run without a question.
bool StopRequested(const RunHost &host) {
    if (host.Ending && host.Ending())
        return true;
    if (!AbortExport())
        return false;
    if (Say(host, EndExportQuestion()))
        return true;
    AbortExport() = false;
    return false;
}

constexpr std::array<OutputFile, OutputFileCount> AllFiles = {
    OutputFile::Best,     OutputFile::Low,         OutputFile::High,    OutputFile::StdErr,
    OutputFile::Bias,     OutputFile::VertGrad,    OutputFile::VertExplVar, OutputFile::AbsGrad,
    OutputFile::DirecGrad, OutputFile::DirecGradString, OutputFile::LongGrad, OutputFile::LatGrad};

void StoreSummary(std::vector<std::string> *summary, long index, const std::string &line) {
    if (summary && index > 0 && static_cast<std::size_t>(index) < summary->size())
        (*summary)[static_cast<std::size_t>(index)] = line;
}

// The summary array of a run: element 0 and one per variable and location,
// counted in 16 bits as the run counts them.
std::vector<std::string> SummaryArray(int ticked, engine::Integer count) {
    const engine::Integer n = numfmt::cint(static_cast<double>(ticked) * count);
    return std::vector<std::string>(static_cast<std::size_t>(n) + 1);
}

} // namespace

bool &AbortExport() {
    static bool flag = false;
    return flag;
}

int BatchChoices::TickedVariables() const {
    int n = 0;
    for (bool v : Variables)
        n += v ? 1 : 0;
    return n;
}

bool HasBatchSelection(const BatchChoices &c) {
    bool variable = false, output = false;
    for (bool v : c.Variables)
        variable = variable || v;
    for (bool o : c.Outputs)
        output = output || o;
    return variable && output;
}

Message EndExportQuestion() { return {"Do you want end Export Data ?", "", MsgIcon::Question, MsgButtons::YesNo}; }

Message DataSavedMessage() { return {"Data Saved Correctly", "", MsgIcon::Information}; }

Message NoVariableMessage() {
    return {"You should select at least one variable.", "No Variable selected!", MsgIcon::Question};
}

Message ProcessingErrorMessage(const std::string &description) {
    return {"Error while Processing Data :" + description, "", MsgIcon::Critical};
}

// ---- Skipped locations ---------------------------------------------------------------

namespace {

constexpr std::size_t ListedInMessage = 10;

// A location's name as a message quotes it: without leading blanks, cut
// when very long.
std::string Quoted(const std::string &text) {
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : numfmt::ShowFileText(std::string_view(text).substr(first), true);
}

// The locations a run left out, in list order, and the run information
// file's lines about them, in processing order.
struct SkipReport {
    // The variables a location is written with in the formats of per-variable
    // files or rows, where a location without some of them is written with
    // the others.
    std::size_t perLocation = 0;
    std::map<int, SkippedLocation> locations;
    std::vector<std::string> informationLines;

    bool empty() const { return locations.empty(); }

    // `whole`: the location is left out of every file for want of this variable.
    void Add(int location, const std::string &name, int variable, bool whole = false) {
        SkippedLocation &s = locations[location];
        s.Location = location;
        s.Name = name;
        s.Variables.push_back(variable);
        s.Partial = !whole && s.Variables.size() < perLocation;
    }
    // A line in the columns of the run information file: run and variable,
    // the point, then what happened.
    static std::string Line(const std::string &prefix, int variable, const engine::EngineState &point,
                            const numfmt::Locale &loc) {
        return prefix + std::string(VariableSuffix(variable)) + PointFields(point, loc) + "   No estimate";
    }
    void AddLine(std::string line) { informationLines.push_back(std::move(line)); }
    std::vector<SkippedLocation> List() const {
        std::vector<SkippedLocation> list;
        for (const auto &[k, s] : locations)
            list.push_back(s);
        return list;
    }
    // Appends the lines to the run information file.
    void WriteTo(const std::filesystem::path &information) const {
        TextFileWriter w(information, TextFileWriter::Mode::Append);
        Opened(w);
        w.writeLine();
        std::size_t partial = 0;
        for (const auto &[k, s] : locations)
            partial += s.Partial ? 1 : 0;
        std::string count = "Locations skipped for want of an estimate: " + std::to_string(locations.size() - partial);
        if (partial > 0)
            count += "; locations written without some variables: " + std::to_string(partial);
        w.writeLine(count);
        for (const std::string &l : informationLines)
            w.writeLine(l);
        w.commitOrThrow();
    }
};

} // namespace

std::array<bool, 8> NeededVariables(int format, const BatchChoices &choices) {
    std::array<bool, 8> needed{};
    auto mark = [&needed](auto variables) {
        for (engine::Integer v : variables)
            needed[static_cast<std::size_t>(v)] = true;
    };
    if (format == 3 || format == 4)
        mark(exports::TillwickVariables);
    else if (format == 7)
        mark(exports::FurrowinVariables);
    else
        needed = choices.Variables;
    return needed;
}

namespace {

// The two groups of skipped locations: left out, then written without some
// variables.
std::array<std::vector<const SkippedLocation *>, 2> SkipGroups(const std::vector<SkippedLocation> &skipped) {
    std::array<std::vector<const SkippedLocation *>, 2> groups;
    for (const SkippedLocation &s : skipped)
        groups[s.Partial ? 1 : 0].push_back(&s);
    return groups;
}

// Each group's heading, then its first `room` locations with their missing
// variables, then how many more.
std::vector<std::string> NamedLines(const std::vector<SkippedLocation> &skipped, int count,
                                    const std::array<std::size_t, 2> &room) {
    std::vector<std::string> lines;
    const auto groups = SkipGroups(skipped);
    for (std::size_t partial = 0; partial < 2; ++partial) {
        const std::vector<const SkippedLocation *> &group = groups[partial];
        if (group.empty())
            continue;
        lines.push_back((lines.empty() ? "Data Saved without " : "and without ") +
                        std::string(partial ? "some variables at " : "") + std::to_string(group.size()) + " of " +
                        std::to_string(count) + (count == 1 ? " location" : " locations") +
                        ", for want of an estimate of:");
        const std::size_t shown = std::min(group.size(), room[partial]);
        for (std::size_t k = 0; k < shown; ++k) {
            std::vector<engine::Integer> variables;
            for (int v : group[k]->Variables)
                variables.push_back(static_cast<engine::Integer>(v));
            lines.push_back(Quoted(group[k]->Name) + " - " + exports::VariableNameList(variables));
        }
        if (shown < group.size())
            lines.push_back("... and " + std::to_string(group.size() - shown) + " more.");
    }
    return lines;
}

// The message's room for each group: ten names in all, at least half of
// them for each group that needs them.
std::array<std::size_t, 2> MessageRoom(const std::vector<SkippedLocation> &skipped) {
    const auto groups = SkipGroups(skipped);
    const std::size_t partial = std::min(groups[1].size(), ListedInMessage);
    const std::size_t whole = std::min(groups[0].size(), std::max(ListedInMessage - partial, ListedInMessage / 2));
    return {whole, ListedInMessage - whole};
}

} // namespace

bool MessageNamesEvery(const std::vector<SkippedLocation> &skipped) { return skipped.size() <= ListedInMessage; }

std::vector<std::string> SkippedLines(const std::vector<SkippedLocation> &skipped, int count) {
    return NamedLines(skipped, count, {skipped.size(), skipped.size()});
}

Message SkippedMessage(const std::vector<SkippedLocation> &skipped, int count, SkipListing listing) {
    std::vector<std::string> lines = NamedLines(skipped, count, MessageRoom(skipped));
    if (listing == SkipListing::InformationFile)
        lines.emplace_back("The run information file lists every one.");
    else if (listing == SkipListing::Summary)
        lines.emplace_back("The run summary lists every one.");
    std::string text;
    for (const std::string &l : lines)
        text += (text.empty() ? "" : "\r") + l;
    return {text, "", MsgIcon::Information};
}

// ---- Estimates ------------------------------------------------------------------------

namespace {

void CopyEstimate(const engine::EngineState &from, engine::EngineState &to) {
    to.CurrentVariable = from.CurrentVariable;
    to.CalcLatitude = from.CalcLatitude;
    to.CalcLongitude = from.CalcLongitude;
    to.CalcAltitude = from.CalcAltitude;
    to.Neighbours = from.Neighbours;
    to.NeighbourCount = from.NeighbourCount;
    to.ActiveCount = from.ActiveCount;
    to.ActiveWithAltCount = from.ActiveWithAltCount;
    to.NeighbourMaxAlt = from.NeighbourMaxAlt;
    to.NeighbourMinAlt = from.NeighbourMinAlt;
    to.CurResult = from.CurResult;
    to.CurWarnings = from.CurWarnings;
}

// One variable at one listed point, the altitude from the elevation model
// when asked. True when it has an estimate.
bool EstimateAt(engine::EngineState &s, int variable, const ListEntry &entry, bool dem, const RunHost &host) {
    const EntryPoint p = ReadEntryPoint(entry, host.Locale);
    s.CurrentVariable = static_cast<engine::Integer>(variable);
    s.CalcLongitude = p.Longitude;
    s.CalcLatitude = p.Latitude;
    s.CalcAltitude = p.Altitude;
    if (dem)
        s.CalcAltitude = static_cast<float>(Elevation(host, s, s.CalcLongitude, s.CalcLatitude));
    return engine::RunBatchChain(s);
}

// The run's state takes the estimate a worker made, as that worker made it:
// estimated once more on a state set up as the workers' are. The files are
// written by then, so a failure here only leaves the state as it was.
void TakeOverEstimate(engine::EngineState &state, int variable, const ListEntry &entry, bool dem,
                      const RunHost &host) {
    engine::EngineState worker;
    engine::WorkerSetup::Of(state).Prepare(worker);
    try {
        EstimateAt(worker, variable, entry, dem, host);
    } catch (const std::exception &) {
        return;
    }
    CopyEstimate(worker, state);
}

// The list window's choices that shape a location's lines in the own format,
// as one number the workers read: the ticked outputs, the confidence level
// and the altitude source.
std::uint32_t LineChoices(const BatchChoices &c) {
    std::uint32_t key = 0;
    for (int o = 0; o < OutputCount; ++o)
        key |= c.Outputs[static_cast<std::size_t>(o)] ? 1u << o : 0u;
    return key | static_cast<std::uint32_t>(c.ConfidenceLevel) << OutputCount |
           (c.UseDem ? 1u : 0u) << (OutputCount + 2);
}
bool ChoiceOutput(std::uint32_t key, Output o) { return (key >> static_cast<int>(o) & 1u) != 0; }
ConfidenceLevel ChoiceLevel(std::uint32_t key) { return static_cast<ConfidenceLevel>(key >> OutputCount & 3u); }
bool ChoiceDem(std::uint32_t key) { return (key >> (OutputCount + 2) & 1u) != 0; }

// What every per-variable format makes of one variable at one listed point:
// the run information line (or the line naming it skipped) and the summary
// line.
struct PointLines {
    bool Estimated = false;
    std::string Information;
    std::string Summary; // when the run keeps a summary
};

// Estimates the point and makes its shared lines; the fields of the estimate
// for the format's own lines, none without an estimate.
std::optional<LocationFields> EstimatePointLines(PointLines &l, engine::EngineState &s, int variable,
                                                 const ListEntry &entry, bool dem, const std::string &prefix,
                                                 bool summary, const RunHost &host) {
    l.Estimated = EstimateAt(s, variable, entry, dem, host);
    if (!l.Estimated) {
        l.Information = SkipReport::Line(prefix, variable, s, host.Locale);
        return std::nullopt;
    }
    LocationFields fields = MakeLocationFields(s, host.Locale);
    l.Information = InformationLine(prefix, variable, fields);
    if (summary)
        l.Summary = std::move(fields.Summary); // the format's own lines need the rest
    return fields;
}

// A location's lines of one variable in the own format, made for the choices
// `Made`: the _INFO line and one line per ticked output file besides the
// shared ones.
struct OwnLines : PointLines {
    std::uint32_t Made = 0;
    std::string Info;
    std::array<std::string, OutputFileCount> Outputs;
};

OwnLines OwnLinesAt(engine::EngineState &s, int variable, const ListEntry &entry, std::uint32_t choices,
                    const std::string &prefix, bool summary, const RunHost &host) {
    OwnLines l;
    l.Made = choices;
    const std::optional<LocationFields> fields =
        EstimatePointLines(l, s, variable, entry, ChoiceDem(choices), prefix, summary, host);
    if (!fields)
        return l;
    l.Info = InfoLine(*fields);
    for (OutputFile f : AllFiles)
        if (ChoiceOutput(choices, BoxOfFile(f)))
            l.Outputs[static_cast<std::size_t>(f)] =
                OutputDataLine(f, s, fields->PointLabel, ChoiceLevel(choices), host.Locale);
    return l;
}

// One variable at one listed point in the per-variable export formats: the
// export's lines besides the shared ones, the header block first and the row
// as the last line.
struct VariableLines : PointLines {
    int Variable = 0;
    std::vector<std::string> Lines;
    std::exception_ptr RowFailure; // thrown when the row is written
};

VariableLines VariableLinesAt(engine::EngineState &s, int format, int variable, const ListEntry &entry,
                              const std::string &prefix, bool summary, const RunHost &host) {
    VariableLines l;
    l.Variable = variable;
    if (!EstimatePointLines(l, s, variable, entry, false, prefix, summary, host))
        return l;
    try {
        const exports::VariableExport row = exports::MakeVariableExport(s, entry.Text);
        if (format == 2)
            l.Lines = exports::StandardTableLines(row, true, host.Locale);
        else if (format == 5)
            l.Lines = exports::KetloLines(row, true);
    } catch (...) {
        l.RowFailure = std::current_exception();
    }
    return l;
}

// All eight variables at one listed point, as the location results window
// estimates them, for the Tillwick and Furrowin writers; with the summary
// line of each ticked variable ("" where it has no estimate) when the run
// keeps a summary.
struct LocationLines {
    exports::LocationExport Export;
    std::vector<std::string> Summary;
};

LocationLines LocationLinesAt(engine::EngineState &s, const ListEntry &entry, const BatchChoices &start,
                              const RunHost &host) {
    results::LocationResults estimate;
    const EntryPoint p = ReadEntryPoint(entry, host.Locale);
    const results::RunOutcome outcome = results::RunLocationEstimate(estimate, s, p.Longitude, p.Latitude, p.Altitude);
    if (!outcome.ok)
        throw std::runtime_error(outcome.error);
    LocationLines l;
    exports::LocationExport &le = l.Export;
    le.LocationName = entry.Text;
    le.Calc = {p.Longitude, p.Latitude, p.Altitude};
    le.Current = le.Calc;
    for (int v = 0; v < results::VariableCount; ++v) {
        le.Results[static_cast<std::size_t>(v)] = estimate.StoredResult(v);
        le.HasEstimate[static_cast<std::size_t>(v)] = estimate[v].Estimated;
    }
    if (!start.Summary)
        return l;
    for (int v = 0; v < results::VariableCount; ++v) {
        if (!start.Variables[static_cast<std::size_t>(v)])
            continue;
        if (!estimate[v].Estimated) {
            l.Summary.emplace_back();
            continue;
        }
        engine::EngineState copy;
        copy.UseSettings(s.Settings());
        results::RestoreVariable(estimate, v, copy);
        l.Summary.push_back(MakeLocationFields(copy, host.Locale).Summary);
    }
    return l;
}

// The result of an item, letting window events through and answering a
// request to stop while it is not ready. Nothing when the user stopped.
template <class R> std::optional<R> Await(OrderedEstimates<R> &pool, std::size_t item, const RunHost &host) {
    for (;;) {
        if (std::optional<R> r = pool.take(item, std::chrono::milliseconds(20)))
            return r;
        if (host.DoEvents)
            host.DoEvents();
        if (StopRequested(host))
            return std::nullopt;
    }
}

std::vector<int> TickedVariables(const BatchChoices &c) {
    std::vector<int> v;
    for (int i = 0; i < 8; ++i)
        if (c.Variables[static_cast<std::size_t>(i)])
            v.push_back(i);
    return v;
}

// Where a run stands, for the note that ends its run information file when
// an error stops it.
struct RunPosition {
    std::filesystem::path information; // the run information file; empty while there is none
    int variable = -1;                 // -1: between variables
    int location = -1;                 // list position: -1 before the first, the count after the last
};

// The end of the run information file of a run that an error stopped, so
// that whoever finds its files later knows they are incomplete: an empty
// line, then where the run stopped and why. Written if it can be; the error
// itself is reported in any case.
void NoteFailure(const RunPosition &at, const LocationList &locations, const std::string &why) {
    std::string where = "Run stopped by an error";
    if (at.variable >= 0)
        where += " in " + std::string(VariableSuffix(at.variable));
    if (at.location >= 0 && static_cast<std::size_t>(at.location) < locations.size())
        where += " at location " + std::to_string(at.location + 1) + " of " + std::to_string(locations.size()) +
                 " (" + Quoted(locations[static_cast<std::size_t>(at.location)].Text) + ")";
    else if (at.location < 0)
        where += " before its first location";
    else
        where += " after its last location";
    TextFileWriter w(at.information, TextFileWriter::Mode::Append);
    w.writeLine();
    w.writeLine(where + ": " + why);
    w.commit();
}

// What a run's body works with: the choices taken at the start, the number
// of ticked variables, the number of locations, the summary lines, the
// locations left out and where the run stands.
struct RunFrame {
    const BatchChoices &start;
    int ticked;
    engine::Integer count;
    std::vector<std::string> &summary;
    SkipReport &skips;
    bool &skipsListed; // the run information file lists the skipped locations
    RunPosition &at;
    numfmt::ChangedNames &changed; // names the run's files hold with "?"
};

// The frame every run shares: the ticked variables are taken once, the busy
// pointer is shown, a completed run shows its confirmation (naming the
// locations left out) and then its summary, above the window, an error ends
// the run information file with where the run stood and is reported with its
// prefix, and the progress bar, pointer and abort flag are put back whatever
// happened. The body sets end when it stops early.
template <class Body> RunEnd FramedRun(const LocationList &locations, RunHost &host, Body body) {
    // The variables are taken once: the ordinals and the summary depend on them.
    const BatchChoices start = ChoicesOf(host);
    const int ticked = start.TickedVariables();
    if (ticked == 0) {
        Say(host, NoVariableMessage());
        return RunEnd::NothingToDo;
    }
    if (host.BusyPointer)
        host.BusyPointer(true);
    RunEnd end = RunEnd::Completed;
    RunPosition at;
    try {
        const engine::Integer count = numfmt::cint(static_cast<double>(locations.size()));
        std::vector<std::string> summary;
        if (start.Summary)
            summary = SummaryArray(ticked, count);
        SkipReport skips;
        skips.perLocation = static_cast<std::size_t>(ticked);
        bool listed = false;
        numfmt::ChangedNames changed;
        body(RunFrame{start, ticked, count, summary, skips, listed, at, changed}, end);
        // The files are complete, or stopped by the user.
        at.information.clear();
        if (end == RunEnd::Completed) {
            const std::vector<SkippedLocation> skipped = skips.List();
            // Without an information file, the names the message has no room
            // for go below the run summary.
            const bool inSummary = !listed && !MessageNamesEvery(skipped) && host.ShowSummary;
            Message saved = skipped.empty() ? DataSavedMessage()
                                            : SkippedMessage(skipped, count,
                                                             listed      ? SkipListing::InformationFile
                                                             : inSummary ? SkipListing::Summary
                                                                         : SkipListing::MessageOnly);
            saved.text = numfmt::WithChangedNames(std::move(saved.text), changed);
            Say(host, saved);
            if (inSummary) {
                summary.resize(std::max<std::size_t>(summary.size(), 1));
                summary.emplace_back();
                for (std::string &l : SkippedLines(skipped, count))
                    summary.push_back(std::move(l));
            }
            if ((start.Summary || inSummary) && host.ShowSummary)
                host.ShowSummary(summary);
        }
    } catch (const std::exception &e) {
        end = RunEnd::Failed;
        // The body's files are closed by now.
        if (!at.information.empty())
            NoteFailure(at, locations, e.what());
        Say(host, ProcessingErrorMessage(e.what()));
    }
    if (host.ProgressEnd)
        host.ProgressEnd();
    if (host.BusyPointer)
        host.BusyPointer(false);
    AbortExport() = false;
    return end;
}

// ---- Own format ---------------------------------------------------------------------

// Lines reach their files a few times a second rather than one by one (each
// hand-over costs system calls); a run that stops or fails hands over the
// rest, so the files hold every line written.
class FlushPace {
public:
    bool Due() {
        const auto now = std::chrono::steady_clock::now();
        if (now < next_)
            return false;
        next_ = now + std::chrono::milliseconds(100);
        return true;
    }

private:
    std::chrono::steady_clock::time_point next_{};
};

// Runs its function when it goes out of scope, however that happens.
template <class F> struct OnScopeEnd {
    F f;
    ~OnScopeEnd() { f(); }
};

using OwnPool = OrderedEstimates<OwnLines>;

// The output files of a variable, opened for appending when first needed.
class OutputWriters {
public:
    OutputWriters(std::filesystem::path folder, std::string base, numfmt::ChangedNames &changed)
        : folder_(std::move(folder)), base_(std::move(base)), changed_(changed) {}
    RunFile &operator[](OutputFile f) {
        std::unique_ptr<RunFile> &w = writers_[static_cast<std::size_t>(f)];
        if (!w)
            w = std::make_unique<RunFile>(Named(folder_, base_ + std::string(FileSuffix(f))),
                                          TextFileWriter::Mode::Append, changed_);
        return *w;
    }
    void Commit() {
        for (std::unique_ptr<RunFile> &w : writers_)
            if (w)
                w->commitOrThrow();
    }
    // Hands the lines written to the files; quietly: whatever can be.
    void Flush(bool quietly = false) {
        for (std::unique_ptr<RunFile> &w : writers_)
            if (w && !w->flush() && !quietly && w->failed())
                throw numfmt::TextFileError(w->error());
    }
    void BackToLost(int &location) const {
        for (const std::unique_ptr<RunFile> &w : writers_)
            if (w)
                BackTo(location, w->Lost());
    }

private:
    std::filesystem::path folder_;
    std::string base_;
    numfmt::ChangedNames &changed_;
    std::array<std::unique_ptr<RunFile>, OutputFileCount> writers_;
};

// One variable (state.CurrentVariable) over the list: the variable's _INFO
// file, lines of the run's _INFORMATION file, summary lines and the output
// files. Its lines are the pool's items firstItem onwards, made for the
// choices the workers read in `choices`. Returns false when the user stopped
// the run. Throws on any failure, leaving the lines written so far;
// `location` tells the list position it had reached (-1 before the first).
// Afterwards the state holds the last location estimated.
bool WriteVariableTvsFiles(engine::EngineState &state, const LocationList &locations,
                           const std::filesystem::path &folder, const std::string &prefix, int ordinal,
                           std::vector<std::string> *summary, RunHost &host, OwnPool &pool, std::size_t firstItem,
                           std::atomic<std::uint32_t> &choices, SkipReport &skips, int &location,
                           numfmt::ChangedNames &changed) {
    const int variable = state.CurrentVariable;
    const std::string base = prefix + std::string(VariableSuffix(variable));
    const engine::Integer count = numfmt::cint(static_cast<double>(locations.size()));
    BatchChoices c = ChoicesOf(host);

    const std::filesystem::path infoPath = Named(folder, base + "_INFO.tvs");
    if (c.NewFiles)
        CreateTextFile(infoPath, {InfoHead()});
    RunFile info(infoPath, TextFileWriter::Mode::Append, changed);
    RunFile information(InformationFile(folder, prefix), TextFileWriter::Mode::Append, changed);
    if (host.Progress)
        host.Progress(ordinal - 1);
    if (c.NewFiles)
        for (OutputFile f : AllFiles)
            if (c.output(BoxOfFile(f)))
                CreateTextFile(Named(folder, base + std::string(FileSuffix(f))),
                               {FileTitle(f, variable), OutputColumnHead(f), ""});
    OutputWriters outputs(folder, base, changed);

    // The last location written whose estimate a worker made.
    std::optional<std::pair<int, bool>> lastAhead; // location, altitude from the elevation model
    auto finish = [&] {
        if (lastAhead)
            TakeOverEstimate(state, variable, locations[static_cast<std::size_t>(lastAhead->first)],
                             lastAhead->second, host);
        info.commitOrThrow();
        information.commitOrThrow();
        outputs.Commit();
    };
    // However the writing ends, the lines written so far stay in the files;
    // a failure names the first location whose lines a file lacks.
    const OnScopeEnd keep{[&] {
        info.flush();
        information.flush();
        outputs.Flush(true);
        BackTo(location, info.Lost());
        BackTo(location, information.Lost());
        outputs.BackToLost(location);
    }};
    FlushPace pace;
    for (int k = 0; k < count; ++k) {
        location = k;
        if (host.DoEvents)
            host.DoEvents();
        if (StopRequested(host)) {
            finish();
            return false;
        }
        c = ChoicesOf(host);
        const std::uint32_t now = LineChoices(c);
        choices = now;
        if (host.Progress)
            host.Progress(ordinal - 1 + static_cast<double>(k + 1) / count);
        const ListEntry &entry = locations[static_cast<std::size_t>(k)];
        const std::size_t item = firstItem + static_cast<std::size_t>(k);
        std::optional<OwnLines> l = Await(pool, item, host);
        if (!l) {
            finish();
            return false;
        }
        // The choices changed while the lines waited: made again for them.
        if (l->Made != now)
            l = pool.redo(item);
        if (pool.threaded())
            lastAhead.emplace(k, ChoiceDem(now));
        if (!l->Estimated) {
            // No active neighbour: nothing in the files, the run's end names it.
            skips.Add(k, entry.Text, variable);
            skips.AddLine(std::move(l->Information));
            continue;
        }
        info.At(k).writeLine(l->Info);
        information.At(k).writeLine(l->Information);
        if (c.Summary)
            StoreSummary(summary, static_cast<long>(ordinal - 1) * count + k + 1, l->Summary);
        for (OutputFile f : AllFiles)
            if (c.output(BoxOfFile(f)))
                outputs[f].At(k).writeLine(l->Outputs[static_cast<std::size_t>(f)]);
        if (pace.Due()) {
            Flushed(info);
            Flushed(information);
            outputs.Flush();
        }
    }
    finish();
    return true;
}

} // namespace

RunEnd RunOwnFormat(engine::EngineState &state, const LocationList &locations, const std::filesystem::path &folder,
                    const DateTime &now, RunHost &host) {
    return FramedRun(locations, host, [&](const RunFrame &f, RunEnd &end) {
        const BatchChoices &start = f.start;
        const std::string prefix = BatchRunPrefix(now);
        const std::filesystem::path informationPath = InformationFile(folder, prefix);
        CreateTextFile(informationPath, InformationHead(prefix));
        f.at.information = informationPath;
        if (host.ProgressStart)
            host.ProgressStart(f.ticked);
        const std::vector<int> variables = TickedVariables(start);
        const std::size_t n = locations.size();
        // The choices the workers make the lines for: those read at the
        // location the run writes last.
        std::atomic<std::uint32_t> choices{LineChoices(start)};
        OwnPool pool(state, variables.size() * n, host.Workers, [&](engine::EngineState &s, std::size_t item) {
            return OwnLinesAt(s, variables[item / n], locations[item % n], choices, prefix, start.Summary, host);
        });
        int ordinal = 0;
        for (int v : variables) {
            state.CurrentVariable = static_cast<engine::Integer>(v);
            ++ordinal;
            f.at.variable = v;
            f.at.location = -1;
            const bool finished = WriteVariableTvsFiles(state, locations, folder, prefix, ordinal,
                                                        start.Summary ? &f.summary : nullptr, host, pool,
                                                        static_cast<std::size_t>(ordinal - 1) * n, choices, f.skips,
                                                        f.at.location, f.changed);
            if (!finished || AbortExport()) {
                end = RunEnd::Aborted;
                return;
            }
        }
        f.at.variable = -1;
        f.at.location = static_cast<int>(n);
        if (!f.skips.empty()) {
            f.skips.WriteTo(informationPath);
            f.skipsListed = true;
        }
    });
}

// ---- Export formats -------------------------------------------------------------------

namespace {

// Every name of a Furrowin list run is checked before any file is written:
// a name that cannot name the location's files would otherwise stop the run
// halfway, its earlier files listed by no catalogue.
void CheckFurrowinNames(const LocationList &locations) {
    std::string listed;
    std::size_t unusable = 0;
    for (std::size_t k = 0; k < locations.size(); ++k) {
        const std::string problem = exports::FurrowinNameProblem(locations[k].Text);
        if (problem.empty())
            continue;
        if (++unusable <= ListedInMessage)
            listed += "\rLocation " + std::to_string(k + 1) + ": " + problem;
    }
    if (unusable == 0)
        return;
    if (unusable > ListedInMessage)
        listed += "\r... and " + std::to_string(unusable - ListedInMessage) + " more.";
    throw std::runtime_error("No file was written: " + std::to_string(unusable) + " of " +
                             std::to_string(locations.size()) + " location names cannot name Furrowin files:" +
                             listed);
}

// The catalogue is written when the run ends, each location's .PEN and .CLI
// when the run reaches it: a catalogue that lands on a location's file (a
// name the same letter case aside, or through a link either way) is refused
// before any file is written, not at that location, once the earlier sets
// are in place. A location's files take its name, or a number after it when
// files of that name were written before: both names are checked, the
// numbered one as the run names it when every location before it is written.
void CheckFurrowinCatalogue(const LocationList &locations, const std::filesystem::path &catalogue) {
    const std::filesystem::path folder = catalogue.parent_path();
    exports::FurrowinFileNames written;
    for (std::size_t k = 0; k < locations.size(); ++k) {
        const std::string own = exports::FurrowinFileName(locations[k].Text);
        const std::string numbered = written.Distinct(own);
        written.Add(numbered);
        for (const std::string &name : {own, numbered}) {
            const std::vector<std::filesystem::path> files = {catalogue, folder / (name + ".PEN"),
                                                              folder / (name + ".CLI")};
            const std::optional<numfmt::FileSetFailure> same = numfmt::SameTarget(files);
            if (!same)
                continue;
            const std::string location =
                "location " + std::to_string(k + 1) + " (" + Quoted(locations[k].Text) + ")";
            // Index 0 is the catalogue; else the location's two files are one.
            const bool catalogueHit = same->file == 1 || numfmt::SameTarget({catalogue, files[same->file]});
            if (catalogueHit)
                throw std::runtime_error("No file was written: the catalogue " + catalogue.string() +
                                         " would be the file " + files[same->file].filename().string() + " of " +
                                         location);
            throw std::runtime_error("No file was written: the files " + name + ".PEN and " + name + ".CLI of " +
                                     location + " would be one file");
        }
    }
}

struct OtherRun {
    engine::EngineState &state;
    RunHost &host;
    int format;
    std::filesystem::path outputFile;
    RunFile &out;
    std::string prefix;
    SkipReport &skips;
    std::unique_ptr<RunFile> information = nullptr; // formats 2, 5 and 6
    std::vector<std::string> *summary = nullptr;
    numfmt::ChangedNames *changed = nullptr; // the run's, for the files a writer opens itself
    int ticked = 0;
    int lastRowLocation = -1; // the location of the last row written
    int written = 0;          // locations written (Tillwick, Furrowin)
    std::vector<std::string> catalogue = {};
    exports::FurrowinFileNames furrowinNames = {}; // the run's .PEN and .CLI files
    std::optional<exports::LocationExport> firstWritten = std::nullopt;
    FlushPace pace = {};

    // The files take the lines of the location (1-based) from here on.
    void At(int location) {
        out.At(location - 1);
        if (information)
            information->At(location - 1);
    }

    // A run that stops or fails keeps the information lines written so far,
    // and a failure names the first location whose lines a file lacks.
    void Keep(int &location) {
        if (information)
            information->flush();
        BackTo(location, out.Lost());
        if (information)
            BackTo(location, information->Lost());
    }

    void Check() {
        if (out.failed())
            throw numfmt::TextFileError(out.error());
    }

    // One variable at one location: the run information line and, for the
    // standard table and the Ketlo file, the row. The standard table heads
    // each location's first row with its header block, the Ketlo file its
    // first row.
    void WriteVariableInfoLine(int location, int ordinal, const std::string &name, VariableLines &l) {
        if (!l.Estimated) {
            skips.Add(location - 1, name, l.Variable);
            skips.AddLine(std::move(l.Information));
            return;
        }
        information->writeLine(l.Information);
        StoreSummary(summary, static_cast<long>(location - 1) * ticked + ordinal, l.Summary);
        if (!ChoicesOf(host).output(Output::Best))
            return;
        if (l.RowFailure)
            std::rethrow_exception(l.RowFailure);
        bool header = false;
        if (format == 2)
            header = location != lastRowLocation;
        else if (format == 5)
            header = lastRowLocation < 0;
        else
            return;
        const auto first = header || l.Lines.empty() ? l.Lines.begin() : l.Lines.end() - 1;
        const std::vector<numfmt::NameInText> names = exports::NameForms(name);
        for (auto line = first; line != l.Lines.end(); ++line)
            out.writeLine(*line, names);
        lastRowLocation = location;
        Check();
    }

    // All eight variables at one location and the format's writer; a location
    // without an estimate of a variable the format needs is left out.
    void WriteLocation(int location, engine::Integer count, const LocationLines &l, const BatchChoices &start) {
        const exports::LocationExport &le = l.Export;
        const std::array<bool, 8> needed = NeededVariables(format, start);
        bool complete = true;
        for (int v = 0; v < results::VariableCount; ++v)
            if (needed[static_cast<std::size_t>(v)] && !le.HasEstimate[static_cast<std::size_t>(v)]) {
                skips.Add(location - 1, le.LocationName, v, true);
                complete = false;
            }
        if (complete) {
            const bool first = written == 0;
            if (format == 3) {
                exports::TillwickInput(out, le, first);
            } else if (format == 4) {
                exports::TillwickOutput(out, le, first, host.Locale);
            } else if (format == 7) {
                exports::FurrowinOptions fo;
                fo.NewFile = first;
                fo.ListMode = true;
                fo.ListCount = count;
                fo.FileFolder = outputFile.parent_path();
                fo.Locale = host.Locale;
                fo.CatalogueLines = &catalogue;
                fo.WrittenNames = &furrowinNames;
                changed->merge(exports::Furrowin(outputFile, le, fo));
                if (first)
                    firstWritten = le;
            }
            ++written;
            Check();
        }
        for (std::size_t ordinal = 1; ordinal <= l.Summary.size(); ++ordinal)
            if (!l.Summary[ordinal - 1].empty())
                StoreSummary(summary, static_cast<long>(location - 1) * ticked + static_cast<long>(ordinal),
                             l.Summary[ordinal - 1]);
    }

    // The Furrowin catalogue, its head counting the locations it lists.
    void WriteCatalogue() {
        if (!firstWritten)
            return;
        exports::FurrowinOptions fo;
        fo.NewFile = true;
        fo.ListMode = true;
        fo.ListCount = written;
        fo.Locale = host.Locale;
        catalogue.front() = exports::FurrowinContents(outputFile, *firstWritten, fo).Catalogue.front();
        const std::vector<numfmt::NameInText> names =
            exports::NameForms(exports::CatalogueBaseName(outputFile.string()));
        for (const std::string &l : catalogue)
            out.writeLine(l, names);
        Check();
    }
};

} // namespace

RunEnd RunOtherFormat(engine::EngineState &state, int format, const LocationList &locations,
                      const std::filesystem::path &outputFile, const std::filesystem::path &infoFolder,
                      const DateTime &now, RunHost &host) {
    const bool perVariable = format == 2 || format == 5 || format == 6;
    return FramedRun(locations, host, [&](const RunFrame &f, RunEnd &end) {
        const BatchChoices &start = f.start;
        const engine::Integer count = f.count;
        if (format == 7) {
            CheckFurrowinNames(locations);
            CheckFurrowinCatalogue(locations, outputFile);
        }
        // The chosen file is replaced only when the run completes.
        RunFile out(outputFile, TextFileWriter::Mode::Replace, f.changed);
        OtherRun run{state, host, format, outputFile, out, BatchRunPrefix(now), f.skips};
        run.changed = &f.changed;
        const OnScopeEnd keep{[&] { run.Keep(f.at.location); }};
        const std::filesystem::path informationPath = InformationFile(infoFolder, run.prefix);
        run.summary = start.Summary ? &f.summary : nullptr;
        run.ticked = f.ticked;
        if (perVariable) {
            CreateTextFile(informationPath, InformationHead(run.prefix));
            f.at.information = informationPath;
            run.information = std::make_unique<RunFile>(informationPath, TextFileWriter::Mode::Append, f.changed);
        }
        if (host.ProgressStart)
            host.ProgressStart(count);
        const std::vector<int> variables = TickedVariables(start);
        const std::size_t t = variables.size();
        const bool keepSummary = start.Summary;
        std::optional<OrderedEstimates<VariableLines>> perVariablePool;
        std::optional<OrderedEstimates<LocationLines>> locationPool;
        if (perVariable)
            perVariablePool.emplace(state, locations.size() * t, host.Workers,
                                    [&](engine::EngineState &s, std::size_t item) {
                                        return VariableLinesAt(s, format, variables[item % t], locations[item / t],
                                                               run.prefix, keepSummary, host);
                                    });
        else
            locationPool.emplace(state, locations.size(), host.Workers,
                                 [&](engine::EngineState &s, std::size_t item) {
                                     return LocationLinesAt(s, locations[item], start, host);
                                 });
        for (int i = 1; i <= count; ++i) {
            if (host.DoEvents)
                host.DoEvents();
            if (StopRequested(host)) {
                end = RunEnd::Aborted;
                return;
            }
            const ListEntry &entry = locations[static_cast<std::size_t>(i - 1)];
            f.at.location = i - 1;
            run.At(i);
            if (perVariable) {
                for (std::size_t o = 0; o < t; ++o) {
                    f.at.variable = variables[o];
                    std::optional<VariableLines> l =
                        Await(*perVariablePool, static_cast<std::size_t>(i - 1) * t + o, host);
                    if (!l) {
                        end = RunEnd::Aborted;
                        return;
                    }
                    run.WriteVariableInfoLine(i, static_cast<int>(o) + 1, entry.Text, *l);
                }
                f.at.variable = -1;
            } else {
                std::optional<LocationLines> l = Await(*locationPool, static_cast<std::size_t>(i - 1), host);
                if (!l) {
                    end = RunEnd::Aborted;
                    return;
                }
                run.WriteLocation(i, count, *l, start);
            }
            if (run.pace.Due()) {
                Flushed(out);
                if (run.information)
                    Flushed(*run.information);
            }
            if (host.Progress)
                host.Progress(i);
        }
        f.at.location = count;
        // The state holds the last estimate, which a worker made.
        if (perVariable && perVariablePool->threaded() && count > 0 && t > 0)
            TakeOverEstimate(state, variables[t - 1], locations[static_cast<std::size_t>(count - 1)], false, host);
        if (format == 7)
            run.WriteCatalogue();
        if (run.information) {
            run.information->commitOrThrow();
            if (!f.skips.empty()) {
                f.skips.WriteTo(informationPath);
                f.skipsListed = true;
            }
        }
        out.commitOrThrow();
    });
}

} // namespace tavisol::batch
