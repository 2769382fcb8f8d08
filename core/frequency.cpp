#include "frequency.h"

#include "dates.h"

namespace tarvona {

std::optional<std::chrono::year_month_day> NextDate(int32_t code,
                                                    std::chrono::year_month_day today) {
    if (code < 0 || code >= static_cast<int32_t>(kFrequencies.size())) return std::nullopt;
    const Frequency& frequency = kFrequencies[static_cast<size_t>(code)];
    switch (frequency.unit) {
        case Frequency::Unit::Days:
            return AddDays(today, frequency.amount);
        case Frequency::Unit::Months:
            return AddMonths(today, frequency.amount);
        case Frequency::Unit::None:
            break;
    }
    return std::nullopt;
}

}  // namespace tarvona
