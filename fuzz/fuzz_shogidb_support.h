// Scratch databases for the shogi database fuzz targets: a database is made once per process, its files
// kept as bytes, and written back into a directory of the process before each input (much cheaper than
// creating the six tables again). The input being run is kept beside it, so that a crash leaves it
// behind as a regression case.
#pragma once
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "dbengine/table.h"
#include "platform/files.h"
#include "platform/message_sink.h"
#include "platform/progress_sink.h"
#include "shogidb/db_check.h"
#include "shogidb/game_database.h"
#include "shogidb/joseki_lines.h"
#include "shogidb/position_table.h"
#include "shogidb/problem_database.h"
#include "shogidb/schema.h"

namespace fuzz_shogidb {

// Removes a directory with its files and the files of its subdirectories (the databases go no deeper).
inline void RemoveTree(const std::string& dir) {
  if (DIR* d = ::opendir(dir.c_str())) {
    while (dirent* e = ::readdir(d)) {
      const std::string name = e->d_name;
      if (name == "." || name == "..") continue;
      const std::string path = dir + "/" + name;
      struct stat st;
      if (::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        RemoveTree(path);
      } else {
        ::unlink(path.c_str());
      }
    }
    ::closedir(d);
  }
  ::rmdir(dir.c_str());
}

// Prints the input in hexadecimal (to keep it as a regression case) with what went wrong, and aborts.
[[noreturn]] inline void Fail(const uint8_t* data, size_t size, const std::string& what) {
  std::fprintf(stderr, "fuzz_shogidb: %s; input (%zu bytes):\n", what.c_str(), size);
  for (size_t i = 0; i < size; ++i) std::fprintf(stderr, "%02x%s", data[i], i % 32 == 31 ? "\n" : "");
  std::fprintf(stderr, "\n");
  std::abort();
}

inline std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& l : lines) text += l + "\n";
  return text;
}

// The files of a database directory (and of its subdirectories, e.g. "pcl/"), by relative path.
using Files = std::vector<std::pair<std::string, std::string>>;

inline void ReadTree(const std::string& root, const std::string& relative, Files& files) {
  DIR* d = ::opendir((root + relative).c_str());
  if (!d) std::abort();
  while (dirent* e = ::readdir(d)) {
    const std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    const std::string path = relative + name;
    struct stat st;
    if (::lstat((root + path).c_str(), &st) != 0) std::abort();
    if (S_ISDIR(st.st_mode)) {
      files.emplace_back(path + "/", std::string());
      ReadTree(root, path + "/", files);
      continue;
    }
    std::string bytes;
    if (!platform::ReadWholeFile(root + path, bytes)) std::abort();
    files.emplace_back(path, std::move(bytes));
  }
  ::closedir(d);
}

// Memory-backed when the system has it: every input writes the database's files afresh.
inline std::string ScratchBase() {
  struct stat st;
  return ::stat("/dev/shm", &st) == 0 && S_ISDIR(st.st_mode) && ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
}

// The scratch room of one target in this process: <base>/komaraku_fuzz_<name>_<pid>/ holding the database
// directory "db/" and the input being run ("input.bin"). Removed at a normal exit.
class Scratch {
 public:
  explicit Scratch(const std::string& name)
      : root_(ScratchBase() + "/komaraku_fuzz_" + name + "_" + std::to_string(::getpid())), db_(root_ + "/db/") {
    RemoveTree(root_);
    if (::mkdir(root_.c_str(), 0700) != 0) std::abort();
    rooms().push_back(root_);
    static const bool registered = [] {
      std::atexit([] {
        for (const std::string& r : rooms()) RemoveTree(r);
      });
      return true;
    }();
    (void)registered;
  }

  const std::string& root() const { return root_; }
  // The database directory, ending in "/".
  const std::string& db() const { return db_; }

  // Creates a new empty database in db/ (aborts when that fails).
  void CreateEmpty() {
    RemoveTree(db_);
    platform::RecordingProgressSink progress;
    platform::RecordingMessageSink messages;
    if (!shogidb::CreateDatabase(db_.substr(0, db_.size() - 1), progress, messages)) std::abort();
  }
  // Keeps the files of db/ as they are now.
  void Keep() {
    kept_.clear();
    ReadTree(db_, "", kept_);
  }
  // Puts db/ back as it was kept.
  void Restore() {
    RemoveTree(db_);
    if (::mkdir(db_.c_str(), 0700) != 0) std::abort();
    for (const auto& [path, bytes] : kept_) {
      if (!path.empty() && path.back() == '/') {
        if (::mkdir((db_ + path).c_str(), 0700) != 0) std::abort();
      } else if (!platform::WriteWholeFile(db_ + path, bytes)) {
        std::abort();
      }
    }
  }
  const Files& kept() const { return kept_; }

  // Writes the input about to run, so that a crash leaves it behind.
  void Remember(const uint8_t* data, size_t size) const {
    platform::WriteWholeFile(root_ + "/input.bin", std::string_view(reinterpret_cast<const char*>(data), size));
  }

 private:
  static std::vector<std::string>& rooms() {
    static std::vector<std::string> r;
    return r;
  }

  std::string root_;
  std::string db_;
  Files kept_;
};

// A database built only through the databases' own operations must pass the check.
inline void ExpectClean(const std::string& db, const uint8_t* data, size_t size, const char* when) {
  shogidb::DatabaseCheck check;
  if (shogidb::CheckDatabase(db, &check) != 0) Fail(data, size, std::string("check did not run ") + when);
  if (!check.ok()) Fail(data, size, std::string("database not clean ") + when + ":\n" + Lines(check.problems));
}

// Every stored position is one a board can stand in: no king in a hand (the check only asks that a board
// form be well made).
inline void ExpectSoundPositions(const std::string& db, const uint8_t* data, size_t size) {
  dbengine::TableHandle table(dbengine::OpenTable(shogidb::TablePathIn(db, shogidb::kTableA)));
  if (!table) Fail(data, size, "positions cannot be opened");
  std::vector<uint8_t> record(static_cast<size_t>(table->RecordLength()));
  for (int32_t r = 0; dbengine::ScanRecord(table->table, r, record.data(), &r) == 0; ++r) {
    rules::BoardForm form;
    std::memcpy(form.data(), record.data() + shogidb::PositionTable::kFormOffset, rules::BoardForm::kSize);
    const rules::BoardForm::Expanded e = form.Decode();
    if (e[0].location <= 1 || e[1].location <= 1) Fail(data, size, "a position with a king in a hand");
  }
}

// Answers every question yes (overwrite, delete), says nothing.
class YesSink final : public platform::MessageSink {
 public:
  void Show(std::string_view) override {}
  platform::Answer Ask(std::string_view, platform::Buttons) override { return platform::Answer::kYes; }
};

// Three games (annotations, times, a handicap position with gote to move, two with the same moves), two
// problems (each with its move-space file), and joseki lines from the games, with annotations.
inline const char* SampleGames() {
  return "'対局日:20240101\r\n'戦型:矢倉\r\n'注釈:一局目\r\nN+甲\r\nN-乙\r\nPI\r\n+\r\n"
         "+7776FU\r\nT12\r\n'注釈:角道\r\n-3334FU\r\nT75\r\n+2726FU\r\n-8384FU\r\n+2625FU\r\n'注釈:伸ばす\r\n"
         "-8485FU\r\n+6978KI\r\n-4132KI\r\n+2524FU\r\n-2324FU\r\n+2824HI\r\n-0023FU\r\n%TORYO\r\n/\r\n"
         "'対局日:20240202\r\nN+丙\r\nN-丁\r\nPI\r\n+\r\n"
         "+7776FU\r\n-3334FU\r\n+2726FU\r\n-8384FU\r\n+2625FU\r\n-8485FU\r\n+6978KI\r\n-4132KI\r\n"
         "+2524FU\r\n-2324FU\r\n+2824HI\r\n-0023FU\r\n/\r\n"
         "'手合:角落\r\n'棋戦名:練習\r\nN+上手\r\nN-下手\r\nPI22KA\r\n-\r\n"
         "-3334FU\r\n+7776FU\r\n-4132KI\r\n+8833UM\r\n'注釈:成り\r\n-2133KE\r\n+2726FU\r\n-0055KA\r\n%CHUDAN\r\n";
}

inline const char* SampleProblems() {
  return "'作者:甲\r\n'表題:頭金\r\nP1 *  *  *  *  *  *  *  * -OU\r\nP3 *  *  *  *  *  *  *  * +FU\r\n"
         "P+00KI\r\nP-00AL\r\n+\r\n+0012KI\r\n'注釈:詰み\r\n/\r\n"
         "'作者:乙\r\nP1 *  *  *  *  *  * -KY * -OU\r\nP2 *  *  *  *  *  *  *  * -KY\r\n"
         "P3 *  *  *  *  *  * +KE *  * \r\nP+00KI00KI\r\nP-00AL\r\n+\r\n+0021KI\r\n-1121OU\r\n+0022KI\r\n"
         "'手数目:1\r\n+3321NK\r\n";
}

// Fills a new database with the samples; aborts when they do not register.
inline void FillSample(const std::string& db) {
  shogidb::GameDatabase games;
  games.SetDatabase(db);
  if (games.RegisterFromCsa(SampleGames(), true) != 3) std::abort();
  shogidb::ProblemDatabase problems;
  problems.SetDatabase(db);
  if (problems.RegisterFromCsa(SampleProblems(), true) != 2) std::abort();
  shogidb::JosekiDatabase joseki;
  joseki.SetDatabase(db);
  shogidb::JosekiOptions options;
  options.annotations = true;
  if (shogidb::RegisterJosekiFromText(joseki, SampleGames(), options) <= 0) std::abort();
  shogidb::DatabaseCheck check;
  if (shogidb::CheckDatabase(db, &check) != 0 || !check.ok()) std::abort();
}

// The scratch room of this process's target, made on first use with a new database (holding the sample
// items when `sample`) and kept, to be restored before each input.
inline Scratch& KeptRoom(const std::string& name, bool sample) {
  static Scratch* room = [&] {
    auto* r = new Scratch(name);
    r->CreateEmpty();
    if (sample) FillSample(r->db());
    r->Keep();
    return r;
  }();
  return *room;
}

}  // namespace fuzz_shogidb
