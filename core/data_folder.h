#pragma once

// The data folder: where each user's files live, chosen and opened once at start.
//
// It is the program folder when that folder is the running user's own, so that a per-user
// install or a build folder keeps its files beside the program; anywhere else (a package under
// /usr, a folder of another user) it is "tarvona" in the user's XDG data folder, made 0700. Either
// must pass CheckTrust, root included: a folder that somebody else owns or can write is refused,
// never replaced by another, since the user's table is there.
#include <optional>
#include <string>

#include "folder.h"

namespace tarvona {

struct ProgramState;

inline const std::string kIniName = "Tarvona.ini";
inline const std::string kLogName = "Tarvona.log";
inline const std::string kTempListName = "Tarvona.tmp";
inline const std::string kMessagesName = "Messages";

// The path with exactly one trailing "/" ensured (only the last character is looked at).
std::string AddSlash(const std::string& path);

// Which folder a user's files belong in: the program folder when it is the user's own (theirs,
// writable by them) and not under /usr, otherwise "tarvona" in the user's data home.
std::string ChooseDataFolder(const std::string& programFolder, bool programFolderIsOwn,
                             const std::string& userDataHome);

struct OpenedFolder {
    std::optional<Folder> folder;
    std::string problem;   // why there is none: one sentence naming the folder
    bool missing = false;  // there is none yet, and it was not to be made
};

// Chooses the data folder and opens it. A missing XDG folder is made only when makeMissing is
// set (only inside folders of the running user): a launch run of a user who never used Tarvona
// leaves their home as it is. Nothing is created or written when the folder is refused.
OpenedFolder OpenDataFolder(const std::string& programFolder, const std::string& userDataHome,
                            bool makeMissing);

// The path OpenDataFolder would use, for --help; nothing is made.
std::string DataFolderPath(const std::string& programFolder, const std::string& userDataHome);

// Gives the state its folder and every path from it. The overload that takes a path opens the
// folder as it is (for tools and tests); false when it cannot be opened.
void SetUpPaths(ProgramState& state, Folder folder);
bool SetUpPaths(ProgramState& state, const std::string& path);

// The Messages folder, when it is a plain folder of the user's inside the data folder.
std::optional<Folder> OpenMessageFolder(const ProgramState& state);

}  // namespace tarvona
