#include "dates.h"

#include <array>
#include <cstdio>
#include <vector>

namespace tarvona {

using namespace std::chrono;

namespace {

constexpr std::array<const char*, 12> kMonthNames = {
    "january", "february", "march",     "april",   "may",      "june",
    "july",    "august",   "september", "october", "november", "december"};

struct Token {
    std::string text;
    bool numeric;
};

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return text;
}

// A month name in full or cut to at least its first three letters.
std::optional<unsigned> MonthFromName(const std::string& word) {
    const std::string lowered = Lower(word);
    if (lowered.size() < 3) return std::nullopt;
    for (size_t i = 0; i < kMonthNames.size(); ++i) {
        const std::string name = kMonthNames[i];
        if (lowered.size() <= name.size() && name.compare(0, lowered.size(), lowered) == 0)
            return static_cast<unsigned>(i + 1);
    }
    return std::nullopt;
}

std::optional<int> SmallNumber(const std::string& digits, size_t maxLength) {
    if (digits.empty() || digits.size() > maxLength) return std::nullopt;
    return std::stoi(digits);
}

std::optional<int> Year(const std::string& digits) {
    auto value = SmallNumber(digits, 4);
    if (!value) return std::nullopt;
    if (digits.size() <= 2) return *value < 30 ? 2000 + *value : 1900 + *value;
    if (*value < 100) return std::nullopt;
    return value;
}

std::optional<year_month_day> Make(int y, unsigned m, int d) {
    if (d < 1) return std::nullopt;
    year_month_day date{year{y}, month{m}, day{static_cast<unsigned>(d)}};
    if (!date.ok()) return std::nullopt;
    return date;
}

}  // namespace

std::string FormatDate(year_month_day date) {
    char text[16];
    std::snprintf(text, sizeof text, "%02u-%02u-%04d", unsigned(date.month()), unsigned(date.day()),
                  int(date.year()));
    return text;
}

std::optional<year_month_day> ReadDate(const std::string& text, bool dayFirst) {
    std::vector<Token> tokens;
    std::string separators;  // between numeric forms
    size_t i = 0;
    while (i < text.size()) {
        char c = text[i];
        if (c == ' ' || c == '\t' || c == ',') {
            ++i;
            continue;
        }
        if (c == '-' || c == '/' || c == '.') {
            separators += c;
            ++i;
            continue;
        }
        size_t start = i;
        const bool digit = c >= '0' && c <= '9';
        while (i < text.size() && ((text[i] >= '0' && text[i] <= '9') == digit) &&
               (digit || ((text[i] | 0x20) >= 'a' && (text[i] | 0x20) <= 'z')))
            ++i;
        if (i == start) return std::nullopt;  // a character no date holds
        tokens.push_back({text.substr(start, i - start), digit});
    }
    if (tokens.size() != 3) return std::nullopt;

    if (tokens[0].numeric && tokens[1].numeric && tokens[2].numeric) {
        // Numeric dates need two equal separators: 7/4/1999, 7.4.1999, 1-5-98.
        if (separators.size() != 2 || separators[0] != separators[1]) return std::nullopt;
        auto m = SmallNumber(tokens[dayFirst ? 1 : 0].text, 2);
        auto d = SmallNumber(tokens[dayFirst ? 0 : 1].text, 2);
        auto y = Year(tokens[2].text);
        if (!m || !d || !y || *m < 1 || *m > 12) return std::nullopt;
        return Make(*y, static_cast<unsigned>(*m), *d);
    }
    if (!tokens[2].numeric) return std::nullopt;
    const bool nameFirst = !tokens[0].numeric && tokens[1].numeric;
    const bool nameSecond = tokens[0].numeric && !tokens[1].numeric;
    if (!nameFirst && !nameSecond) return std::nullopt;
    auto m = MonthFromName(tokens[nameFirst ? 0 : 1].text);
    auto d = SmallNumber(tokens[nameFirst ? 1 : 0].text, 2);
    auto y = Year(tokens[2].text);
    if (!m || !d || !y) return std::nullopt;
    return Make(*y, *m, *d);
}

year_month_day AddDays(year_month_day date, int days) {
    return year_month_day{sys_days{date} + std::chrono::days{days}};
}

year_month_day AddMonths(year_month_day date, int count) {
    year_month_day moved = date + months{count};
    if (moved.ok()) return moved;
    return year_month_day{moved.year() / moved.month() / last};
}

namespace {
constexpr sys_days kOleEpoch = sys_days{year{1899} / December / 30};
}

int32_t OleDayNumber(year_month_day date) {
    return static_cast<int32_t>((sys_days{date} - kOleEpoch).count());
}

year_month_day FromOleDayNumber(int32_t day) {
    return year_month_day{kOleEpoch + std::chrono::days{day}};
}

std::string DateInLanguageOrder(const std::string& stored, const std::string& hint) {
    const bool dayFirst = !hint.empty() && hint[0] != 'm' && hint[0] != 'M';
    const auto date = dayFirst ? ReadDate(stored) : std::nullopt;
    if (!date) return stored;
    const char separator = hint.size() > 2 ? hint[2] : '-';
    char text[16];
    std::snprintf(text, sizeof text, "%02u%c%02u%c%04d", static_cast<unsigned>(date->day()),
                  separator, static_cast<unsigned>(date->month()), separator,
                  static_cast<int>(date->year()));
    return text;
}

}  // namespace tarvona
