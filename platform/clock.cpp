#include "clock.h"

#include <ctime>

namespace tarvona {

LocalTime SystemClock::Now() const {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    using namespace std::chrono;
    return {year_month_day{year{local.tm_year + 1900}, month{unsigned(local.tm_mon + 1)},
                           day{unsigned(local.tm_mday)}},
            local.tm_hour, local.tm_min, local.tm_sec, sys_seconds{seconds{now}}};
}

}  // namespace tarvona
