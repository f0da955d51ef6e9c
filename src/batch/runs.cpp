#include "batch/runs.h"

#include <atomic>
#include <chrono>
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
    std::map<int, SkippedLocation> locations;
    std::vector<std::string> informationLines;

    bool empty() const { return locations.empty(); }

    void Add(int location, const std::string &name, int variable) {
        SkippedLocation &s = locations[location];
        s.Location = location;
        s.Name = name;
        s.Variables.push_back(variable);
    }
    // A line in the columns of the run information file: run and variable,
    // the point, then what happened.
    void AddLine(const std::string &prefix, int variable, const engine::EngineState &point,
                 const numfmt::Locale &loc) {
        informationLines.push_back(prefix + std::string(VariableSuffix(variable)) + PointFields(point, loc) +
                                   "   No estimate");
    }
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
        w.writeLine("Locations skipped for want of an estimate: " + std::to_string(locations.size()));
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

Message SkippedMessage(const std::vector<SkippedLocation> &skipped, int count, bool listedInFile) {
    std::string text = "Data Saved without " + std::to_string(skipped.size()) + " of " + std::to_string(count) +
                       (count == 1 ? " location" : " locations") + ", for want of an estimate of:";
    for (std::size_t i = 0; i < skipped.size() && i < ListedInMessage; ++i) {
        std::vector<engine::Integer> variables;
        for (int v : skipped[i].Variables)
            variables.push_back(static_cast<engine::Integer>(v));
        text += "\r" + Quoted(skipped[i].Name) + " - " + exports::VariableNameList(variables);
    }
    if (skipped.size() > ListedInMessage)
        text += "\r... and " + std::to_string(skipped.size() - ListedInMessage) + " more.";
    if (listedInFile)
        text += "\rThe run information file lists every one.";
    return {text, "", MsgIcon::Information};
}

// ---- Estimates ------------------------------------------------------------------------

namespace {

// What the files need of one estimate: the settings in force and the
// estimate, without the station array.
struct Estimate {
    bool Estimated = false;
    bool UsedDem = false;
    engine::EngineState State;
};

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
// when asked.
Estimate EstimateAt(engine::EngineState &s, int variable, const ListEntry &entry, bool dem, const RunHost &host) {
    const EntryPoint p = ReadEntryPoint(entry, host.Locale);
    s.CurrentVariable = static_cast<engine::Integer>(variable);
    s.CalcLongitude = p.Longitude;
    s.CalcLatitude = p.Latitude;
    s.CalcAltitude = p.Altitude;
    if (dem)
        s.CalcAltitude = static_cast<float>(Elevation(host, s, s.CalcLongitude, s.CalcLatitude));
    Estimate e;
    e.Estimated = engine::RunBatchChain(s);
    e.UsedDem = dem;
    e.State.UseSettings(s.Settings());
    CopyEstimate(s, e.State);
    return e;
}

// All eight variables at one listed point, as the location results window
// estimates them.
struct LocationEstimate {
    results::LocationResults Results;
    EntryPoint Point;
};

LocationEstimate EstimateAllAt(engine::EngineState &s, const ListEntry &entry, const RunHost &host) {
    LocationEstimate e;
    e.Point = ReadEntryPoint(entry, host.Locale);
    const results::RunOutcome outcome =
        results::RunLocationEstimate(e.Results, s, e.Point.Longitude, e.Point.Latitude, e.Point.Altitude);
    if (!outcome.ok)
        throw std::runtime_error(outcome.error);
    return e;
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

// What a run's body works with: the choices taken at the start, the number
// of ticked variables, the number of locations, the summary lines and the
// locations left out.
struct RunFrame {
    const BatchChoices &start;
    int ticked;
    engine::Integer count;
    std::vector<std::string> &summary;
    SkipReport &skips;
    bool &skipsListed; // the run information file lists the skipped locations
};

// The frame every run shares: the ticked variables are taken once, the busy
// pointer is shown, a completed run shows its confirmation (naming the
// locations left out) and then its summary, above the window, an error is
// reported with its prefix, and the progress bar, pointer and abort flag are
// put back whatever happened. The body sets end when it stops early.
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
    try {
        const engine::Integer count = numfmt::cint(static_cast<double>(locations.size()));
        std::vector<std::string> summary;
        if (start.Summary)
            summary = SummaryArray(ticked, count);
        SkipReport skips;
        bool listed = false;
        body(RunFrame{start, ticked, count, summary, skips, listed}, end);
        if (end == RunEnd::Completed) {
            Say(host, skips.empty() ? DataSavedMessage() : SkippedMessage(skips.List(), count, listed));
            if (start.Summary && host.ShowSummary)
                host.ShowSummary(summary);
        }
    } catch (const std::exception &e) {
        end = RunEnd::Failed;
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

using OwnPool = OrderedEstimates<Estimate>;

// The output files of a variable, opened for appending when first needed.
class OutputWriters {
public:
    OutputWriters(std::filesystem::path folder, std::string base)
        : folder_(std::move(folder)), base_(std::move(base)) {}
    TextFileWriter &operator[](OutputFile f) {
        std::unique_ptr<TextFileWriter> &w = writers_[static_cast<std::size_t>(f)];
        if (!w) {
            w = std::make_unique<TextFileWriter>(Named(folder_, base_ + std::string(FileSuffix(f))),
                                                 TextFileWriter::Mode::Append);
            Opened(*w);
        }
        return *w;
    }
    void Commit() {
        for (std::unique_ptr<TextFileWriter> &w : writers_)
            if (w)
                w->commitOrThrow();
    }

private:
    std::filesystem::path folder_;
    std::string base_;
    std::array<std::unique_ptr<TextFileWriter>, OutputFileCount> writers_;
};

// One variable (state.CurrentVariable) over the list: the variable's _INFO
// file, lines of the run's _INFORMATION file, summary lines and the output
// files. Its estimates are the pool's items firstItem onwards. Returns false
// when the user stopped the run. Throws on any failure, leaving the lines
// written so far; `location` tells the list position it had reached (-1
// before the first). Afterwards the state holds the last location estimated.
bool WriteVariableTvsFiles(engine::EngineState &state, const LocationList &locations,
                           const std::filesystem::path &folder, const std::string &prefix, int ordinal,
                           std::vector<std::string> *summary, RunHost &host, OwnPool &pool, std::size_t firstItem,
                           std::atomic<bool> &useDem, SkipReport &skips, int &location) {
    const int variable = state.CurrentVariable;
    const std::string base = prefix + std::string(VariableSuffix(variable));
    const engine::Integer count = numfmt::cint(static_cast<double>(locations.size()));
    BatchChoices c = ChoicesOf(host);

    const std::filesystem::path infoPath = Named(folder, base + "_INFO.tvs");
    if (c.NewFiles)
        CreateTextFile(infoPath, {InfoHead()});
    TextFileWriter info(infoPath, TextFileWriter::Mode::Append);
    Opened(info);
    TextFileWriter information(InformationFile(folder, prefix), TextFileWriter::Mode::Append);
    Opened(information);
    if (host.Progress)
        host.Progress(ordinal - 1);
    if (c.NewFiles)
        for (OutputFile f : AllFiles)
            if (c.output(BoxOfFile(f)))
                CreateTextFile(Named(folder, base + std::string(FileSuffix(f))),
                               {FileTitle(f, variable), OutputColumnHead(f), ""});
    OutputWriters outputs(folder, base);

    std::optional<Estimate> last;
    auto finish = [&] {
        if (last)
            CopyEstimate(last->State, state);
        info.commitOrThrow();
        information.commitOrThrow();
        outputs.Commit();
    };
    for (int k = 0; k < count; ++k) {
        location = k;
        if (host.DoEvents)
            host.DoEvents();
        if (StopRequested(host)) {
            finish();
            return false;
        }
        c = ChoicesOf(host);
        useDem = c.UseDem;
        if (host.Progress)
            host.Progress(ordinal - 1 + static_cast<double>(k + 1) / count);
        std::optional<Estimate> e = Await(pool, firstItem + static_cast<std::size_t>(k), host);
        if (!e) {
            finish();
            return false;
        }
        // The altitude source changed while the estimate waited: estimate again.
        if (e->UsedDem != c.UseDem)
            e = EstimateAt(state, variable, locations[static_cast<std::size_t>(k)], c.UseDem, host);
        last = std::move(e);
        const engine::EngineState &s = last->State;
        if (!last->Estimated) {
            // No active neighbour: nothing in the files, the run's end names it.
            skips.Add(k, locations[static_cast<std::size_t>(k)].Text, variable);
            skips.AddLine(prefix, variable, s, host.Locale);
            continue;
        }
        const std::string label = PointLabel(s.CalcLongitude, s.CalcLatitude, s.CalcAltitude, host.Locale);
        const LocationFields fields = MakeLocationFields(s, host.Locale);
        info.writeLine(InfoLine(fields));
        Flushed(info);
        information.writeLine(InformationLine(prefix, variable, fields));
        Flushed(information);
        if (c.Summary)
            StoreSummary(summary, static_cast<long>(ordinal - 1) * count + k + 1, fields.Summary);
        for (OutputFile f : AllFiles)
            if (c.output(BoxOfFile(f))) {
                TextFileWriter &w = outputs[f];
                w.writeLine(OutputDataLine(f, s, label, c.ConfidenceLevel, host.Locale));
                Flushed(w);
            }
    }
    finish();
    return true;
}

// The end of the run information file of a run that an error stopped, so
// that whoever finds its files later knows they are incomplete: an empty
// line, then where the run stopped and why. Written if it can be; the error
// itself is reported in any case.
void NoteFailure(const std::filesystem::path &information, int variable, int location,
                 const LocationList &locations, const std::string &why) {
    std::string where = "Run stopped by an error in " + std::string(VariableSuffix(variable));
    if (location >= 0 && static_cast<std::size_t>(location) < locations.size())
        where += " at location " + std::to_string(location + 1) + " of " + std::to_string(locations.size()) + " (" +
                 Quoted(locations[static_cast<std::size_t>(location)].Text) + ")";
    else
        where += " before its first location";
    TextFileWriter w(information, TextFileWriter::Mode::Append);
    w.writeLine();
    w.writeLine(where + ": " + why);
    w.commit();
}

} // namespace

RunEnd RunOwnFormat(engine::EngineState &state, const LocationList &locations, const std::filesystem::path &folder,
                    const DateTime &now, RunHost &host) {
    return FramedRun(locations, host, [&](const RunFrame &f, RunEnd &end) {
        const BatchChoices &start = f.start;
        const std::string prefix = BatchRunPrefix(now);
        const std::filesystem::path informationPath = InformationFile(folder, prefix);
        CreateTextFile(informationPath, InformationHead(prefix));
        if (host.ProgressStart)
            host.ProgressStart(f.ticked);
        const std::vector<int> variables = TickedVariables(start);
        const std::size_t n = locations.size();
        std::atomic<bool> useDem{start.UseDem};
        OwnPool pool(state, variables.size() * n, host.Workers, [&](engine::EngineState &s, std::size_t item) {
            return EstimateAt(s, variables[item / n], locations[item % n], useDem, host);
        });
        int ordinal = 0;
        for (int v : variables) {
            state.CurrentVariable = static_cast<engine::Integer>(v);
            ++ordinal;
            int location = -1;
            bool finished = false;
            try {
                finished = WriteVariableTvsFiles(state, locations, folder, prefix, ordinal,
                                                 start.Summary ? &f.summary : nullptr, host, pool,
                                                 static_cast<std::size_t>(ordinal - 1) * n, useDem, f.skips, location);
            } catch (const std::exception &e) {
                NoteFailure(informationPath, v, location, locations, e.what());
                throw;
            }
            if (!finished || AbortExport()) {
                end = RunEnd::Aborted;
                return;
            }
        }
        if (!f.skips.empty()) {
            f.skips.WriteTo(informationPath);
            f.skipsListed = true;
        }
    });
}

// ---- Export formats -------------------------------------------------------------------

namespace {

struct OtherRun {
    engine::EngineState &state;
    RunHost &host;
    int format;
    std::filesystem::path outputFile;
    TextFileWriter &out;
    std::string prefix;
    SkipReport &skips;
    std::unique_ptr<TextFileWriter> information = nullptr; // formats 2, 5 and 6
    std::vector<std::string> *summary = nullptr;
    int ticked = 0;
    int lastRowLocation = -1; // the location of the last row written
    int written = 0;          // locations written (Tillwick, Furrowin)
    std::vector<std::string> catalogue = {};
    std::optional<exports::LocationExport> firstWritten = std::nullopt;

    void Check() {
        if (out.failed())
            throw numfmt::TextFileError(out.error());
    }

    // One variable at one location: the run information line and, for the
    // standard table and the Ketlo file, the row. The standard table heads
    // each location's first row with its header block, the Ketlo file its
    // first row.
    void WriteVariableInfoLine(int location, int ordinal, const std::string &name, const Estimate &e) {
        const engine::EngineState &s = e.State;
        if (!e.Estimated) {
            skips.Add(location - 1, name, s.CurrentVariable);
            skips.AddLine(prefix, s.CurrentVariable, s, host.Locale);
            return;
        }
        const LocationFields fields = MakeLocationFields(s, host.Locale);
        information->writeLine(InformationLine(prefix, s.CurrentVariable, fields));
        Flushed(*information);
        StoreSummary(summary, static_cast<long>(location - 1) * ticked + ordinal, fields.Summary);
        if (!ChoicesOf(host).output(Output::Best))
            return;
        const exports::VariableExport row = exports::MakeVariableExport(s, name);
        if (format == 2)
            exports::formatStandard(out, row, location != lastRowLocation, host.Locale);
        else if (format == 5)
            exports::Ketlo(out, row, lastRowLocation < 0);
        else
            return;
        lastRowLocation = location;
        Check();
    }

    // All eight variables at one location and the format's writer; a location
    // without an estimate of a variable the format needs is left out.
    void WriteLocation(int location, engine::Integer count, const std::string &name, const LocationEstimate &e,
                       const BatchChoices &start) {
        const results::LocationResults &estimate = e.Results;
        const std::array<bool, 8> needed = NeededVariables(format, start);
        bool complete = true;
        for (int v = 0; v < results::VariableCount; ++v)
            if (needed[static_cast<std::size_t>(v)] && !estimate[v].Estimated) {
                skips.Add(location - 1, name, v);
                complete = false;
            }
        if (complete) {
            exports::LocationExport le;
            le.LocationName = name;
            le.Calc = {e.Point.Longitude, e.Point.Latitude, e.Point.Altitude};
            le.Current = le.Calc;
            for (int v = 0; v < results::VariableCount; ++v) {
                le.Results[static_cast<std::size_t>(v)] = estimate.StoredResult(v);
                le.HasEstimate[static_cast<std::size_t>(v)] = estimate[v].Estimated;
            }
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
                exports::Furrowin(outputFile, le, fo);
                if (first)
                    firstWritten = le;
            }
            ++written;
            Check();
        }
        if (!summary)
            return;
        int ordinal = 0;
        for (int v = 0; v < results::VariableCount; ++v) {
            if (!start.Variables[static_cast<std::size_t>(v)])
                continue;
            ++ordinal;
            if (!estimate[v].Estimated)
                continue;
            engine::EngineState copy;
            copy.UseSettings(state.Settings());
            results::RestoreVariable(estimate, v, copy);
            StoreSummary(summary, static_cast<long>(location - 1) * ticked + ordinal,
                         MakeLocationFields(copy, host.Locale).Summary);
        }
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
        for (const std::string &l : catalogue)
            out.writeLine(l);
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
        // The chosen file is replaced only when the run completes.
        TextFileWriter out(outputFile, TextFileWriter::Mode::Replace);
        Opened(out);
        OtherRun run{state, host, format, outputFile, out, BatchRunPrefix(now), f.skips};
        const std::filesystem::path informationPath = InformationFile(infoFolder, run.prefix);
        run.summary = start.Summary ? &f.summary : nullptr;
        run.ticked = f.ticked;
        if (perVariable) {
            CreateTextFile(informationPath, InformationHead(run.prefix));
            run.information = std::make_unique<TextFileWriter>(informationPath, TextFileWriter::Mode::Append);
            Opened(*run.information);
        }
        if (host.ProgressStart)
            host.ProgressStart(count);
        const std::vector<int> variables = TickedVariables(start);
        const std::size_t t = variables.size();
        std::optional<OrderedEstimates<Estimate>> perVariablePool;
        std::optional<OrderedEstimates<LocationEstimate>> locationPool;
        if (perVariable)
            perVariablePool.emplace(state, locations.size() * t, host.Workers,
                                    [&](engine::EngineState &s, std::size_t item) {
                                        return EstimateAt(s, variables[item % t], locations[item / t], false, host);
                                    });
        else
            locationPool.emplace(state, locations.size(), host.Workers,
                                 [&](engine::EngineState &s, std::size_t item) {
                                     return EstimateAllAt(s, locations[item], host);
                                 });
        std::optional<Estimate> last;
        for (int i = 1; i <= count; ++i) {
            if (host.DoEvents)
                host.DoEvents();
            if (StopRequested(host)) {
                end = RunEnd::Aborted;
                return;
            }
            const ListEntry &entry = locations[static_cast<std::size_t>(i - 1)];
            if (perVariable) {
                for (std::size_t o = 0; o < t; ++o) {
                    std::optional<Estimate> e =
                        Await(*perVariablePool, static_cast<std::size_t>(i - 1) * t + o, host);
                    if (!e) {
                        end = RunEnd::Aborted;
                        return;
                    }
                    run.WriteVariableInfoLine(i, static_cast<int>(o) + 1, entry.Text, *e);
                    last = std::move(e);
                }
            } else {
                std::optional<LocationEstimate> e = Await(*locationPool, static_cast<std::size_t>(i - 1), host);
                if (!e) {
                    end = RunEnd::Aborted;
                    return;
                }
                run.WriteLocation(i, count, entry.Text, *e, start);
            }
            Flushed(out);
            if (host.Progress)
                host.Progress(i);
        }
        if (last)
            CopyEstimate(last->State, state);
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
