#pragma once

#include <optional>
#include <string>

namespace tarvona {

// A file or folder without any write bit counts as read-only, even for root: that is what the
// read-only attribute means to the user, and root would otherwise write through it.
bool IsReadOnly(const std::string& path);

// Reads a whole file; nothing when it cannot be opened or read.
std::optional<std::string> ReadWholeFile(const std::string& path);

// Replaces the file with exactly these bytes: a temporary file in the same folder, flushed, then
// renamed over the target. A symbolic link is followed (the file it names is replaced), the old
// permissions are kept, a read-only target or folder is refused. On failure the target is left
// exactly as it was and false is returned.
bool WriteFileAtomically(const std::string& path, const std::string& bytes);

enum class CreateResult { Created, AlreadyThere, Failed };

// Creates a new file that must not exist yet and writes the bytes into it; an existing file is
// never touched, and on any failure the partly written file is removed again.
CreateResult CreateNewFile(const std::string& path, const std::string& bytes);

}  // namespace tarvona
