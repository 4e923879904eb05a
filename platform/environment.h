// Process environment. Values cross this boundary as CP932 (the core's text); the process itself holds
// them in UTF-8 like every other Linux program.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace platform {

std::optional<std::string> GetEnv(std::string_view name);
bool SetEnv(std::string_view name, std::string_view cp932_value);

}  // namespace platform
