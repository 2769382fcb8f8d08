#pragma once

#include <chrono>

namespace tarvona {

struct LocalTime {
    std::chrono::year_month_day date;
    int hour = 0;
    int minute = 0;
    int second = 0;
    std::chrono::sys_seconds instant{};  // the same moment on the system's own clock
};

// The local date and time; the logic takes it once and passes it on.
class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime Now() const = 0;
};

class SystemClock final : public Clock {
public:
    LocalTime Now() const override;
};

}  // namespace tarvona
