#include "record/kakinoki_writer.h"

#include <algorithm>
#include <cstdio>

#include "record/archive.h"
#include "record/board_diagram.h"
#include "record/kakinoki_notation.h"
#include "record/kakinoki_text.h"
#include "record/plain_board.h"
#include "record/record_document.h"
#include "record/side_labels.h"
#include "rules/notation.h"

using namespace rules;

namespace record {

namespace {

constexpr char kKifMoveHeading[] = "手数----指手---------消費時間--";
constexpr char kNoTime[] = "( 0:00/00:00:00)";
// The line the converter adds about the file it read: it names that file, not this one.
constexpr char kSourceNote[] = " 変換元ファイル[";
constexpr size_t kKi2MovesPerLine = 6;

// A header value on its one line: a line break inside would begin a line of its own.
std::string OneLine(std::string text) {
  std::replace_if(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  return text;
}

// Text padded with blanks to `width` bytes, and at least one blank.
std::string Padded(std::string text, size_t width) {
  text.append(text.size() < width ? width - text.size() : 1, ' ');
  return text;
}

std::vector<std::string> AnnotationLines(const GameHeader& header) {
  std::vector<std::string> lines;
  for (std::string_view line : SplitLines(header.Annotation())) {
    if (!line.starts_with(kSourceNote)) lines.emplace_back(line);
  }
  return lines;
}

// The start position's CSA lines, as a handicap's set-up or any position gives them.
std::string StartPositionText(const RecordBoard& board) {
  Archive out = Archive::ToMemory();
  board.WriteCsaPosition(out);
  return out.text();
}

// The handicap whose position the record starts from; nullptr when none (a diagram is written).
const KakinokiHandicap* StartHandicap(const RecordBoard& board) {
  const std::string start = StartPositionText(board);
  for (const KakinokiHandicap& h : KnownHandicaps()) {
    if (!*h.pi) continue;
    PlainBoard reference;
    Archive setup = Archive::FromBytes(std::string(h.pi) + "\n" + (h.handicap ? "-" : "+") + "\n");
    reference.ReadCsaBody(setup);
    if (StartPositionText(reference) == start) return &h;
  }
  return nullptr;
}

// How the game ended, as the 試合結果 says it.
struct Ending {
  Side winner = kSideUnset;
  const char* word = "";  // a draw or an abort: 千日手, 持将棋, 中断
};

Ending EndingOf(std::string_view result) {
  for (const char* w : {"先手勝", "下手勝"}) {
    if (result.starts_with(w)) return {kSente, ""};
  }
  for (const char* w : {"後手勝", "上手勝"}) {
    if (result.starts_with(w)) return {kGote, ""};
  }
  for (const char* w : {"千日手", "持将棋", "中断"}) {
    if (result.starts_with(w)) return {kSideUnset, w};
  }
  return {};
}

bool HasEditMoves(const MoveNode& node) {
  for (const MoveNode* c = node.child; c; c = c->next) {
    if (!c->move.To().IsSquare() || HasEditMoves(*c)) return true;
  }
  return false;
}

class KakinokiWriter {
 public:
  KakinokiWriter(GameDocument& doc, KakinokiForm form) : doc_(doc), form_(form) {
    doc.board().CopyRecordTo(board_, true, false);
    board_.GoToStart();
    doc.GetSideNames(board_, labels_[0], labels_[1]);
  }

  std::string Text() {
    WriteHeader();
    WriteLine(0, true);
    for (int i = 1; i < board_.ChildCount(); ++i) WriteVariation(i);
    return out_.text();
  }

 private:
  const std::string& Label(Side side) const { return labels_[side == kGote ? 1 : 0]; }
  void WriteHeader();
  void WriteDiagram();
  void WriteMove(const MoveNode& node);
  void WriteComments(const std::vector<std::string>& lines);
  void WriteLine(int child, bool main_line);
  void WriteVariation(int child);
  void WriteEnding();
  void FlushKi2();

  GameDocument& doc_;
  KakinokiForm form_;
  PlainBoard board_;
  std::string labels_[2];
  Archive out_ = Archive::ToMemory();
  std::vector<std::string> ki2_row_;  // the moves of the KI2 line not yet written
};

void KakinokiWriter::WriteHeader() {
  const GameHeader& h = doc_.header();
  const std::string& date = h.Field(GameHeader::kDate);
  if (date.size() == 8) out_.WriteLine("開始日時：" + date.substr(0, 4) + "/" + date.substr(4, 2) + "/" + date.substr(6, 2));
  if (!h.Field(GameHeader::kEvent).empty()) out_.WriteLine("棋戦：" + OneLine(h.Field(GameHeader::kEvent)));
  if (!h.Field(GameHeader::kOpening).empty()) out_.WriteLine("戦型：" + OneLine(h.Field(GameHeader::kOpening)));
  const std::string& named = h.Field(GameHeader::kHandicap);
  const KakinokiHandicap* handicap = StartHandicap(board_);
  if (handicap) {
    // Always said, as other programs write it: a KI2 text without moves is known by it.
    out_.WriteLine(std::string("手合割：") + handicap->name);
  } else {
    if (!named.empty()) out_.WriteLine("手合割：" + OneLine(named));
    WriteDiagram();
  }
  const std::string names[2] = {h.SenteName(), h.GoteName()};
  for (Side side : {kSente, kGote}) {
    const std::string& name = names[side == kGote ? 1 : 0];
    if (!name.empty() && name != GameHeader::kUnknownPlayer) out_.WriteLine(Label(side) + "：" + OneLine(name));
  }
  if (form_ == KakinokiForm::kKif) out_.WriteLine(kKifMoveHeading);
  std::vector<std::string> comments = AnnotationLines(h);
  if (const MoveNote* note = board_.root()->note) {
    for (const std::string& line : note->lines) {
      if (std::find(comments.begin(), comments.end(), line) == comments.end()) comments.push_back(line);
    }
  }
  WriteComments(comments);
}

// A start that no 手合割 names: the board, the hands (full-width blanks between pieces, as the format's
// own writer puts them) and the side to move when it is gote.
void KakinokiWriter::WriteDiagram() {
  WriteBoardDiagram(board_, Label(kSente) + "の", Label(kGote) + "の", [&](std::string_view line) {
    std::string text(line);
    if (text.find("持駒：") != std::string::npos) {
      for (size_t at = text.find(' '); at != std::string::npos; at = text.find(' ', at)) text.replace(at, 1, "　");
    }
    out_.WriteLine(text);
  });
  if (board_.side_to_move() == kGote) out_.WriteLine("後手番");
}

// A line break inside a comment would let the rest be read as moves or a header: each piece is a comment.
void KakinokiWriter::WriteComments(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    for (size_t at = 0;;) {
      const size_t end = line.find_first_of("\r\n", at);
      out_.WriteLine("*" + line.substr(at, end - at));
      if (end == std::string::npos) break;
      at = end + 1;
    }
  }
}

void KakinokiWriter::FlushKi2() {
  if (ki2_row_.empty()) return;
  std::string line;
  for (size_t i = 0; i + 1 < ki2_row_.size(); ++i) line += Padded(ki2_row_[i], 12);
  out_.WriteLine(line + ki2_row_.back());
  ki2_row_.clear();
}

void KakinokiWriter::WriteMove(const MoveNode& node) {
  const int number = board_.depth() + 1;
  if (form_ == KakinokiForm::kKif) {
    char head[16];
    std::snprintf(head, sizeof head, "%4d ", number);
    out_.WriteLine(head + Padded(KifMoveText(board_, node.move), 13) + kNoTime + (node.next ? "+" : ""));
  } else {
    ki2_row_.push_back((node.move.SideBefore() == kGote ? "△" : "▲") + Ki2MoveText(board_, node.move));
    if (ki2_row_.size() == kKi2MovesPerLine) FlushKi2();
  }
  if (node.note && !node.note->lines.empty()) {
    FlushKi2();
    WriteComments(node.note->lines);
  }
}

// Writes the line that starts with child `child` of the current node and follows first children, then
// the alternatives within it, latest branch point first; returns to where it started.
void KakinokiWriter::WriteLine(int child, bool main_line) {
  const int base = board_.depth();
  for (int next = child; next >= 0 && board_.ChildAt(next);) {
    const MoveNode& node = *board_.ChildAt(next);
    if (!node.move.To().IsSquare()) break;  // a piece put into a hand or the box has no notation
    WriteMove(node);
    board_.ForwardToChild(next);
    next = 0;
  }
  FlushKi2();
  if (main_line) WriteEnding();
  while (board_.depth() > base + 1) {
    board_.UndoMove();
    for (int i = 1; i < board_.ChildCount(); ++i) WriteVariation(i);
  }
  if (board_.depth() > base) board_.UndoMove();
}

void KakinokiWriter::WriteVariation(int child) {
  out_.WriteLine("");
  out_.WriteLine("変化：" + std::to_string(board_.depth() + 1) + "手");
  WriteLine(child, false);
}

// The ending word and the summary line of the main line (the board stands at its end).
void KakinokiWriter::WriteEnding() {
  const Ending ending = EndingOf(doc_.header().Field(GameHeader::kResult));
  const int length = board_.depth();
  const Side to_move = board_.side_to_move() == kGote ? kGote : kSente;
  std::string word = ending.word;
  std::string summary = "まで" + std::to_string(length) + "手で";
  if (ending.winner != kSideUnset) {
    if (ending.winner != to_move) word = "投了";  // the loser to move resigns; otherwise the line says it
    summary += Label(ending.winner) + "の勝ち";
  } else if (!word.empty()) {
    summary += word;
  } else {
    return;
  }
  if (form_ == KakinokiForm::kKif && !word.empty()) {
    char head[16];
    std::snprintf(head, sizeof head, "%4d ", length + 1);
    out_.WriteLine(head + Padded(word, 13) + kNoTime);
  }
  out_.WriteLine(summary);
}

}  // namespace

std::string WriteKakinokiText(GameDocument& doc, KakinokiForm form) { return KakinokiWriter(doc, form).Text(); }

std::vector<std::string> DroppedKakinokiFields(const GameDocument& doc) {
  static const int kDropped[] = {GameHeader::kSenteRank,     GameHeader::kGoteRank,     GameHeader::kTimeLimit,
                                 GameHeader::kByoyomi,       GameHeader::kSenteTimeLeft, GameHeader::kGoteTimeLeft,
                                 GameHeader::kPlace,         GameHeader::kRegistered,   GameHeader::kGameNumber};
  const GameHeader& h = doc.header();
  std::vector<std::string> dropped;
  auto name_of = [&](int field) {
    std::string key = h.FieldSpec(field).key;
    return key.substr(0, key.size() - 1);  // without its colon
  };
  for (int field : kDropped) {
    if (!h.Field(field).empty()) dropped.push_back(name_of(field));
  }
  const std::string& result = h.Field(GameHeader::kResult);
  const Ending ending = EndingOf(result);
  if (!result.empty() && ending.winner == kSideUnset && !*ending.word) {
    dropped.push_back(name_of(GameHeader::kResult) + "(" + result + ")");
  }
  if (doc.reversed()) dropped.push_back("後手座");
  if (HasEditMoves(*doc.board().root())) dropped.push_back("駒台・駒箱への移動");
  return dropped;
}

}  // namespace record
