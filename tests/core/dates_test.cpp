#include "dates.h"

#include <gtest/gtest.h>

#include "event_table.h"
#include "frequency.h"
#include "test_support.h"

namespace tarvona {
namespace {

using test::Date;

TEST(ReadDate, AcceptsTheUsualForms) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"07-04-1999", "07-04-1999"},   {"7/4/1999", "07-04-1999"},
        {"7.4.1999", "07-04-1999"},     {"1-5-98", "01-05-1998"},
        {"1-5-1998", "01-05-1998"},     {"12/31/29", "12-31-2029"},
        {"1/1/30", "01-01-1930"},       {"2/29/00", "02-29-2000"},
        {" 02-29-2000 ", "02-29-2000"}, {"July 4, 1999", "07-04-1999"},
        {"jul 4 1999", "07-04-1999"},   {"4 July 1999", "07-04-1999"},
        {"SEPT 9, 2001", "09-09-2001"}, {"December 25 2026", "12-25-2026"}};
    for (const auto& [text, formatted] : cases) {
        auto date = ReadDate(text);
        ASSERT_TRUE(date) << text;
        EXPECT_EQ(FormatDate(*date), formatted) << text;
    }
}

TEST(ReadDate, RefusesAnythingButAWholeRealDate) {
    for (const std::string text : {"",
                                   " ",
                                   "?",
                                   "Disabled",
                                   "disabled",
                                   "13-45-2099",
                                   "02-30-2000",
                                   "02-29-1900",
                                   "00-10-2000",
                                   "10-00-2000",
                                   "7/4",
                                   "7/4/1999/2",
                                   "7-4/1999",
                                   "7//4/1999",
                                   "x7/4/1999",
                                   "07-04-1999x",
                                   "July 1999",
                                   "Ju 4 1999",
                                   "July 32, 1999",
                                   "123-1-2000",
                                   "1-1-12345",
                                   "1-1-099",
                                   "Monday 4 1999",
                                   "July July 1999",
                                   "#07-04-1999#"})
        EXPECT_FALSE(ReadDate(text)) << '"' << text << '"';
}

// As a German types them: numeric dates day first, never month first; named months as ever.
TEST(ReadDate, DayFirstReadsTheDayFirst) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"24.12.2026", "12-24-2026"},  {"9.12.26", "12-09-2026"}, {"09-12-2026", "12-09-2026"},
        {"4 July 1999", "07-04-1999"}, {"12.24.2026", ""},        {"31.02.2026", ""}};
    for (const auto& [text, formatted] : cases) {
        auto date = ReadDate(text, true);
        EXPECT_EQ(date ? FormatDate(*date) : "", formatted) << text;
    }
}

TEST(Steps, MonthAndYearKeepTheDayOrFallBackToTheLast) {
    struct Case {
        int32_t code;
        std::chrono::year_month_day from;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {kDaily, Date(1999, 12, 31), "01-01-2000"},
        {kEveryOtherDay, Date(2000, 2, 28), "03-01-2000"},
        {kWeekly, Date(1999, 12, 28), "01-04-2000"},
        {kEveryOtherWeek, Date(2026, 12, 20), "01-03-2027"},
        {kMonthly, Date(2000, 1, 31), "02-29-2000"},
        {kMonthly, Date(2001, 1, 31), "02-28-2001"},
        {kMonthly, Date(2026, 12, 15), "01-15-2027"},
        {kEveryOtherMonth, Date(2026, 12, 31), "02-28-2027"},
        {kYearly, Date(2000, 2, 29), "02-28-2001"},
        {kYearly, Date(2026, 12, 8), "12-08-2027"},
    };
    for (const Case& c : cases) {
        auto next = NextDate(c.code, c.from);
        ASSERT_TRUE(next) << c.code;
        EXPECT_EQ(FormatDate(*next), c.expected) << c.code << " from " << FormatDate(c.from);
    }
    for (int32_t code : {7, 8, 9, -1, 10, 1000}) EXPECT_FALSE(NextDate(code, Date(2026, 1, 1)));
}

TEST(OleDays, CountFromTheLastDaysOf1899) {
    EXPECT_EQ(OleDayNumber(Date(1899, 12, 30)), 0);
    EXPECT_EQ(OleDayNumber(Date(1899, 12, 31)), 1);
    EXPECT_EQ(OleDayNumber(Date(1899, 12, 29)), -1);
    EXPECT_EQ(OleDayNumber(Date(2000, 2, 29)), 36585);
    EXPECT_EQ(FormatDate(FromOleDayNumber(36585)), "02-29-2000");
    EXPECT_EQ(FormatDate(FromOleDayNumber(-1)), "12-29-1899");
}

}  // namespace
}  // namespace tarvona
