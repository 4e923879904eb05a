#include "shogidb/record_text_reader.h"

#include <cstdio>
#include <cstring>

#include "platform/text_scan.h"
#include "record/csa_body.h"
#include "record/csa_header.h"
#include "record/csa_position_lines.h"
#include "record/side_labels.h"
#include "rules/move_rules.h"
#include "rules/notation.h"
#include "shogidb/move_block_table.h"

using namespace rules;
using namespace record;

namespace shogidb {
namespace {

std::string_view SkipBlanks(std::string_view text) {
  while (!text.empty() && (text[0] == ' ' || text[0] == '\t')) text.remove_prefix(1);
  return text;
}

// A comment line's text after "'" and any blanks.
std::string_view CommentBody(std::string_view line) { return SkipCsaBlanks(line.substr(1)); }

// The move a move word plays, as the board forms name it.
PlainMove PlainMoveOf(MoveWord w) {
  PlainMove m;
  m.side = w.SideBefore();
  m.from = w.IsDrop() ? 0 : ToSquareNumber(w.From().square()).value();
  m.drop_kind = KindOfIndex(w.Piece());
  m.to = ToSquareNumber(w.To().square()).value();
  m.promotes = w.IsPromotion();
  return m;
}

}  // namespace

void ReaderBoard::PlayQuiet(MoveWord w) {
  Unrecorded quiet(*this);
  piece(w.Piece()).MoveTo(w.To(), PromotionTo(w.PromotedAfter()), w.SideBefore());
  SetSideToMove(Opponent(w.SideBefore()));
}

std::string TimeNoteText(long seconds) {
  if (seconds <= 0) return {};
  char text[64] = "";
  size_t n = 0;
  if (seconds / 60 > 0) n += std::snprintf(text + n, sizeof text - n, "%3ld分", seconds / 60);
  if (seconds % 60 > 0) n += std::snprintf(text + n, sizeof text - n, "%2ld秒", seconds % 60);
  std::snprintf(text + n, sizeof text - n, "。");
  return text;
}

long LeadingTimeNote(std::string_view note, size_t* length) {
  static const std::string_view kMinute = "分", kSecond = "秒", kEnd = "。";
  size_t at = 0;
  long total = 0;
  bool any = false;
  auto number = [&](std::string_view unit, long scale) {
    size_t p = at;
    while (p < note.size() && note[p] == ' ') ++p;
    const size_t digits = p;
    while (p < note.size() && platform::IsDigit(note[p]) && p - digits < 6) ++p;
    if (p == digits || note.substr(p, unit.size()) != unit) return;
    total += std::stol(std::string(note.substr(digits, p - digits))) * scale;
    at = p + unit.size();
    any = true;
  };
  number(kMinute, 60);
  number(kSecond, 1);
  // The markers lie within the first ten bytes, as registration writes them for times below 1000 minutes.
  if (!any || at > 10 || note.substr(at, kEnd.size()) != kEnd) return -1;
  if (length) *length = at + kEnd.size();
  return total;
}

RecordTextReader::RecordTextReader(std::string_view text, ItemKind kind, platform::MessageSink& messages)
    : text_(text), kind_(kind), messages_(messages) {
  board_.SetMessageSink(&messages);
}

bool RecordTextReader::ReadLine(std::string& line) {
  if (pos_ >= text_.size()) return false;
  size_t end = text_.find('\n', pos_);
  if (end == std::string::npos) end = text_.size();
  line.assign(text_, pos_, end - pos_);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  pos_ = end + 1;
  return true;
}

bool RecordTextReader::Fail(const char* format, std::string_view line) {
  std::string text(format);
  const size_t at = text.find("%s");
  if (at != std::string::npos) text.replace(at, 2, std::string(line));
  messages_.Show(text);
  return false;
}

void RecordTextReader::AddNote(ParsedItem& item, int ply, std::string_view text) {
  if (kind_ == ItemKind::kProblem && ply > 0) {
    board_.AddAnnotation(board_.current(), text);
    return;
  }
  if (ply == 0) {
    // Lines before the first move annotate the start: they join the game's or problem's annotation.
    HeaderFields& header = kind_ == ItemKind::kGame ? static_cast<HeaderFields&>(item.game) : item.problem;
    header.AppendAnnotationLine(text);
    return;
  }
  if (item.notes.size() <= static_cast<size_t>(ply)) item.notes.resize(static_cast<size_t>(ply) + 1);
  std::string& note = item.notes[static_cast<size_t>(ply)];
  if (!note.empty()) note += "\r\n";
  note += text;
}

bool RecordTextReader::PlaceLine(std::string_view line, BoardForm::Expanded& e) {
  return ApplyCsaPositionLine(line, CsaPolicy::kStrict, e) || Fail("駒配置指定エラーです。(%s)", line);
}

RecordTextReader::Status RecordTextReader::ReadHeaderPart(ParsedItem& item, bool& ended, std::string& pending_move) {
  BoardForm::Expanded entries;  // every piece in the box until a position line says otherwise
  bool any_line = false, sente_named = false, gote_named = false, side_given = false;
  std::string raw;
  ended = false;
  HeaderFields& header = kind_ == ItemKind::kGame ? static_cast<HeaderFields&>(item.game) : item.problem;
  while (ReadLine(raw)) {
    std::string_view line = SkipCsaBlanks(raw);
    if (line.empty()) continue;
    if (!any_line) item.first_line = std::string(line);
    any_line = true;
    if (line[0] == '/') {
      ended = true;
      break;
    }
    if (line[0] == '\'') {
      std::string_view body = line.substr(1);
      if (body.starts_with("注釈:")) {
        header.AppendAnnotationLine(body.substr(std::strlen("注釈:")));
      } else if (int field = header.FieldWithKeyAt(body); field >= 0) {
        header.SetField(field, SkipBlanks(body.substr(std::strlen(header.FieldSpec(field).key))));
      }
      continue;
    }
    if (IsVersionLine(line) || line[0] == '$') {
      // The standard format's version and information lines, as the documents take them.
      if (line[0] == '$') ReadStandardInfoLine(header, line);
      continue;
    }
    if (line[0] == 'N' && line.size() >= 2 && (line[1] == '+' || line[1] == '-')) {
      bool& named = line[1] == '+' ? sente_named : gote_named;
      if (named) return Fail("対局者指定エラーです。(%s)", line), kError;
      named = true;
      std::string name = NameForPlayers(SkipBlanks(line.substr(2)));
      if (name.empty()) name = GameHeader::kUnknownPlayer;
      if (kind_ == ItemKind::kGame) {
        line[1] == '+' ? item.game.SetPlayers(&name, nullptr) : item.game.SetPlayers(nullptr, &name);
      }
      continue;
    }
    if (IsCsaPositionLine(line, CsaPolicy::kStrict)) {
      if (!PlaceLine(line, entries)) return kError;
      continue;
    }
    if ((line[0] == '+' || line[0] == '-') && line.size() == 1) {
      if (side_given) return Fail("手番指定エラーです。(%s)", line), kError;
      side_given = true;
      item.side = line[0] == '+' ? kSente : kGote;
      break;
    }
    if ((line[0] == '+' || line[0] == '-') && LooksLikeCsaMove(line)) {
      // The first move follows the position directly: the mover is the side to move.
      item.side = line[0] == '+' ? kSente : kGote;
      pending_move = std::string(line);
      break;
    }
    return Fail("文法エラーです。(%s)", line), kError;
  }
  if (!any_line) return kEnd;
  item.start.Encode(entries);
  return kItem;
}

bool RecordTextReader::PlayLine(std::string_view line, ParsedItem& item, int& ply) {
  CsaMove move;
  if (const CsaMoveError error = ReadCsaMove(board_, line, move); error != CsaMoveError::kNone) {
    messages_.Show(CsaMoveErrorText(error, line));
    return false;
  }
  const Piece& piece = board_.piece(move.piece);
  const Side side = move.side;
  const int from = ParseCsaSquare(line.substr(1, 2)), to = ParseCsaSquare(line.substr(3, 2));
  const bool promoted = move.promote;
  const MoveWord w = board_.BuildMoveWord(piece, move.to, PromotionTo(promoted), side);

  if (kind_ == ItemKind::kGame) {
    if (ply >= MoveBlockTable::kMaxPlies) {
      messages_.Show("指し手登録に失敗しました。(" + std::to_string(MoveBlockTable::kTooManyMoves) + ")");
      return false;
    }
    PlainMove m{side, from, from == 0 ? piece.kind() : 0, to, promoted && !piece.promoted()};
    const BoardMove bm = form_.Encode(m);
    if (bm == kNoMove || !form_.Apply(bm)) return Fail("指し手が間違っています(%s)", line);
    item.moves.push_back(bm);
    board_.PlayQuiet(w);
  } else if (board_.piece(move.piece).MoveTo(move.to, PromotionTo(promoted), side) == 0) {
    messages_.Show("指し手登録に失敗しました。(" + std::to_string(dbengine::kNoMemory) + ")");
    return false;
  }
  ++ply;
  // A time written after the move ("+7776FU,T12") joins its annotation.
  if (const size_t comma = line.find(",T"); comma != std::string_view::npos) {
    const long seconds = DecimalValue(line.substr(comma + 2));
    if (seconds > 0) AddNote(item, ply, TimeNoteText(seconds));
  }
  return true;
}

bool RecordTextReader::ReadMovePart(ParsedItem& item, const std::string& pending_move) {
  int ply = 0;
  bool moves_over = false;  // after "%" or (games) a branch marker: the rest of the item is passed over
  if (!pending_move.empty() && !PlayLine(pending_move, item, ply)) return false;
  std::string raw;
  while (ReadLine(raw)) {
    std::string_view line = SkipCsaBlanks(raw);
    if (line.empty()) continue;
    if (line[0] == '/') break;
    if (moves_over) continue;
    if (line[0] == '\'') {
      std::string_view body = CommentBody(line);
      if (body.starts_with("注釈:")) {
        AddNote(item, ply, body.substr(std::strlen("注釈:")));
      } else if (body.starts_with("手数目:")) {
        const long number = DecimalValue(SkipBlanks(body.substr(std::strlen("手数目:"))));
        if (kind_ == ItemKind::kGame || number < 1) {
          moves_over = true;  // a game keeps its main line
          continue;
        }
        while (ply >= number && board_.StepBack() >= 0) --ply;
      }
      continue;
    }
    if (line[0] == 'T') {
      const long seconds = DecimalValue(line.substr(1));
      if (seconds > 0 && ply > 0) AddNote(item, ply, TimeNoteText(seconds));
      continue;
    }
    if (line[0] == '%') {
      // The special move that ends a game's main line states its result, unless the header gave one.
      const GameEnd end = CsaEndOf(line, board_.side_to_move());
      if (kind_ == ItemKind::kGame && item.game.Field(GameHeader::kResult).empty()) {
        item.game.SetField(GameHeader::kResult, ResultText(end, SideLabelKindOf(board_) == kHandicapLabels));
      }
      moves_over = true;
      continue;
    }
    if (line[0] == '+' || line[0] == '-') {
      if (line.size() == 1) return Fail("手番指定エラーです。(%s)", line);
      if (!PlayLine(line, item, ply)) return false;
    }
  }
  return true;
}

RecordTextReader::Status RecordTextReader::Next(ParsedItem& item) {
  for (;;) {
    item.game.Clear();
    item.problem.Clear();
    item.moves.clear();
    item.notes.clear();
    item.first_line.clear();
    item.side = kSente;
    bool ended = false;
    std::string pending_move;
    const Status header = ReadHeaderPart(item, ended, pending_move);
    if (header != kItem) return header;
    // A "/" with nothing before it separates nothing; look further.
    if (ended && item.first_line == "/") continue;
    board_.ApplyBoardForm(item.start);
    board_.SetSideToMove(item.side);
    board_.SetTurnOrder(1);
    board_.BeginRecord();
    form_.Set(item.start);
    if (!ended && !ReadMovePart(item, pending_move)) return kError;
    if (kind_ == ItemKind::kProblem) {
      // The problem's line is the one its main-line rule selects, with the annotations along it.
      board_.GoToStart();
      FormBoard line(item.start);
      int ply = 0;
      while (board_.StepForward()) {
        ++ply;
        const MoveNode* node = board_.current();
        const BoardMove bm = line.Encode(PlainMoveOf(node->move));
        if (bm == kNoMove || !line.Apply(bm)) break;  // cannot happen: the move was validated
        item.moves.push_back(bm);
        if (node->note && !node->note->lines.empty()) {
          std::string note;
          for (const std::string& l : node->note->lines) note += (note.empty() ? "" : "\r\n") + l;
          if (item.notes.size() <= static_cast<size_t>(ply)) item.notes.resize(static_cast<size_t>(ply) + 1);
          item.notes[static_cast<size_t>(ply)] = note;
        }
      }
      board_.GoToStart();
      if (item.moves.size() > static_cast<size_t>(MoveBlockTable::kMaxPlies)) {
        messages_.Show("指し手登録に失敗しました。(" + std::to_string(MoveBlockTable::kTooManyMoves) + ")");
        return kError;
      }
    }
    if (item.notes.size() < item.moves.size() + 1) item.notes.resize(item.moves.size() + 1);
    return kItem;
  }
}

}  // namespace shogidb
