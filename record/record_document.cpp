#include "record/record_document.h"

#include <cstdio>

#include "record/archive.h"
#include "record/plain_board.h"
#include "record/skb_file.h"

using namespace rules;

namespace record {

const char kRecordClipboardFormat[] = "WinKZB_Format";

// --- RecordDocument ---------------------------------------------------------------------------------------

RecordDocument::RecordDocument(RecordBoard& board, platform::MessageSink* messages)
    : board_(board), messages_(messages ? messages : &platform::NullMessageSink::Instance()) {}

void RecordDocument::SetMessageSink(platform::MessageSink* messages) {
  messages_ = messages ? messages : &platform::NullMessageSink::Instance();
}

void RecordDocument::SetReversed(int flag) {
  if (flag != 0 && flag != 1) return;
  if (flag == reversed_) return;
  reversed_ = flag;
  ReversedChanged();
}

int RecordDocument::GetSideNames(const Position& position, std::string& sente, std::string& gote) const {
  const int kind = SideLabelKindOf(position);
  static const char* const kLabels[3][2] = {{"先手", "後手"}, {"下手", "上手"}, {"攻方", "受方"}};
  sente = kLabels[kind][0];
  gote = kLabels[kind][1];
  return kind;
}

std::string RecordDocument::GetRecordText(int width, int lines_per_page, bool printing) {
  Archive ar = Archive::ToMemory(8192);
  WriteRecordText(ar, width, lines_per_page, printing);
  return ar.text();
}

void RecordDocument::WriteRecordText(Archive&, int, int, bool) {}

std::string RecordDocument::GetRecordCsaText() {
  Archive ar = Archive::ToMemory(8192);
  Serialize(ar);
  return ar.text();
}

CsaBodyResult RecordDocument::SerializeMoves(Archive& ar, bool selected_only) {
  if (!selected_only) return board_.Serialize(ar);
  PlainBoard temporary(PlainBoard::kCopyPool, messages_);
  if (ar.IsStoring()) {
    board_.CopyRecordTo(temporary, true, true);
    return temporary.Serialize(ar);
  }
  CsaBodyResult result = temporary.Serialize(ar);
  temporary.CopyRecordTo(board_, false, true);
  return result;
}

DocumentResult RecordDocument::SerializeRecord(Archive& ar, bool selected_only) {
  DocumentResult result;
  result.body = SerializeMoves(ar, selected_only);
  return result;
}

void RecordDocument::DeleteContents() {
  board_.SetUp(8);  // every piece into the box, an empty record
  board_.SetSideToMove(kSente);
  SetReversed(0);
}

std::string RecordDocument::CopyRecordText() {
  PlainBoard copy(PlainBoard::kCopyPool, messages_);
  // Every alternative below the current position goes with it: a paste must give back what was copied.
  board_.CopyRecordTo(copy, false, false);
  Archive ar = Archive::ToMemory();
  copy.WriteCsaBody(ar);
  return ar.text();
}

bool RecordDocument::PasteRecordText(std::string_view text, bool modified) {
  if (modified &&
      messages_->Ask("バッファは変更されています。更新してもよろしいですか？", platform::Buttons::kYesNo) !=
          platform::Answer::kYes) {
    return false;
  }
  DeleteContents();
  Archive ar = Archive::FromText(text);
  board_.Serialize(ar);
  UpdateMoveCountField();
  return true;
}

bool RecordDocument::ReceiveSetup(Archive& ar) {
  int flag = 0;
  if (!ReadSkb(ar, board_, flag, *messages_)) return false;
  SetReversed(flag);
  return true;
}

// --- GameDocument -----------------------------------------------------------------------------------

namespace {

// The move count as the header fields keep it: "%04d", or nothing for a record without moves.
void StoreMoveCount(HeaderFields& header, int field, int count) {
  if (count == 0) {
    header.ClearField(field);
    return;
  }
  char text[16];
  std::snprintf(text, sizeof text, "%04d", count);
  // A count the field cannot hold must not leave an older count standing.
  if (!header.SetField(field, text)) header.ClearField(field);
}

}  // namespace

GameDocument::GameDocument(RecordBoard& board, platform::MessageSink* messages) : RecordDocument(board, messages) {
  header_.SetMessageSink(&this->messages());
}

void GameDocument::NewGame() {
  DeleteContents();
  board().SetUp(0);
  board().SetSideToMove(kSente);
}

int GameDocument::GetSideNames(const Position& position, std::string& sente, std::string& gote) const {
  const int kind = RecordDocument::GetSideNames(position, sente, gote);
  if (kind == kProblemLabels) {
    sente = "先手";
    gote = "後手";
  }
  return kind;
}

void GameDocument::UpdateMoveCountField() {
  StoreMoveCount(header_, GameHeader::kMoveCount, board().SelectedLineLength());
}

DocumentResult GameDocument::SerializeRecord(Archive& ar, bool selected_only) {
  header_.SetMessageSink(&messages());
  DocumentResult result;
  if (ar.IsStoring()) {
    UpdateMoveCountField();
    WriteGameHeaderLayer(header_, reversed(), ar, messages());
    result.body = SerializeMoves(ar, selected_only);
    return result;
  }
  int flag = 0;
  SetReversed(0);
  result.header = ReadGameHeaderLayer(header_, flag, ar, messages());
  SetReversed(flag);
  // A game keeps whatever header it got and reads the body all the same.
  result.body = SerializeMoves(ar, selected_only);
  UpdateMoveCountField();
  // A standard CSA file states its result only in its last "%" line; a result the header gives wins.
  if (header_.Field(GameHeader::kResult).empty()) {
    header_.SetField(GameHeader::kResult, ResultText(result.body.end, SideLabelKindOf(board()) == kHandicapLabels));
  }
  return result;
}

void GameDocument::DeleteContents() {
  header_.Clear();
  RecordDocument::DeleteContents();
}

// --- ProblemDocument ----------------------------------------------------------------------------------

ProblemDocument::ProblemDocument(RecordBoard& board, platform::MessageSink* messages) : RecordDocument(board, messages) {
  header_.SetMessageSink(&this->messages());
}

int ProblemDocument::GetSideNames(const Position&, std::string& sente, std::string& gote) const {
  sente = "攻方";
  gote = "受方";
  return kProblemLabels;
}

void ProblemDocument::UpdateMoveCountField() {
  StoreMoveCount(header_, ProblemHeader::kMateLength, board().SelectedLineLength());
}

DocumentResult ProblemDocument::SerializeRecord(Archive& ar, bool selected_only) {
  header_.SetMessageSink(&messages());
  DocumentResult result;
  if (ar.IsStoring()) {
    UpdateMoveCountField();
    WriteTsumeHeaderLayer(header_, reversed(), ar, messages());
    result.body = SerializeMoves(ar, selected_only);
    return result;
  }
  if (ar.AtEnd()) {
    result.loaded = false;
    return result;
  }
  int flag = 0;
  SetReversed(0);
  result.header = ReadTsumeHeaderLayer(header_, flag, ar, messages());
  SetReversed(flag);
  if (result.header != HeaderStatus::kOk) {
    // A problem with a bad header loads nothing: no position, no moves.
    RecordDocument::DeleteContents();
    result.loaded = false;
    return result;
  }
  result.body = SerializeMoves(ar, selected_only);
  UpdateMoveCountField();
  return result;
}

void ProblemDocument::DeleteContents() {
  header_.Clear();
  RecordDocument::DeleteContents();
}

}  // namespace record
