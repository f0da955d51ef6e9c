#include "outdlg/dispatch.h"

#include <exception>
#include <span>

#include "export/furrowin.h"
#include "export/ketlo.h"
#include "export/standard_table.h"
#include "export/tillwick.h"
#include "numfmt/textfile.h"
#include "report/reportfile.h"
#include "shell/appstate.h"

namespace tavisol::outdlg {

namespace {

constexpr int Pet = 5;

bool IsTillwickOrFurrowin(int format) {
    return format == FormatLgsInput || format == FormatLgsOutput || format == FormatFurrowin;
}

constexpr const char *NothingSaved = " Nothing was saved.";
constexpr const char *NothingPrinted = " Nothing was printed.";

// `write` returns the names it wrote with "?".
template <typename F>
DispatchOutcome Guarded(F &&write) {
    try {
        return {true, {}, {}, write()};
    } catch (const exports::MissingEstimateError &e) {
        return {false, std::string(e.what()) + NothingSaved, {}, {}};
    } catch (const std::exception &e) {
        return {false, e.what(), {}, {}};
    }
}

void Leave(const LeaveVariable &leave, int variable) {
    if (leave && variable >= 0)
        leave(variable);
}

VariableTicks TicksOf(const std::vector<int> &variables) {
    VariableTicks ticks{};
    for (int v : variables)
        ticks[static_cast<std::size_t>(v)] = true;
    return ticks;
}

std::string NameList(const std::vector<int> &variables) {
    std::vector<exports::Integer> v(variables.begin(), variables.end());
    return exports::VariableNameList(v);
}

std::string NoEstimateText(const std::vector<int> &variables, const std::string &locationName) {
    std::vector<exports::Integer> v(variables.begin(), variables.end());
    return exports::NoEstimateText(v, locationName);
}

// Tavisol, Quorrel and Ketlo files are made of per-variable blocks or rows.
bool IsPerVariableFormat(int format) {
    return format == FormatTavisol || format == FormatQuorrel || format == FormatKetlo;
}

// The ticked variables as a save or print of the requested format takes them.
struct TickedSplit {
    // Ticked with an estimate: what a per-variable format writes.
    std::vector<int> Estimated;
    // Ticked without one: left out of a per-variable format (other formats
    // leave nothing out here).
    std::vector<int> LeftOut;
    // The variable the engine state keeps afterwards: the last one written,
    // or with a format that is not per variable the last one ticked; -1 none.
    int Last = -1;
};

TickedSplit SplitTicked(const results::LocationResults &stored, const OutputRequest &request) {
    TickedSplit split;
    const std::vector<int> ticked = TickedVariables(request.Variables);
    for (int v : ticked)
        (stored.HasEstimate(v) ? split.Estimated : split.LeftOut).push_back(v);
    const bool perVariable = IsPerVariableFormat(request.Format);
    if (!perVariable)
        split.LeftOut.clear();
    const std::vector<int> &visited = perVariable ? split.Estimated : ticked;
    split.Last = visited.empty() ? -1 : visited.back();
    return split;
}

} // namespace

ResultsOutputFormatRule ResultsOutputRuleFor(int format) {
    ResultsOutputFormatRule rule;
    switch (format) {
    case FormatTavisol:
        rule.Best = false;
        rule.OutputsEnabled = true;
        rule.VariablesEnabled = true;
        break;
    case FormatLgsInput:
    case FormatLgsOutput:
        rule.Best = true;
        rule.OutputsEnabled = false;
        rule.VariablesEnabled = false;
        rule.Variables[3] = true;
        rule.Variables[5] = true;
        break;
    case FormatFurrowin:
        rule.Best = true;
        rule.OutputsEnabled = false;
        rule.VariablesEnabled = false;
        rule.Variables = {false, true, true, false, false, true, true, true};
        break;
    default:
        rule.Best = true;
        rule.OutputsEnabled = false;
        rule.VariablesEnabled = true;
        break;
    }
    return rule;
}

WorkbenchOutputFormatRule WorkbenchOutputRuleFor(int format) {
    if (format == FormatTavisol)
        return {false, true};
    return {true, false};
}

bool WorkbenchRefusesFormat(int format) { return IsTillwickOrFurrowin(format); }

Level ResultsOutputLevelAfterHighClick(Level current, bool nowTicked) {
    if (nowTicked && current == Level::None)
        return Level::P90;
    return current;
}

Level WorkbenchOutputLevelAfterClick(Level current, bool nowTicked, bool othersTicked, Level workbench) {
    if (nowTicked) {
        if (current != Level::None)
            return current;
        return workbench != Level::None ? workbench : Level::P90;
    }
    return othersTicked ? current : Level::None;
}

report::ReportOptions WithLevel(report::ReportOptions options, Level level) {
    options.Level = level;
    return options;
}


bool ResultsOutputHasSelection(const VariableTicks &variables, const report::ReportOptions &outputs) {
    bool anyVariable = false;
    for (bool v : variables)
        anyVariable = anyVariable || v;
    return anyVariable && (outputs.AnyMonthly() || outputs.Stations || outputs.Observations);
}

bool WorkbenchOutputHasSelection(const report::ReportOptions &outputs) { return outputs.AnyOutput(); }

std::string ResultsOutputSaveFilter(int format) {
    if (format == FormatTavisol)
        return "Tavisol (*.tvs)|*.tvs";
    if (format == FormatFurrowin)
        return "Furrowin (*.Lst)|*.Lst";
    return "Data (*.Dat)|*.Dat";
}

std::string WorkbenchOutputSaveFilter(int format) {
    return format == FormatTavisol ? "Tavisol (*.tvs)|*.tvs" : "Data (*.Dat)|*.Dat";
}

std::vector<int> TickedVariables(const VariableTicks &ticks) {
    std::vector<int> out;
    for (int v = 0; v < VariableBoxCount; ++v)
        if (ticks[static_cast<std::size_t>(v)])
            out.push_back(v);
    return out;
}

exports::VariableExport StoredVariableExport(const results::LocationResults &stored, int variable,
                                             const std::string &locationName) {
    const results::StoredVariable &s = stored[variable];
    exports::VariableExport e;
    e.LocationName = locationName;
    e.Calc = {s.CalcLongitude, s.CalcLatitude, s.CalcAltitude};
    e.Variable = static_cast<engine::Integer>(variable);
    e.Result = s.Result;
    e.HasEstimate = stored.HasEstimate(variable);
    return e;
}

exports::LocationExport StoredLocationExport(const results::LocationResults &stored, const std::string &locationName,
                                             const exports::ExportPoint &current) {
    exports::LocationExport e;
    e.LocationName = locationName;
    // Every variable of one run shares the computation point; the writers
    // leave variable 5 in the state, so its point is the one they print.
    const results::StoredVariable &pet = stored[Pet];
    e.Calc = {pet.CalcLongitude, pet.CalcLatitude, pet.CalcAltitude};
    e.Current = current;
    for (int v = 0; v < results::VariableCount; ++v) {
        e.Results[static_cast<std::size_t>(v)] = stored[v].Result;
        e.HasEstimate[static_cast<std::size_t>(v)] = stored.HasEstimate(v);
    }
    return e;
}

std::string NothingToWriteReason(const results::LocationResults &stored, const OutputRequest &request) {
    if (IsTillwickOrFurrowin(request.Format)) {
        // The writers' own check, on lines that are not written.
        const exports::LocationExport e = StoredLocationExport(stored, request.LocationName, request.Current);
        try {
            if (request.Format == FormatFurrowin)
                exports::PrintFurrowin(e, request.Locale);
            else if (request.Format == FormatLgsInput)
                exports::TillwickInputLines(e, false);
            else
                exports::TillwickOutputLines(e, false, request.Locale);
        } catch (const exports::MissingEstimateError &missing) {
            return missing.what();
        } catch (const std::exception &) {
            // Any other fault is the writer's to report.
        }
        return {};
    }
    const TickedSplit split = SplitTicked(stored, request);
    if (split.Estimated.empty() && !split.LeftOut.empty())
        return NoEstimateText(split.LeftOut, request.LocationName);
    return {};
}

std::vector<int> RequestedWithoutEstimate(const results::LocationResults &stored, const OutputRequest &request) {
    if (!IsTillwickOrFurrowin(request.Format))
        return SplitTicked(stored, request).LeftOut;
    std::vector<int> missing;
    const auto read = [&](std::span<const exports::Integer> needed) {
        for (const exports::Integer v : needed)
            if (!stored.HasEstimate(v))
                missing.push_back(v);
    };
    if (request.Format == FormatFurrowin)
        read(exports::FurrowinVariables);
    else
        read(exports::TillwickVariables);
    return missing;
}

std::string SavedMessage(const DispatchOutcome &outcome) {
    return numfmt::WithChangedNames(outcome.LeftOut.empty() ? std::string(SavedText)
                                                            : "Data Saved without " + NameList(outcome.LeftOut) +
                                                                  " (no estimate at this location).",
                                    outcome.Changed);
}

DispatchOutcome SaveLocationResults(const std::filesystem::path &file, const results::LocationResults &stored,
                                    const OutputRequest &request, const LeaveVariable &leave) {
    // Per-variable formats write only the variables that have an estimate.
    const TickedSplit split = SplitTicked(stored, request);
    const std::vector<int> &ticked = split.Estimated;
    if (const std::string why = NothingToWriteReason(stored, request); !why.empty())
        return {false, why + NothingSaved, split.LeftOut, {}};
    DispatchOutcome outcome;
    switch (request.Format) {
    case FormatTavisol: {
        const report::WriteOutcome written = report::WriteLocationReports(
            file, report::LocationInputs(stored, TicksOf(ticked)), request.Methods, request.Options, request.Locale);
        outcome = {written.ok, written.error, {}, written.Changed};
        break;
    }
    case FormatQuorrel:
    case FormatKetlo:
        outcome = Guarded([&] {
            // One file for all ticked variables, header above the first row.
            numfmt::TextFileWriter out(file);
            bool first = true;
            for (int v : ticked) {
                const exports::VariableExport e = StoredVariableExport(stored, v, request.LocationName);
                if (request.Format == FormatQuorrel)
                    exports::formatStandard(out, e, first, request.Locale);
                else
                    exports::Ketlo(out, e, first);
                first = false;
            }
            out.commitOrThrow();
            return out.changedNames();
        });
        break;
    case FormatLgsInput:
    case FormatLgsOutput:
    case FormatFurrowin:
        outcome = Guarded([&] {
            const exports::LocationExport e = StoredLocationExport(stored, request.LocationName, request.Current);
            const exports::ExportOptions options{true, false, request.Locale};
            if (request.Format == FormatLgsInput)
                return exports::TillwickInput(file, e, options);
            if (request.Format == FormatLgsOutput)
                return exports::TillwickOutput(file, e, options);
            exports::FurrowinOptions f;
            f.NewFile = true;
            f.ListMode = false;
            // The location's files go beside the catalogue that lists them.
            f.FileFolder = file.parent_path();
            f.Locale = request.Locale;
            return exports::Furrowin(file, e, f);
        });
        if (outcome.ok)
            Leave(leave, Pet);
        return outcome;
    default:
        // No writer: the chosen file is left empty.
        outcome = Guarded([&] {
            numfmt::TextFileWriter out(file);
            out.commitOrThrow();
            return numfmt::ChangedNames();
        });
        break;
    }
    if (outcome.ok) {
        outcome.LeftOut = split.LeftOut;
        Leave(leave, split.Last);
    }
    return outcome;
}

PrintJob LocationPrintJob(const results::LocationResults &stored, const OutputRequest &request,
                          const LeaveVariable &leave) {
    PrintJob job;
    job.Methods = request.Methods;
    job.Options = request.Options;
    job.Locale = request.Locale;
    if (const std::string why = NothingToWriteReason(stored, request); !why.empty()) {
        job.Notice = why + NothingPrinted;
        return job;
    }
    const TickedSplit split = SplitTicked(stored, request);
    const std::vector<int> &ticked = split.Estimated;
    if (!split.LeftOut.empty())
        job.Notice = "Printed without " + NameList(split.LeftOut) + " (no estimate at this location).";
    switch (request.Format) {
    case FormatTavisol:
        job.Reports = report::LocationInputs(stored, TicksOf(ticked));
        if (!job.Reports.empty())
            job.What = PrintJob::Kind::LocationReports;
        break;
    case FormatQuorrel:
    case FormatKetlo: {
        bool first = true;
        for (int v : ticked) {
            const exports::VariableExport e = StoredVariableExport(stored, v, request.LocationName);
            exports::PrintLines lines = request.Format == FormatQuorrel
                                            ? exports::PrintformatStandard(e, first, request.Locale)
                                            : exports::PrintKetlo(e, first);
            job.Lines.insert(job.Lines.end(), lines.begin(), lines.end());
            first = false;
        }
        if (!job.Lines.empty())
            job.What = PrintJob::Kind::Lines;
        break;
    }
    case FormatLgsInput:
    case FormatLgsOutput:
    case FormatFurrowin: {
        const exports::LocationExport e = StoredLocationExport(stored, request.LocationName, request.Current);
        try {
            if (request.Format == FormatLgsInput)
                job.Lines = exports::PrintTillwickInput(e);
            else if (request.Format == FormatLgsOutput)
                job.Lines = exports::PrintTillwickOutput(e, request.Locale);
            else
                job.Lines = exports::PrintFurrowin(e, request.Locale);
        } catch (const exports::MissingEstimateError &missing) {
            job.Notice = std::string(missing.what()) + NothingPrinted;
            return job;
        }
        job.What = PrintJob::Kind::Lines;
        Leave(leave, Pet);
        return job;
    }
    default:
        break;
    }
    Leave(leave, split.Last);
    return job;
}

DispatchOutcome SaveWorkbenchResults(const std::filesystem::path &file, const engine::EngineState &state,
                                     const OutputRequest &request) {
    switch (request.Format) {
    case FormatTavisol: {
        const report::WriteOutcome written = report::WriteReportFile(file, report::InputFromEngine(state),
                                                                     request.Methods, request.Options, request.Locale);
        return {written.ok, written.error, {}, written.Changed};
    }
    case FormatQuorrel:
        return Guarded([&] {
            return exports::formatStandard(file, exports::MakeVariableExport(state, request.LocationName),
                                           exports::ExportOptions{true, false, request.Locale});
        });
    case FormatKetlo:
        return Guarded([&] {
            return exports::Ketlo(file, exports::MakeVariableExport(state, request.LocationName),
                                  exports::ExportOptions{true, false, request.Locale});
        });
    default:
        return {};
    }
}

PrintJob WorkbenchPrintJob(const engine::EngineState &state, const OutputRequest &request) {
    PrintJob job;
    job.Methods = request.Methods;
    job.Options = request.Options;
    job.Locale = request.Locale;
    switch (request.Format) {
    case FormatTavisol:
        job.What = PrintJob::Kind::WorkbenchReport;
        job.Reports = {report::InputFromEngine(state)};
        break;
    case FormatQuorrel:
        job.What = PrintJob::Kind::Lines;
        job.Lines = exports::PrintformatStandard(exports::MakeVariableExport(state, request.LocationName), true,
                                                 request.Locale);
        break;
    case FormatKetlo:
        job.What = PrintJob::Kind::Lines;
        job.Lines = exports::PrintKetlo(exports::MakeVariableExport(state, request.LocationName), true);
        break;
    default:
        break;
    }
    return job;
}

report::PrintScript FittedLinesScript(const exports::PrintLines &lines, const report::PageSize &page,
                                      const report::FontMeasure &measure) {
    const int widest = report::WidestLine(LinesScript(lines));
    return LinesScript(lines, report::FittingFontSize(LinesFont, widest, page.Width, measure, MinLinesFontSize));
}

report::PrintScript LinesScript(const exports::PrintLines &lines, double fontSize) {
    report::PrintScript script;
    report::PrintOp name;
    name.What = report::PrintOp::Kind::FontName;
    name.Name = LinesFont.Name;
    script.push_back(name);
    report::PrintOp size;
    size.What = report::PrintOp::Kind::FontSize;
    size.Value = fontSize;
    script.push_back(size);
    for (const numfmt::PrintLine &line : lines) {
        report::PrintOp op;
        op.What = report::PrintOp::Kind::Print;
        op.Lines = line.segments();
        script.push_back(std::move(op));
    }
    return script;
}

} // namespace tavisol::outdlg
