#pragma once

// The list window's own copy of the estimation settings: its key filters, the
// value each box stores as it is typed into, and the copy and check of all
// boxes before a run. The boxes are the settings dialog's set of fields
// (dialogs::SettingsFields); only the list window's differences live here.

#include <optional>

#include "engine/state.h"
#include "shell/dialoglogic.h"

namespace tavisol::batch {

// The settings dialog's filters, except the station count: its "-" and "."
// show their message and then still reach the box.
dialogs::KeyDecision BatchSettingsKey(dialogs::SettingsField field, char32_t key);

// A station count as the engine stores it: rounded, halves to even, and held
// to the 16-bit range (a longer number typed into the box cannot overflow it).
engine::Integer StationCount(double value);

// Typing into a box stores its value in the settings at once: power, minimum
// and maximum distance, station count, the two altitudes. The shadow box
// stores nothing until the run. A value beyond single precision (a long run
// of digits) is stored as the infinity it reads as: the settings door
// (SetSharedSettings), which every typed value passes, keeps in force what
// the settings dialog would refuse.
void StoreTypedSetting(dialogs::SettingsField field, const std::string &text,
                       engine::EngineSettings &settings);

// The station count box's message when the settings would not take its
// count (dialogs::StationCountAccepted): the count in force stays.
std::optional<Message> RefusedStationCount(const std::string &text);

// Before a run starts: the message of the first box (in the order of the
// checks below) whose value the settings would not take: a text that reads
// as an infinity (beyond single precision; the station count beyond a
// double), a station count outside 1..20. No run can use it. The box's own
// message where the list has one, else the settings dialog's.
std::optional<Message> RefusedBatchSetting(const dialogs::SettingsFields &fields);

// Before every run: all boxes into the settings, then the checks in order;
// the first that fails shows its message and ends the checks. Nothing stops
// the run; a few checks correct a value (station count 20, minimum distance
// 0.1 km). The boxes keep their texts; a value beyond single precision is
// never stored.
void ValidateBatchSettings(const dialogs::SettingsFields &fields, engine::EngineSettings &settings,
                           const MessageSink &show);

} // namespace tavisol::batch
