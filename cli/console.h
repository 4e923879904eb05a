// kzb's terminal: the core's CP932 text goes out as UTF-8.
#pragma once
#include <string_view>

namespace kzb {

void Out(std::string_view cp932);      // standard output, as is (no newline added)
void OutLine(std::string_view cp932);  // standard output, with "\n"
void Err(std::string_view cp932);      // standard error, with "\n"

}  // namespace kzb
