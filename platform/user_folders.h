#pragma once

#include <string>

namespace tarvona {

// Whether the running user may keep their own files in the folder: it is theirs, they can write
// it, and no other user can (no write bit for others). A missing folder is nobody's own.
bool IsOwnFolder(const std::string& path);

// The user's XDG data folder: $XDG_DATA_HOME when it is an absolute path, otherwise
// ~/.local/share (the home folder from HOME, else from the password database).
std::string UserDataHome();

// Makes the folder and every missing parent with mode 0700, as XDG asks of the folders it names;
// true when it is a folder afterwards (an existing one is left as it is).
bool MakePrivateFolder(const std::string& path);

// Root, creating a file or folder in someone else's folder, hands it to that folder's owner and
// group, so that the user's own later runs can still write it. A plain user cannot and need not.
void HandToFolderOwner(int fd, const std::string& folder);

}  // namespace tarvona
