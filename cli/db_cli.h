// What the `kzb db` subcommands share: their options, the terminal as message box and progress window,
// Ctrl-C as the stop button, the database lock, and positions named by a record file.
#pragma once
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "cli/command.h"
#include "platform/events.h"
#include "platform/message_sink.h"
#include "platform/progress_sink.h"
#include "rules/board_form.h"
#include "rules/side.h"
#include "shogidb/db_job.h"

namespace kzb {

struct DbOptions {
  std::vector<std::string> positional;
  std::map<std::string, std::string> values;
  std::set<std::string> flags;

  bool Has(const std::string& flag) const { return flags.count(flag) > 0; }
  std::optional<std::string> Value(const std::string& name) const;
};

// Splits the words into positional ones, options that take a value (`with_value`) and flags; false for an
// unknown option or a missing value.
bool ParseDbOptions(const Args& args, size_t first, const std::set<std::string>& with_value,
                    const std::set<std::string>& flags, DbOptions& out);

// Message boxes to standard error (counted: a message box of an operation is a failure it reports),
// questions answered by --yes or on the terminal (counted when declined: the operation did not run).
class CountingMessages final : public platform::MessageSink {
 public:
  explicit CountingMessages(bool yes) : console_(yes) {}
  void Show(std::string_view text) override {
    ++shown;
    console_.Show(source.empty() ? std::string(text) : source + ": " + std::string(text));
  }
  platform::Answer Ask(std::string_view question, platform::Buttons buttons) override {
    const platform::Answer answer = console_.Ask(question, buttons);
    if (answer != platform::Answer::kYes) ++declined;
    return answer;
  }
  int shown = 0;
  int declined = 0;
  std::string source;  // the file being read, named before each message while it is read ("" for none)

 private:
  platform::ConsoleMessageSink console_;
};

// Progress lines to standard output, each written out at once.
class ConsoleProgress final : public platform::ProgressSink {
 public:
  void Line(std::string_view text) override;
};

// One database command: the sinks, Ctrl-C raising the stop flag, the lock held for the command.
class DbSession {
 public:
  DbSession(const std::string& directory, bool yes);
  ~DbSession();
  // Waits for the database lock (saying so when another program holds it); false without a database.
  // Without `lock` the operation takes the lock itself, from its own threads.
  bool Begin(bool lock = true);
  shogidb::DbJob job() { return {&messages_, &progress_, &stop_}; }
  CountingMessages& messages() { return messages_; }
  ConsoleProgress& progress() { return progress_; }
  const std::string& directory() const { return directory_; }
  // The exit status of the command: kOk when `ok`, no message box was shown, no question declined and
  // the command was not stopped (a stopped command did not do all it was asked; it says so).
  int Status(bool ok = true) const;
  // The exit status of a command that lists what it found: kOk, or kFailed when it was stopped and the
  // list is incomplete (it says so).
  int ListingStatus() const { return stop_.IsRaised() ? Status() : kOk; }

 private:
  std::string directory_;
  CountingMessages messages_;
  ConsoleProgress progress_;
  platform::StopFlag stop_;
  bool locked_ = false;
};

// A whole number 0..max; false when the text is not one.
bool ParseNumber(const std::string& text, long max, long& value);
// The position after `ply` plies of the selected line of a record file (any kind kzb reads): its board
// form and side to move. False (with a message) when the file cannot be read or the line is shorter.
bool PositionFromFile(const std::string& command, const std::string& path, int ply, rules::BoardForm& form, rules::Side& side);

int RunDbCreate(const Args& args);
int RunDbImport(const Args& args);
int RunDbSearch(const Args& args);
int RunDbDuplicates(const Args& args, bool dedupe);
int RunDbExport(const Args& args);
int RunDbDelete(const Args& args);
int RunDbSolve(const Args& args);
int RunDbJoseki(const Args& args);
int RunDbCheck(const Args& args, bool repair);

}  // namespace kzb
