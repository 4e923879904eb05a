// A registration killed at a random moment: a child process registers games while the parent kills it
// after a random delay. The repair must leave a database the check passes, every game the child reported
// registered must export with its moves and annotation, and registering goes on from there.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>

#include "shogidb/db_check.h"
#include "shogidb/game_database.h"
#include "tests/shogidb/shogidb_test_util.h"

namespace shogidb {
namespace {

constexpr int kGames = 120;

struct Games {
  std::vector<std::vector<std::string>> moves;
  std::string text;  // all of them, separated by "/"
};

Games MakeGames(unsigned seed) {
  std::mt19937 rng(seed);
  Games g;
  for (int i = 0; i < kGames; ++i) {
    g.moves.push_back(testing::RandomGameMoves(rng, 60 + static_cast<int>(rng() % 60)));
    const std::string players = "P" + std::to_string(i) + "-Q";
    g.text += testing::GameText(g.moves.back(), players, "'注釈:局" + std::to_string(i) + "\r\n") + "/\r\n";
  }
  return g;
}

int CountOf(const std::string& text, const std::string& word) {
  int n = 0;
  for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) ++n;
  return n;
}

// Progress lines written into a pipe, one per line, so the parent learns what the child finished.
class PipeProgress final : public platform::ProgressSink {
 public:
  explicit PipeProgress(int fd) : fd_(fd) {}
  void Line(std::string_view text) override {
    std::string line(text);
    line += '\n';
    if (write(fd_, line.data(), line.size()) < 0) _exit(3);
  }

 private:
  int fd_;
};

// Runs the registration in a child and kills it `delay_us` after it reported `after` games registered;
// returns the progress text it wrote.
std::string RegisterAndKill(const std::string& dir, const std::string& text, int after, int delay_us) {
  int fds[2];
  EXPECT_EQ(pipe(fds), 0);
  const pid_t child = fork();
  if (child == 0) {
    close(fds[0]);
    PipeProgress progress(fds[1]);
    GameDatabase db;
    db.SetDatabase(dir);
    db.SetJob(DbJob{nullptr, &progress, nullptr}.Complete());
    db.RegisterFromCsa(text, false);
    _exit(0);
  }
  close(fds[1]);
  std::string out;
  char buffer[4096];
  auto read_some = [&] {
    const ssize_t n = read(fds[0], buffer, sizeof buffer);
    if (n > 0) out.append(buffer, static_cast<size_t>(n));
    return n > 0;
  };
  while (CountOf(out, "登録しました") < after && read_some()) {
  }
  usleep(static_cast<useconds_t>(delay_us));
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
  while (read_some()) {
  }
  close(fds[0]);
  return out;
}

// The game numbers the child reported registered (new or updated), with the players named in each report.
std::map<int, std::string> Reported(const std::string& progress) {
  std::map<int, std::string> games;
  for (const std::string& line : testing::Lines(progress)) {
    const size_t number = line.find("(対局番号=");
    if (line.rfind("対局 ", 0) != 0 || number == std::string::npos || line.find("登録しました") == std::string::npos) {
      continue;
    }
    const size_t digits = number + std::string("(対局番号=").size();
    games[std::atoi(line.substr(digits, 6).c_str())] = line.substr(5, line.find(' ', 5) - 5);
  }
  return games;
}

std::vector<std::string> MoveLines(const std::string& csa) {
  std::vector<std::string> moves;
  for (const std::string& l : testing::Lines(csa)) {
    if (l.size() == 7 && (l[0] == '+' || l[0] == '-')) moves.push_back(l);
  }
  return moves;
}

void ExpectIntact(GameDatabase& db, int number, const std::string& players, const Games& games) {
  const int index = std::atoi(players.c_str() + 1);
  ASSERT_LT(index, kGames) << players;
  std::string csa;
  ASSERT_EQ(db.ExportCsa(number, csa), 0) << "game " << number << " (" << players << ") lost";
  EXPECT_EQ(MoveLines(csa), games.moves[index]) << players;
  EXPECT_NE(csa.find("'注釈:局" + std::to_string(index) + "\r\n"), std::string::npos) << players;
}

TEST(KilledImportTest, RepairKeepsEveryReportedGameAndRegistrationGoesOn) {
  const Games games = MakeGames(5);
  std::mt19937 rng(17);
  for (int round = 0; round < 20; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const std::string dir = testing::NewDatabase("killed_" + std::to_string(round));
    const int after = static_cast<int>(rng() % kGames);
    const int delay_us = static_cast<int>(rng() % 400);
    const std::map<int, std::string> reported = Reported(RegisterAndKill(dir, games.text, after, delay_us));

    DatabaseCheck check;
    ASSERT_EQ(RepairDatabase(dir, &check), 0);
    ASSERT_TRUE(check.ok()) << testing::Joined(check.problems);
    GameDatabase db;
    db.SetDatabase(dir);
    for (const auto& [number, players] : reported) ExpectIntact(db, number, players, games);

    // Whatever the kill left, the same games register again (as new games) and the check stays clean.
    EXPECT_EQ(db.RegisterFromCsa(games.text, false), kGames);
    ASSERT_EQ(CheckDatabase(dir, &check), 0);
    EXPECT_TRUE(check.ok()) << testing::Joined(check.problems);
    std::vector<ListEntry> all;
    ASSERT_EQ(db.Search("", {}, all), 0);
    EXPECT_GE(all.size(), reported.size() + kGames);
    testing::RemoveTree(dir);
  }
}

// Game i again, with the moves of game i + 1 and its number: an update of every game.
std::string UpdateText(const Games& games) {
  std::string text;
  for (int i = 0; i < kGames; ++i) {
    char number[32];
    std::snprintf(number, sizeof number, "'対局番号:%06d\r\n", i);
    text += testing::GameText(games.moves[(i + 1) % kGames], "U" + std::to_string(i) + "-Q", number) + "/\r\n";
  }
  return text;
}

TEST(KilledImportTest, AKilledUpdateLeavesEachGameOldNewOrRemovedWhole) {
  const Games games = MakeGames(9);
  const std::string updates = UpdateText(games);
  std::mt19937 rng(23);
  for (int round = 0; round < 12; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const std::string dir = testing::NewDatabase("killed_update_" + std::to_string(round));
    GameDatabase db;
    db.SetDatabase(dir);
    ASSERT_EQ(db.RegisterFromCsa(games.text, false), kGames);
    const int after = static_cast<int>(rng() % kGames);
    const std::map<int, std::string> reported =
        Reported(RegisterAndKill(dir, updates, after, static_cast<int>(rng() % 400)));

    DatabaseCheck check;
    ASSERT_EQ(RepairDatabase(dir, &check), 0);
    ASSERT_TRUE(check.ok()) << testing::Joined(check.problems);
    int missing = 0;
    for (int i = 0; i < kGames; ++i) {
      std::string csa;
      if (db.ExportCsa(i, csa) != 0) {
        EXPECT_EQ(reported.count(i), 0u) << "updated game " << i << " lost";
        ++missing;
        continue;
      }
      const std::vector<std::string> moves = MoveLines(csa);
      const bool updated = moves == games.moves[(i + 1) % kGames];
      EXPECT_TRUE(updated || moves == games.moves[i]) << "game " << i << " has moves of neither version";
      if (reported.count(i)) {
        EXPECT_TRUE(updated) << "game " << i << " was reported updated";
      }
    }
    // Only the game being updated when the process died may be gone.
    EXPECT_LE(missing, 1);
    testing::RemoveTree(dir);
  }
}

}  // namespace
}  // namespace shogidb
