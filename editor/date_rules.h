#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace tarvona {

// What choosing a frequency writes into the date box: today plus the step, "?" for One Time
// and Every Boot, "Disabled" for Disabled; nothing (box unchanged) for no selection.
std::optional<std::string> ProposedNextRun(int position, std::chrono::year_month_day today);

// The date check: "?" and "Disabled" pass as they are, a readable date passes rewritten as
// "mm-dd-yyyy"; nothing when the text is refused (an empty box included).
std::optional<std::string> CheckedNextRun(const std::string& text);

}  // namespace tarvona
