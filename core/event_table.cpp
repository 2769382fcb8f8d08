#include "event_table.h"

#include <optional>

#include "data_folder.h"
#include "ini_file.h"
#include "program_state.h"
#include "run_lock.h"

namespace tarvona {

const std::string& SectionOf(Field field) {
    switch (field) {
        case Field::Command:
            return kCommandsSection;
        case Field::Description:
            return kDescriptionsSection;
        case Field::RunStyle:
            return kRunStyleSection;
        case Field::Frequency:
            return kFrequencySection;
        case Field::Due:
            break;
    }
    return kDueSection;
}

std::string KeyOf(Field field, int slot) {
    static const char* const kWords[] = {"Command", "Description", "RunStyle", "Frequency", "Due"};
    return kWords[static_cast<int>(field)] + std::to_string(slot);
}

std::string FieldText(const EventTable& table, Field field, int slot) {
    const auto n = static_cast<size_t>(slot);
    switch (field) {
        case Field::Command:
            return table.EventCommand[n];
        case Field::Description:
            return table.EventDescription[n];
        case Field::RunStyle:
            return std::to_string(table.EventRunStyle[n]);
        case Field::Frequency:
            return std::to_string(table.EventFrequency[n]);
        case Field::Due:
            break;
    }
    return table.EventDue[n];
}

namespace {

// A slot's field from the text the file holds for it, with the field's default when the key is
// missing (and, for numbers, when it is empty), as the profile functions read it.
void StoreField(EventTable& table, Field field, size_t n, const std::optional<std::string>& text) {
    auto number = [&text](int32_t fallback) {
        return !text || text->empty() ? fallback : ProfileInteger(*text);
    };
    switch (field) {
        case Field::Command:
            table.EventCommand[n] = text.value_or("");
            break;
        case Field::Description:
            table.EventDescription[n] = text.value_or("");
            break;
        case Field::RunStyle:
            table.EventRunStyle[n] = number(kNormal);
            break;
        case Field::Frequency:
            table.EventFrequency[n] = number(kDisabled);
            break;
        case Field::Due:
            table.EventDue[n] = text.value_or(kDueDisabled);
            break;
    }
}

}  // namespace

bool LoadEvents(ProgramState& state) {
    const size_t slots = static_cast<size_t>(ProgramState::MaxEvent) + 1;
    EventTable& table = state.Events;
    table.EventDescription.resize(slots);
    table.EventCommand.resize(slots);
    table.EventRunStyle.resize(slots);
    table.EventFrequency.resize(slots);
    table.EventDue.resize(slots);

    // One read of the file answers every key exactly as one profile call per key would.
    const auto file = IniFile(*state.Data, kIniName).Load(&state.Loaded.problem);
    const IniDocument none;
    const IniDocument& ini = file ? *file : none;
    state.Loaded.present.assign(slots, {});
    for (size_t n = 0; n < slots; ++n)
        for (Field field : kFields) {
            const auto text = ini.Get(SectionOf(field), KeyOf(field, static_cast<int>(n)));
            state.Loaded.present[n][static_cast<size_t>(field)] = text.has_value();
            StoreField(table, field, n, text);
        }
    state.Loaded.values = table;
    return file.has_value();
}

namespace {

bool LostKeys(const LoadedTable& loaded, const IniDocument& ini) {
    for (size_t n = 0; n < loaded.present.size(); ++n)
        for (Field field : kFields)
            if (loaded.present[n][static_cast<size_t>(field)] &&
                !ini.Get(SectionOf(field), KeyOf(field, static_cast<int>(n))))
                return true;
    return false;
}

}  // namespace

bool ChangeSettings(ProgramState& state, const std::function<void(IniDocument&)>& change) {
    StateLock lock(state);
    if (!lock.Held()) return false;
    const IniFile file(*state.Data, kIniName);
    const std::string stamp = file.Stamp();
    std::optional<IniDocument> ini;
    if (state.Settings && !stamp.empty() && state.Settings->stamp == stamp)
        ini = std::move(state.Settings->document);
    else
        ini = file.Load();
    state.Settings.reset();
    if (!ini || LostKeys(state.Loaded, *ini)) return false;
    change(*ini);
    if (!file.Store(*ini)) return false;
    state.Settings = ProgramState::HeldSettings{file.Stamp(), std::move(*ini)};
    return true;
}

// A key the user did not change and the file now holds stays as the file holds it, so that what
// a launch run or a restored backup wrote meanwhile is not undone; a key the file lacks at this
// moment is written. Without another writer this gives the same file as writing every key.
bool SaveEvents(ProgramState& state) {
    return ChangeSettings(state, [&state](IniDocument& ini) {
        ini.Set(kVersionSection, "Version", state.AppVersion);
        if (state.CancelEdits) return;
        const EventTable& table = state.Events;
        for (size_t n = 0; n < table.EventCommand.size(); ++n)
            for (Field field : kFields) {
                const int slot = static_cast<int>(n);
                const std::string value = FieldText(table, field, slot);
                const bool changed = value != FieldText(state.Loaded.values, field, slot);
                if (changed || !ini.Get(SectionOf(field), KeyOf(field, slot)))
                    ini.Set(SectionOf(field), KeyOf(field, slot), value);
            }
    });
}

}  // namespace tarvona
