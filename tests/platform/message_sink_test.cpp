#include "platform/message_sink.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(MessageSink, RecordingSinkAnswersFromItsScriptThenDefault) {
  RecordingMessageSink sink;
  sink.answers = {Answer::kYes};
  sink.Show("a");
  EXPECT_EQ(sink.Ask("q1", Buttons::kYesNo), Answer::kYes);
  EXPECT_EQ(sink.Ask("q2", Buttons::kYesNo), Answer::kNo);
  EXPECT_EQ(sink.messages, std::vector<std::string>{"a"});
  EXPECT_EQ(sink.questions.size(), 2u);
}

TEST(MessageSink, NullSinkRefuses) {
  EXPECT_EQ(NullMessageSink::Instance().Ask("q", Buttons::kYesNo), Answer::kNo);
  EXPECT_EQ(NullMessageSink::Instance().Ask("q", Buttons::kYesNoCancel), Answer::kCancel);
}

}  // namespace
}  // namespace platform
