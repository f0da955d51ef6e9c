#include "batch/locations.h"

#include <cmath>
#include <stdexcept>

#include "numfmt/numfmt.h"
#include "numfmt/textfile.h"
#include "numfmt/textread.h"

namespace tavisol::batch {

namespace {

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

std::vector<std::string_view> SplitCommas(std::string_view s) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = s.find(',', start);
        if (comma == std::string_view::npos) {
            fields.push_back(s.substr(start));
            return fields;
        }
        fields.push_back(s.substr(start, comma - start));
        start = comma + 1;
    }
}

using numfmt::toSingle;

// Skipped lines that get a message each before the reader offers to stop.
constexpr std::size_t SkippedLinesShownAlone = 5;

bool IsBlankField(std::string_view f) { return f.find_first_not_of(" \t") == std::string_view::npos; }

// Every character decodes: the text kit's rules (no overlong forms, no
// surrogates).
bool IsValidUtf8(std::string_view s) {
    char32_t cp = 0;
    for (std::size_t i = 0, len = 0; i < s.size(); i += len)
        if ((len = numfmt::decodeUtf8Char(s, i, cp)) == 0)
            return false;
    return true;
}

} // namespace

EntryPoint ReadEntryPoint(const ListEntry &entry, const numfmt::Locale &loc) {
    auto read = [&loc](const std::string &text) {
        const std::optional<double> v = numfmt::parseRegional(text, loc);
        if (!v)
            throw std::runtime_error("Type mismatch");
        return toSingle(*v);
    };
    return {read(entry.Longitude), read(entry.Latitude), read(entry.Altitude)};
}

std::string GeneratedEntryName(float longitude, float latitude, float altitude,
                               const numfmt::Locale &loc) {
    return " Lon : " + numfmt::general(longitude, loc) + " Lat : " + numfmt::general(latitude, loc) +
           " Alt : " + numfmt::general(altitude, loc);
}

FileLine ReadLocationLine(std::string_view line, const ElevationFn &elevation,
                          const numfmt::Locale &loc) {
    FileLine r;
    const std::vector<std::string_view> fields = SplitCommas(TrimBlanks(line));
    std::size_t first = 0;
    switch (fields.size()) {
    case 2:
    case 3:
        break;
    case 4:
        first = 1;
        break;
    default:
        r.name = "Wrong Data";
        r.reason = std::to_string(fields.size()) + (fields.size() == 1 ? " field" : " fields") +
                   " where 2, 3 or 4 are read: " + numfmt::QuoteFileText(TrimBlanks(line), true);
        return r;
    }
    // Anything after the number but blanks makes the field no number: a field
    // cut short at a decimal comma or a semicolon would be another place.
    auto number = [](std::string_view f) -> std::optional<float> {
        const std::optional<double> v = numfmt::valWholeNumber(f);
        return v ? std::optional<float>(toSingle(*v)) : std::nullopt;
    };
    // Why the line is skipped, naming the field as the file has it.
    auto fieldReason = [&](std::size_t field, const char *what, const char *why) {
        r.reason = "field " + std::to_string(field + 1) + " (" + what + " " +
                   numfmt::QuoteFileText(TrimBlanks(fields[field]), true) + ") " + why;
    };
    // An empty altitude field, as a trailing comma leaves, is no altitude given.
    const bool altitudeGiven = fields.size() > 2 && !IsBlankField(fields[first + 2]);
    // Three numbers and a trailing comma are no name and a point: the comma
    // would make the longitude a name.
    if (fields.size() == 4 && !altitudeGiven && number(fields[0])) {
        r.name = "Wrong Data";
        fieldReason(3, "altitude", "is empty after three numbers, as a comma at the end of the line leaves it");
        return r;
    }
    const std::optional<float> lon = number(fields[first]);
    const std::optional<float> lat = number(fields[first + 1]);
    const std::optional<float> alt = altitudeGiven ? number(fields[first + 2]) : std::nullopt;
    const bool named = fields.size() == 4;
    if (!lon || !lat || (altitudeGiven && !alt)) {
        // Read as 0, such a field would put the location at 0, 0.
        r.name = named ? std::string(TrimBlanks(fields[0])) : "Wrong Data";
        if (!lon)
            fieldReason(first, "longitude", "holds no number");
        else if (!lat)
            fieldReason(first + 1, "latitude", "holds no number");
        else
            fieldReason(first + 2, "altitude", "holds no number");
        return r;
    }
    r.longitude = *lon;
    r.latitude = *lat;
    // Comparisons that a NaN fails, so a NaN is outside every range.
    const bool longitudeInRange = r.longitude >= -180 && r.longitude <= 180;
    const bool latitudeInRange = r.latitude >= -90 && r.latitude <= 90;
    const bool pointInRange = longitudeInRange && latitudeInRange;
    if (!altitudeGiven) {
        // Only a point on the globe has a raster cell; any other is refused below.
        if (pointInRange)
            r.altitude = static_cast<float>(elevation(r.longitude, r.latitude));
    } else {
        r.altitude = *alt;
    }
    r.name = named ? std::string(TrimBlanks(fields[0])) : GeneratedEntryName(r.longitude, r.latitude, r.altitude, loc);
    r.valid = pointInRange && r.altitude >= -600 && r.altitude <= 10000;
    if (!longitudeInRange)
        fieldReason(first, "longitude", "is outside -180 to 180");
    else if (!latitudeInRange)
        fieldReason(first + 1, "latitude", "is outside -90 to 90");
    else if (!r.valid)
        fieldReason(first + 2, "altitude", "is outside -600 to 10000");
    if (r.valid)
        r.entry = {r.name, numfmt::general(r.longitude, loc), numfmt::general(r.latitude, loc),
                   numfmt::general(r.altitude, loc)};
    return r;
}

Message SkippedLineMessage(const std::string &name) {
    return {"Location " + name + " Skipped : Longitude or Latitude or Altitude not valid.", "",
            MsgIcon::Information};
}

Message SkippedLineMessage(const FileLine &line, std::size_t lineNumber, const std::string &sourceName) {
    // The name may come from the file: shown short, with its controls visible.
    Message m = SkippedLineMessage(numfmt::ShowFileText(line.name, true));
    m.text += "\rLine " + std::to_string(lineNumber) + (sourceName.empty() ? "" : " of " + sourceName) + ": " +
              line.reason + ".";
    return m;
}

LocationList ReadLocationText(std::string_view text, const ElevationFn &elevation,
                              const numfmt::Locale &loc, const MessageSink &skipped,
                              const std::string &sourceName) {
    LocationList list;
    ReadLocationText(
        text, elevation, loc, skipped, [&list](const ListEntry &e) { list.push_back(e); }, sourceName);
    return list;
}

void ReadLocationText(std::string_view text, const ElevationFn &elevation, const numfmt::Locale &loc,
                      const MessageSink &skipped, const std::function<void(const ListEntry &)> &add,
                      const std::string &sourceName) {
    // Spreadsheet programs start the file with a byte-order mark.
    const numfmt::FileText file = numfmt::TextOfFile(text);
    const std::string ofSource = sourceName.empty() ? "" : " of " + sourceName;
    std::size_t lineNumber = 0, skippedLines = 0, stoppedAt = 0, added = 0;
    bool quiet = false; // the user chose to read on without a message for each line
    std::string_view rest = file.text, raw;
    while (numfmt::TakeTextLine(rest, raw)) {
        ++lineNumber;
        const std::string line = IsValidUtf8(raw) ? std::string(raw) : numfmt::cp1252ToUtf8(raw);
        FileLine r = ReadLocationLine(line, elevation, loc);
        if (r.valid) {
            // The rest of a longer file is not read, nor held.
            if (added == MaxListedLocations) {
                if (skipped)
                    skipped({"A list holds at most " + std::to_string(MaxListedLocations) +
                                 " locations: the reading stopped at line " + std::to_string(lineNumber) +
                                 ofSource + ", after " + std::to_string(lineNumber - 1) + " lines were read.",
                             "", MsgIcon::Information});
                break;
            }
            add(r.entry);
            ++added;
            continue;
        }
        ++skippedLines;
        if (!skipped || quiet)
            continue;
        Message m = SkippedLineMessage(r, lineNumber, sourceName);
        if (skippedLines <= SkippedLinesShownAlone) {
            skipped(m);
            continue;
        }
        // A wrong file, such as one separated by semicolons, would show a box
        // for every line.
        m.text += "\rRead the rest" + ofSource +
                  " without a message for each skipped line? No stops the reading here.";
        m.icon = MsgIcon::Question;
        m.buttons = MsgButtons::YesNo;
        if (!skipped(m)) {
            stoppedAt = lineNumber;
            break;
        }
        quiet = true;
    }
    if (quiet || stoppedAt != 0)
        skipped({std::to_string(skippedLines) + " lines" + ofSource + " were skipped" +
                     (stoppedAt != 0 ? "; the reading stopped at line " + std::to_string(stoppedAt) : "") + ".",
                 "", MsgIcon::Information});
}

std::optional<std::string> ReadLocationFile(const std::filesystem::path &file, const ElevationFn &elevation,
                                            const numfmt::Locale &loc, const MessageSink &skipped,
                                            const std::function<void(const ListEntry &)> &add) {
    // The locations a list holds, a line each far shorter than a kilobyte.
    constexpr std::size_t MaxLocationFileBytes = (MaxListedLocations + 1) * 1024;
    std::string text;
    if (auto failure = numfmt::ReadWholeFile(file, MaxLocationFileBytes, text,
                                             numfmt::LargerThanAny("location list", file, MaxLocationFileBytes)))
        return failure;
    ReadLocationText(text, elevation, loc, skipped, add, file.string());
    return std::nullopt;
}

ListEntry GridEntry(float longitude, float latitude, int altitude, const numfmt::Locale &loc) {
    ListEntry e;
    e.Longitude = numfmt::formatMask(longitude, "##0.00", loc);
    e.Latitude = numfmt::formatMask(latitude, "##0.00", loc);
    e.Altitude = numfmt::formatMask(altitude, "###0", loc);
    e.Text = " Lon : " + e.Longitude + " Lat : " + e.Latitude + " Alt : " + e.Altitude;
    return e;
}

} // namespace tavisol::batch
