#pragma once

// One folder, opened once as a descriptor: every file of it is reached through that descriptor,
// so no name can lead a read or write out of it. A file the program keeps here must be a plain
// file: a regular file of the running user with one link. Anything else (a link, a hard link, a
// special file, another user's file) is left untouched and told once on standard error; only
// the settings file follows a link, by ReadFollowingLinks and ReplaceFollowingLinks.
#include <sys/stat.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace tarvona {

enum class ReadStatus { Read, Missing, NotRegular, NotPlain, TooLarge, Failed };

struct FileRead {
    ReadStatus status = ReadStatus::Failed;
    std::string bytes;    // only when Read
    struct stat info {};  // of what was read
};

enum class CreateResult { Created, AlreadyThere, Failed };
enum class DeleteResult { Deleted, Gone, NotAFile, Failed };

class Folder {
public:
    // Opens the folder itself, through a link at its last name only when asked to. Nothing, with
    // errno's value in error, when it is no folder or cannot be opened.
    static std::optional<Folder> Open(const std::string& path, int& error, bool followLink = false);
    // A folder inside this one by name, also never through a link.
    std::optional<Folder> OpenSub(const std::string& name, int& error) const;
    // Makes a folder inside this one; group and others never get write permission.
    bool MakeSub(const std::string& name, mode_t mode) const;

    const std::string& Path() const { return m_path; }
    // The full path of a name in this folder, for messages and for what is handed to others.
    std::string PathOf(const std::string& name) const;
    int Descriptor() const { return *m_fd; }
    struct stat Info() const;
    // No write permission at all counts as read-only, even for root: that is what the user meant.
    bool ReadOnly() const;
    // Whether both name the same folder on disk.
    bool SameAs(const Folder& other) const;

    // A whole plain file of at most limit bytes. A FIFO or device is never read, so nothing here
    // can block or run without end.
    FileRead Read(const std::string& name, size_t limit) const;
    // The last count bytes of a plain file (all of a smaller one).
    FileRead ReadTail(const std::string& name, size_t count) const;
    // Hands each line of a plain file to `line` (without its line end) until it returns false,
    // a piece at a time, so a file of any size costs little memory; lines longer than maxLine
    // bytes are skipped.
    ReadStatus ForEachLine(const std::string& name, size_t maxLine,
                           const std::function<bool(const std::string&)>& line) const;
    // When the entry was last changed; nothing when it is not there.
    std::optional<std::chrono::sys_seconds> ModifiedAt(const std::string& name) const;

    // Replaces a plain file (or makes it) with exactly these bytes, atomically: a temporary file
    // beside it, flushed, renamed over the name, the folder flushed. The old permissions are
    // kept; a read-only file or folder is refused. On failure the file is left as it was.
    bool Replace(const std::string& name, const std::string& bytes) const;
    // Makes a new plain file that must not exist yet; a half-written one is removed again.
    CreateResult Create(const std::string& name, const std::string& bytes) const;
    // Deletes a plain file; anything else is NotAFile and stays.
    DeleteResult Delete(const std::string& name) const;
    // Opens a plain file for appending, made when missing and made writable by its owner when
    // it was not; -1 when it cannot be had.
    int OpenForAppend(const std::string& name) const;
    // Opens a plain file to lock, made when missing; -1 with errno's value in error otherwise
    // (EINVAL: no plain file).
    int OpenToLock(const std::string& name, int& error) const;

    // The settings file may be a link the user made: it is followed, and the file it leads to
    // must pass CheckTrust, as must the folder it is replaced in.
    FileRead ReadFollowingLinks(const std::string& name, size_t limit) const;
    bool ReplaceFollowingLinks(const std::string& name, const std::string& bytes) const;
    // Identifies the present contents of what the name leads to (device, inode, size, times):
    // the same stamp means nobody replaced or changed it in between. Empty when there is none.
    std::string Stamp(const std::string& name) const;

    // Removes the temporary files that a Replace of these names left when it was killed. Only
    // safe while nobody else writes them.
    void RemoveTemporaries(const std::vector<std::string>& names) const;
    // Whether a name is a temporary file that Replace makes for target.
    static bool IsTemporaryOf(const std::string& name, const std::string& target);

    // Tells on standard error, once per name and folder, why a file was left untouched.
    void Tell(const std::string& name, const std::string& why) const;

private:
    Folder(int fd, std::string path);
    int OpenPlain(const std::string& name, int flags, FileRead& result) const;
    bool ReplaceEntry(const std::string& name, const std::string& bytes, bool plainOnly) const;
    std::optional<std::pair<Folder, std::string>> Resolve(const std::string& name) const;

    std::shared_ptr<const int> m_fd;  // closed when the last copy goes
    std::string m_path;
    std::shared_ptr<std::set<std::string>> m_told;
};

// The mode of a file the program makes: the umask's, but never writable by group or others, so
// that the program's own trust test accepts it whatever the umask.
mode_t NewFileMode();

}  // namespace tarvona
