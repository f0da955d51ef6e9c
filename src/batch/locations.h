#pragma once

// The list window's list of locations and the two ways of filling it: a text
// file of locations and a regular grid. No Qt: the windows copy these entries
// into their list view and back.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "numfmt/numfmt.h"
#include "shell/message.h"

namespace tavisol::batch {

// One entry of the list: the shown text (also the location's name in a run of
// the export formats) and the three numbers as text in the user's number form.
struct ListEntry {
    std::string Text;
    std::string Longitude; // degrees, east positive
    std::string Latitude;  // degrees, north positive
    std::string Altitude;  // metres

    bool operator==(const ListEntry &) const = default;
};
using LocationList = std::vector<ListEntry>;

// A point read back from an entry.
struct EntryPoint {
    float Longitude = 0;
    float Latitude = 0;
    float Altitude = 0;
};
// Reads the three numbers back with the locale they were written in. Throws
// std::runtime_error("Type mismatch") for a text that is no number.
EntryPoint ReadEntryPoint(const ListEntry &entry, const numfmt::Locale &loc);

// Altitude in whole metres of a point from the elevation raster (0 over
// water). May throw when the raster cannot be read.
using ElevationFn = std::function<int(float longitude, float latitude)>;

// Most locations a list holds: the runs count them in 16 bits.
inline constexpr std::size_t MaxListedLocations = 32767;

// ---- Locations from a file ---------------------------------------------------------

// " Lon : 12.5 Lat : 41.9 Alt : 20": the name of a location read without one.
std::string GeneratedEntryName(float longitude, float latitude, float altitude,
                               const numfmt::Locale &loc);

// One line of a location file read and judged. Blanks around the line and
// around each comma-separated field do not matter: two fields are longitude
// and latitude (altitude from the raster), three add the altitude, four are
// name, longitude, latitude and altitude; any other count is "Wrong Data",
// and so are four fields whose first is a number and whose last is empty (three
// numbers and a trailing comma).
// An empty altitude field is a line without altitude; any other field that
// holds no number, or anything but blanks after its number
// (numfmt::valWholeNumber), makes the line invalid, never 0 nor the number
// it starts with.
struct FileLine {
    bool valid = false;
    ListEntry entry;           // the row to add when valid
    std::string name;          // the name the skip message shows
    float longitude = 0, latitude = 0, altitude = 0;
    std::string reason;        // why an invalid line is skipped, naming the field
};
FileLine ReadLocationLine(std::string_view line, const ElevationFn &elevation,
                          const numfmt::Locale &loc);

// "Location <name> Skipped : Longitude or Latitude or Altitude not valid."
Message SkippedLineMessage(const std::string &name);
// The same for a line of a file, with a second line naming the file, the
// line and why it is skipped (the file's text quoted short, controls visible).
Message SkippedLineMessage(const FileLine &line, std::size_t lineNumber, const std::string &sourceName);

// Reads the whole text of a location file (CR LF, LF or CR lines; a leading
// byte-order mark skipped; UTF-8, or Windows-1252 where a line is no valid
// UTF-8). Valid lines are returned in
// order; each invalid line is reported through `skipped` as it is met, the
// first five of them alone. The sixth one's message asks
// whether to read on without a message for each line (Yes) or stop reading
// there (No); one message at the end then tells how many lines were skipped.
// The reading stops, with a message naming the line, at a location beyond the
// MaxListedLocations a list holds.
// Throws what the elevation lookup throws.
// sourceName names the file in the messages.
LocationList ReadLocationText(std::string_view text, const ElevationFn &elevation,
                              const numfmt::Locale &loc, const MessageSink &skipped,
                              const std::string &sourceName = {});
// The same, handing each valid row to `add` as soon as its line is read, so
// the rows before a failing line stay.
void ReadLocationText(std::string_view text, const ElevationFn &elevation, const numfmt::Locale &loc,
                      const MessageSink &skipped, const std::function<void(const ListEntry &)> &add,
                      const std::string &sourceName = {});

// Reads a location file as ReadLocationText does, naming it in the messages.
// A file that cannot be read, or is larger than any location list, gives
// the failure, naming the file, before any row is added.
std::optional<std::string> ReadLocationFile(const std::filesystem::path &file, const ElevationFn &elevation,
                                            const numfmt::Locale &loc, const MessageSink &skipped,
                                            const std::function<void(const ListEntry &)> &add);

// ---- Grid ------------------------------------------------------------------------------

// " Lon : 5.00 Lat : 40.00 Alt : 123" with the sub-items in the same masks.
ListEntry GridEntry(float longitude, float latitude, int altitude, const numfmt::Locale &loc);

} // namespace tavisol::batch
