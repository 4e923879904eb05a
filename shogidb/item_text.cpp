#include "shogidb/item_text.h"

#include "record/csa_position_lines.h"
#include "record/record_board.h"
#include "shogidb/position_key.h"
#include "shogidb/record_text_reader.h"

using namespace rules;
using namespace record;

namespace shogidb {

void AppendNoteLines(const std::string& note, std::string& text) {
  size_t start = 0;
  while (start < note.size()) {
    size_t end = note.find('\n', start);
    if (end == std::string::npos) end = note.size();
    std::string_view line(note.data() + start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    text += "'注釈:";
    text += line;
    text += "\r\n";
    start = end + 1;
  }
}

bool AppendItemBody(const BoardForm& start, Side side, const std::vector<BoardMove>& moves,
                    const std::vector<std::string>& notes, bool time_suffix, std::string& text) {
  if (start == BoardForm()) {
    text += "PI\r\n";
  } else {
    for (const std::string& line : CsaPositionLines(start)) text += line + "\r\n";
  }
  text += side == kGote ? "-\r\n" : "+\r\n";
  FormBoard board(start);
  for (size_t i = 0; i < moves.size(); ++i) {
    const std::string move = board.CsaText(moves[i]);
    if (move.empty() || !board.Apply(moves[i])) return false;
    std::string note = i + 1 < notes.size() ? notes[i + 1] : std::string();
    text += move;
    size_t length = 0;
    const long seconds = time_suffix ? LeadingTimeNote(note, &length) : -1;
    if (seconds >= 0) {
      text += ",T" + std::to_string(seconds);
      note.erase(0, length);
      if (note.compare(0, 2, "\r\n") == 0) note.erase(0, 2);
    }
    text += "\r\n";
    AppendNoteLines(note, text);
  }
  return true;
}

bool BuildRecord(RecordBoard& board, const BoardForm& start, Side side, const std::vector<BoardMove>& moves,
                 const std::vector<std::string>& notes, bool root_notes) {
  auto annotate = [&board](const std::string& note) {
    size_t at = 0;
    while (at < note.size()) {
      size_t end = note.find('\n', at);
      if (end == std::string::npos) end = note.size();
      std::string_view line(note.data() + at, end - at);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      board.AddAnnotation(board.current(), line);
      at = end + 1;
    }
  };
  board.SetTurnOrder(0);
  board.ApplyBoardForm(start);
  board.SetSideToMove(side);
  board.SetTurnOrder(1);
  board.BeginRecord();
  if (root_notes && !notes.empty()) annotate(notes[0]);
  bool ok = true;
  for (size_t i = 0; i < moves.size(); ++i) {
    MoveWord w;
    if (!MoveWordOf(board, moves[i], w) ||
        board.piece(w.Piece()).MoveTo(w.To(), PromotionTo(w.PromotedAfter()), w.SideBefore()) == 0) {
      ok = false;
      break;
    }
    if (i + 1 < notes.size()) annotate(notes[i + 1]);
  }
  board.GoToStart();
  return ok;
}

}  // namespace shogidb
