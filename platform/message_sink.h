// Where the system's message boxes and yes/no questions go. Texts are CP932. The GUI shows dialogs, kzb
// writes to the terminal, tests record what was said and answer from a script.
#pragma once
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

enum class Answer { kYes, kNo, kCancel };
enum class Buttons { kYesNo, kYesNoCancel, kOkCancel };

class MessageSink {
 public:
  virtual ~MessageSink() = default;
  // An informational or error message box with one OK button.
  virtual void Show(std::string_view text) = 0;
  // A question; kOkCancel answers kYes for OK.
  virtual Answer Ask(std::string_view question, Buttons buttons) = 0;
};

// Says nothing and refuses every question; the sink of objects nobody has connected yet.
class NullMessageSink final : public MessageSink {
 public:
  void Show(std::string_view) override {}
  Answer Ask(std::string_view, Buttons buttons) override {
    return buttons == Buttons::kYesNo ? Answer::kNo : Answer::kCancel;
  }
  static NullMessageSink& Instance();
};

// Terminal: messages to standard error in UTF-8. Questions are answered yes when `assume_yes`, asked on
// the terminal when standard input is one, and otherwise refused (no, or cancel where offered).
class ConsoleMessageSink final : public MessageSink {
 public:
  explicit ConsoleMessageSink(bool assume_yes = false) : assume_yes_(assume_yes) {}
  void Show(std::string_view text) override;
  Answer Ask(std::string_view question, Buttons buttons) override;

 private:
  bool assume_yes_;
};

// Keeps every message and question; answers from a queue, then with the default answer.
class RecordingMessageSink final : public MessageSink {
 public:
  void Show(std::string_view text) override { messages.emplace_back(text); }
  Answer Ask(std::string_view question, Buttons) override {
    questions.emplace_back(question);
    if (answers.empty()) return default_answer;
    Answer a = answers.front();
    answers.pop_front();
    return a;
  }

  std::vector<std::string> messages;
  std::vector<std::string> questions;
  std::deque<Answer> answers;
  Answer default_answer = Answer::kNo;
};

}  // namespace platform
