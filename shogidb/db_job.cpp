#include "shogidb/db_job.h"

#include <cstdarg>
#include <cstdio>

#include "platform/clock.h"

namespace shogidb {

NullProgressSink& NullProgressSink::Instance() {
  static NullProgressSink sink;
  return sink;
}

std::string NowText() {
  const platform::LocalTime t = platform::Now();
  return Format("%04d/%02d/%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
}

std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  char small[256];
  va_list copy;
  va_copy(copy, args);
  const int n = std::vsnprintf(small, sizeof small, format, copy);
  va_end(copy);
  std::string text;
  if (n < 0) {
    va_end(args);
    return text;
  }
  if (static_cast<size_t>(n) < sizeof small) {
    text.assign(small, static_cast<size_t>(n));
  } else {
    text.resize(static_cast<size_t>(n) + 1);
    std::vsnprintf(text.data(), text.size(), format, args);
    text.resize(static_cast<size_t>(n));
  }
  va_end(args);
  return text;
}

}  // namespace shogidb
