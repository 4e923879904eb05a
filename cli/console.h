// kzb's terminal: the core's CP932 text goes out as UTF-8.
#pragma once
#include <string_view>

namespace kzb {

void Out(std::string_view cp932);      // standard output, as is (no newline added)
void OutLine(std::string_view cp932);  // standard output, with "\n"
void Err(std::string_view cp932);      // standard error, with "\n"

// The exit status of a command once its standard output is flushed: `status`, or kFailed (with a
// message) when the output could not be written whole (a full disk, a closed pipe), which the command
// cannot have seen.
int FinishOutput(int status);

}  // namespace kzb
