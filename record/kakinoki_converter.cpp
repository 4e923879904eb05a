#include "record/kakinoki_converter.h"

#include <cctype>

#include "platform/files.h"
#include "platform/sjis.h"
#include "platform/text_codec.h"
#include "platform/text_scan.h"
#include "record/archive.h"
#include "record/board_diagram.h"
#include "record/csa_body.h"
#include "record/kakinoki_moves.h"
#include "record/kakinoki_text.h"
#include "record/plain_board.h"
#include "rules/notation.h"

using namespace rules;

namespace record {

namespace {

// The per-game text slots and what each is written with.
enum Slot { kEventSlot, kOpeningSlot, kUnusedSlot, kMoveCountSlot, kHandicapSlot, kTitleSlot, kDateSlot,
            kResultSlot, kSenteSlot, kGoteSlot, kSlotCount };
const char* const kSlotPrefixes[kSlotCount] = {"'棋戦名:", "'戦型:", "", "'手数:", "'手合:",
                                               "'表題:", "'対局日:", "'試合結果:", "N+", "N-"};

enum class KeywordAction { kSlot, kDate, kIgnore, kComment, kOpponentComment, kStarComment };
struct Keyword {
  const char* text;
  KeywordAction action;
  int slot;
};
// First match wins, in this order.
const Keyword kHeaderKeywords[] = {
    {"先手：", KeywordAction::kSlot, kSenteSlot},
    {"後手：", KeywordAction::kSlot, kGoteSlot},
    {"先手", KeywordAction::kSlot, kSenteSlot},
    {"後手", KeywordAction::kSlot, kGoteSlot},
    {"上手：", KeywordAction::kSlot, kGoteSlot},
    {"下手：", KeywordAction::kSlot, kSenteSlot},
    {"棋戦：", KeywordAction::kSlot, kEventSlot},
    {"戦型：", KeywordAction::kSlot, kOpeningSlot},
    {"手合割：", KeywordAction::kSlot, kHandicapSlot},
    {"表題：", KeywordAction::kSlot, kTitleSlot},
    {"対局日：", KeywordAction::kDate, kDateSlot},
    {"開始日時：", KeywordAction::kDate, kDateSlot},
    {"手数---", KeywordAction::kSlot, kMoveCountSlot},
    {"終了日時：", KeywordAction::kIgnore, 0},
    {"コメント：", KeywordAction::kComment, 0},
    {"ｺﾒﾝﾄ：", KeywordAction::kComment, 0},
    {"盤面回転", KeywordAction::kIgnore, 0},
    {"対戦相手ＩＤ：", KeywordAction::kOpponentComment, 0},
    {"*", KeywordAction::kStarComment, 0},
};

const Keyword* MatchKeyword(std::string_view line) {
  for (const Keyword& k : kHeaderKeywords) {
    if (line.starts_with(k.text)) return &k;
  }
  return nullptr;
}

// Lines that name a side but no player: abbreviations of the names and the parts of a position diagram.
bool IsSideLineWithoutName(std::string_view line) {
  for (const char* side : {"先手", "後手", "上手", "下手"}) {
    if (!line.starts_with(side)) continue;
    std::string_view rest = line.substr(4);
    return rest.starts_with("省略名") || rest.starts_with("の持駒") || rest.starts_with("番");
  }
  return false;
}

// Lines a Kakinoki record carries that are neither header nor moves: "#" comments (the version line)
// and "&" bookmarks.
bool IsIgnoredLine(std::string_view line) { return line.starts_with("#") || line.starts_with("&"); }

// Whether a line can only begin the header of another game.
bool StartsAnotherGame(std::string_view line) {
  const Keyword* k = MatchKeyword(line);
  if (k && k->action != KeywordAction::kStarComment) return true;
  return line.starts_with("#") || FindChars(line, "：") != std::string_view::npos;
}

// A "," would split the name line of the CSA text in two: it becomes the full-width "，". A lead byte
// without its second byte is dropped, so no "," hides behind it.
std::string NameWithoutCommas(std::string_view name) {
  std::string out;
  for (size_t i = 0; i < name.size(); ++i) {
    if (platform::IsSjisLeadByte(static_cast<unsigned char>(name[i]))) {
      if (i + 1 < name.size() && IsCp932TrailByte(static_cast<unsigned char>(name[i + 1]))) out.append(name.substr(i++, 2));
    } else {
      out += name[i] == ',' ? std::string("，") : std::string(1, name[i]);
    }
  }
  return out;
}

// A position diagram (BOD) in the header: the board rows, both hands and the side to move, as the
// position lines of CSA text.
struct Diagram {
  bool present = false;
  std::string rows[10];    // "P1 * -KY..." by rank
  std::string hands[2];    // "P+00HI..." / "P-00AL", by side
  Side side = kSente;
};

struct Game {
  std::string slots[kSlotCount];
  Diagram diagram;
  Side first_mover = kSente;
  std::vector<std::string> comments;  // "'注釈:..." lines of the header
  bool any_header = false;
  const KakinokiHandicap* handicap = nullptr;
  int main_length = 0;
  bool failed = false;
  GameEnd end;
  bool ended = false;       // the main line is over
  bool unchanged = false;   // it ended without saying how the game went
};

// The CSA code of a piece name of diagrams and hands; -1 when the text starts with none.
int DiagramPiece(std::string_view& s) {
  static const struct {
    const char* name;
    int code;  // kind + 8 when promoted
  } kNames[] = {{"玉", OU}, {"王", OU}, {"飛", HI}, {"角", KA}, {"金", KI}, {"銀", GI}, {"桂", KE}, {"香", KY},
                {"歩", FU}, {"龍", HI + 8}, {"竜", HI + 8}, {"馬", KA + 8}, {"全", GI + 8}, {"圭", KE + 8},
                {"杏", KY + 8}, {"と", FU + 8}};
  for (const auto& n : kNames) {
    if (s.starts_with(n.name)) {
      s.remove_prefix(2);
      return n.code;
    }
  }
  return -1;
}

// "飛　角　金四　歩十七" (or "なし", or "残り全部" for every piece left) as a CSA hand line.
std::string DiagramHand(std::string_view list, Side side) {
  std::string line = side == kSente ? "P+" : "P-";
  list = SkipKakinokiBlanks(list);
  if (list.starts_with("残り全部")) return line + "00AL";
  while (!(list = SkipKakinokiBlanks(list)).empty()) {
    const int code = DiagramPiece(list);
    if (code < 0 || code >= 8) break;
    int count = 1;
    for (int n = 18; n >= 2; --n) {
      if (list.starts_with(kCountNumerals[n])) {
        count = n;
        list.remove_prefix(std::char_traits<char>::length(kCountNumerals[n]));
        break;
      }
    }
    for (int i = 0; i < count; ++i) line += std::string("00") + kCsaPieceCodes[code];
  }
  return line;
}

// Takes a line of a position diagram: the hands, the framed rows, the frame and file numbers, and the
// side to move. False for any other line.
bool ReadDiagramLine(std::string_view raw, Diagram& d) {
  std::string_view line = SkipKakinokiBlanks(raw);
  static const struct {
    const char* key;
    Side side;
  } kHands[] = {{"先手の持駒", kSente}, {"下手の持駒", kSente}, {"後手の持駒", kGote}, {"上手の持駒", kGote}};
  for (const auto& h : kHands) {
    if (!line.starts_with(h.key)) continue;
    std::string_view list = line.substr(std::char_traits<char>::length(h.key));
    if (list.starts_with("：")) list.remove_prefix(2);
    d.hands[SideIndex(h.side)] = DiagramHand(list, h.side);
    d.present = true;
    return true;
  }
  for (const char* key : {"先手番", "下手番", "後手番", "上手番"}) {
    if (line == key) {
      d.side = line.starts_with("先手") || line.starts_with("下手") ? kSente : kGote;
      d.present = true;
      return true;
    }
  }
  if (line.starts_with("+-") || line.starts_with("９ ８")) return true;
  if (!line.starts_with("|") || line.size() < 30) return false;
  // "| ・v香 香 ..|一": nine cells of a mark (" " or "v") and a name, then the rank.
  std::string row;
  std::string_view cells = line.substr(1);
  for (int file = 9; file >= 1; --file) {
    if (cells.size() < 3) return false;
    const char mark = cells[0];
    std::string_view name = cells.substr(1, 2);
    const int code = name.starts_with("・") ? -2 : DiagramPiece(name);
    if (code == -1 || (mark != ' ' && mark != 'v')) return false;
    row += code == -2 ? std::string(" * ") : std::string(mark == 'v' ? "-" : "+") + kCsaPieceCodes[code];
    cells.remove_prefix(3);
  }
  if (!cells.starts_with("|")) return false;
  cells.remove_prefix(1);
  int rank = 0;
  for (int r = 1; r <= 9 && !rank; ++r) {
    if (cells.starts_with(kCountNumerals[r])) rank = r;
  }
  if (!rank) return false;
  d.rows[rank] = "P" + std::to_string(rank) + row;
  d.present = true;
  return true;
}

class GameConverter {
 public:
  GameConverter(const std::vector<std::string_view>& lines, const KakinokiOptions& options)
      : lines_(lines), options_(options) {}

  // Converts the game starting at line `at`; returns the line after it. `game` is empty when nothing
  // but stray lines was found.
  size_t Convert(size_t at, Game& game, KakinokiStats& stats);
  void Write(const Game& game, std::string_view source, Archive& out) const;

 private:
  size_t ReadHeader(size_t at, Game& game);
  size_t ReadMoves(size_t at, Game& game, KakinokiStats& stats);
  void EndMainLine(Game& game, bool unchanged);
  void MarkFailure();

  const std::vector<std::string_view>& lines_;
  const KakinokiOptions& options_;
  PlainBoard board_;
};

size_t GameConverter::ReadHeader(size_t at, Game& game) {
  for (; at < lines_.size(); ++at) {
    std::string_view line = SkipKakinokiBlanks(lines_[at]);
    if (line.empty() || IsIgnoredLine(line)) continue;
    if (ReadDiagramLine(lines_[at], game.diagram)) {
      game.any_header = true;
      continue;
    }
    if (IsSideLineWithoutName(line)) continue;
    const Keyword* k = MatchKeyword(line);
    if (!k) {
      if (FindChars(line, "：") == std::string_view::npos) return at;  // the first line of moves
      game.comments.push_back("'注釈:" + std::string(line));
      game.any_header = true;
      continue;
    }
    game.any_header = true;
    std::string_view value = line.substr(std::char_traits<char>::length(k->text));
    switch (k->action) {
      case KeywordAction::kStarComment:
        game.comments.push_back("'注釈:" + std::string(value));
        break;
      case KeywordAction::kComment:
        game.comments.push_back("'注釈:" + std::string(SkipKakinokiBlanks(value)));
        break;
      case KeywordAction::kOpponentComment:
        game.comments.push_back("'注釈:対戦相手ＩＤ：" + std::string(SkipKakinokiBlanks(value)));
        break;
      case KeywordAction::kDate:
        game.slots[kDateSlot] = ConvertKakinokiDate(SkipKakinokiBlanks(value));
        break;
      case KeywordAction::kSlot: {
        value = SkipKakinokiBlanks(value);
        const bool name = k->slot == kSenteSlot || k->slot == kGoteSlot;
        game.slots[k->slot] = !name ? std::string(value)
                              : options_.full_width_names ? FullWidthName(value) : NameWithoutCommas(value);
        break;
      }
      case KeywordAction::kIgnore:
        break;
    }
  }
  return at;
}

void GameConverter::EndMainLine(Game& game, bool unchanged) {
  if (game.ended) return;
  game.ended = true;
  game.unchanged = unchanged;
  game.main_length = board_.depth();
}

void GameConverter::MarkFailure() {
  board_.AddAnnotation(board_.current(), " 本棋譜はこれ以降は正常に変換されませんでした。");
  board_.AddAnnotation(board_.current(), " 元棋譜に不整合の可能性があります。");
}

size_t GameConverter::ReadMoves(size_t at, Game& game, KakinokiStats& stats) {
  KakinokiMoveReader reader(board_, game.first_mover);
  enum class Phase { kMain, kVariation, kSkip } phase = Phase::kMain;
  for (; at < lines_.size(); ++at) {
    std::string_view line = SkipKakinokiBlanks(lines_[at]);
    if (line.empty() || IsIgnoredLine(line)) continue;
    if (line.starts_with("*")) {
      if (phase == Phase::kSkip || (game.failed && phase == Phase::kMain)) continue;
      if (board_.current() == board_.root()) {
        game.comments.push_back("'注釈:" + std::string(line.substr(1)));
      } else {
        board_.AddAnnotation(board_.current(), line.substr(1));
      }
      continue;
    }
    if (line.starts_with("変化：")) {
      EndMainLine(game, false);
      if (game.failed) continue;
      std::string_view n = line.substr(6);
      int number = 0;
      while (!n.empty() && platform::IsDigit(n[0]) && number < 100000) {
        number = number * 10 + (n[0] - '0');
        n.remove_prefix(1);
      }
      if (number < 1 || number - 1 > board_.depth()) {
        ++stats.failed_variations;
        phase = Phase::kSkip;
        continue;
      }
      while (board_.depth() > number - 1) board_.StepBack();
      phase = Phase::kVariation;
      continue;
    }
    if (IsSummaryLine(line)) {
      if (phase == Phase::kMain && !game.failed) {
        EndMainLine(game, false);
        const GameEnd stated = ParseSummaryLine(line);
        if (stated.kind != GameEnd::kNone) game.end = stated;
      }
      continue;
    }
    const bool moves = KakinokiMoveReader::LooksLikeMoveLine(line);
    if (moves && phase == Phase::kMain && !game.ended) {
      switch (reader.ReadLine(line)) {
        case KakinokiMoveReader::Result::kMoves:
          break;
        case KakinokiMoveReader::Result::kEnd:
          game.end = reader.end();
          EndMainLine(game, reader.end().kind == GameEnd::kNone);
          break;
        case KakinokiMoveReader::Result::kFailed:
          MarkFailure();
          game.failed = true;
          EndMainLine(game, true);
          ++stats.failed_games;
          break;
      }
      continue;
    }
    if (moves && phase == Phase::kVariation) {
      const KakinokiMoveReader::Result r = reader.ReadLine(line);
      if (r == KakinokiMoveReader::Result::kFailed) {
        MarkFailure();
        ++stats.failed_variations;
      }
      if (r != KakinokiMoveReader::Result::kMoves) phase = Phase::kSkip;
      continue;
    }
    if (moves) continue;  // moves after the end, or the rest of a cut variation
    // A line that is no move: the moves are over. One that begins a header begins the next game.
    if (StartsAnotherGame(line)) {
      EndMainLine(game, true);
      return at;
    }
    EndMainLine(game, false);
  }
  EndMainLine(game, false);
  return at;
}

size_t GameConverter::Convert(size_t at, Game& game, KakinokiStats& stats) {
  at = ReadHeader(at, game);
  game.handicap = &HandicapOf(game.slots[kHandicapSlot]);
  std::string position;
  if (game.diagram.present) {
    // A diagram gives the position; the 手合割 still names the sides.
    for (int rank = 1; rank <= 9; ++rank) position += game.diagram.rows[rank] + "\n";
    position += game.diagram.hands[SideIndex(kSente)] + "\n" + game.diagram.hands[SideIndex(kGote)] + "\n";
    game.first_mover = game.diagram.side;
  } else {
    position = std::string(game.handicap->pi) + "\n";
    game.first_mover = game.handicap->handicap ? kGote : kSente;
  }
  position += game.first_mover == kGote ? "-\n" : "+\n";
  Archive setup = Archive::FromBytes(position);
  board_.ReadCsaBody(setup);
  const size_t first_move_line = at;
  at = ReadMoves(at, game, stats);
  if (!game.any_header && board_.root()->child == nullptr && !game.failed) {
    game.any_header = false;
    // Nothing but stray lines: step over one so the caller makes progress.
    return at == first_move_line ? at + 1 : at;
  }
  game.any_header = true;
  return at;
}

void GameConverter::Write(const Game& game, std::string_view source, Archive& out) const {
  Game g = game;
  if (g.slots[kEventSlot].empty()) g.slots[kEventSlot] = options_.event;
  if (g.slots[kDateSlot].empty()) g.slots[kDateSlot] = options_.date;
  g.slots[kMoveCountSlot] = std::to_string(g.main_length);
  const bool handicap = g.handicap->handicap;
  auto winner_text = [&](Side side) -> std::string {
    if (handicap) return side == kSente ? "下手勝ち" : "上手勝ち";
    return side == kSente ? "先手勝ち" : "後手勝ち";
  };
  std::string end_line = "%TORYO";
  if (g.failed) {
    end_line = "%ERROR";
  } else if (g.end.kind != GameEnd::kNone) {
    end_line = CsaEndLine(g.end);
    if (end_line.empty()) end_line = "%TORYO";
    // "まで3手で詰み" names no side: the side that made the last move mated.
    if (g.end.kind == GameEnd::kMate && g.end.winner == kSideUnset) {
      g.end.winner = g.main_length % 2 == 1 ? g.first_mover : Opponent(g.first_mover);
    }
    if (g.end.kind == GameEnd::kRepetition) g.slots[kResultSlot] = "千日手";
    if (g.end.kind == GameEnd::kImpasse) g.slots[kResultSlot] = "持将棋";
    if (g.end.kind == GameEnd::kAbort) g.slots[kResultSlot] = "中断";
    if (g.end.winner != kSideUnset) g.slots[kResultSlot] = winner_text(g.end.winner);
  } else if (!g.unchanged) {
    // The moves just stopped: the side that made the last move is taken to have won.
    g.slots[kResultSlot] = winner_text(g.main_length % 2 == 1 ? g.first_mover : Opponent(g.first_mover));
  }
  for (int s = 0; s < kSlotCount; ++s) {
    if (s != kUnusedSlot && !g.slots[s].empty()) out.WriteLine(kSlotPrefixes[s] + g.slots[s]);
  }
  for (const std::string& c : g.comments) out.WriteLine(c);
  out.WriteLine("'注釈: 変換元ファイル[" + std::string(source) + "]");
  if (g.diagram.present) {
    board_.WriteCsaPosition(out);
  } else {
    out.WriteLine(g.handicap->pi);
    out.WriteLine(g.first_mover == kGote ? "-" : "+");
  }
  if (const MoveNote* note = board_.root()->note) {
    for (const std::string& line : note->lines) out.WriteLine("'注釈:" + line);
  }
  WriteCsaMoveTree(*board_.root(), 1, out);
  out.WriteLine(end_line);
}

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const size_t lf = text.find('\n');
    std::string_view line = text.substr(0, lf);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (lf == std::string_view::npos) break;
    text.remove_prefix(lf + 1);
  }
  return lines;
}

}  // namespace

KakinokiStats ConvertKakinokiText(std::string_view text, std::string_view source_path,
                                  const KakinokiOptions& options, Archive& out, bool& separator_due) {
  KakinokiStats stats;
  const std::vector<std::string_view> lines = SplitLines(text);
  size_t at = 0;
  while (at < lines.size()) {
    if (SkipKakinokiBlanks(lines[at]).empty()) {
      ++at;
      continue;
    }
    GameConverter converter(lines, options);
    Game game;
    at = converter.Convert(at, game, stats);
    if (!game.any_header) continue;
    if (separator_due) out.WriteLine("/");
    converter.Write(game, source_path, out);
    separator_due = true;
    ++stats.games;
  }
  return stats;
}

// --- the batch --------------------------------------------------------------------------------------

namespace {

bool EndsWithCsa(std::string_view name) {
  if (name.size() < 4) return false;
  std::string ext;
  for (char c : name.substr(name.size() - 4)) ext += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext == ".csa";
}

std::string BaseName(std::string_view path) {
  const size_t slash = path.find_last_of('/');
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const size_t dot = name.find_last_of('.');
  if (dot != std::string_view::npos && dot > 0) name = name.substr(0, dot);
  return std::string(name);
}

std::string JoinPath(const std::string& dir, std::string_view name) {
  return dir.empty() || dir.back() == '/' ? dir + std::string(name) : dir + "/" + std::string(name);
}

bool ReadInput(const std::string& path, std::string& text) {
  std::string bytes;
  if (!platform::ReadWholeFile(path, bytes)) return false;
  text = platform::InputTextToCp932(bytes);
  return true;
}

}  // namespace

KakinokiBatchResult RunKakinokiBatch(const KakinokiBatch& batch, platform::MessageSink& messages) {
  KakinokiBatchResult result;
  if (batch.inputs.empty()) {
    messages.Show("入力ファイル未設定");
    return result;
  }
  if (batch.out_dir.empty()) {
    messages.Show("出力ディレクトリ未設定");
    return result;
  }
  if (batch.bulk && batch.out_file.empty()) {
    messages.Show("出力ファイル未設定");
    return result;
  }
  result.ran = true;
  auto add = [&](const KakinokiStats& s) {
    result.stats.games += s.games;
    result.stats.failed_games += s.failed_games;
    result.stats.failed_variations += s.failed_variations;
  };

  if (!batch.bulk) {
    for (const std::string& input : batch.inputs) {
      std::string text;
      if (!ReadInput(input, text)) {
        messages.Show("入力[" + input + "]が開けません");
        ++result.files_failed;
        continue;
      }
      const std::string output = JoinPath(batch.out_dir, BaseName(input) + ".csa");
      Archive out = Archive::ToFile(output, false);
      if (!out.ok()) {
        messages.Show("出力[" + output + "]が開けません");
        ++result.files_failed;
        continue;
      }
      bool separator_due = false;
      add(ConvertKakinokiText(text, input, batch.options, out, separator_due));
      if (!out.Close()) {
        messages.Show("出力[" + output + "]が開けません");
        ++result.files_failed;
        continue;
      }
      ++result.files_converted;
      result.csa_file = output;
    }
    messages.Show("ディレクトリ " + batch.out_dir + " に個別出力しました");
    return result;
  }

  std::string name = batch.out_file;
  if (!EndsWithCsa(name)) name += ".csa";
  const std::string output = JoinPath(batch.out_dir, name);
  // Appending to a file that holds games already: the first new game needs its separator, and the
  // last old line its line end.
  std::string existing;
  const bool had_games = !batch.overwrite && platform::ReadWholeFile(output, existing) &&
                         existing.find_first_not_of(" \t\r\n") != std::string::npos;
  Archive out = Archive::ToFile(output, !batch.overwrite);
  if (!out.ok()) {
    messages.Show("出力[" + output + "]が開けません");
    ++result.files_failed;
    return result;
  }
  if (had_games && existing.back() != '\n') out.Write("\r\n");
  bool separator_due = had_games;
  for (const std::string& input : batch.inputs) {
    std::string text;
    if (!ReadInput(input, text)) {
      messages.Show("入力[" + input + "]が開けません");
      ++result.files_failed;
      continue;
    }
    add(ConvertKakinokiText(text, input, batch.options, out, separator_due));
    ++result.files_converted;
  }
  if (!out.Close()) {
    messages.Show("出力[" + output + "]が開けません");
    ++result.files_failed;
  }
  result.csa_file = output;
  messages.Show("ファイル " + output + " に一括出力しました");
  return result;
}

}  // namespace record
