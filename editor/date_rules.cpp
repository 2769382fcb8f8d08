#include "date_rules.h"

#include "dates.h"
#include "event_table.h"
#include "frequency.h"

namespace tarvona {

std::optional<std::string> ProposedNextRun(int position, std::chrono::year_month_day today) {
    if (auto next = NextDate(position, today)) return FormatDate(*next);
    if (position == kOneTime || position == kEveryBoot) return kDueNextRun;
    if (position == kDisabled) return kDueDisabled;
    return std::nullopt;
}

std::optional<std::string> CheckedNextRun(const std::string& text) {
    if (text == kDueNextRun || text == kDueDisabled) return text;
    if (auto date = ReadDate(text)) return FormatDate(*date);
    return std::nullopt;
}

}  // namespace tarvona
