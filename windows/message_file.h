#pragma once

#include <cstdint>
#include <random>
#include <string>

#include "folder.h"

namespace tarvona {

// Message files are msgDDDDD.txt in the Messages folder, each digit 1 to 9.
std::string MessageFileName(std::mt19937& random);

struct MessageWrite {
    std::string path;  // the last name tried, empty when none was
    bool written = false;
};

// Writes the bytes into a new message file. The generator is seeded once from the seconds of the
// day; a name that is taken is never overwritten, and after kMaxTries taken names it gives up
// rather than search forever.
constexpr int kMaxTries = 1000;
MessageWrite WriteNewMessageFile(const Folder& messages, const std::string& bytes,
                                 uint32_t secondsOfDay);

}  // namespace tarvona
