#include "record/kakinoki_converter.h"

#include <cctype>
#include <set>

#include "platform/files.h"
#include "platform/sjis.h"
#include "platform/text_codec.h"
#include "record/archive.h"
#include "record/csa_body.h"
#include "record/kakinoki_diagram.h"
#include "record/kakinoki_moves.h"
#include "record/kakinoki_text.h"
#include "record/plain_board.h"

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

struct Game {
  std::string slots[kSlotCount];
  KakinokiDiagram diagram;
  Side first_mover = kSente;
  std::vector<std::string> comments;  // "'注釈:..." lines of the header
  bool any_header = false;
  const KakinokiHandicap* handicap = nullptr;  // nullptr: a 手合割 name not known
  std::string refusal;                          // why the game cannot be converted; "" when it can
  int main_length = 0;
  Side side_at_end = kSente;  // to move after the main line
  bool failed = false;
  GameEnd end;                // as the main line's ending word or summary line states it
  bool ended = false;         // the main line is over
  bool summary_closed = false;  // a later summary line belongs to something other than the main line
};

class GameConverter {
 public:
  GameConverter(const std::vector<std::string_view>& lines, const KakinokiOptions& options)
      : lines_(lines), options_(options) {}

  // Converts the game starting at line `at`; returns the line after it. `game` is empty when nothing
  // but stray lines was found; it has a refusal when its start position cannot be known.
  size_t Convert(size_t at, Game& game, KakinokiStats& stats);
  void Write(const Game& game, std::string_view source, Archive& out) const;

 private:
  size_t ReadHeader(size_t at, Game& game);
  std::string StartPosition(Game& game, std::vector<std::string>& position) const;
  size_t ReadMoves(size_t at, Game& game, KakinokiStats& stats);
  void ReadMainLine(Game& game, KakinokiMoveReader& reader, std::string_view line, KakinokiStats& stats);
  bool StartVariation(Game& game, std::string_view header, KakinokiStats& stats);
  void TakeSummary(Game& game, std::string_view line);
  void EndMainLine(Game& game);
  void MarkFailure();

  const std::vector<std::string_view>& lines_;
  const KakinokiOptions& options_;
  PlainBoard board_;
};

size_t GameConverter::ReadHeader(size_t at, Game& game) {
  for (; at < lines_.size(); ++at) {
    std::string_view line = SkipKakinokiBlanks(lines_[at]);
    if (line.empty() || IsIgnoredLine(line)) continue;
    if (game.diagram.Take(lines_[at])) {
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

// The start position as CSA position lines, and the first mover; the reason when there is none. A
// diagram gives the position (the 手合割 still names the sides); otherwise the 手合割 does, and a name
// not known must not become the even game.
std::string GameConverter::StartPosition(Game& game, std::vector<std::string>& position) const {
  game.handicap = HandicapOf(game.slots[kHandicapSlot]);
  if (game.diagram.present()) {
    if (std::string problem = game.diagram.Problem(); !problem.empty()) return problem;
    position = game.diagram.PositionLines();
    game.first_mover = kSente;
  } else if (!game.handicap || !*game.handicap->pi) {
    return "手合割が読めません(手合割：" + game.slots[kHandicapSlot] + ")";
  } else {
    position = {game.handicap->pi};
    game.first_mover = game.handicap->handicap ? kGote : kSente;
  }
  if (game.diagram.side_to_move() != kSideUnset) game.first_mover = game.diagram.side_to_move();
  return "";
}

void GameConverter::EndMainLine(Game& game) {
  if (game.ended) return;
  game.ended = true;
  game.main_length = board_.depth();
  game.side_at_end = board_.side_to_move() == kGote ? kGote : kSente;
}

void GameConverter::MarkFailure() {
  board_.AddAnnotation(board_.current(), " 本棋譜はこれ以降は正常に変換されませんでした。");
  board_.AddAnnotation(board_.current(), " 元棋譜に不整合の可能性があります。");
}

void GameConverter::ReadMainLine(Game& game, KakinokiMoveReader& reader, std::string_view line,
                                 KakinokiStats& stats) {
  switch (reader.ReadLine(line)) {
    case KakinokiMoveReader::Result::kMoves:
      break;
    case KakinokiMoveReader::Result::kEnd:
      EndMainLine(game);
      game.end = reader.end();
      break;
    case KakinokiMoveReader::Result::kFailed:
      MarkFailure();
      game.failed = true;
      EndMainLine(game);
      ++stats.failed_games;
      break;
  }
}

// Steps back to where the variation branches off. One that names no move of the line read last is
// counted and said in the header's comments, since it has no place of its own in the tree.
bool GameConverter::StartVariation(Game& game, std::string_view header, KakinokiStats& stats) {
  if (game.failed) return false;  // the game says already that it stops
  const int number = VariationMove(header);
  if (number < 1 || number - 1 > board_.depth()) {
    ++stats.failed_variations;
    game.comments.push_back("'注釈: " + std::string(header) + " は変換されませんでした。");
    return false;
  }
  while (board_.depth() > number - 1) board_.StepBack();
  return true;
}

// A summary line right after the main line states its ending, unless an ending word did already.
void GameConverter::TakeSummary(Game& game, std::string_view line) {
  EndMainLine(game);
  if (game.failed || game.summary_closed) return;
  game.summary_closed = true;
  if (game.end.kind == GameEnd::kNone) game.end = ParseSummaryLine(line, game.side_at_end);
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
    if (VariationMove(line) >= 0) {
      EndMainLine(game);
      phase = StartVariation(game, line, stats) ? Phase::kVariation : Phase::kSkip;
      continue;
    }
    if (IsSummaryLine(line)) {
      if (phase == Phase::kMain) TakeSummary(game, line);
      continue;
    }
    const bool moves = KakinokiMoveReader::LooksLikeMoveLine(line);
    if (moves && phase == Phase::kMain && !game.ended) {
      ReadMainLine(game, reader, line, stats);
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
    if (moves) {
      // Moves after the end, or the rest of a cut variation: a summary after them is theirs.
      game.summary_closed = true;
      continue;
    }
    // A line that is no move: the moves are over. One that begins a header begins the next game.
    EndMainLine(game);
    if (StartsAnotherGame(line)) return at;
  }
  EndMainLine(game);
  return at;
}

size_t GameConverter::Convert(size_t at, Game& game, KakinokiStats& stats) {
  at = ReadHeader(at, game);
  std::vector<std::string> position;
  game.refusal = StartPosition(game, position);
  KakinokiStats refused_stats;
  if (!game.refusal.empty()) {
    // The moves are still read from a stand-in position, only to find where the game ends.
    position = {"PI"};
    game.first_mover = kSente;
  }
  std::string text;
  for (const std::string& line : position) text += line + "\n";
  text += game.first_mover == kGote ? "-\n" : "+\n";
  Archive setup = Archive::FromBytes(text);
  board_.ReadCsaBody(setup);
  const size_t first_move_line = at;
  at = ReadMoves(at, game, game.refusal.empty() ? stats : refused_stats);
  if (!game.any_header && board_.root()->child == nullptr && !game.failed) {
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
  // Only an ending the record states gives a result: moves that just stop are a game in progress or an
  // excerpt. An ending CSA has no word for lives in the 試合結果 alone.
  std::string end_line = "%ERROR";
  if (!g.failed) {
    g.slots[kResultSlot] = ResultText(g.end, g.handicap && g.handicap->handicap);
    end_line = CsaEndLineFor(g.end, g.side_at_end);
  }
  for (int s = 0; s < kSlotCount; ++s) {
    if (s != kUnusedSlot && !g.slots[s].empty()) out.WriteLine(kSlotPrefixes[s] + g.slots[s]);
  }
  for (const std::string& c : g.comments) out.WriteLine(c);
  out.WriteLine("'注釈: 変換元ファイル[" + std::string(source) + "]");
  if (g.diagram.present()) {
    board_.WriteCsaPosition(out);
  } else {
    out.WriteLine(g.handicap->pi);
    out.WriteLine(g.first_mover == kGote ? "-" : "+");
  }
  if (const MoveNote* note = board_.root()->note) {
    for (const std::string& line : note->lines) out.WriteLine("'注釈:" + line);
  }
  WriteCsaMoveTree(*board_.root(), 1, out);
  if (!end_line.empty()) out.WriteLine(end_line);
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
    if (!game.refusal.empty()) {
      ++stats.refused_games;
      stats.problems.push_back("入力[" + std::string(source_path) + "]の" + game.refusal);
      continue;
    }
    if (separator_due) out.WriteLine("/");
    converter.Write(game, source_path, out);
    separator_due = true;
    ++stats.games;
  }
  return stats;
}

// --- the batch --------------------------------------------------------------------------------------

namespace {

// ASCII letters lowered; the second bytes of double-byte characters left alone.
std::string AsciiLower(std::string_view text) {
  std::string lower(text);
  for (size_t i = 0; i < lower.size(); i += platform::SjisCharLength(lower, i)) {
    lower[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(lower[i])));
  }
  return lower;
}

bool EndsWithCsa(std::string_view name) { return name.size() >= 4 && AsciiLower(name.substr(name.size() - 4)) == ".csa"; }

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

// The output of an input in one file per input: its base name and ".csa", numbered from "-2" on when an
// earlier input of the same run has the name (g.kif, g.kifu and g.ki2 give g.csa, g-2.csa, g-3.csa; so do
// a/g.kif and b/g.kif). Names that differ only in case count as one, as they are on a USB stick. The
// names depend on the inputs alone, so a run repeated finds the files of the last one.
std::string OutputNameFor(const std::string& input, std::set<std::string>& taken) {
  const std::string base = BaseName(input);
  std::string name = base + ".csa";
  for (int n = 2; !taken.insert(AsciiLower(name)).second; ++n) name = base + "-" + std::to_string(n) + ".csa";
  return name;
}

bool ReadInput(const std::string& path, std::string& text) {
  std::string bytes;
  if (!platform::ReadWholeFile(path, bytes)) return false;
  text = platform::InputTextToCp932(bytes);
  return true;
}

// The files the inputs name, so that no output is written over one of them.
std::set<platform::FileId> InputFiles(const std::vector<std::string>& inputs) {
  std::set<platform::FileId> files;
  for (const std::string& input : inputs) {
    if (std::optional<platform::FileId> id = platform::FileIdOf(input)) files.insert(*id);
  }
  return files;
}

bool IsInput(const std::string& output, const std::set<platform::FileId>& inputs) {
  const std::optional<platform::FileId> id = platform::FileIdOf(output);
  return id && inputs.count(*id) > 0;
}

// Writes one output whole (or leaves the old file as it was), saying why when it cannot.
bool WriteOutput(const std::string& path, std::string_view text, platform::MessageSink& messages) {
  platform::ReplacementFile file;
  if (!file.Open(path)) {
    messages.Show("出力[" + path + "]が開けません");
    return false;
  }
  if (!file.Write(text) || !file.Commit()) {
    messages.Show("出力[" + path + "]に書き込めません");
    return false;
  }
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
  if (!platform::IsDirectory(batch.out_dir)) {
    messages.Show("出力ディレクトリ[" + batch.out_dir + "]がありません");
    ++result.files_failed;
    return result;
  }
  auto add = [&](const KakinokiStats& s) {
    result.stats.games += s.games;
    result.stats.failed_games += s.failed_games;
    result.stats.failed_variations += s.failed_variations;
    result.stats.refused_games += s.refused_games;
    result.stats.problems.insert(result.stats.problems.end(), s.problems.begin(), s.problems.end());
  };
  const std::set<platform::FileId> input_files = InputFiles(batch.inputs);
  auto refuse_input_as_output = [&](const std::string& output) {
    messages.Show("出力[" + output + "]は入力と同じファイルなので書きませんでした");
    ++result.files_failed;
  };
  // Reads and converts one input; false when it gave nothing to write (said why).
  int taken_up = 0;
  auto tell_progress = [&] {
    if (batch.on_input) batch.on_input(++taken_up, static_cast<int>(batch.inputs.size()));
  };
  auto convert = [&](const std::string& input, Archive& out, bool& separator_due) {
    std::string text;
    if (!ReadInput(input, text)) {
      messages.Show("入力[" + input + "]が開けません");
      ++result.files_failed;
      return false;
    }
    const KakinokiStats stats = ConvertKakinokiText(text, input, batch.options, out, separator_due);
    add(stats);
    ++result.files_converted;
    for (const std::string& problem : stats.problems) messages.Show(problem);
    if (stats.games > 0) return true;
    if (stats.problems.empty()) messages.Show("入力[" + input + "]に棋譜がありません");
    ++result.files_failed;
    return false;
  };

  if (!batch.bulk) {
    std::set<std::string> taken;
    for (const std::string& input : batch.inputs) {
      tell_progress();
      const std::string output = JoinPath(batch.out_dir, OutputNameFor(input, taken));
      if (IsInput(output, input_files)) {
        refuse_input_as_output(output);
        continue;
      }
      Archive csa = Archive::ToMemory();
      bool separator_due = false;
      if (!convert(input, csa, separator_due)) continue;
      // An output is replaced only when asked: it may be a file of its own or the last run's work.
      if (!batch.overwrite && platform::FileExists(output)) {
        messages.Show("出力[" + output + "]は既にあるので書きませんでした");
        ++result.files_skipped;
        continue;
      }
      if (!WriteOutput(output, csa.text(), messages)) {
        ++result.files_failed;
        continue;
      }
      ++result.files_written;
      result.csa_file = output;
    }
    if (result.files_written > 0) messages.Show("ディレクトリ " + batch.out_dir + " に個別出力しました");
    return result;
  }

  std::string name = batch.out_file;
  if (!EndsWithCsa(name)) name += ".csa";
  const std::string output = JoinPath(batch.out_dir, name);
  if (IsInput(output, input_files)) {
    refuse_input_as_output(output);
    return result;
  }
  // 追加 writes the old games and then the new ones to a new file that replaces the old one only when
  // complete: a run that fails half-way leaves the old file as it was. The first new game needs its
  // separator, and the last old line its line end.
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
    tell_progress();
    convert(input, out, separator_due);
  }
  if (result.stats.games == 0) return result;  // nothing new: the old file stays untouched
  if (!out.Commit()) {
    messages.Show("出力[" + output + "]に書き込めません");
    ++result.files_failed;
    return result;
  }
  result.files_written = 1;
  result.csa_file = output;
  messages.Show("ファイル " + output + " に一括出力しました");
  return result;
}

}  // namespace record
