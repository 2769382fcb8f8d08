#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "translatable.h"

namespace tarvona {

// How a frequency moves a date: by days, by calendar months, or not at all.
struct Frequency {
    const char* name;
    enum class Unit { None, Days, Months } unit;
    int amount;
};

// Indexed by frequency code; the position of the name in the editor's list is the code.
inline constexpr std::array<Frequency, 10> kFrequencies = {{
    {QT_TRANSLATE_NOOP("Tarvona", "Daily"), Frequency::Unit::Days, 1},
    {QT_TRANSLATE_NOOP("Tarvona", "Every Other Day"), Frequency::Unit::Days, 2},
    {QT_TRANSLATE_NOOP("Tarvona", "Weekly"), Frequency::Unit::Days, 7},
    {QT_TRANSLATE_NOOP("Tarvona", "Every Other Week"), Frequency::Unit::Days, 14},
    {QT_TRANSLATE_NOOP("Tarvona", "Monthly"), Frequency::Unit::Months, 1},
    {QT_TRANSLATE_NOOP("Tarvona", "Every Other Month"), Frequency::Unit::Months, 2},
    {QT_TRANSLATE_NOOP("Tarvona", "Yearly"), Frequency::Unit::Months, 12},
    {QT_TRANSLATE_NOOP("Tarvona", "One Time"), Frequency::Unit::None, 0},
    {QT_TRANSLATE_NOOP("Tarvona", "Every Boot"), Frequency::Unit::None, 0},
    {QT_TRANSLATE_NOOP("Tarvona", "Disabled"), Frequency::Unit::None, 0},
}};

// Window style names, indexed by style code.
inline constexpr std::array<const char*, 3> kStyleNames = {
    QT_TRANSLATE_NOOP("Tarvona", "Normal"), QT_TRANSLATE_NOOP("Tarvona", "Minimized"),
    QT_TRANSLATE_NOOP("Tarvona", "Maximized")};

// The next date after today for a recurring code (0 to 6); nothing for any other code.
std::optional<std::chrono::year_month_day> NextDate(int32_t code,
                                                    std::chrono::year_month_day today);

}  // namespace tarvona
