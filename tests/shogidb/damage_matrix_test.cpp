// Every file of a filled database damaged in every way a disk or a person damages files (a bit flipped,
// cut in half, deleted, zeroed), one at a time: the reads give whole items or refuse them, the check
// names every item it cannot give whole, the repair loses nothing the damage left, and with the damaged
// items removed the check is clean. The counts are printed for the record.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <set>

#include "platform/files.h"
#include "platform/message_sink.h"
#include "shogidb/db_check.h"
#include "shogidb/game_database.h"
#include "shogidb/header_rows.h"
#include "shogidb/joseki_database.h"
#include "shogidb/joseki_lines.h"
#include "shogidb/problem_database.h"
#include "shogidb/schema.h"
#include "tests/shogidb/shogidb_test_util.h"

namespace shogidb {
namespace {

namespace fs = std::filesystem;
using testing::Crlf;
using testing::Joined;

using Snapshot = std::map<std::string, std::string>;  // relative path -> bytes

Snapshot Take(const std::string& dir) {
  Snapshot files;
  for (const auto& e : fs::recursive_directory_iterator(dir)) {
    if (!e.is_regular_file()) continue;
    std::string bytes;
    platform::ReadWholeFile(e.path().string(), bytes);
    files[fs::relative(e.path(), dir).string()] = bytes;
  }
  return files;
}

// Plain writes: nothing here needs to survive a crash, and two hundred synced restores take long.
void WriteFile(const std::string& path, const std::string& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_TRUE(f) << path;
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

void Restore(const std::string& dir, const Snapshot& files) {
  testing::RemoveTree(dir);
  fs::create_directories(dir + "/pcl");
  for (const auto& [path, bytes] : files) WriteFile(dir + "/" + path, bytes);
}

// Games over several move blocks with annotations of one and of several pieces; problems with solution
// trees (a branch the tables do not keep); joseki from the games.
std::string FilledDatabase() {
  const std::string dir = testing::NewDatabase("damage_matrix", false);
  std::mt19937 rng(5);
  const std::string long_note = "'注釈:" + std::string(30, 'x') + "長い注釈が三つの断片に分かれて入る" + std::string(40, 'y');
  std::string games;
  for (int i = 0; i < 4; ++i) {
    std::vector<std::string> moves = testing::RandomGameMoves(rng, 45 + i);
    moves.insert(moves.begin() + 3, "'注釈:短い注釈");
    moves.insert(moves.begin() + 30, long_note);
    games += testing::GameText(moves, "甲-乙", "'注釈:対局の注釈\r\n") + "/\r\n";
  }
  GameDatabase b;
  b.SetDatabase(dir);
  EXPECT_EQ(b.RegisterFromCsa(games, false), 4);
  ProblemDatabase c;
  c.SetDatabase(dir);
  platform::RecordingMessageSink messages;
  c.SetJob({&messages, nullptr, nullptr});
  const std::string problems =
      Crlf({"'表題:頭金", "P1 *  *  *  *  *  *  *  * -OU", "P3 *  *  *  *  *  *  *  * +FU", "P+00KI", "P-00AL", "+",
            "+0012KI", "'注釈:頭金", "'手数目:1", "+0022KI", "'注釈:逃げられる", "/", "'表題:銀", "P1 *  *  *  *  *  *  * -KE-OU",
            "P3 *  *  *  *  *  *  *  * +FU", "P+00GI", "P-00AL", "+", "+0012GI"});
  EXPECT_EQ(c.RegisterFromCsa(problems, false), 2) << Joined(messages.messages);
  JosekiDatabase e;
  e.SetDatabase(dir);
  JosekiOptions options;
  options.annotations = true;
  RegisterJosekiFromText(e, games, options);
  return dir;
}

struct Item {
  bool problem;
  int32_t number;
};

const std::vector<Item> kItems = {{false, 0}, {false, 1}, {false, 2}, {false, 3}, {true, 0}, {true, 1}};

// The export of each item, or "" when it is refused.
std::vector<std::string> Exports(const std::string& dir) {
  platform::RecordingMessageSink messages;
  DbJob job{&messages, nullptr, nullptr};
  GameDatabase games;
  games.SetDatabase(dir);
  games.SetJob(job);
  ProblemDatabase problems;
  problems.SetDatabase(dir);
  problems.SetJob(job);
  std::vector<std::string> out;
  for (const Item& item : kItems) {
    std::string text;
    const int rc = item.problem ? problems.ExportItem(item.number, text) : games.ExportItem(item.number, text);
    out.push_back(rc == 0 ? text : std::string());
  }
  return out;
}

struct Damage {
  std::string file;
  std::string how;
};

void Apply(const std::string& dir, const Damage& d) {
  const std::string path = dir + "/" + d.file;
  std::string bytes;
  platform::ReadWholeFile(path, bytes);
  if (d.how == "delete") {
    platform::RemoveFile(path);
    return;
  }
  if (d.how == "truncate") bytes.resize(bytes.size() / 2);
  if (d.how == "zero") bytes.assign(bytes.size(), '\0');
  if (d.how.rfind("flip", 0) == 0 && !bytes.empty()) {
    const size_t at = std::stoul(d.how.substr(5)) % bytes.size();
    bytes[at] = static_cast<char>(bytes[at] ^ (1 << (at % 8)));
  }
  WriteFile(path, bytes);
}

std::vector<Damage> AllDamages(const Snapshot& files) {
  std::vector<Damage> all;
  std::mt19937 rng(17);
  for (const auto& [path, bytes] : files) {
    const bool table_file = path.rfind("SHGDB_", 0) == 0;
    if (!table_file && path.rfind("pcl/", 0) != 0) continue;
    for (const char* how : {"truncate", "delete", "zero"}) all.push_back({path, how});
    for (int i = 0; i < 6; ++i) all.push_back({path, "flip " + std::to_string(rng() % std::max<size_t>(bytes.size(), 1))});
  }
  return all;
}

TEST(DamageMatrixTest, ReadsCheckAndRepairNeverPassOffLostData) {
  const std::string dir = FilledDatabase();
  const Snapshot clean = Take(dir);
  const std::vector<std::string> original = Exports(dir);
  for (const std::string& text : original) ASSERT_FALSE(text.empty());
  int damages = 0, lost_by_damage = 0, lost_by_repair = 0, false_successes = 0, unreported = 0;
  const char* only = std::getenv("DAMAGE_ONLY");
  for (const Damage& d : AllDamages(clean)) {
    if (only && d.file + " " + d.how != only) continue;
    SCOPED_TRACE(d.file + " " + d.how);
    ++damages;
    Restore(dir, clean);
    Apply(dir, d);
    const std::vector<std::string> damaged = Exports(dir);
    if (only) {
      DatabaseCheck first;
      CheckDatabase(dir, &first);
      std::printf("check:\n%s\n", Joined(first.problems).c_str());
    }
    DatabaseCheck repaired;
    if (RepairDatabase(dir, &repaired) != 0) {
      ADD_FAILURE() << "the repair could not run:\n" << Joined(repaired.problems);
      continue;
    }
    DatabaseCheck check;
    ASSERT_EQ(CheckDatabase(dir, &check), 0);
    if (only) std::printf("repair:\n%s\n--\n%s\n", Joined(repaired.notes).c_str(), Joined(repaired.problems).c_str());
    EXPECT_EQ(check.problems, repaired.problems);
    const std::vector<std::string> after = Exports(dir);
    std::set<std::pair<bool, int32_t>> reported;  // damaged items the check names, and those the repair did
    for (const auto& [table, number] : check.damaged) reported.insert({table == kTableC, number});
    for (const std::vector<std::string>* lines : {&repaired.notes, &repaired.problems}) {
      for (const std::string& line : *lines) {
        for (const Item& item : kItems) {
          if (line.find(std::string(item.problem ? "problem " : "game ") + ZeroPadded(item.number, 6)) != std::string::npos) {
            reported.insert({item.problem, item.number});
          }
        }
      }
    }
    for (size_t i = 0; i < kItems.size(); ++i) {
      const bool whole_before = damaged[i] == original[i], whole_after = after[i] == original[i];
      if (!damaged[i].empty() && !whole_before) ++false_successes;
      // Exported short of what was stored, after the repair said so (a solution tree set aside), is no
      // silent success.
      const bool told = reported.count({kItems[i].problem, kItems[i].number}) > 0;
      if (!after[i].empty() && !whole_after && !told) ++false_successes;
      if (!whole_before && !whole_after) ++lost_by_damage;
      if (whole_before && !whole_after) ++lost_by_repair;
      if (!whole_after && !reported.count({kItems[i].problem, kItems[i].number})) ++unreported;
      EXPECT_TRUE(damaged[i].empty() || whole_before) << "a damaged item was read as whole: item " << i;
      EXPECT_TRUE(after[i].empty() || whole_after || told) << "a repaired item was read as whole: item " << i;
      EXPECT_FALSE(whole_before && !whole_after) << "the repair lost item " << i << "\n" << Joined(repaired.notes);
      EXPECT_TRUE(whole_after || reported.count({kItems[i].problem, kItems[i].number}))
          << "item " << i << " is not whole and the check does not say so\n" << Joined(check.problems);
    }
    DatabaseCheck removed;
    ASSERT_EQ(RepairDatabase(dir, &removed, true), 0);
    EXPECT_TRUE(removed.ok()) << Joined(removed.problems);
  }
  std::printf("damages tried: %d; items lost by the damage: %d; items lost by the repair: %d; "
              "successes reported over lost data: %d; damaged items the check did not name: %d\n",
              damages, lost_by_damage, lost_by_repair, false_successes, unreported);
  testing::RemoveTree(dir);
}

}  // namespace
}  // namespace shogidb
