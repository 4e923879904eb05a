// Message boxes and yes/no questions for the core's message sink, titled with the product name and
// parented to the active window.
#pragma once
#include "platform/message_sink.h"

namespace app {

class QtMessageSink final : public platform::MessageSink {
 public:
  void Show(std::string_view text) override;
  platform::Answer Ask(std::string_view question, platform::Buttons buttons) override;
};

}  // namespace app
