#include "date_rules.h"

#include <cstdio>

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

DateStyle::DateStyle(std::string hint, std::string disabled)
    : m_hint(std::move(hint)), m_disabled(std::move(disabled)) {
    m_dayFirst = !m_hint.empty() && m_hint[0] != 'm' && m_hint[0] != 'M';
}

std::string DateStyle::Shown(const std::string& stored) const {
    return stored == kDueDisabled ? m_disabled : DateInLanguageOrder(stored, m_hint);
}

std::optional<std::string> DateStyle::Checked(const std::string& shown) const {
    if (shown == m_disabled) return std::string(kDueDisabled);
    if (!m_dayFirst) return CheckedNextRun(shown);
    if (shown == kDueNextRun || shown == kDueDisabled) return shown;
    if (auto date = ReadDate(shown, true)) return FormatDate(*date);
    return std::nullopt;
}

}  // namespace tarvona
