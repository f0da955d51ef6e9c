#include "report/reportfile.h"

#include <exception>

#include "numfmt/printline.h"
#include "numfmt/textfile.h"
#include "report/reportparts.h"
#include "results/storedresults.h"

namespace tavisol::report {

using namespace parts;

namespace {

void Add(std::vector<std::string> &out, const numfmt::PrintLine &line) {
    for (auto &l : line.lines())
        out.push_back(std::move(l));
}

void AddAll(std::vector<std::string> &out, std::vector<std::string> lines) {
    for (auto &l : lines)
        out.push_back(std::move(l));
}

void SectionTitle(std::vector<std::string> &out, const char *title, const char *fourth = " ") {
    out.insert(out.end(), {" ", " ", title, fourth});
}

void MonthlyTable(std::vector<std::string> &out, const ReportInput &in, const ReportOptions &options,
                  const Level &level, ReportKind kind, const numfmt::Locale &loc) {
    const auto columns = MonthlyColumns(in, options, level, kind, Medium::File, loc);
    std::string header = "Month      ";
    std::string units(11, ' ');
    for (const auto &c : columns) {
        header += R(c.Width, c.Header);
        units += R(c.Width, c.Unit);
    }
    out.push_back(header);
    out.push_back(units);
    out.emplace_back();
    for (std::size_t i = 1; i <= 13; ++i) {
        std::string row = i <= 12 ? std::string(engine::MonthNames[i]) : R(11, "Average");
        for (const auto &c : columns)
            row += R(c.Width, c.Cells[i]);
        out.push_back(row);
    }
}

void SeriesHead(std::vector<std::string> &out, const std::string &lead, const Level &level, const std::string &unit) {
    out.push_back(lead + R(15, "Best") + R(15, level.LowLabel) + R(15, level.HighLabel));
    out.push_back(std::string(15, ' ') + R(15, unit) + R(15, unit) + R(15, unit));
    out.emplace_back();
}

// One report's lines and the names they may hold.
struct ReportText {
    std::vector<std::string> Lines;
    std::vector<numfmt::NameInText> Names;
};

ReportText Text(const ReportInput &input, const AppliedMethods &methods, const ReportOptions &options,
                ReportKind kind, const numfmt::Locale &locale) {
    return {BuildReportLines(input, methods, options, kind, locale), StationNames(input)};
}

WriteOutcome Write(const std::filesystem::path &path, numfmt::TextFileWriter::Mode mode,
                   const std::vector<ReportText> &reports) {
    numfmt::TextFileWriter file(path, mode);
    for (const auto &report : reports)
        for (const auto &line : report.Lines)
            file.writeLine(line, report.Names);
    if (!file.commit())
        return {false, file.error(), {}};
    return {true, {}, file.changedNames()};
}

} // namespace

std::vector<std::string> BuildReportLines(const ReportInput &in, const AppliedMethods &methods,
                                          const ReportOptions &options, ReportKind kind,
                                          const numfmt::Locale &loc) {
    const std::string caption = VariableCaption(in.Variable);
    const Level level = ChooseLevel(options, Medium::File);
    std::vector<std::string> out;

    out.push_back("Tavisol");
    out.push_back(" ");
    Add(out, numfmt::PrintLine(loc)
                 .text("Location:")
                 .zone()
                 .text("Latitude = " + numfmt::formatMask(in.CalcLatitude, "###.00", loc) + "\u00b0, " +
                       " Longitude = " + numfmt::formatMask(in.CalcLongitude, "####.00", loc) + "\u00b0, " +
                       " Altitude = " + numfmt::formatMask(in.CalcAltitude, "####", loc) + " m"));
    out.push_back(" ");
    Add(out, numfmt::PrintLine(loc).text("Variable: ").zone().text(caption));
    out.push_back(" ");
    out.push_back("Applied Methods:");
    out.push_back(" ");
    AddAll(out, MethodLines(methods, in.Warnings, Medium::File, loc));
    AddAll(out, WarningLines(in.Warnings));

    if (options.AnyMonthly()) {
        SectionTitle(out, "Estimated annual cycle of expectation values in monthly resolution:");
        MonthlyTable(out, in, options, level, kind, loc);
    }
    if (kind == ReportKind::Workbench) {
        if (options.Dekadal) {
            SectionTitle(out, "Estimated annual cycle of expectation values in dekadal resolution:");
            SeriesHead(out, "dekade         ", level, SeriesUnit(in.Variable, kind, "/dekade"));
            AddAll(out, DekadalRows(in, level.Z, loc));
        }
        if (options.Daily) {
            SectionTitle(out, "Estimated annual cycle of expectation values in daily resolution:");
            SeriesHead(out, std::string(15, ' '), level, SeriesUnit(in.Variable, kind, "/Day"));
            AddAll(out, DailyRows(in, level.Z, Medium::File, loc));
        }
        if (options.Threshold) {
            SectionTitle(out, "Estimated number of days with expectation values above threshold:", "");
            out.push_back(" Threshold      " + R(15, "Best") + R(15, level.LowLabel) + R(15, level.HighLabel));
            out.push_back(R(15, SeriesUnit(in.Variable, kind, "/Day")) + R(15, "Days") + R(15, "Days") +
                          R(15, "Days"));
            out.emplace_back();
            AddAll(out, ThresholdRows(in, level.Z, Medium::File, loc));
        }
    }
    if (options.Stations) {
        SectionTitle(out, "Neighboring stations used for the estimation:");
        out.push_back(StationHeader());
        out.push_back(" ");
        AddAll(out, StationRows(in, loc));
    }
    if (options.Observations) {
        SectionTitle(out, "Observed mean annual cycles at neighboring stations");
        Add(out, ObservationHeader(loc));
        for (const auto &row : ObservationRows(in, loc))
            Add(out, row);
    }
    out.insert(out.end(), {" ", " ", "Provided by the Marovel"});
    return out;
}

WriteOutcome WriteReportFile(const std::filesystem::path &path, const ReportInput &input,
                             const AppliedMethods &methods, const ReportOptions &options,
                             const numfmt::Locale &locale) {
    try {
        return Write(path, numfmt::TextFileWriter::Mode::Replace,
                     {Text(input, methods, options, ReportKind::Workbench, locale)});
    } catch (const std::exception &e) {
        return {false, e.what(), {}};
    }
}

WriteOutcome WriteLocationReports(const std::filesystem::path &path, const std::vector<ReportInput> &inputs,
                                  const AppliedMethods &methods, const ReportOptions &options,
                                  const numfmt::Locale &locale) {
    try {
        std::vector<ReportText> reports;
        for (const auto &input : inputs)
            reports.push_back(Text(input, methods, options, ReportKind::Location, locale));
        return Write(path, numfmt::TextFileWriter::Mode::Replace, reports);
    } catch (const std::exception &e) {
        return {false, e.what(), {}};
    }
}

std::vector<ReportInput> LocationInputs(const results::LocationResults &stored, const std::array<bool, 8> &variables) {
    std::vector<ReportInput> inputs;
    for (int v = 0; v < 8; ++v)
        if (variables[static_cast<std::size_t>(v)])
            inputs.push_back(InputFromStored(stored[v], static_cast<engine::Integer>(v)));
    return inputs;
}

} // namespace tavisol::report
