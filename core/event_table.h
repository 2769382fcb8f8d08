#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarvona {

struct ProgramState;

constexpr int16_t kMaxEvent = 24;

// Style and frequency codes as stored in the settings file.
enum StyleCode : int32_t { kNormal = 0, kMinimized = 1, kMaximized = 2 };
enum FrequencyCode : int32_t {
    kDaily = 0,
    kEveryOtherDay = 1,
    kWeekly = 2,
    kEveryOtherWeek = 3,
    kMonthly = 4,
    kEveryOtherMonth = 5,
    kYearly = 6,
    kOneTime = 7,
    kEveryBoot = 8,
    kDisabled = 9,
};

// The two next-run marks, compared exactly and case-sensitively.
inline const std::string kDueNextRun = "?";
inline const std::string kDueDisabled = "Disabled";

// Sections of the settings file.
inline const std::string kVersionSection = "Tarvona";
inline const std::string kCommandsSection = "Commands";
inline const std::string kDescriptionsSection = "Descriptions";
inline const std::string kRunStyleSection = "RunStyle";
inline const std::string kFrequencySection = "Frequency";
inline const std::string kDueSection = "Due";

// Five parallel arrays indexed by slot; a slot with an empty command is a free one. LoadEvents
// gives them their 25 slots once and they never change size.
struct EventTable {
    std::vector<std::string> EventDescription;
    std::vector<std::string> EventCommand;
    std::vector<int32_t> EventRunStyle;
    std::vector<int32_t> EventFrequency;
    std::vector<std::string> EventDue;
};

// Fills every slot from IniFile; missing keys (or a missing file) give the cleared slot.
void LoadEvents(ProgramState& state);

// Writes "Version", then, unless CancelEdits is set, every key of every slot. Returns false when
// the file could not be written (nobody is told: the caller ends the program as usual).
bool SaveEvents(const ProgramState& state);

// Settings-file names of one slot's keys.
std::string CommandKey(int slot);
std::string DescriptionKey(int slot);
std::string RunStyleKey(int slot);
std::string FrequencyKey(int slot);
std::string DueKey(int slot);

}  // namespace tarvona
