// Local wall-clock time, as the registration stamps and the solver's timings read it.
#pragma once
#include <cstdint>

namespace platform {

struct LocalTime {
  int year, month, day, hour, minute, second;
};

LocalTime Now();
// Milliseconds of a steady clock, for durations.
int64_t SteadyMilliseconds();

}  // namespace platform
