#include "cli/db_cli.h"

#include <signal.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "cli/console.h"
#include "cli/record_io.h"
#include "platform/db_lock.h"
#include "platform/environment.h"
#include "platform/files.h"
#include "record/record_file.h"
#include "shogidb/schema.h"

using namespace rules;
using namespace record;

namespace kzb {
namespace {

platform::StopFlag* g_stop = nullptr;

extern "C" void RaiseStop(int) {
  if (g_stop) g_stop->Raise();
}

}  // namespace

std::optional<std::string> DbOptions::Value(const std::string& name) const {
  auto it = values.find(name);
  if (it == values.end()) return std::nullopt;
  return it->second;
}

bool ParseDbOptions(const Args& args, size_t first, const std::set<std::string>& with_value,
                    const std::set<std::string>& flags, DbOptions& out) {
  for (size_t i = first; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (with_value.count(a)) {
      if (i + 1 >= args.size()) return false;
      out.values[a] = args[++i];
    } else if (flags.count(a)) {
      out.flags.insert(a);
    } else if (LooksLikeOption(a)) {
      return false;
    } else {
      out.positional.push_back(a);
    }
  }
  return true;
}

void ConsoleProgress::Line(std::string_view text) {
  OutLine(text);
  std::fflush(stdout);
}

DbSession::DbSession(const std::string& directory, bool yes)
    : directory_(shogidb::NormalizeDirectory(directory)), messages_(yes) {
  g_stop = &stop_;
  struct sigaction action {};
  action.sa_handler = RaiseStop;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  // The operations that name no directory (the move-space files of older callers) find it here.
  platform::SetEnv("SHGDB", directory_);
}

DbSession::~DbSession() {
  if (locked_) platform::DatabaseLock::Instance().Unlock();
  signal(SIGINT, SIG_DFL);
  signal(SIGTERM, SIG_DFL);
  g_stop = nullptr;
}

bool DbSession::Begin(bool lock_it) {
  if (!shogidb::DatabaseExists(directory_)) {
    Err("kzb db: no shogi database in " + directory_ + " (kzb db create DIR makes one)");
    return false;
  }
  if (!lock_it) return true;
  platform::DatabaseLock& lock = platform::DatabaseLock::Instance();
  if (!lock.TryLock(directory_)) {
    Err("kzb db: waiting for the database, which another program is using ...");
    lock.Lock(directory_);
  }
  locked_ = true;
  if (!lock.HoldsFileLock()) {
    Err("kzb db: no lock file can be held in " + directory_ + "; other programs are not kept out");
  }
  return true;
}

int DbSession::Status(bool ok) const {
  if (stop_.IsRaised()) {
    Err("kzb db: stopped before the end");
    return kFailed;
  }
  return ok && messages_.shown == 0 && messages_.declined == 0 ? kOk : kFailed;
}

bool ParseNumber(const std::string& text, long max, long& value) {
  if (text.empty() || text.size() > 9) return false;
  char* end = nullptr;
  errno = 0;
  value = std::strtol(text.c_str(), &end, 10);
  return errno == 0 && *end == '\0' && value >= 0 && value <= max;
}

bool PositionFromFile(const std::string& command, const std::string& path, int ply, BoardForm& form, Side& side) {
  platform::RecordingMessageSink messages;
  RecordFile file(&messages);
  const RecordFileResult r = file.Load(path);
  if (!r.opened) {
    Err("kzb db " + command + ": cannot read " + (r.problem.empty() ? path : ProblemText(path, r)));
    return false;
  }
  RecordBoard& board = file.board();
  board.GoToStart();
  for (int i = 0; i < ply; ++i) {
    if (!board.StepForward()) {
      Err("kzb db " + command + ": " + path + " has only " + std::to_string(i) + " moves");
      return false;
    }
  }
  form = board.CurrentBoardForm();
  side = board.side_to_move() == kGote ? kGote : kSente;
  return true;
}

}  // namespace kzb
