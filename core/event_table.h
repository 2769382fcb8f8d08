#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ini_file.h"

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

// The five keys of a slot, in the order they are read and written.
enum class Field { Command, Description, RunStyle, Frequency, Due };
constexpr std::array<Field, 5> kFields = {Field::Command, Field::Description, Field::RunStyle,
                                          Field::Frequency, Field::Due};
const std::string& SectionOf(Field field);
std::string KeyOf(Field field, int slot);
// A slot's value of one field as the settings file holds it (numbers in decimal).
std::string FieldText(const EventTable& table, Field field, int slot);

// The table as LoadEvents read it, and which of its keys the file held.
struct LoadedTable {
    IniProblem problem = IniProblem::None;  // why the file could not be read, if it could not
    EventTable values;
    std::vector<std::array<bool, kFields.size()>> present;
};

// Fills every slot from IniFile; missing keys (or a missing file) give the cleared slot. False
// when the file is there but could not be read or trusted (Loaded.problem says which): every
// slot is then cleared, and nothing will ever be written over that file.
bool LoadEvents(ProgramState& state);

// One read-change-replace of the settings file, under the state lock. Refused, leaving the
// file alone, when the file has lost a key that LoadEvents found: somebody rewrote or cut it
// meanwhile, and writing the remains back would lose the table.
bool ChangeSettings(ProgramState& state, const std::function<void(IniDocument&)>& change);

// Writes "Version", then, unless CancelEdits is set, every key of every slot whose value differs
// from what LoadEvents read (or that the file does not hold). Returns false when the file could
// not be written.
bool SaveEvents(ProgramState& state);

}  // namespace tarvona
