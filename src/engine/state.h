#pragma once

// The estimation engine's records and state. Engine numbers are 32-bit floats
// (Single) and 16-bit integers (Integer), as the results depend on exactly
// these widths. Every array that the engine indexes by month, neighbour or
// station is 1-based; element 0 is never filled or read.

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tavisol::engine {

using Single = float;
using Integer = std::int16_t;

inline constexpr Integer True = -1;
inline constexpr Integer False = 0;

// Altitude or direction not given.
inline constexpr Single Missing = 9999.0f;

inline constexpr int MaxNeighbours = 20;       // neighbour records 1..20
inline constexpr int SummaryRecord = 21;       // record of means over the active neighbours
inline constexpr int MaxStationRecords = 30000;

// A two-character text such as a compass sector ("NE", "N ", "X ") or blank.
using CompassText = std::string;
inline const CompassText BlankCompassText = "  ";

// Twelve months and the annual value, indexed 1..13 (0 unused).
using Months13 = std::array<Single, 14>;

// One station of the station array, or one neighbour.
struct StationRecord {
    Single Latitude = 0;
    Single Longitude = 0;
    Single Altitude = 0;           // metres; 9999 = not given
    std::array<Single, 14> Values{}; // 1..12 months, 13 annual; 0 unused
    Single Distance = 0;           // km from the computation point
    Single Direction = 0;          // degrees from the point to the station; 9999 = none
    std::string Name;              // UTF-8
    std::string Country;           // UTF-8
    Integer Active = 0;            // 1 = used by the estimate
    CompassText Compass = BlankCompassText;    // compass sector of Direction
    Single Weight = 0;             // inverse-distance weight of the estimate
};

// Result of one estimate of one variable at one point. Every field is
// indexed 1..13 (months, then the annual value).
struct EstimateResult {
    Months13 Best{};
    Months13 Bias{};
    Months13 StdErr{};
    Months13 AbsGrad{};     // per 100 km
    Months13 DirGrad{};     // degrees
    std::array<CompassText, 14> DirGradText = BlankTexts();
    Months13 VertGrad{};    // per metre
    Months13 LonGradDeg{};  // per degree of longitude
    Months13 LatGradDeg{};  // per degree of latitude
    Months13 LonGrad{};     // per 100 km
    Months13 LatGrad{};     // per 100 km
    Months13 ExplVar{};
    Months13 Harmonics{};   // 1..6 sine, 7..12 cosine coefficients, 13 the mean

    static std::array<CompassText, 14> BlankTexts() {
        std::array<CompassText, 14> t;
        t.fill(BlankCompassText);
        return t;
    }
};

// Warnings of the last estimate; flags are True (-1) or False (0).
struct WarningFlags {
    Integer High = 0;
    Integer Low = 0;
    Integer Lonely = 0;
    Integer Strange = 0;
    Integer Doubled = 0;
    Integer Few = 0;
    Integer Hit = 0;
    Integer StrangeMonth = 0;    // 1..12, meaningful while Strange is True
    Integer StrangeStation = 0;  // neighbour number, meaningful while Strange is True
};

// The settings that the settings dialog and the list window write. The program
// owns one shared instance; a run copies it into its EngineState when it starts.
// All zero until SetInitialValues gives the defaults.
struct EngineSettings {
    Single MaxDistance = 0;      // km
    Single MinDistance = 0;      // km, hit radius
    Integer MaxStations = 0;     // 1..20 (limited to that range by the selection)
    Single IdwPower = 0;
    Single MinAltitude = 0;      // m
    Single MaxAltitude = 0;      // m
    Integer AltWindowOn = 0;     // 1 = neighbours need a known altitude inside the window
    Integer GradCorrOn = 0;
    Integer AltCorrOn = 0;
    Integer ShadowOn = 0;
    Single ShadowCoef = 0;
    // Fixed by SetInitialValues only.
    Single MinActiveForErrors = 0;
    Single ZeroTolerance = 0;
    Single MapExtentFactor = 0;

    bool operator==(const EngineSettings &) const = default;
};

// The workbench's check boxes neighbourCheck1..neighbourCheck20 and their frame activesFrame, held as
// data so that the engine never refers to a window; the workbench mirrors them.
struct WorkbenchSelection {
    std::array<Integer, 21> Check{};       // 1..20: 1 ticked, 0 clear
    std::array<bool, 21> CheckVisible{};   // 1..20
    bool activesFrameVisible = false;
};

enum class MessageIcon { Critical, Information, Question, Exclamation };

// The selection criterion that left a run without any neighbour.
enum class NoNeighbourCause {
    None,            // neighbours were found
    NoStation,       // the station files hold no station
    Distance,        // none within the maximum distance (and nearer than 20000 km)
    AltitudeWindow,  // some within it, none with a known altitude inside the window
};

// A message box that the engine itself raises; the program shows it.
struct EngineMessage {
    std::string Text;
    std::string Title;
    MessageIcon Icon = MessageIcon::Information;
};

struct EngineCallbacks {
    // Lets pending window events through; empty = nothing to do.
    std::function<void()> DoEvents;
    // Shows a message box (OK button only); empty = the message is dropped.
    std::function<void(const EngineMessage &)> ShowMessage;
};

enum class ErrorKind {
    FileNotFound,     // a station file or the elevation raster is missing or unreadable
    TooManyStations,  // more than 30000 station records in one run
    BadStationRecord, // a field that is not a number, a file ending inside a record
    BadRasterRead,    // the elevation raster is shorter than its layout
    Overflow,         // a floating-point result out of range
};

// A failure that the engine passes to its caller; what() is a description
// fit for a message box and names the file concerned.
class EngineError : public std::runtime_error {
public:
    EngineError(ErrorKind kind, const std::string &description, std::filesystem::path file = {})
        : std::runtime_error(description), kind_(kind), file_(std::move(file)) {}
    ErrorKind kind() const { return kind_; }
    const std::filesystem::path &file() const { return file_; }

private:
    ErrorKind kind_;
    std::filesystem::path file_;
};

class DataFiles;

// What the leave-one-out step worked out for pairs of station positions in
// earlier estimates (distance, weight, direction, shadowed weight), so that
// the next estimate nearby reuses what it would compute again bit for bit.
// Owned by one state: a copy starts empty, a move takes it along.
class LeaveOneOutMemo {
public:
    struct Table;
    struct Counts {
        long long hits = 0;    // shadowed weights reused
        long long misses = 0;  // shadowed weights computed
    };

    LeaveOneOutMemo();
    ~LeaveOneOutMemo();
    LeaveOneOutMemo(const LeaveOneOutMemo &);
    LeaveOneOutMemo &operator=(const LeaveOneOutMemo &);
    LeaveOneOutMemo(LeaveOneOutMemo &&) noexcept;
    LeaveOneOutMemo &operator=(LeaveOneOutMemo &&) noexcept;

    Table &table();  // made on first use
    Counts counts() const;
    void clear();

private:
    std::unique_ptr<Table> table_;
};

// State of one estimate of one variable at one point. One instance per
// computing window, so runs in different windows never share neighbours or
// results. The settings are the inherited EngineSettings fields.
struct EngineState : EngineSettings {
    Integer CurrentVariable = 0;  // 0..7
    Single CalcLatitude = 0;
    Single CalcLongitude = 0;
    Single CalcAltitude = 0;

    // 1..StationCount (element 0 unused). Filled by LoadStationFile and by
    // PrepareNeighbours with PlainSteps; the default PrepareNeighbours leaves
    // it empty and selects straight from the shared station files.
    std::vector<StationRecord> Stations;
    Integer StationCount = 0;

    std::array<StationRecord, 22> Neighbours;  // 1..20 nearest first; 21 the summary
    Integer NeighbourCount = 0;
    // Why NeighbourCount is 0; None otherwise.
    NoNeighbourCause WhyNoNeighbour = NoNeighbourCause::None;
    Integer ActiveCount = 0;
    Integer ActiveWithAltCount = 0;
    Single NeighbourMaxAlt = 0;
    Single NeighbourMinAlt = 0;

    EstimateResult CurResult;
    WarningFlags CurWarnings;

    WorkbenchSelection Workbench;

    // Folder of the station files and the elevation raster (the program's
    // folder followed by TavisolData/).
    std::filesystem::path DataFolder;
    EngineCallbacks Callbacks;
    // How data files are read; empty = the program's shared reader
    // (DefaultDataFiles), which keeps parsed files in memory.
    std::shared_ptr<DataFiles> Files;
    // Runs the steps the long way: every station copied into Stations and
    // measured, azimuths computed anew for every pair and triple. Gives the
    // same results as the default; kept to check the faster path against.
    bool PlainSteps = false;
    // Used by the default steps only; never shared with another state.
    LeaveOneOutMemo LeaveOneOut;

    StationRecord &NeighbourSummary() { return Neighbours[SummaryRecord]; }
    const StationRecord &NeighbourSummary() const { return Neighbours[SummaryRecord]; }

    // Copies the shared settings into this instance at the start of a run.
    void UseSettings(const EngineSettings &settings) { static_cast<EngineSettings &>(*this) = settings; }
    const EngineSettings &Settings() const { return *this; }

    void DoEvents() const {
        if (Callbacks.DoEvents)
            Callbacks.DoEvents();
    }
    void ShowMessage(const EngineMessage &message) const {
        if (Callbacks.ShowMessage)
            Callbacks.ShowMessage(message);
    }
};

// Captions of the eight variables, index 0..7 (UTF-8).
extern const std::array<std::string_view, 8> VariableNames;
// Month names, index 1..12, each exactly 12 characters (index 0 empty).
extern const std::array<std::string_view, 13> MonthNames;

// Gives the settings their defaults.
void SetInitialValues(EngineSettings &settings);
// Gives the settings and the computation point their defaults.
void SetInitialValues(EngineState &state);
// Settings with their defaults.
EngineSettings DefaultSettings();

} // namespace tavisol::engine
