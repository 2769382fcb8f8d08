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

// How the editor shows and reads next-run texts. Tarvona.ini always keeps "mm-dd-yyyy", "?" and
// "Disabled"; the editor shows them as the user's language writes them. The language's date
// hint ("mm-dd-yyyy" in English, "TT.MM.JJJJ" in German) gives the order and the separator: a
// hint that does not begin with the month is day first.
class DateStyle {
public:
    explicit DateStyle(std::string hint = "mm-dd-yyyy", std::string disabled = "Disabled");

    const std::string& Hint() const { return m_hint; }
    bool DayFirst() const { return m_dayFirst; }
    // A stored next-run text as the box shows it; a text that is no date is shown as it is.
    std::string Shown(const std::string& stored) const;
    // The date check of a shown text: the stored form, or nothing when the text is refused.
    std::optional<std::string> Checked(const std::string& shown) const;

private:
    std::string m_hint;
    std::string m_disabled;
    bool m_dayFirst = false;
};

}  // namespace tarvona
