#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace tarvona {

// How a frequency moves a date: by days, by calendar months, or not at all.
struct Frequency {
    const char* name;
    enum class Unit { None, Days, Months } unit;
    int amount;
};

// Indexed by frequency code; the position of the name in the editor's list is the code.
inline constexpr std::array<Frequency, 10> kFrequencies = {{
    {"Daily", Frequency::Unit::Days, 1},
    {"Every Other Day", Frequency::Unit::Days, 2},
    {"Weekly", Frequency::Unit::Days, 7},
    {"Every Other Week", Frequency::Unit::Days, 14},
    {"Monthly", Frequency::Unit::Months, 1},
    {"Every Other Month", Frequency::Unit::Months, 2},
    {"Yearly", Frequency::Unit::Months, 12},
    {"One Time", Frequency::Unit::None, 0},
    {"Every Boot", Frequency::Unit::None, 0},
    {"Disabled", Frequency::Unit::None, 0},
}};

// Window style names, indexed by style code.
inline constexpr std::array<const char*, 3> kStyleNames = {"Normal", "Minimized", "Maximized"};

// The next date after today for a recurring code (0 to 6); nothing for any other code.
std::optional<std::chrono::year_month_day> NextDate(int32_t code,
                                                    std::chrono::year_month_day today);

}  // namespace tarvona
