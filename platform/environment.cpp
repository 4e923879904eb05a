#include "platform/environment.h"

#include <cstdlib>

#include "platform/text_codec.h"

namespace platform {

std::optional<std::string> GetEnv(std::string_view name) {
  const char* value = std::getenv(std::string(name).c_str());
  if (!value) return std::nullopt;
  return Utf8ToCp932(value);
}

bool SetEnv(std::string_view name, std::string_view cp932_value) {
  return setenv(std::string(name).c_str(), Cp932ToUtf8(cp932_value).c_str(), 1) == 0;
}

}  // namespace platform
