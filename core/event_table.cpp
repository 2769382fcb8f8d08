#include "event_table.h"

#include "ini_file.h"
#include "program_state.h"

namespace tarvona {

namespace {

std::string Text(const IniDocument& ini, const std::string& section, const std::string& key,
                 const std::string& fallback) {
    return ini.Get(section, key).value_or(fallback);
}

int32_t Integer(const IniDocument& ini, const std::string& section, const std::string& key,
                int32_t fallback) {
    auto text = ini.Get(section, key);
    return (!text || text->empty()) ? fallback : ProfileInteger(*text);
}

}  // namespace

std::string CommandKey(int slot) { return "Command" + std::to_string(slot); }
std::string DescriptionKey(int slot) { return "Description" + std::to_string(slot); }
std::string RunStyleKey(int slot) { return "RunStyle" + std::to_string(slot); }
std::string FrequencyKey(int slot) { return "Frequency" + std::to_string(slot); }
std::string DueKey(int slot) { return "Due" + std::to_string(slot); }

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
        table.EventCommand[n] = Text(ini, kCommandsSection, CommandKey(slot), "");
        table.EventDescription[n] = Text(ini, kDescriptionsSection, DescriptionKey(slot), "");
        table.EventRunStyle[n] = Integer(ini, kRunStyleSection, RunStyleKey(slot), kNormal);
        table.EventFrequency[n] = Integer(ini, kFrequencySection, FrequencyKey(slot), kDisabled);
        table.EventDue[n] = Text(ini, kDueSection, DueKey(slot), kDueDisabled);
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
            ini->Set(kFrequencySection, FrequencyKey(slot), std::to_string(table.EventFrequency[n]));
            ini->Set(kDueSection, DueKey(slot), table.EventDue[n]);
        }
    }
    return file.Store(*ini);
}

}  // namespace tarvona
