#include "batch/runs.h"

#include <exception>
#include <stdexcept>

#include "engine/engine.h"
#include "export/furrowin.h"
#include "export/ketlo.h"
#include "export/standard_table.h"
#include "export/tillwick.h"
#include "numfmt/textfile.h"
#include "results/storedresults.h"

namespace tavisol::batch {

namespace {

using numfmt::TextFileWriter;

bool Say(const RunHost &host, const BatchMessage &m) {
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

void AppendLine(const std::filesystem::path &path, const std::string &line) {
    TextFileWriter w(path, TextFileWriter::Mode::Append);
    Opened(w);
    w.writeLine(line);
    w.commitOrThrow();
}

std::filesystem::path Named(const std::filesystem::path &folder, const std::string &name) { return folder / name; }

int Elevation(const RunHost &host, const engine::EngineState &state, float lon, float lat) {
    if (host.Elevation)
        return host.Elevation(lon, lat);
    engine::Integer water = 0;
    return engine::GetElevation(state.DataFolder, lon, lat, water);
}

// The user's answer to a pending abort request: true to stop.
bool StopRequested(const RunHost &host) {
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

BatchMessage EndExportQuestion() { return {"Do you want end Export Data ?", "", BatchIcon::Question, true}; }

BatchMessage DataSavedMessage() { return {"Data Saved Correctly", "", BatchIcon::Information, false}; }

BatchMessage NoVariableMessage() {
    return {"You should select at least one variable.", "No Variable selected!", BatchIcon::Question, false};
}

BatchMessage ProcessingErrorMessage(const std::string &description) {
    return {"Error while Processing Data :" + description, "", BatchIcon::Critical, false};
}

// ---- Own format ---------------------------------------------------------------------

bool WriteVariableTvsFiles(engine::EngineState &state, const LocationList &locations,
                           const std::filesystem::path &folder, const std::string &prefix, int ordinal,
                           std::vector<std::string> *summary, RunHost &host) {
    const int variable = state.CurrentVariable;
    const std::string base = prefix + std::string(VariableSuffix(variable));
    const engine::Integer count = numfmt::cint(static_cast<double>(locations.size()));
    BatchChoices c = ChoicesOf(host);

    const std::filesystem::path infoPath = Named(folder, base + "_INFO.tvs");
    if (c.NewFiles)
        CreateTextFile(infoPath, {InfoHead()});
    TextFileWriter info(infoPath, TextFileWriter::Mode::Append);
    Opened(info);
    TextFileWriter information(Named(folder, prefix + "_INFORMATION.tvs"), TextFileWriter::Mode::Append);
    Opened(information);
    if (host.Progress)
        host.Progress(ordinal - 1);
    if (c.NewFiles)
        for (OutputFile f : AllFiles)
            if (c.output(BoxOfFile(f)))
                CreateTextFile(Named(folder, base + std::string(FileSuffix(f))),
                               {FileTitle(f, variable), OutputColumnHead(f), ""});

    int counter = 0;
    for (const ListEntry &entry : locations) {
        if (host.DoEvents)
            host.DoEvents();
        const EntryPoint p = ReadEntryPoint(entry, host.Locale);
        state.CalcLongitude = p.Longitude;
        state.CalcLatitude = p.Latitude;
        state.CalcAltitude = p.Altitude;
        if (StopRequested(host)) {
            info.commitOrThrow();
            information.commitOrThrow();
            return false;
        }
        c = ChoicesOf(host);
        if (c.UseDem)
            state.CalcAltitude = static_cast<float>(Elevation(host, state, state.CalcLongitude, state.CalcLatitude));
        const std::string label = PointLabel(state.CalcLongitude, state.CalcLatitude, state.CalcAltitude, host.Locale);
        ++counter;
        if (host.Progress)
            host.Progress(ordinal - 1 + static_cast<double>(counter) / count);
        if (!engine::RunBatchChain(state))
            continue; // no active neighbour: nothing anywhere
        const LocationFields fields = MakeLocationFields(state, host.Locale);
        info.writeLine(InfoLine(fields));
        Flushed(info);
        information.writeLine(InformationLine(prefix, variable, fields));
        Flushed(information);
        if (c.Summary)
            StoreSummary(summary, static_cast<long>(ordinal - 1) * count + counter, fields.Summary);
        for (OutputFile f : AllFiles)
            if (c.output(BoxOfFile(f)))
                AppendLine(Named(folder, base + std::string(FileSuffix(f))),
                           OutputDataLine(f, state, label, c.ConfidenceLevel, host.Locale));
    }
    info.commitOrThrow();
    information.commitOrThrow();
    return true;
}

// What a run's body works with: the choices taken at the start, the number
// of ticked variables, the number of locations and the summary lines.
struct RunFrame {
    const BatchChoices &start;
    int ticked;
    engine::Integer count;
    std::vector<std::string> &summary;
};

// The frame every run shares: the ticked variables are taken once, the busy
// pointer is shown, a completed run shows its summary and the confirmation,
// an error is reported with its prefix, and the progress bar, pointer and
// abort flag are put back whatever happened. The body sets end when it stops
// early.
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
        body(RunFrame{start, ticked, count, summary}, end);
        if (end == RunEnd::Completed) {
            if (start.Summary && host.ShowSummary)
                host.ShowSummary(summary);
            Say(host, DataSavedMessage());
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

RunEnd RunOwnFormat(engine::EngineState &state, const LocationList &locations, const std::filesystem::path &folder,
                    const DateTime &now, RunHost &host) {
    return FramedRun(locations, host, [&](const RunFrame &f, RunEnd &end) {
        const BatchChoices &start = f.start;
        const int ticked = f.ticked;
        std::vector<std::string> &summary = f.summary;
        const std::string prefix = BatchRunPrefix(now);
        CreateTextFile(Named(folder, prefix + "_INFORMATION.tvs"), InformationHead(prefix));
        if (host.ProgressStart)
            host.ProgressStart(ticked);
        int ordinal = 0;
        for (int v = 0; v < 8 && end == RunEnd::Completed; ++v) {
            if (!start.Variables[static_cast<std::size_t>(v)])
                continue;
            state.CurrentVariable = static_cast<engine::Integer>(v);
            ++ordinal;
            const bool finished = WriteVariableTvsFiles(state, locations, folder, prefix, ordinal,
                                                        start.Summary ? &summary : nullptr, host);
            if (!finished || AbortExport())
                end = RunEnd::Aborted;
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
    std::filesystem::path infoPath;
    std::string prefix;
    int lastWritten = -1;
    std::vector<std::string> *summary = nullptr;
    int ticked = 0;

    // One variable at one location: the run information line and, for the
    // standard table and the Ketlo file, the row.
    void WriteVariableInfoLine(int location, int ordinal, const std::string &name) {
        TextFileWriter info(infoPath, TextFileWriter::Mode::Append);
        Opened(info);
        if (!engine::RunBatchChain(state)) {
            info.commitOrThrow();
            return;
        }
        const LocationFields fields = MakeLocationFields(state, host.Locale);
        info.writeLine(InformationLine(prefix, state.CurrentVariable, fields));
        info.commitOrThrow();
        StoreSummary(summary, static_cast<long>(location - 1) * ticked + ordinal, fields.Summary);
        if (!ChoicesOf(host).output(Output::Best))
            return;
        exports::ExportOptions options;
        options.Append = !(location == 1 && ordinal == 1);
        options.Locale = host.Locale;
        const exports::VariableExport row = exports::MakeVariableExport(state, name);
        if (format == 2) {
            options.WriteHeader = location != lastWritten;
            exports::formatStandard(outputFile, row, options);
        } else if (format == 5) {
            options.WriteHeader = location == 1 && location != lastWritten;
            exports::Ketlo(outputFile, row, options);
        }
    }

    // All eight variables at one location and the format's writer.
    void WriteLocation(int location, engine::Integer count, const std::string &name, const EntryPoint &p,
                       const BatchChoices &start) {
        results::GuessResults estimate;
        const results::RunOutcome outcome =
            results::RunGuessEstimate(estimate, state, p.Longitude, p.Latitude, p.Altitude);
        if (!outcome.ok)
            throw std::runtime_error(outcome.error);
        exports::LocationExport le;
        le.LocationName = name;
        le.Calc = {p.Longitude, p.Latitude, p.Altitude};
        le.Current = le.Calc;
        for (int v = 0; v < results::VariableCount; ++v)
            le.Results[static_cast<std::size_t>(v)] = estimate.StoredResult(v);
        exports::ExportOptions options;
        options.WriteHeader = location == 1;
        options.Append = location != 1;
        options.Locale = host.Locale;
        if (format == 3) {
            exports::TillwickInput(outputFile, le, options);
        } else if (format == 4) {
            exports::TillwickOutput(outputFile, le, options);
        } else if (format == 7) {
            exports::FurrowinOptions fo;
            fo.NewFile = location == 1;
            fo.ListMode = true;
            fo.ListCount = count;
            fo.FileFolder = outputFile.parent_path();
            fo.Locale = host.Locale;
            exports::Furrowin(outputFile, le, fo);
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
};

} // namespace

RunEnd RunOtherFormat(engine::EngineState &state, int format, const LocationList &locations,
                      const std::filesystem::path &outputFile, const std::filesystem::path &infoFolder,
                      const DateTime &now, RunHost &host) {
    const bool perVariable = format == 2 || format == 5 || format == 6;
    return FramedRun(locations, host, [&](const RunFrame &f, RunEnd &end) {
        const BatchChoices &start = f.start;
        const int ticked = f.ticked;
        const engine::Integer count = f.count;
        std::vector<std::string> &summary = f.summary;
        OtherRun run{state, host, format, outputFile, {}, BatchRunPrefix(now)};
        run.infoPath = infoFolder / (run.prefix + "_INFORMATION.tvs");
        run.summary = start.Summary ? &summary : nullptr;
        run.ticked = ticked;
        if (perVariable)
            CreateTextFile(run.infoPath, InformationHead(run.prefix));
        if (host.ProgressStart)
            host.ProgressStart(count);
        for (int i = 1; i <= count; ++i) {
            if (host.DoEvents)
                host.DoEvents();
            if (StopRequested(host)) {
                end = RunEnd::Aborted;
                break;
            }
            const ListEntry &entry = locations[static_cast<std::size_t>(i - 1)];
            const EntryPoint p = ReadEntryPoint(entry, host.Locale);
            state.CalcLongitude = p.Longitude;
            state.CalcLatitude = p.Latitude;
            state.CalcAltitude = p.Altitude;
            if (perVariable) {
                int ordinal = 0;
                for (int v = 0; v < 8; ++v) {
                    if (!start.Variables[static_cast<std::size_t>(v)])
                        continue;
                    ++ordinal;
                    state.CurrentVariable = static_cast<engine::Integer>(v);
                    // Each variable starts from the listed point.
                    state.CalcLongitude = p.Longitude;
                    state.CalcLatitude = p.Latitude;
                    state.CalcAltitude = p.Altitude;
                    run.WriteVariableInfoLine(i, ordinal, entry.Text);
                    run.lastWritten = i;
                }
            } else {
                run.WriteLocation(i, count, entry.Text, p, start);
            }
            if (host.Progress)
                host.Progress(i);
        }
    });
}

} // namespace tavisol::batch
