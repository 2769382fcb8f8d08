#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "event_table.h"
#include "folder.h"

namespace tarvona {

class FileLock;

// What the whole program shares, owned by Main and handed down by reference.
struct ProgramState {
    std::string ProgramFile;     // the running executable, which the log viewer starts again
    std::optional<Folder> Data;  // the data folder, opened once; every file of ours is in it
    std::string IniFile;
    std::string MessageDir;  // no trailing separator
    std::string TempList;
    std::string CrLf = "\r\n";
    std::string AppVersion = TARVONA_VERSION;
    // The soft limit on open files the session gave us before we raised ours, for what we open.
    std::uint64_t SessionFileLimit = 0;
    static constexpr int16_t MaxEvent = kMaxEvent;
    bool LaunchErrors = false;
    bool CancelEdits = false;
    int16_t CurrentRecord = 0;
    std::string PickedDate;
    std::string MessageFile;
    EventTable Events;
    // What LoadEvents found in the file, for writes that must change only what changed.
    LoadedTable Loaded;
    // The data folder's lock while this process holds it (see StateLock).
    std::shared_ptr<FileLock> HeldStateLock;
    int StateLockDepth = 0;
    // The settings file as this process last read or wrote it while holding the lock, with the
    // file's stamp then; a launch run, which holds the lock throughout, reads the file once.
    struct HeldSettings {
        std::string stamp;
        IniDocument document;
    };
    std::optional<HeldSettings> Settings;
};

}  // namespace tarvona
