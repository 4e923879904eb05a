// What one database operation reports to and polls: the message boxes and questions of the platform
// layer, the lines of a progress window, and a stop flag raised by the user (polled between items).
#pragma once
#include <string>

#include "platform/events.h"
#include "platform/message_sink.h"
#include "platform/progress_sink.h"

namespace shogidb {

class NullProgressSink final : public platform::ProgressSink {
 public:
  void Line(std::string_view) override {}
  static NullProgressSink& Instance();
};

struct DbJob {
  platform::MessageSink* messages = &platform::NullMessageSink::Instance();
  platform::ProgressSink* progress = &NullProgressSink::Instance();
  const platform::StopFlag* stop = nullptr;

  // The same job with the sinks not given replaced by ones that say nothing.
  DbJob Complete() const {
    DbJob j = *this;
    if (!j.messages) j.messages = &platform::NullMessageSink::Instance();
    if (!j.progress) j.progress = &NullProgressSink::Instance();
    return j;
  }
  bool Stopped() const { return stop && stop->IsRaised(); }
  void Show(const std::string& text) const { messages->Show(text); }
  void Line(const std::string& text) const { progress->Line(text); }
  bool Confirm(const std::string& question) const {
    return messages->Ask(question, platform::Buttons::kYesNo) == platform::Answer::kYes;
  }
};

// The "(%s)" of the closing lines: now, year first ("2026/12/06 21:45:00") so that it cannot be misread.
std::string NowText();
// printf into a std::string.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace shogidb
