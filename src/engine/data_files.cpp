#include "engine/data_files.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <optional>
#include <system_error>

#include "numfmt/textread.h"

namespace tavisol::engine {

namespace {

// Code points of Windows-1252 bytes 0x80..0x9F (the rest equal Latin-1).
constexpr char32_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void AppendUtf8(std::string &out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

// For a number text that is too far from 1 for a Single: true when it is
// too small rather than too large. The power of ten of its first significant
// digit plus its exponent decides; texts of any length are fine.
bool BelowOne(std::string_view s) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '-' || s[i] == '+'))
        ++i;
    const std::size_t mantissaEnd = std::min(s.find_first_of("eE", i), s.size());
    const std::size_t point = std::min(s.find('.', i), mantissaEnd);
    std::size_t first = i;
    while (first < mantissaEnd && (s[first] == '0' || s[first] == '.'))
        ++first;
    if (first == mantissaEnd)
        return true; // zero
    long long power = first < point ? static_cast<long long>(point - first - 1)
                                    : -static_cast<long long>(first - point);
    long long exponent = 0;
    std::size_t e = mantissaEnd + 1;
    const bool negative = e < s.size() && s[e] == '-';
    if (e < s.size() && (s[e] == '-' || s[e] == '+'))
        ++e;
    for (; e < s.size() && exponent < 1000000000000LL; ++e)
        exponent = exponent * 10 + (s[e] - '0');
    power += negative ? -exponent : exponent;
    return power < 0;
}

// Reader of list input: fields end at a comma or a line end; a record may
// stand on one line or spread over several.
class ListInput {
public:
    ListInput(std::string_view bytes, const std::string &source) : source_(source) {
        // A file saved with a UTF-8 byte-order mark holds UTF-8 names.
        const numfmt::FileText file = numfmt::TextOfFile(bytes);
        text_ = file.text;
        utf8_ = file.utf8;
    }

    // Skips blanks and line ends; true when nothing but them is left.
    bool AtEnd() {
        SkipBlanksAndLineEnds();
        return pos_ >= text_.size();
    }

    Single ReadNumber(std::size_t record, int field) {
        const std::string_view token = ReadToken(record, field, /*isNumber=*/true);
        std::string_view digits = token;
        // One sign only: "+-10" is no number.
        if (!digits.empty() && digits.front() == '+' && !(digits.size() > 1 && digits[1] == '-'))
            digits.remove_prefix(1);
        Single value = 0;
        auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        const bool whole = !digits.empty() && end == digits.data() + digits.size();
        if (whole && ec == std::errc::result_out_of_range && BelowOne(digits)) {
            // Smaller than the smallest single-precision value: its nearest one is 0.
            value = digits.front() == '-' ? -0.0f : 0.0f;
            ec = std::errc();
        }
        if (whole && ec == std::errc::result_out_of_range)
            throw Failure("Number too large for single precision " + Quote(token), record, field);
        if (!whole || ec != std::errc() || !std::isfinite(value))
            throw Failure("Bad number " + Quote(token), record, field);
        return value;
    }

    std::string ReadText(std::size_t record, int field) {
        // A text field ends at the line end too: nothing between the last
        // comma and the line end is an empty text, not the next line.
        if (afterComma_) {
            SkipBlanks();
            if (pos_ >= text_.size() || IsLineEnd(text_[pos_])) {
                SkipLineEnd();
                afterComma_ = false;
                return {};
            }
        }
        const std::string_view raw = ReadToken(record, field, /*isNumber=*/false);
        return utf8_ ? std::string(raw) : Windows1252ToUtf8(raw);
    }

private:
    void SkipBlanks() {
        while (pos_ < text_.size() && IsBlank(text_[pos_]))
            ++pos_;
    }
    void SkipBlanksAndLineEnds() {
        while (pos_ < text_.size() && (IsBlank(text_[pos_]) || IsLineEnd(text_[pos_])))
            ++pos_;
    }
    void SkipLineEnd() {
        if (pos_ < text_.size() && text_[pos_] == '\r')
            ++pos_;
        if (pos_ < text_.size() && text_[pos_] == '\n')
            ++pos_;
    }

    std::string_view ReadToken(std::size_t record, int field, bool isNumber) {
        SkipBlanksAndLineEnds();
        if (pos_ >= text_.size())
            throw EngineError(ErrorKind::BadStationRecord,
                              "The file ends inside record " + std::to_string(record) + " (field " +
                                  std::to_string(field) + " missing) of " + source_,
                              source_);
        std::string_view value;
        if (text_[pos_] == '"') {
            const std::size_t close = text_.find('"', pos_ + 1);
            if (close == std::string_view::npos)
                throw Failure("Unclosed quote " + Quote(text_.substr(pos_)), record, field);
            value = text_.substr(pos_ + 1, close - pos_ - 1);
            pos_ = close + 1;
            // Anything between the closing quote and the delimiter is dropped.
            while (pos_ < text_.size() && text_[pos_] != ',' && !IsLineEnd(text_[pos_]))
                ++pos_;
        } else {
            const std::size_t start = pos_;
            while (pos_ < text_.size() && text_[pos_] != ',' && !IsLineEnd(text_[pos_]) &&
                   !(isNumber && IsBlank(text_[pos_])))
                ++pos_;
            value = text_.substr(start, pos_ - start);
            SkipBlanks();
        }
        afterComma_ = false;
        if (pos_ < text_.size()) {
            if (text_[pos_] == ',') {
                ++pos_;
                afterComma_ = true;
            } else if (IsLineEnd(text_[pos_])) {
                SkipLineEnd();
            }
        }
        return value;
    }

    // The text quoted as a message shows it: short, controls visible.
    std::string Quote(std::string_view raw) const { return numfmt::QuoteFileText(raw, utf8_); }

    EngineError Failure(const std::string &what, std::size_t record, int field) const {
        return EngineError(ErrorKind::BadStationRecord,
                           what + " in field " + std::to_string(field) + " of record " + std::to_string(record) +
                               " of " + source_,
                           source_);
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    std::string source_;
    bool utf8_ = false;
    bool afterComma_ = false; // the last field ended at a comma
};

// The length of the bytes up to and with the last line end; 0 without one.
std::size_t WholeLines(std::string_view bytes) {
    const void *lf = ::memrchr(bytes.data(), '\n', bytes.size());
    const void *cr = ::memrchr(bytes.data(), '\r', bytes.size());
    const char *last = static_cast<const char *>(lf ? lf : cr);
    if (lf && cr)
        last = std::max(static_cast<const char *>(lf), static_cast<const char *>(cr));
    return last ? static_cast<std::size_t>(last - bytes.data()) + 1 : 0;
}

// Real records take about a hundred bytes; a station file longer than the
// record limit at this many bytes a record is no station file, and its read
// ends there whatever it holds.
constexpr std::size_t MaxStationRecordBytes = 2048;
constexpr std::size_t MaxStationFileBytes = static_cast<std::size_t>(MaxStationRecords) * MaxStationRecordBytes;

} // namespace

std::string Windows1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x80)
            out += ch;
        else if (b < 0xA0)
            AppendUtf8(out, Cp1252High[b - 0x80]);
        else
            AppendUtf8(out, b);
    }
    return out;
}

StationList ParseStationRecords(std::string_view text, const std::string &sourceName, std::size_t maxRecords) {
    ListInput input(text, sourceName);
    StationList records;
    while (!input.AtEnd()) {
        if (records.size() >= maxRecords)
            throw EngineError(ErrorKind::TooManyStations,
                              "Too many station records (more than " + std::to_string(MaxStationRecords) +
                                  ") while reading " + sourceName,
                              sourceName);
        const std::size_t n = records.size() + 1;
        StationRecord r;
        r.Latitude = input.ReadNumber(n, 1);
        r.Longitude = input.ReadNumber(n, 2);
        r.Altitude = input.ReadNumber(n, 3);
        for (int m = 1; m <= 12; ++m)
            r.Values[m] = input.ReadNumber(n, 3 + m);
        r.Name = input.ReadText(n, 16);
        r.Country = input.ReadText(n, 17);
        records.push_back(std::move(r));
    }
    return records;
}

std::shared_ptr<const StationList> PlainDataFiles::ReadStationFile(const std::filesystem::path &file,
                                                                   std::size_t maxRecords) {
    std::string content;
    // A file beyond any real station file is checked against the record limit
    // while it is read, so that a huge one fails once its records are too many,
    // and is read no further than the largest a station file may be.
    std::size_t nextCheck = 8u << 20;
    std::optional<EngineError> tooMany;
    const auto recordsTooMany = [&](std::string_view bytes) {
        // Whole lines only, so no field is cut; anything but too many records
        // is left for the whole file to decide.
        const std::size_t end = WholeLines(bytes);
        if (end == 0)
            return false;
        try {
            ParseStationRecords(bytes.substr(0, end), file.string(), maxRecords);
        } catch (const EngineError &e) {
            if (e.kind() == ErrorKind::TooManyStations)
                tooMany = e;
        }
        return tooMany.has_value();
    };
    const auto going = [&](std::string_view bytes) {
        if (bytes.size() < nextCheck)
            return true;
        nextCheck = bytes.size() * 2;
        return !recordsTooMany(bytes);
    };
    if (const auto failure = numfmt::ReadFileStartWhile(file, MaxStationFileBytes + 1, content, going))
        throw EngineError(ErrorKind::FileNotFound, *failure, file);
    if (!tooMany && content.size() > MaxStationFileBytes && !recordsTooMany(content))
        throw EngineError(ErrorKind::TooManyStations,
                          "Station file too large (more than " + std::to_string(MaxStationFileBytes) + " bytes, " +
                              std::to_string(MaxStationRecordBytes) + " for each of " +
                              std::to_string(MaxStationRecords) + " records) while reading " + file.string(),
                          file);
    if (tooMany)
        throw *tooMany;
    return std::make_shared<const StationList>(ParseStationRecords(content, file.string(), maxRecords));
}

std::uint8_t PlainDataFiles::ReadRasterByte(const std::filesystem::path &raster, std::uint64_t offset) {
    std::string byte;
    std::uint64_t size = 0;
    if (const auto failure = numfmt::ReadFileAt(raster, offset, 1, byte, &size))
        throw EngineError(ErrorKind::FileNotFound, *failure, raster);
    // A raster of any other length is some other file, whatever its bytes read as.
    if (size != ElevationRasterBytes || byte.empty())
        throw EngineError(ErrorKind::BadRasterRead,
                          "The elevation raster " + raster.string() + " is " + std::to_string(size) +
                              " bytes long; it must be " + std::to_string(ElevationRasterBytes) +
                              " bytes, one for each of its 4320 x 2160 cells",
                          raster);
    return static_cast<std::uint8_t>(byte[0]);
}

} // namespace tavisol::engine
