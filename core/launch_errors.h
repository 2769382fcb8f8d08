#pragma once

#include <cstdint>
#include <string>

namespace tarvona {

// The sentence for a failed launch result; "Unknown error." for every code it does not know.
std::string LaunchErrorText(int32_t result);

}  // namespace tarvona
