// What the record commands of kzb share: opening a record file with its problems reported, writing a
// text to a file (CP932, CRLF, as the program's files are) or to the terminal (UTF-8), outputs that
// would overwrite an input, small numbers.
#pragma once
#include <string>
#include <string_view>

#include "cli/command.h"
#include "record/record_file.h"

namespace kzb {

// Loads entry `index` of a record file. Problems go to standard error as "kzb COMMAND: FILE: ...".
// Returns kOk when everything was read, kFailed when the file was read only in part (the record holds
// what was read) or not at all (`file.kind()` then tells nothing useful; check `opened`).
// "FILE: problem", or "FILE:LINE: problem" when the reader knows the line, as compilers say it.
std::string ProblemText(const std::string& path, const record::RecordFileResult& result);

int LoadRecordFile(std::string_view command, const std::string& path, int index, record::RecordFile& file, bool& opened);

// Writes CP932 text with CRLF lines to a file by CP932 path, whole or not at all (an old file stays as it
// was). False, with "kzb COMMAND: cannot write PATH: reason" on standard error, when it cannot.
bool WriteOutputFile(std::string_view command, const std::string& path, std::string_view cp932_text);
// True, with a message, when `output` names the file `input` does: writing it would destroy the input.
bool OutputIsInput(std::string_view command, const std::string& input, const std::string& output);
// Writes CP932 text to standard output as UTF-8 lines (LF).
void PrintText(std::string_view cp932_text);

// A whole number 0..max from an argument; false when it is not one.
bool ParseCount(const std::string& text, int max, int& value);

}  // namespace kzb
