#include "cli/console.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cli/command.h"

#include "platform/text_codec.h"

namespace kzb {

void Out(std::string_view cp932) {
  std::string utf8 = platform::Cp932ToUtf8(cp932);
  std::fwrite(utf8.data(), 1, utf8.size(), stdout);
}

void OutLine(std::string_view cp932) {
  Out(cp932);
  std::fputc('\n', stdout);
}

void Err(std::string_view cp932) {
  std::fflush(stdout);
  std::string utf8 = platform::Cp932ToUtf8(cp932);
  std::fprintf(stderr, "%s\n", utf8.c_str());
}

int FinishOutput(int status) {
  errno = 0;
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return status;
  const int error = errno;
  Err(std::string("kzb: cannot write standard output") + (error ? std::string(": ") + std::strerror(error) : ""));
  return kFailed;
}

}  // namespace kzb
