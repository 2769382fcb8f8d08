#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <string>

namespace tarvona {

// Whether a folder or file may hold what is run as the running user, by the rules of cron and
// OpenSSH's StrictModes: it belongs to the effective user, others cannot write it, and its group
// can only when that group is the user's private group with no other member (Debian's
// user-private groups). Root is no exception.
enum class Trust { Trusted, OtherOwner, OthersWrite, GroupWrite };
Trust CheckTrust(const struct stat& st);

// The words that end "... is refused: " for a trust problem, naming the owner where it matters.
std::string TrustProblemText(Trust trust, const struct stat& st);

// The login name of a user id, or the number when it has none.
std::string UserName(uid_t uid);

// The user's XDG data folder: $XDG_DATA_HOME when it is an absolute path, otherwise
// ~/.local/share (the home folder from HOME, else from the password database).
std::string UserDataHome();

}  // namespace tarvona
