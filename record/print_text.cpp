// The print texts of game and tsume documents (also the clipboard text of クリップボード棋譜出力 and
// クリップボード詰将棋出力): a header block, the start position when it matters, the annotation, the moves
// of the selected line two to a row, and the move annotations.
#include <cstdarg>
#include <cstdio>

#include "record/archive.h"
#include "record/plain_board.h"
#include "record/print_lines.h"
#include "record/record_document.h"
#include "rules/notation.h"

using namespace rules;

namespace record {

namespace {

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
  char buffer[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  return buffer;
}

// Two-digit pieces of a digit field joined by separators, as the header block shows dates and times:
// "yy/mm/dd hh:mm:ss" from 14 digits, "yy/mm/dd" from 8, "hh:mm:ss" from 6. Empty for an empty field.
std::string Registered(const std::string& f) {
  if (f.size() != 14) return "";
  return f.substr(2, 2) + "/" + f.substr(4, 2) + "/" + f.substr(6, 2) + " " + f.substr(8, 2) + ":" + f.substr(10, 2) +
         ":" + f.substr(12, 2);
}
std::string Date(const std::string& f) {
  return f.size() == 8 ? f.substr(2, 2) + "/" + f.substr(4, 2) + "/" + f.substr(6, 2) : "";
}
std::string Clock(const std::string& f) {
  return f.size() == 6 ? f.substr(0, 2) + ":" + f.substr(2, 2) + ":" + f.substr(4, 2) : "";
}

// The copy the print text is made from: the selected line only, standing at its start.
struct LineCopy {
  explicit LineCopy(RecordBoard& board) : copy(PlainBoard::kCopyPool) { board.CopyRecordTo(copy, true, true); }
  PlainBoard copy;
};

// A move's annotation lines without a leading time note; the note itself in `note`.
std::vector<std::string> AnnotationWithoutTimeNote(const MoveNode& n, std::string* note) {
  std::vector<std::string> lines;
  if (note) note->clear();
  if (!n.note || n.note->lines.empty()) return lines;
  lines = n.note->lines;
  std::string rest;
  const std::string found = SplitTimeNote(lines[0], &rest);
  if (note) *note = found;
  if (!found.empty()) {
    if (rest.empty()) {
      lines.erase(lines.begin());
    } else {
      lines[0] = rest;
    }
  }
  return lines;
}

// "先手７六歩" padded to 8 bytes, two blanks, and the time note.
std::string MoveColumnText(const Position& position, const MoveNode& n) {
  std::string text = NodeMoveText(position, n);
  if (text.size() < 8) text.resize(8, ' ');
  std::string note;
  AnnotationWithoutTimeNote(n, &note);
  return text + "  " + note;
}

void WriteAnnotationBlock(PrintLines& out, const char* heading, const std::string& annotation, int width) {
  if (annotation.empty()) return;
  out.Line(heading);
  WriteWrappedText(out, annotation, width, "");
  out.Line("");
}

void WriteMoves(PrintLines& out, const RecordDocument& doc, const Position& copy) {
  const MoveNode* first = copy.root()->child;
  if (!first) return;
  std::string sente, gote;
  doc.GetSideNames(copy, sente, gote);
  const bool sente_first = first->move.SideBefore() == kSente;
  out.Line("指し手: ------------");
  out.Line(Format("%4s%-15s %-5s %4s%s", " ", (sente_first ? sente : gote).c_str(), " ", " ",
                  (sente_first ? gote : sente).c_str()));
  int number = 0;
  for (const MoveNode* n = first; n; n = n->child) {
    ++number;
    const std::string column = MoveColumnText(copy, *n);
    if (number % 2 == 1) {
      out.Text(Format("%3d %-21s ", number, column.c_str()));
    } else {
      out.Line(Format("%3d %s", number, column.c_str()));
    }
    if (number % 20 == 0) out.Line("");
  }
  if (number % 2 == 1) out.Line("");
  out.Line("");
}

void WriteMoveAnnotations(PrintLines& out, PrintState& state, const Position& copy) {
  int number = 0;
  for (const MoveNode* n = copy.root()->child; n; n = n->child) {
    ++number;
    const std::vector<std::string> lines = AnnotationWithoutTimeNote(*n, nullptr);
    if (lines.empty()) continue;
    if (state.annotation_heading_due) {
      out.Line("指手注釈: ------------");
      state.annotation_heading_due = false;
    }
    std::string joined;
    for (size_t i = 0; i < lines.size(); ++i) joined += (i ? "\r\n" : "") + lines[i];
    out.Text(Format("%3d手目: ", number));
    WriteWrappedText(out, joined, state.width, "         ");
  }
}

void BeginPrint(PrintState& state, int width, int lines_per_page, bool printing) {
  state.width = width;
  state.lines_per_page = lines_per_page > 0 ? lines_per_page : 9999;
  state.printing = printing;
  state.line = 0;
  state.annotation_heading_due = true;
}

}  // namespace

void GameDocument::WriteRecordText(Archive& ar, int width, int lines_per_page, bool printing) {
  PrintState& state = print_state();
  BeginPrint(state, width, lines_per_page, printing);
  LineCopy line(board());
  const Position& copy = line.copy;
  UpdateMoveCountField();
  PrintLines out(ar, state);
  const GameHeader& h = header_;
  std::string sente, gote;
  GetSideNames(copy, sente, gote);
  out.Line("========================================");
  out.Line(Format("【 対局番号: %s   登録日時: %17s 】", h.Field(GameHeader::kGameNumber).c_str(),
                  Registered(h.Field(GameHeader::kRegistered)).c_str()));
  out.Line(Format("対局日: %8s   棋戦名: %s", Date(h.Field(GameHeader::kDate)).c_str(), h.Field(GameHeader::kEvent).c_str()));
  out.Line(Format("%s: %s %s", sente.c_str(), h.SenteName().c_str(), h.Field(GameHeader::kSenteRank).c_str()));
  out.Line(Format("%s: %s %s", gote.c_str(), h.GoteName().c_str(), h.Field(GameHeader::kGoteRank).c_str()));
  out.Line(Format("手合: %-6s   持時間: %8s   秒読: %2s", h.Field(GameHeader::kHandicap).c_str(),
                  Clock(h.Field(GameHeader::kTimeLimit)).c_str(), h.Field(GameHeader::kByoyomi).c_str()));
  const std::string& count = h.Field(GameHeader::kMoveCount);
  out.Line(Format("手数: %s手  %s", count.empty() ? "?" : count.c_str(), h.Field(GameHeader::kResult).c_str()));
  out.Line(Format("%s残時間: %8s   %s残時間: %8s", sente.c_str(), Clock(h.Field(GameHeader::kSenteTimeLeft)).c_str(),
                  gote.c_str(), Clock(h.Field(GameHeader::kGoteTimeLeft)).c_str()));
  out.Line("戦型: " + h.Field(GameHeader::kOpening));
  out.Line("対局場所: " + h.Field(GameHeader::kPlace));
  if (h.Field(GameHeader::kHandicap).rfind("指定", 0) == 0 || copy.initial_form() != BoardForm()) {
    out.Line("開始局面: ------------");
    WriteDiagram(out, copy, sente, gote);
    out.Line("");
  }
  WriteAnnotationBlock(out, "対局注釈: ------------", h.Annotation(), width);
  WriteMoves(out, *this, copy);
  WriteMoveAnnotations(out, state, copy);
  out.Finish();
}

void ProblemDocument::WriteRecordText(Archive& ar, int width, int lines_per_page, bool printing) {
  PrintState& state = print_state();
  BeginPrint(state, width, lines_per_page, printing);
  LineCopy line(board());
  const Position& copy = line.copy;
  UpdateMoveCountField();
  PrintLines out(ar, state);
  const ProblemHeader& h = header_;
  std::string sente, gote;
  GetSideNames(copy, sente, gote);
  out.Line("========================================");
  out.Line(Format("【 詰将棋番号: %s   登録日時: %17s 】", h.Field(ProblemHeader::kProblemNumber).c_str(),
                  Registered(h.Field(ProblemHeader::kRegistered)).c_str()));
  out.Line("表題: " + h.Field(ProblemHeader::kTitle));
  out.Line("作者: " + h.Field(ProblemHeader::kAuthor));
  out.Line("難易度: " + h.Field(ProblemHeader::kDifficulty));
  out.Line("ヒント: " + h.Field(ProblemHeader::kHint));
  out.Line("詰手数: " + h.Field(ProblemHeader::kMateLength));
  out.Line("出題図: " + h.ProblemPosition());
  out.Line("出題局面: ------------");
  WriteDiagram(out, copy, sente, gote);
  out.Line("");
  WriteAnnotationBlock(out, "詰将棋注釈: ------------", h.Annotation(), width);
  WriteMoves(out, *this, copy);
  WriteMoveAnnotations(out, state, copy);
  out.Finish();
}

}  // namespace record
