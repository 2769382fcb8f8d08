#include "event_table.h"

#include "ini_file.h"
#include "program_state.h"

namespace tarvona {

std::string CommandKey(int slot) {
    return "Command" + std::to_string(slot);
}
std::string DescriptionKey(int slot) {
    return "Description" + std::to_string(slot);
}
std::string RunStyleKey(int slot) {
    return "RunStyle" + std::to_string(slot);
}
std::string FrequencyKey(int slot) {
    return "Frequency" + std::to_string(slot);
}
std::string DueKey(int slot) {
    return "Due" + std::to_string(slot);
}

void LoadEvents(ProgramState& state) {
    const size_t slots = static_cast<size_t>(ProgramState::MaxEvent) + 1;
    EventTable& table = state.Events;
    table.EventDescription.assign(slots, "");
    table.EventCommand.assign(slots, "");
    table.EventRunStyle.assign(slots, kNormal);
    table.EventFrequency.assign(slots, kDisabled);
    table.EventDue.assign(slots, kDueDisabled);

    // One read of the file answers every key exactly as one profile call per key would.
    const IniDocument ini = IniFile(state.IniFile).Load().value_or(IniDocument());
    for (size_t n = 0; n < slots; ++n) {
        const int slot = static_cast<int>(n);
        table.EventCommand[n] = ini.Get(kCommandsSection, CommandKey(slot)).value_or("");
        table.EventDescription[n] =
            ini.Get(kDescriptionsSection, DescriptionKey(slot)).value_or("");
        table.EventRunStyle[n] = ini.GetInt(kRunStyleSection, RunStyleKey(slot), kNormal);
        table.EventFrequency[n] = ini.GetInt(kFrequencySection, FrequencyKey(slot), kDisabled);
        table.EventDue[n] = ini.Get(kDueSection, DueKey(slot)).value_or(kDueDisabled);
    }
}

bool SaveEvents(const ProgramState& state) {
    const IniFile file(state.IniFile);
    auto ini = file.Load();
    if (!ini) return false;
    ini->Set(kVersionSection, "Version", state.AppVersion);
    if (!state.CancelEdits) {
        const EventTable& table = state.Events;
        for (size_t n = 0; n < table.EventCommand.size(); ++n) {
            const int slot = static_cast<int>(n);
            ini->Set(kCommandsSection, CommandKey(slot), table.EventCommand[n]);
            ini->Set(kDescriptionsSection, DescriptionKey(slot), table.EventDescription[n]);
            ini->Set(kRunStyleSection, RunStyleKey(slot), std::to_string(table.EventRunStyle[n]));
            ini->Set(kFrequencySection, FrequencyKey(slot),
                     std::to_string(table.EventFrequency[n]));
            ini->Set(kDueSection, DueKey(slot), table.EventDue[n]);
        }
    }
    return file.Store(*ini);
}

}  // namespace tarvona
