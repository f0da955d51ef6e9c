#include "engine/data_files.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>
#include <system_error>

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

// Reader of list input: fields end at a comma or a line end; a record may
// stand on one line or spread over several.
class ListInput {
public:
    ListInput(std::string_view text, const std::string &source) : text_(text), source_(source) {
        // A file saved with a UTF-8 byte-order mark holds UTF-8 names.
        if (text_.substr(0, 3) == "\xEF\xBB\xBF") {
            text_.remove_prefix(3);
            utf8_ = true;
        }
    }

    // Skips blanks and line ends; true when nothing but them is left.
    bool AtEnd() {
        SkipBlanksAndLineEnds();
        return pos_ >= text_.size();
    }

    Single ReadNumber(std::size_t record, int field) {
        const std::string_view token = ReadToken(record, field, /*isNumber=*/true);
        std::string_view digits = token;
        if (!digits.empty() && digits.front() == '+')
            digits.remove_prefix(1);
        Single value = 0;
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size() || !std::isfinite(value))
            throw EngineError(ErrorKind::BadStationRecord,
                              "Bad number \"" + std::string(token) + "\" in field " + std::to_string(field) +
                                  " of record " + std::to_string(record) + " of " + source_,
                              source_);
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
                throw EngineError(ErrorKind::BadStationRecord,
                                  "Unclosed quote in field " + std::to_string(field) + " of record " +
                                      std::to_string(record) + " of " + source_,
                                  source_);
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

    std::string_view text_;
    std::size_t pos_ = 0;
    std::string source_;
    bool utf8_ = false;
    bool afterComma_ = false; // the last field ended at a comma
};

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
    std::error_code ec;
    std::ifstream in;
    if (std::filesystem::is_regular_file(file, ec))
        in.open(file, std::ios::binary);
    if (!in.is_open())
        throw EngineError(ErrorKind::FileNotFound, "File not found: " + file.string(), file);
    std::string content{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad())
        throw EngineError(ErrorKind::FileNotFound, "Cannot read the file " + file.string(), file);
    in.close();
    return std::make_shared<const StationList>(ParseStationRecords(content, file.string(), maxRecords));
}

std::uint8_t PlainDataFiles::ReadRasterByte(const std::filesystem::path &raster, std::uint64_t offset) {
    std::error_code ec;
    std::ifstream in;
    if (std::filesystem::is_regular_file(raster, ec))
        in.open(raster, std::ios::binary);
    if (!in.is_open())
        throw EngineError(ErrorKind::FileNotFound, "File not found: " + raster.string(), raster);
    in.seekg(static_cast<std::streamoff>(offset));
    char byte = 0;
    if (!in || !in.get(byte))
        throw EngineError(ErrorKind::BadRasterRead,
                          "The elevation raster " + raster.string() + " has no cell at byte " +
                              std::to_string(offset + 1),
                          raster);
    return static_cast<std::uint8_t>(byte);
}

} // namespace tavisol::engine
