#include "bench/shogidb/game_corpus.h"

#include <cstdio>
#include <optional>
#include <random>

#include "record/plain_board.h"
#include "tests/support/reference_rules.h"

using namespace rules;
using namespace record;

namespace bench {
namespace {

// A move drawn uniformly from (source, target square, promotion flag) triples, where a source is a square
// holding one of the mover's pieces or a kind in its hand; none when the triple is no move of play. Each
// legal move is exactly one triple, so drawing until one is legal picks each legal move with the same
// chance, and tests far fewer moves than listing them all.
std::optional<RefMove> DrawMove(std::mt19937& rng, const RefPosition& p, const std::vector<int>& sources) {
  const int side = p.side_to_move;
  const int source = sources[rng() % sources.size()];
  const int tf = 1 + static_cast<int>(rng() % 9), tr = 1 + static_cast<int>(rng() % 9);
  const bool promote = rng() % 2 == 0;
  const RefPiece& t = p.at[tf][tr];
  if (t.kind >= 0 && t.side == side) return std::nullopt;
  if (source < 0) {  // a drop of kind -source - 1
    const int kind = -source - 1;
    if (promote || !RefDropAllowed(p, kind, side, tf, tr) || (kind == FU && RefTwoPawns(p, side, tf, tr))) {
      return std::nullopt;
    }
    return RefMove{kind, false, side, 0, 0, tf, tr, false};
  }
  const int ff = source / 10, fr = source % 10;
  const RefPiece& q = p.at[ff][fr];
  if (!RefCanReach(p, ff, fr, tf, tr)) return std::nullopt;
  const int c = RefPromotionClass(q.kind, q.promoted, side, fr, tr);
  if (promote ? c == 0 : c == 2) return std::nullopt;
  return RefMove{q.kind, q.promoted, side, ff, fr, tf, tr, q.promoted || promote};
}

// A legal move chosen at random, or none when the side to move has none.
std::optional<RefMove> RandomLegalMove(std::mt19937& rng, const RefPosition& p) {
  std::vector<int> sources;
  for (int f = 1; f <= 9; ++f) {
    for (int r = 1; r <= 9; ++r) {
      if (p.at[f][r].kind >= 0 && p.at[f][r].side == p.side_to_move) sources.push_back(f * 10 + r);
    }
  }
  for (int kind = 0; kind < kKindCount; ++kind) {
    if (p.hand[p.side_to_move][kind] > 0) sources.push_back(-kind - 1);
  }
  for (int tries = 0; tries < 20000 && !sources.empty(); ++tries) {
    std::optional<RefMove> m = DrawMove(rng, p, sources);
    if (m && !RefKingAttacked(RefApply(p, *m), p.side_to_move)) return m;
  }
  // Few or no legal moves (mate, or nearly): list them.
  std::vector<RefMove> legal = RefLegalMoves(p, p.side_to_move);
  if (legal.empty()) return std::nullopt;
  return legal[rng() % legal.size()];
}

// Plays random legal moves from `p` until `moves` holds `plies` of them or no move is left; the position
// reached.
RefPosition PlayRandom(std::mt19937& rng, RefPosition p, int plies, std::vector<std::string>& moves) {
  while (static_cast<int>(moves.size()) < plies) {
    std::optional<RefMove> m = RandomLegalMove(rng, p);
    if (!m) break;
    moves.push_back(RefMoveKey(*m));
    p = RefApply(p, *m);
  }
  return p;
}

const char* const kPlayers[] = {"羽生善治", "谷川浩司", "佐藤康光", "森内俊之", "渡辺明",   "藤井聡太",
                                "豊島将之", "永瀬拓矢", "広瀬章人", "久保利明", "郷田真隆", "丸山忠久",
                                "木村一基", "稲葉陽",   "斎藤慎太郎", "菅井竜也", "糸谷哲郎", "深浦康市",
                                "三浦弘行", "屋敷伸之", "行方尚史", "千田翔太", "中村太地", "増田康宏"};
constexpr int kPlayerCount = static_cast<int>(sizeof kPlayers / sizeof kPlayers[0]);
const char* const kEvents[] = {"竜王戦", "名人戦", "王位戦", "王座戦", "棋王戦", "王将戦", "棋聖戦", "叡王戦"};
const char* const kOpenings[] = {"矢倉", "角換わり", "相掛かり", "横歩取り", "四間飛車", "三間飛車", "中飛車", "雁木"};

}  // namespace

Corpus MakeCorpus(uint32_t seed, int count, int plies) {
  std::mt19937 rng(seed);
  Corpus c;
  PlainBoard board;
  const RefPosition start = Snapshot(board);
  std::vector<RefPosition> opening_ends;
  for (int i = 0; i < 50; ++i) {
    c.openings.emplace_back();
    opening_ends.push_back(PlayRandom(rng, start, kOpeningPlies, c.openings.back()));
  }
  for (int i = 0; i < count; ++i) {
    CorpusGame g;
    if (i % 100 == 99) {
      // About one game in a hundred repeats an earlier one move for move.
      g.copy_of = static_cast<int>(rng() % static_cast<uint32_t>(i));
      g.moves = c.games[static_cast<size_t>(g.copy_of)].moves;
      g.opening = c.games[static_cast<size_t>(g.copy_of)].opening;
    } else if (i % 4 == 0) {
      // A quarter of the games begin with one of the shared openings.
      g.opening = static_cast<int>(rng() % c.openings.size());
      g.moves = c.openings[static_cast<size_t>(g.opening)];
      PlayRandom(rng, opening_ends[static_cast<size_t>(g.opening)], plies, g.moves);
    } else {
      PlayRandom(rng, start, plies, g.moves);
    }
    c.games.push_back(std::move(g));
  }
  return c;
}

std::string CorpusGameText(const CorpusGame& game, int index) {
  const int sente = (index * 7) % kPlayerCount;
  const int gote = (sente + 1 + (index * 13) % (kPlayerCount - 1)) % kPlayerCount;
  char date[16];
  std::snprintf(date, sizeof date, "%04d%02d%02d", 1990 + index % 35, 1 + index % 12, 1 + index % 28);
  std::string text = std::string("'対局日:") + date + "\r\n";
  text += std::string("'棋戦名:") + kEvents[index % 8] + "\r\n";
  text += std::string("'戦型:") + kOpenings[(index / 8) % 8] + "\r\n";
  text += std::string("N+") + kPlayers[sente] + "\r\nN-" + kPlayers[gote] + "\r\n";
  text += "PI\r\n+\r\n";
  for (const std::string& m : game.moves) text += m + "\r\n";
  return text;
}

}  // namespace bench
