// Message boxes and yes/no questions for the core's message sink, titled with the product name and
// parented to the active window.
#pragma once
#include <QString>
#include <functional>

#include "platform/message_sink.h"

namespace app {

class QtMessageSink final : public platform::MessageSink {
 public:
  void Show(std::string_view text) override;
  platform::Answer Ask(std::string_view question, platform::Buttons buttons) override;
};

// The question before a changed document goes, "NAME への変更を保存しますか?" with yes, no and cancel.
// True when the document may go: `save` succeeded after yes, or no.
bool AskToSaveChanges(platform::MessageSink& messages, const QString& name, const std::function<bool()>& save);

}  // namespace app
