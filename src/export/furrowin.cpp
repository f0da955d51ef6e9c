#include "export/furrowin.h"

#include "export/text_output.h"
#include "numfmt/textfile.h"

namespace tavisol::exports {

namespace {

constexpr std::array<int, 13> kDaysInMonth = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// The table's values of one month, columns 1..7 (3 and 6 hold no value).
std::array<double, 8> MonthValues(const LocationExport& in, std::size_t m) {
    auto best = [&](Integer variable) {
        return detail::Clamped(in.Results[static_cast<std::size_t>(variable)].Best[m], variable);
    };
    std::array<double, 8> v{};
    v[1] = best(1);
    v[2] = best(2);
    v[4] = static_cast<double>(best(6)) * 86.4;   // m/s to km per day
    v[5] = static_cast<double>(best(7)) * 24.0;   // fraction of a fixed 24-hour day
    v[7] = best(5) / static_cast<Single>(kDaysInMonth[m]);  // mm per day
    return v;
}

template <typename Format>
FurrowinTable Table(const LocationExport& in, Format format, const std::string& zero) {
    FurrowinTable t;
    for (std::size_t m = 1; m <= 12; ++m) {
        const auto v = MonthValues(in, m);
        for (std::size_t c = 1; c <= 7; ++c) {
            if (c == 3 || c == 6) t[m][c] = zero;
            // Wind and sunshine are products with a double factor; the
            // temperatures and the PET per day stay single-precision values.
            else if (c == 4 || c == 5) t[m][c] = format(v[c]);
            else t[m][c] = format(static_cast<Single>(v[c]));
        }
    }
    return t;
}

} // namespace

std::string FurrowinFileName(const std::string& locationName) {
    std::string name;
    bool dropped = false;
    for (const char c : locationName) {
        if (static_cast<unsigned char>(c) < 0x20 || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos) {
            dropped = true;
            continue;
        }
        // " Lon : 5" becomes "Lon 5", not "Lon  5".
        if (!(c == ' ' && dropped && !name.empty() && name.back() == ' ')) name.push_back(c);
        dropped = false;
    }
    const std::size_t first = name.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return name.substr(first, name.find_last_not_of(' ') - first + 1);
}

namespace {

// A file name as the reading system compares names: Windows-1252 with the
// letters in lower case.
std::string Compared(const std::string& name) {
    std::string s = numfmt::utf8ToCp1252(name);
    for (char& c : s) {
        const auto b = static_cast<unsigned char>(c);
        if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7)) c = static_cast<char>(b + 0x20);
        else if (b == 0x8A || b == 0x8C || b == 0x8E) c = static_cast<char>(b + 0x10);  // Š Œ Ž
        else if (b == 0x9F) c = static_cast<char>(0xFF);                                   // Ÿ
    }
    return s;
}

// The longest name (in bytes) the file system takes with ".PEN" after it.
constexpr std::size_t kLongestName = 255 - 4;

}  // namespace

std::string FurrowinFileNames::Distinct(const std::string& name) const {
    if (!written_.count(Compared(name))) return name;
    for (int k = 2;; ++k) {
        const std::string number = "_" + std::to_string(k);
        std::string base = name;
        // A long name gives way to its number, cut between characters.
        if (base.size() + number.size() > kLongestName) {
            std::size_t end = kLongestName - number.size();
            while (end > 0 && (static_cast<unsigned char>(base[end]) & 0xC0) == 0x80) --end;
            base.resize(end);
        }
        const std::string numbered = base + number;
        if (!written_.count(Compared(numbered))) return numbered;
    }
}

void FurrowinFileNames::Add(const std::string& name) { written_.insert(Compared(name)); }

namespace {

// The reading system takes a file whose name before the first "." (blanks
// at its end aside) is a device name for that device, in any letter case.
bool IsDeviceName(const std::string& fileName) {
    std::string stem = Compared(fileName.substr(0, fileName.find('.')));
    stem.erase(stem.find_last_not_of(' ') + 1);
    if (stem == "con" || stem == "prn" || stem == "aux" || stem == "nul") return true;
    // COM1..COM9 and LPT1..LPT9, and the superscript 1, 2 and 3 of Windows-1252.
    return stem.size() == 4 && (stem.compare(0, 3, "com") == 0 || stem.compare(0, 3, "lpt") == 0) &&
           std::string_view("123456789\xB9\xB2\xB3").find(stem[3]) != std::string_view::npos;
}

}  // namespace

std::string FurrowinNameProblem(const std::string& locationName) {
    const std::string file = FurrowinFileName(locationName);
    const std::string unusable = "The location name '" + locationName + "' cannot be used as a file name";
    if (file.empty() || file == "." || file == "..") return unusable;
    if (IsDeviceName(file)) return unusable + ": it names a device";
    if (file.size() > kLongestName) return unusable + ": it is too long";
    // The catalogue lists the name in Windows-1252; files named otherwise
    // would never be found by it.
    const std::vector<std::string> outside = numfmt::charactersOutsideCp1252(file);
    if (outside.empty()) return {};
    std::string list;
    for (const auto& c : outside) list += (list.empty() ? "" : " ") + c;
    return "The location name '" + locationName +
           "' cannot be used for the Furrowin files: these characters cannot be written in their names: " + list;
}

FurrowinTable FurrowinFileTable(const LocationExport& input) {
    return Table(input, [](auto v) { return numfmt::forcedPointFixed(v, 1); }, "0");
}

FurrowinTable FurrowinPrintTable(const LocationExport& input, const numfmt::Locale& locale) {
    return Table(
        input, [&](auto v) { return numfmt::rightAlignCut(numfmt::formatNumber(v, 2, locale), 10); },
        numfmt::rightAlignCut("0", 10));
}

Single EffectiveRainfall(Single rainfall) {
    const double p = rainfall;
    const double eff = p < 250 ? p * (125 - 0.2 * p) / 125 : 0.1 * p + 125;
    return static_cast<Single>(numfmt::roundDecimalsHalfEven(eff, 2));
}

FurrowinFiles FurrowinContents(const std::filesystem::path& catalogueFile, const LocationExport& in,
                               const FurrowinOptions& options) {
    detail::RequireEstimates(in, FurrowinVariables, "The Furrowin files need");
    const numfmt::Locale& loc = options.Locale;
    const std::string base = CatalogueBaseName(catalogueFile.string());
    FurrowinFiles f;

    if (options.ListMode) {
        if (options.NewFile) f.Catalogue.push_back(numfmt::general(options.ListCount, loc) + ' ' + base);
    } else {
        f.Catalogue.push_back("1 " + base);
    }
    std::string fileName = FurrowinFileName(in.LocationName);
    if (options.WrittenNames) fileName = options.WrittenNames->Distinct(fileName);
    f.FileName = fileName;
    f.Catalogue.push_back(fileName + '\t' + numfmt::general(in.Current.Longitude, loc) + ' ' +
                          numfmt::general(in.Current.Latitude, loc) + ' ' +
                          numfmt::general(in.Current.Altitude, loc));

    const FurrowinTable table = FurrowinFileTable(in);
    f.PenName = fileName + ".PEN";
    f.Pen.push_back(detail::Quoted(base) + ',' + detail::Quoted(in.LocationName) + ',' +
                    numfmt::forcedPoint(in.Calc.Altitude, "####") + ',' +
                    numfmt::forcedPoint(in.Calc.Latitude, "###.00") + ",\"N.L.\"," +
                    numfmt::forcedPoint(in.Calc.Longitude, "####.00") + ",\" 01\"");
    for (std::size_t m = 1; m <= 12; ++m) {
        std::string line;
        for (std::size_t c = 1; c <= 6; ++c) {
            const std::string& cell = table[m][c];
            line += numfmt::charCount(cell) < 6 ? numfmt::padRight(cell, 6) : cell + ' ';
        }
        line += table[m][7];
        f.Pen.push_back(std::move(line));
    }
    f.Pen.emplace_back("\x1A");
    f.Pen.emplace_back();

    f.CliName = fileName + ".CLI";
    f.Cli.push_back(detail::Quoted(in.LocationName) + ",\"\",\" 4\",0,0,0,0,0,0");
    for (std::size_t m = 1; m <= 12; ++m) {
        // Unclamped: the rainfall table shows the estimates as they are.
        const Single pet = numfmt::roundDecimalsHalfEven(in.Results[5].Best[m], 2);
        const Single rain = numfmt::roundDecimalsHalfEven(in.Results[3].Best[m], 2);
        const Single eff = EffectiveRainfall(rain);
        f.Cli.push_back(numfmt::rightAlignCut(numfmt::general(pet, loc), 10) + '\t' +
                        numfmt::rightAlignCut(numfmt::general(rain, loc), 10) + '\t' +
                        numfmt::rightAlignCut(numfmt::general(eff, loc), 10));
    }
    return f;
}

numfmt::ChangedNames Furrowin(const std::filesystem::path& catalogueFile, const LocationExport& input,
                              const FurrowinOptions& options) {
    if (const std::string problem = FurrowinNameProblem(input.LocationName); !problem.empty())
        throw numfmt::TextFileError(problem);
    const FurrowinFiles f = FurrowinContents(catalogueFile, input, options);
    using Mode = numfmt::TextFileWriter::Mode;

    auto openOrThrow = [](numfmt::TextFileWriter& w, const std::filesystem::path& p, Mode mode) {
        if (!w.open(p, mode)) throw numfmt::TextFileError(w.error());
    };
    // The location's name, and the catalogue's, which its files carry.
    std::vector<numfmt::NameInText> names = NameForms(input.LocationName);
    for (numfmt::NameInText& n : NameForms(CatalogueBaseName(catalogueFile.string()))) names.push_back(std::move(n));
    numfmt::TextFileWriter catalogue;
    numfmt::TextFileWriter pen;
    numfmt::TextFileWriter cli;
    if (!options.CatalogueLines) {
        openOrThrow(catalogue, catalogueFile, options.NewFile ? Mode::Replace : Mode::Append);
        detail::WriteLines(catalogue, f.Catalogue, names);
    }
    openOrThrow(pen, options.FileFolder / f.PenName, Mode::Replace);
    openOrThrow(cli, options.FileFolder / f.CliName, Mode::Replace);
    detail::WriteLines(pen, f.Pen, names);
    detail::WriteLines(cli, f.Cli, names);
    // The files and the catalogue that lists them are put in place together,
    // so a full disk or a target that cannot be replaced leaves all as they were.
    if (options.CatalogueLines) {
        numfmt::CommitTogether({&pen, &cli}, {catalogueFile});
        options.CatalogueLines->insert(options.CatalogueLines->end(), f.Catalogue.begin(), f.Catalogue.end());
    } else {
        numfmt::CommitTogether({&pen, &cli, &catalogue});
    }
    if (options.WrittenNames) options.WrittenNames->Add(f.FileName);
    numfmt::ChangedNames changed = catalogue.changedNames();
    changed.merge(pen.changedNames());
    changed.merge(cli.changedNames());
    return changed;
}

PrintLines PrintFurrowin(const LocationExport& in, const numfmt::Locale& locale) {
    detail::RequireEstimates(in, FurrowinVariables, "The Furrowin files need");
    const FurrowinTable table = FurrowinPrintTable(in, locale);
    std::vector<std::string> lines;
    lines.emplace_back(" ");
    lines.push_back("\" \"," + detail::Quoted(in.LocationName) + " ,    " + numfmt::formatMask(in.Calc.Altitude, "####", locale) +
                    ", " + numfmt::formatMask(in.Calc.Latitude, "###.00", locale) + ",\" \", " +
                    numfmt::formatMask(in.Calc.Longitude, "####.00", locale));
    for (std::size_t row = 1; row <= 13; ++row) {
        std::string line;
        for (std::size_t c = 1; c <= 7; ++c) line += numfmt::rightAlignCut(table[row][c], 10) + ' ';
        lines.push_back(std::move(line));
    }
    return detail::ToPrintLines(lines, locale);
}

} // namespace tavisol::exports
