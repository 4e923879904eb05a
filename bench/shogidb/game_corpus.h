// Reproducible games for the database benchmark: random legal play from a fixed seed, with shared
// openings (so that positions recur across games) and exact copies (so that duplicates exist).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace bench {

struct CorpusGame {
  std::vector<std::string> moves;  // CSA move lines ("+7776FU")
  int opening = -1;                // the shared opening it starts with, or -1
  int copy_of = -1;                // the earlier game whose moves it repeats, or -1
};

struct Corpus {
  std::vector<std::vector<std::string>> openings;
  std::vector<CorpusGame> games;
};

constexpr int kOpeningPlies = 20;

// `count` games of up to `plies` moves (a game ends early when the side to move has no legal move).
Corpus MakeCorpus(uint32_t seed, int count, int plies);

// The CSA text of game `index`: header lines (date, event, opening name), players, the even position,
// the moves. The players come from a small pool, so that header conditions find some of the games.
std::string CorpusGameText(const CorpusGame& game, int index);

}  // namespace bench
