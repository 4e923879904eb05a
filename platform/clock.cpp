#include "platform/clock.h"

#include <time.h>

namespace platform {

LocalTime Now() {
  time_t t = time(nullptr);
  tm local{};
  localtime_r(&t, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
          local.tm_hour, local.tm_min, local.tm_sec};
}

// clock_gettime rather than <chrono>: that header holds a "µs" literal with no CP932 form, so code
// compiled for CP932 text cannot include it.
int64_t SteadyMilliseconds() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

}  // namespace platform
