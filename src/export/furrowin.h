#pragma once

// The Furrowin files of an irrigation-planning program: a catalogue that
// lists locations, and per location a monthly climate table (.PEN: maximum
// and minimum temperature, wind in km per day, sunshine hours, PET per day)
// and a monthly rainfall table (.CLI: PET, rainfall, effective rainfall).

#include <array>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "export/export_input.h"
#include "numfmt/textfile.h"

namespace tavisol::exports {

// The names of the .PEN and .CLI files a run over many locations has
// written, so that no location's files replace another's.
class FurrowinFileNames {
public:
    // `name`, or, when files of that name were written already (letter case
    // aside, as the reading system compares names), the name with the first
    // number free: "AB_2", "AB_3", ...
    std::string Distinct(const std::string& name) const;
    void Add(const std::string& name);

private:
    std::set<std::string> written_;  // as compared
};

struct FurrowinOptions {
    bool NewFile = true;   // the catalogue is created or emptied; else appended to
    bool ListMode = false; // a run over the list window's locations
    int ListCount = 0;     // entries in that list (first line of a new list catalogue)
    // Folder of the .PEN and .CLI files; empty = the current working folder.
    std::filesystem::path FileFolder;
    // Regional form of the catalogue's numbers and of the .CLI values.
    numfmt::Locale Locale = numfmt::Locale::english();
    // When set, the catalogue lines are added here instead of to the file (a
    // caller that writes the catalogue itself, once its run has ended well).
    std::vector<std::string>* CatalogueLines = nullptr;
    // When set, the files are named distinct from those named here, and
    // their name is added once they are written.
    FurrowinFileNames* WrittenNames = nullptr;
};

// The monthly climate table, rows 1..12 (row 0 and 13 empty), columns 1..7:
// maximum and minimum temperature, "0", wind km/day, sunshine hours, "0",
// PET mm/day. Clamped (the temperatures are not changed by the clamp).
using FurrowinTable = std::array<std::array<std::string, 8>, 14>;
// One decimal with ".", as the .PEN file holds it.
FurrowinTable FurrowinFileTable(const LocationExport& input);
// Two decimals in the locale's form, right-aligned in 10, as printed.
FurrowinTable FurrowinPrintTable(const LocationExport& input, const numfmt::Locale& locale);

// Effective rainfall of a monthly rainfall P (mm): P (125 - 0.2 P) / 125
// below 250 mm, else 0.1 P + 125; rounded to two decimals.
Single EffectiveRainfall(Single rainfall);

// The name of a location's .PEN and .CLI files, as the catalogue lists it:
// the location name without the characters that file names of the reading
// system cannot hold (\ / : * ? " < > | and control characters) and without
// leading or trailing blanks.
std::string FurrowinFileName(const std::string& locationName);

// Why the Furrowin files cannot be named after the location, "" when they
// can: its file name is none (empty, "." or ".."), a device name of the
// reading system (CON, PRN, AUX, NUL, COM1..COM9, LPT1..LPT9, with any
// extension), too long, or holds characters Windows-1252 cannot write.
std::string FurrowinNameProblem(const std::string& locationName);

struct FurrowinFiles {
    std::vector<std::string> Catalogue;  // lines this call adds to the catalogue
    std::vector<std::string> Pen;
    std::vector<std::string> Cli;
    std::string FileName; // FurrowinFileName, distinct from WrittenNames; the catalogue lists it
    std::string PenName;  // FileName + ".PEN"
    std::string CliName;  // FileName + ".CLI"
};
// The three files' lines for `catalogueFile` (its base name goes into them).
FurrowinFiles FurrowinContents(const std::filesystem::path& catalogueFile, const LocationExport& input,
                               const FurrowinOptions& options);

// Writes the .PEN and .CLI files of the location and adds its lines to the
// catalogue, all or nothing: whatever fails, the old files stay as they were
// and no new one is left. Throws numfmt::TextFileError when a file cannot be
// written or the location's name cannot name files (FurrowinNameProblem).
// Returns the names it wrote with "?" (the catalogue's, whose base name the
// files carry).
numfmt::ChangedNames Furrowin(const std::filesystem::path& catalogueFile, const LocationExport& input,
              const FurrowinOptions& options);

// The printed monthly climate table (15 lines).
PrintLines PrintFurrowin(const LocationExport& input, const numfmt::Locale& locale);

} // namespace tavisol::exports
