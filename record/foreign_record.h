// Records that come from elsewhere as text: Kakinoki files (KIF and KI2, what most web sites and shogi
// programs give out, in CP932 or UTF-8) opened as games, and text pasted from another program, which may
// hold a CSA, KIF or KI2 record. Kakinoki text goes through the batch converter's reader, which replays
// every move, keeps branches and handicaps, and refuses a game whose start it cannot place.
#pragma once
#include <string>
#include <string_view>

namespace record {

class GameDocument;
class RecordDocument;

enum class RecordTextKind { kNotRecord, kCsa, kKakinoki, kUsi };

// Which reader a text (CP932) needs: an SFEN or a USI position line when its first non-blank line is
// one; otherwise by its first line that only one kind has: a CSA position, move or player line, or a
// Kakinoki header, diagram or move line (KIF numbered, KI2 with ▲/△).
RecordTextKind DetectRecordText(std::string_view cp932);

// The bytes of a text as CP932: UTF-8 is converted, with the ☗/☖ turn marks some sites use read as ▲/△
// (CP932 has no such characters).
std::string ForeignTextToCp932(std::string_view bytes);

// Reads the first game of a Kakinoki text (CP932 or UTF-8) into the document. The document changes only
// when a game was read; otherwise the reason has been shown (the converter's, or
// "柿木形式の棋譜ではありません。") and the result is false. A game whose moves stop at one that cannot
// be read or played loads up to there, and the message says so.
bool ReadKakinokiGame(std::string_view bytes, std::string_view source_name, GameDocument& doc);

// Reads pasted text (CP932 or UTF-8) holding a CSA record (header and moves, or moves alone), a
// Kakinoki record, or an SFEN or USI position line (the position with its moves as the record) into the
// document. Text that is none of them shows "クリップボードの内容は棋譜ではありません。" and changes
// nothing; so does an SFEN or USI line whose position does not read, with what is wrong with it.
bool ReadPastedRecord(std::string_view bytes, GameDocument& doc);

// Why the first line of an SFEN or USI text (CP932) cannot be set up: its position does not read or the
// rules refuse it; "" when it can (its moves are checked only as they are played).
std::string UsiTextProblem(std::string_view cp932);
// Sets up the position of the first line of an SFEN or USI text in a game or tsume document, its moves
// as the record; a move that does not play ends the record there, with a message. A position that does
// not read shows why and leaves the document as it was (false).
bool ReadUsiText(std::string_view cp932, RecordDocument& doc);

}  // namespace record
