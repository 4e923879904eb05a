#include "shogidb/record_text_reader.h"

#include <cstdio>
#include <cstring>

#include "record/csa_body.h"
#include "record/csa_header.h"
#include "rules/move_rules.h"
#include "rules/notation.h"
#include "shogidb/move_block_table.h"

using namespace rules;
using namespace record;

namespace shogidb {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

std::string_view SkipBlanks(std::string_view text) {
  while (!text.empty() && (text[0] == ' ' || text[0] == '\t')) text.remove_prefix(1);
  return text;
}

// A comment line's text after "'" and any blanks.
std::string_view CommentBody(std::string_view line) { return SkipCsaBlanks(line.substr(1)); }

// "123" -> 123; -1 unless the text is digits only (at least one, at most nine).
long DigitsValue(std::string_view text) {
  if (text.empty() || text.size() > 9) return -1;
  long value = 0;
  for (char c : text) {
    if (!IsDigit(c)) return -1;
    value = value * 10 + (c - '0');
  }
  return value;
}

// A square "fr" (1..9 each), or 0 for "00"; -1 otherwise.
int SquareOf(std::string_view two) {
  if (two.size() < 2 || !IsDigit(two[0]) || !IsDigit(two[1])) return -1;
  const int f = two[0] - '0', r = two[1] - '0';
  if (f == 0 && r == 0) return 0;
  if (f == 0 || r == 0) return -1;
  return f * 10 + r;
}

int CodeOf(std::string_view two, int* promoted) {
  if (two.size() < 2) return -1;
  return ParseCsaPieceCode(two.data(), promoted);
}

// The move a move word plays, as the board forms name it.
PlainMove PlainMoveOf(MoveWord w) {
  PlainMove m;
  m.side = w.SideBefore();
  m.from = w.IsDrop() ? 0 : ToSquareNumber(w.From());
  m.drop_kind = KindOfIndex(w.Piece());
  m.to = ToSquareNumber(w.To());
  m.promotes = w.IsPromotion();
  return m;
}

}  // namespace

void ReaderBoard::PlayQuiet(MoveWord w) {
  Unrecorded quiet(*this);
  piece(w.Piece()).MoveTo(w.To(), w.PromotedAfter() ? 1 : 0, w.SideBefore());
  SetSideToMove(1 - w.SideBefore());
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
    while (p < note.size() && IsDigit(note[p]) && p - digits < 6) ++p;
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
  return ApplyPlacementLine(line, e) || Fail("駒配置指定エラーです。(%s)", line);
}

bool ApplyPlacementLine(std::string_view line, BoardForm::Expanded& e) {
  // Takes the lowest-numbered piece of a kind from the box.
  auto take = [&e](int kind) {
    for (int i = kFirstIndexOfKind[kind]; i < kFirstIndexOfKind[kind] + kPiecesPerKind[kind]; ++i) {
      if (e[i].location == BoardForm::kBoxLocation) return i;
    }
    return -1;
  };
  auto occupied = [&e](int square) {
    for (const BoardForm::Entry& x : e) {
      if (x.location == square) return true;
    }
    return false;
  };
  auto bad = [] { return false; };
  if (line.size() < 2) return false;
  if (line[1] == 'I') {
    e = BoardForm().Decode();
    std::string_view rest = line.substr(2);
    for (;;) {
      rest = SkipBlanks(rest);
      if (rest.empty()) return true;
      int promoted = 0;
      const int square = SquareOf(rest);
      const int kind = rest.size() >= 4 ? CodeOf(rest.substr(2, 2), &promoted) : -1;
      if (square <= 0 || kind < 0) return bad();
      bool removed = false;
      for (int i = kFirstIndexOfKind[kind]; i < kFirstIndexOfKind[kind] + kPiecesPerKind[kind]; ++i) {
        if (e[i].location == square) {
          e[i] = BoardForm::Entry{};
          removed = true;
        }
      }
      if (!removed) return bad();
      rest.remove_prefix(4);
    }
  }
  if (line[1] == '+' || line[1] == '-') {
    const int side = line[1] == '+' ? kSente : kGote;
    std::string_view rest = line.substr(2);
    while (!rest.empty()) {
      if (rest.size() < 4) return bad();
      const int square = SquareOf(rest);
      if (square < 0) return bad();
      if (square == 0 && rest.substr(2, 2) == "AL") {
        for (int i = 0; i < kPieceCount; ++i) {
          if (KindOfIndex(i) != OU && e[i].location == BoardForm::kBoxLocation) {
            e[i] = {static_cast<uint8_t>(side), static_cast<uint8_t>(side), 0};
          }
        }
      } else {
        int promoted = 0;
        const int kind = CodeOf(rest.substr(2, 2), &promoted);
        const int i = kind >= 0 ? take(kind) : -1;
        if (i < 0 || (square == 0 && (promoted || kind == OU)) || (square > 0 && occupied(square))) return bad();
        if (square == 0) {
          e[i] = {static_cast<uint8_t>(side), static_cast<uint8_t>(side), 0};
        } else {
          e[i] = {static_cast<uint8_t>(square), static_cast<uint8_t>(side), static_cast<uint8_t>(promoted)};
        }
      }
      rest.remove_prefix(4);
    }
    return true;
  }
  // A rank line: nine cells of three characters, file 9 first.
  const int rank = line[1] - '0';
  std::string_view cells = line.substr(2);
  while (!cells.empty() && (cells.back() == ' ' || cells.back() == '\t')) cells.remove_suffix(1);
  if (cells.size() > 27) return bad();
  for (int c = 0; c < 9; ++c) {
    std::string cell(cells.substr(std::min<size_t>(cells.size(), 3 * c), 3));
    cell.resize(3, ' ');
    if (cell == " * " || cell == "   ") continue;
    if (cell[0] != '+' && cell[0] != '-') return bad();
    int promoted = 0;
    const int kind = CodeOf(std::string_view(cell).substr(1), &promoted);
    const int square = (9 - c) * 10 + rank;
    const int i = kind >= 0 ? take(kind) : -1;
    if (i < 0 || occupied(square)) return bad();
    e[i] = {static_cast<uint8_t>(square), static_cast<uint8_t>(cell[0] == '+' ? kSente : kGote),
            static_cast<uint8_t>(promoted)};
  }
  return true;
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
      if (StartsWith(body, "注釈:")) {
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
    if (line[0] == 'P' && line.size() >= 2 &&
        (line[1] == 'I' || line[1] == '+' || line[1] == '-' || (line[1] >= '1' && line[1] <= '9'))) {
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
  if (line.size() < 7 || !IsDigit(line[1]) || !IsDigit(line[2]) || !IsDigit(line[3]) || !IsDigit(line[4])) {
    return Fail("指し手の形式が間違っています(%s)", line);
  }
  int promoted = 0;
  const int kind = CodeOf(line.substr(5, 2), &promoted);
  if (kind < 0) return Fail("指し手の形式が間違っています(%s)", line);
  const int side = line[0] == '+' ? kSente : kGote;
  if (side != board_.side_to_move()) return Fail("指し手の手番が間違っています(%s)", line);
  const int from = SquareOf(line.substr(1, 2));
  const int to = SquareOf(line.substr(3, 2));
  const Piece* piece = nullptr;
  if (from < 0) return Fail("指し手の移動元が間違っています(%s)", line);
  if (from == 0) {
    for (int i = kFirstIndexOfKind[kind]; i < kFirstIndexOfKind[kind] + kPiecesPerKind[kind]; ++i) {
      if (board_.LocationOf(i) == side) {
        piece = &board_.piece(i);
        break;
      }
    }
    if (!piece) return Fail("指し手の移動元が間違っています(%s)", line);
    if (promoted) return Fail("指し手の駒種が間違っています(%s)", line);
  } else {
    piece = board_.PieceAt(ToBoardIndex(from));
    if (!piece || piece->side() != side) return Fail("指し手の移動元が間違っています(%s)", line);
    if (piece->kind() != kind || (piece->promoted() && !promoted)) {
      return Fail("指し手の駒種が間違っています(%s)", line);
    }
  }
  if (to <= 0 || to == from) return Fail("指し手の移動先が間違っています(%s)", line);
  const Piece* occupant = board_.PieceAt(ToBoardIndex(to));
  if (occupant && (occupant->side() == side || from == 0)) return Fail("指し手の移動先が間違っています(%s)", line);
  const MoveWord w = board_.BuildMoveWord(*piece, ToBoardIndex(to), promoted ? 1 : 0, side);
  if (ValidateMove(board_, w) != kLegal) return Fail("指し手が間違っています(%s)", line);

  if (kind_ == ItemKind::kGame) {
    if (ply >= MoveBlockTable::kMaxPlies) {
      messages_.Show("指し手登録に失敗しました。(" + std::to_string(MoveBlockTable::kTooManyMoves) + ")");
      return false;
    }
    PlainMove m{side, from, from == 0 ? kind : 0, to, promoted && !piece->promoted()};
    const BoardMove bm = form_.Encode(m);
    if (bm == kNoMove || !form_.Apply(bm)) return Fail("指し手が間違っています(%s)", line);
    item.moves.push_back(bm);
    board_.PlayQuiet(w);
  } else if (board_.piece(piece->index()).MoveTo(ToBoardIndex(to), promoted ? 1 : 0, side) == 0) {
    messages_.Show("指し手登録に失敗しました。(" + std::to_string(dbengine::kNoMemory) + ")");
    return false;
  }
  ++ply;
  // A time written after the move ("+7776FU,T12") joins its annotation.
  if (const size_t comma = line.find(",T"); comma != std::string_view::npos) {
    const long seconds = DigitsValue(line.substr(comma + 2));
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
      if (StartsWith(body, "注釈:")) {
        AddNote(item, ply, body.substr(std::strlen("注釈:")));
      } else if (StartsWith(body, "手数目:")) {
        const long number = DigitsValue(SkipBlanks(body.substr(std::strlen("手数目:"))));
        if (kind_ == ItemKind::kGame || number < 1) {
          moves_over = true;  // a game keeps its main line
          continue;
        }
        while (ply >= number && board_.StepBack() >= 0) --ply;
      }
      continue;
    }
    if (line[0] == 'T') {
      const long seconds = DigitsValue(line.substr(1));
      if (seconds > 0 && ply > 0) AddNote(item, ply, TimeNoteText(seconds));
      continue;
    }
    if (line[0] == '%') {
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
