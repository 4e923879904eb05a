// AnnotationTable: annotation texts in SHGDB_F, stored as 45-byte pieces.
//
// Record (60 bytes): F_COMMENTID the kind as a digit, F_COMMENTKEY the owner's key (up to 12 characters),
// F_SNO the piece number "%02d" from 00, F_SENTENCE 45 bytes of text (a last piece shorter than 45 bytes
// ends with a NUL). Kinds and keys:
//   1  joseki position annotation   position id and side to move     "%08ld%d"
//   2  joseki move annotation       position id and board move        "%08ld%04x"
//   3  move annotation of a game    game record number and ply        "%06ld%03d" (ply 0: the game's)
//   4  move annotation of a problem problem record number and ply     "%06ld%03d" (ply 0: the problem's)
// The piece number has two digits, so a text keeps at most 100 pieces (4500 bytes); a longer text is
// cut there, at a character boundary.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "shogidb/board_move.h"
#include "shogidb/table_object.h"

namespace shogidb {

enum AnnotationKind : char {
  kJosekiPositionNote = '1',
  kJosekiMoveNote = '2',
  kGameMoveNote = '3',
  kProblemMoveNote = '4',
};

// The keys of the four kinds, made and read back here only.
std::string JosekiPositionKey(int32_t position_id, rules::Side side);
std::string JosekiMoveKey(int32_t position_id, BoardMove move);
std::string MoveNoteKey(int32_t owner, int ply);
// What every move annotation key of one game or problem begins with: the six digits of its number.
std::string MoveNoteKeyPrefix(int32_t owner);

// Reading keys back: false when a key is not of the form its kind writes (a damaged key).
bool ParseJosekiPositionKey(std::string_view key, int32_t* position_id, rules::Side* side);
bool ParseJosekiMoveKey(std::string_view key, int32_t* position_id, BoardMove* move);
// The ply needs three or four digits ("%03d" of plies up to 2000).
bool ParseMoveNoteKey(std::string_view key, int32_t* owner, long* ply);
// The ply part of a move annotation key as it is written ("005"); empty when the key is too short to
// hold one. Merging keeps plies as text, so that a key is rebuilt exactly as it was.
std::string_view MoveNoteKeyPlyText(std::string_view key);

class AnnotationTable : public TableObject {
 public:
  static constexpr int kIdOffset = 0, kKeyOffset = 1, kPieceOffset = 13, kTextOffset = 15;
  static constexpr int kRecordLength = 60;
  static constexpr int kKeyWidth = 12;
  static constexpr int kPieceBytes = 45;
  static constexpr int kMaxPieces = 100;
  static constexpr size_t kMaxTextBytes = kPieceBytes * kMaxPieces;

  AnnotationTable() : TableObject(kTableF) {}

  // Stores a text under (kind, key): kOk; kDuplicateKey when an annotation with that kind and key exists;
  // or the engine's code (the pieces written are deleted again). An empty text stores nothing.
  int WriteAnnotation(char kind, std::string_view key, std::string_view text);
  // The text under (kind, key): kOk, kNotFound when there is none, or the engine's code.
  int ReadAnnotation(char kind, std::string_view key, std::string& text);
  int DeleteAnnotation(char kind, std::string_view key);
  // Puts `text` in place of the text under (kind, key) (an empty text removes it): kOk or the engine's
  // code, in which case the old text is written back.
  int ReplaceAnnotation(char kind, std::string_view key, std::string_view text);

  // Every annotation whose key begins with `key_prefix` (for instance the six digits of a game's record
  // number), of one kind: (key, text) in key order.
  int ListAnnotations(char kind, std::string_view key_prefix, std::vector<std::pair<std::string, std::string>>& out);

 private:
  static void MakeKey(char kind, std::string_view key, int piece, uint8_t* record);
};

}  // namespace shogidb
