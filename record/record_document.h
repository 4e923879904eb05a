// The document layer of game and tsume records, without any window: a board (owned by the caller, so a
// display board can be used), the header record, the reversed-seat flag (後手座) and the print state.
// The windowed documents embed one and forward their commands to it.
//
//   RecordDocument        the moves alone (the body layer of the CSA text)
//   GameDocument    game records, .csa: GameHeader header, side labels 先手/後手 or 下手/上手
//   ProblemDocument   tsume problems, .pcl: ProblemHeader header, side labels 攻方/受方
//
// Typical use (reading a file, writing it back):
//   PlainBoard board;  GameDocument doc(board, &messages);
//   Archive in = Archive::FromText(bytes);  DocumentResult r = doc.Serialize(in);
//   Archive out = Archive::ToMemory();  doc.Serialize(out);  // out.text() is the CSA text
#pragma once
#include <string>

#include "platform/message_sink.h"
#include "record/csa_body.h"
#include "record/csa_header.h"
#include "record/header_fields.h"
#include "record/side_labels.h"

namespace rules {
class Position;
}  // namespace rules

namespace record {

class Archive;
class RecordBoard;

// The registered clipboard format of record copies (body text, NUL-terminated on the clipboard).
extern const char kRecordClipboardFormat[];  // "WinKZB_Format"


// What the print text counts: lines written on the current page, page size, printing (form feeds) or
// not, and whether the heading of the move annotations is still to be written.
struct PrintState {
  int width = 72;
  int lines_per_page = 9999;
  int line = 0;
  bool printing = false;
  bool annotation_heading_due = true;
};

// How reading a document went. Header problems were shown as messages already; a move line that did not
// read shows none (the caller may report body.bad_line).
struct DocumentResult {
  bool loaded = true;  // false when nothing was read: a tsume stream at its end, or a tsume header error
  HeaderStatus header = HeaderStatus::kOk;
  CsaBodyResult body;
  bool ok() const { return loaded && header == HeaderStatus::kOk && body.ok(); }
};

class RecordDocument {
 public:
  explicit RecordDocument(RecordBoard& board, platform::MessageSink* messages = nullptr);
  virtual ~RecordDocument() = default;
  RecordDocument(const RecordDocument&) = delete;
  RecordDocument& operator=(const RecordDocument&) = delete;

  RecordBoard& board() const { return board_; }
  platform::MessageSink& messages() const { return *messages_; }
  void SetMessageSink(platform::MessageSink* messages);
  int reversed() const { return reversed_; }
  void SetReversed(int flag);  // 0 or 1; tells ReversedChanged when it changes
  PrintState& print_state() { return print_; }

  // Labels of the two sides for a position; returns the kind (SideLabelKind).
  virtual int GetSideNames(const rules::Position& position, std::string& sente, std::string& gote) const;
  // The print text (clipboard copies use width 72, 9999 lines per page, printing off).
  std::string GetRecordText(int width = 72, int lines_per_page = 9999, bool printing = false);
  virtual void WriteRecordText(Archive& ar, int width, int lines_per_page, bool printing);
  // The document's own text (CSA or PCL: header and whole tree) as the plain clipboard copy takes it.
  std::string GetRecordCsaText();
  // Stores the length of the selected line in the header's move-count field.
  virtual void UpdateMoveCountField() {}
  // Reads or writes the record; with `selected_only`, only the selected line (database registration).
  virtual DocumentResult SerializeRecord(Archive& ar, bool selected_only);
  DocumentResult Serialize(Archive& ar) { return SerializeRecord(ar, false); }
  // Empties the document: header cleared, every piece in the box, an empty record, flag 0.
  virtual void DeleteContents();
  // 棋譜のコピー: the current position as the start and the moves from there with their alternatives and
  // annotations, as CSA body text,
  // which the clipboard carries under the private format kRecordClipboardFormat.
  std::string CopyRecordText();
  // 棋譜の貼り付け: when `modified`, first asks "バッファは変更されています。更新してもよろしいですか？"
  // (anything but yes cancels: false); then clears the document, reads the body text into it and updates
  // the move-count field. The caller marks the document modified.
  bool PasteRecordText(std::string_view text, bool modified);
  // Receives a finished setup (the bytes of a position file): its position replaces the record, which
  // starts empty from it, and the reversed flag follows the stored one. The header stays. A refused
  // buffer shows "ファイル形式が違います" and changes nothing (false).
  bool ReceiveSetup(Archive& ar);

 protected:
  // A hook for display documents: the piece stands must be rebuilt when the seat turns.
  virtual void ReversedChanged() {}
  // The moves (body layer), directly or through a temporary board holding the selected line only.
  CsaBodyResult SerializeMoves(Archive& ar, bool selected_only);

 private:
  RecordBoard& board_;
  platform::MessageSink* messages_;
  int reversed_ = 0;
  PrintState print_;
};

class GameDocument : public RecordDocument {
 public:
  explicit GameDocument(RecordBoard& board, platform::MessageSink* messages = nullptr);

  GameHeader& header() { return header_; }
  const GameHeader& header() const { return header_; }

  // A new game: the even position, sente to move, an empty record and header.
  void NewGame();
  int GetSideNames(const rules::Position& position, std::string& sente, std::string& gote) const override;
  void WriteRecordText(Archive& ar, int width, int lines_per_page, bool printing) override;
  void UpdateMoveCountField() override;
  DocumentResult SerializeRecord(Archive& ar, bool selected_only) override;
  void DeleteContents() override;
  // The mail position text of the current position (メール用局面出力).
  std::string MailPositionText();

 private:
  GameHeader header_;
};

class ProblemDocument : public RecordDocument {
 public:
  explicit ProblemDocument(RecordBoard& board, platform::MessageSink* messages = nullptr);

  ProblemHeader& header() { return header_; }
  const ProblemHeader& header() const { return header_; }

  int GetSideNames(const rules::Position& position, std::string& sente, std::string& gote) const override;
  void WriteRecordText(Archive& ar, int width, int lines_per_page, bool printing) override;
  void UpdateMoveCountField() override;
  DocumentResult SerializeRecord(Archive& ar, bool selected_only) override;
  void DeleteContents() override;

 private:
  ProblemHeader header_;
};

}  // namespace record
