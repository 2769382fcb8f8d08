// The date reader on any text: what it accepts is a real date that its own written form reads
// back as, and the date steps never fail on it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "dates.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto date = tarvona::ReadDate(text);
    if (!date) return 0;
    if (!date->ok()) std::abort();
    if (tarvona::ReadDate(tarvona::FormatDate(*date)) != date) std::abort();
    if (!tarvona::AddMonths(*date, 2).ok() || !tarvona::AddDays(*date, 14).ok()) std::abort();
    return 0;
}
