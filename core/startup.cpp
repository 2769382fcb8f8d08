#include "startup.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "clock.h"
#include "data_folder.h"
#include "desktop.h"
#include "event_table.h"
#include "folder.h"
#include "program_state.h"
#include "run_lock.h"
#include "temp_list.h"
#include "translatable.h"

namespace tarvona {

bool EnsureMessageDir(const ProgramState& state) {
    struct stat st {};
    const Folder& data = *state.Data;
    if (::fstatat(data.Descriptor(), kMessagesName.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0)
        return true;
    if (errno != ENOENT || data.ReadOnly()) return false;
    return data.MakeSub(kMessagesName, 0755);
}

bool IsLaunchMode(const std::vector<std::string>& arguments) {
    std::string line;
    for (const std::string& argument : arguments) line += argument + " ";
    for (char& c : line)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return line.find("/start") != std::string::npos;
}

bool StartUp(ProgramState& state, Desktop& desktop, const Clock& clock) {
    // Let go before any message box: a launch run must not wait on a question.
    if (StateLock lock(state); lock.Held()) {
        state.Data->RemoveTemporaries({kIniName, kTempListName});
        PurgeTempList(state, clock.Now().instant);
    }
    if (!EnsureMessageDir(state))
        desktop.messageBox(QT_TRANSLATE_NOOP("Tarvona",
                                             "Unable to create message directory.\r\n"
                                             "Scheduling messages will not work correctly."),
                           QT_TRANSLATE_NOOP("Tarvona", "Error"), Buttons::Ok);
    return LoadEvents(state);
}

}  // namespace tarvona
