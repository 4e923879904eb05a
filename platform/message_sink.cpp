#include "platform/message_sink.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "platform/text_codec.h"

namespace platform {

NullMessageSink& NullMessageSink::Instance() {
  static NullMessageSink sink;  // stateless, so sharing it is harmless
  return sink;
}

void ConsoleMessageSink::Show(std::string_view text) {
  std::fflush(stdout);
  std::cerr << Cp932ToUtf8(text) << '\n' << std::flush;
}

Answer ConsoleMessageSink::Ask(std::string_view question, Buttons buttons) {
  const Answer refused = buttons == Buttons::kYesNo ? Answer::kNo : Answer::kCancel;
  std::fflush(stdout);
  std::cerr << Cp932ToUtf8(question);
  if (assume_yes_) {
    std::cerr << " [yes]\n" << std::flush;
    return Answer::kYes;
  }
  if (!isatty(STDIN_FILENO)) {
    std::cerr << " [refused: no terminal to ask; use --yes]\n" << std::flush;
    return refused;
  }
  std::cerr << (buttons == Buttons::kYesNoCancel ? " [y/n/c] " : " [y/n] ") << std::flush;
  std::string line;
  if (!std::getline(std::cin, line)) return refused;
  if (!line.empty() && (line[0] == 'y' || line[0] == 'Y')) return Answer::kYes;
  if (buttons == Buttons::kYesNoCancel && !line.empty() && (line[0] == 'n' || line[0] == 'N')) {
    return Answer::kNo;
  }
  return refused;
}

}  // namespace platform
