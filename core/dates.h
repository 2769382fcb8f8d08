#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace tarvona {

// Next-run dates are written "mm-dd-yyyy".
std::string FormatDate(std::chrono::year_month_day date);

// Reads a typed or stored date, month first: 7/4/1999, 7.4.1999, 1-5-98, 07-04-1999, July 4, 1999,
// 4 Jul 1999. Two-digit years 00-29 are 2000-2029, 30-99 are 1930-1999. Nothing when the text is
// not a whole, real date. dayFirst reads the numeric forms day first (4.7.1999), as languages
// such as German write them; the forms with a month's name are the same either way.
std::optional<std::chrono::year_month_day> ReadDate(const std::string& text, bool dayFirst = false);

// A stored "mm-dd-yyyy" date as a language writes it, after its date hint ("mm-dd-yyyy",
// "TT.MM.JJJJ"): a hint that does not begin with the month is day first, with the hint's
// separator. Any other text comes back as it is.
std::string DateInLanguageOrder(const std::string& stored, const std::string& hint);

// Month steps keep the day and fall back to the last day of a shorter month.
std::chrono::year_month_day AddDays(std::chrono::year_month_day date, int days);
std::chrono::year_month_day AddMonths(std::chrono::year_month_day date, int months);

// Whole days of the OLE date system, day 0 being 30 December 1899.
int32_t OleDayNumber(std::chrono::year_month_day date);
std::chrono::year_month_day FromOleDayNumber(int32_t day);

}  // namespace tarvona
