#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tarvona {

// A file or folder without any write bit counts as read-only, even for root: that is what the
// read-only attribute means to the user, and root would otherwise write through it.
bool IsReadOnly(const std::string& path);

enum class ReadStatus { Read, Missing, NotRegular, TooLarge, Failed };

struct FileRead {
    ReadStatus status = ReadStatus::Failed;
    std::string bytes;   // only when Read
    unsigned owner = 0;  // user id and permission bits of what was read
    unsigned mode = 0;
};

// Reads a whole regular file of at most limit bytes. A FIFO, device or socket (also behind a
// link) is never opened for reading, so nothing here can block or run without end.
FileRead ReadRegularFile(const std::string& path, size_t limit);

// Hands every line of a regular file to `line`, without its line end, reading a piece at a time,
// so that a file of any size costs little memory. Lines longer than maxLine bytes are skipped.
// Read only on the terms of ReadRegularFile; the status says whether it was.
ReadStatus ForEachLine(const std::string& path, size_t maxLine,
                       const std::function<void(const std::string&)>& line);

// The last `count` bytes of a regular file (all of a smaller one), read on the same terms.
FileRead ReadFileTail(const std::string& path, size_t count);

// Identifies the file's present contents (device, inode, size, change time): the same stamp
// means nobody replaced or changed the file in between. Empty when it cannot be had.
std::string FileStamp(const std::string& path);

// Replaces the file with exactly these bytes: a temporary file beside it (named
// ".<name>.tarvona-write-XXXXXX"), flushed, renamed over the target, and the folder flushed so that
// the new name survives a power cut. A symbolic link is followed (the file it names is replaced,
// even when it does not exist yet), the old permissions are kept, a read-only target or folder and
// a target that is no regular file are refused. On failure the target is left exactly as it was and
// false is returned.
bool WriteFileAtomically(const std::string& path, const std::string& bytes);

// Whether a name in a folder is a temporary file that WriteFileAtomically made for target.
bool IsTemporaryOf(const std::string& name, const std::string& target);

// Removes the regular files in folder that WriteFileAtomically left behind for these targets
// (names inside the folder) when it was killed. Only safe while nobody else writes them.
void RemoveTemporariesOf(const std::string& folder, const std::vector<std::string>& targets);

enum class CreateResult { Created, AlreadyThere, Failed };

// Creates a new file that must not exist yet and writes the bytes into it; an existing file is
// never touched, and on any failure the partly written file is removed again.
CreateResult CreateNewFile(const std::string& path, const std::string& bytes);

enum class DeleteResult { Deleted, Gone, NotAFile, Failed };

// Deletes the entry `name` directly inside folder, never through a link: a folder that is itself
// a symbolic link is not entered, and a listed link is removed, not what it points to. Folders,
// FIFOs, devices and sockets are never deleted (NotAFile).
DeleteResult DeleteFromFolder(const std::string& folder, const std::string& name);

}  // namespace tarvona
