// Names of pieces and squares, and the three texts of a move: the standard Japanese text (with the words
// that tell apart two pieces able to reach the same square), the list text, and the CSA text.
#pragma once
#include <string>

#include "rules/move_word.h"

namespace rules {

class Piece;
class Position;
struct MoveNode;

// Indexed by code & 15 (kind + 8 when promoted).
extern const char* const kJapanesePieceNames[16];  // "玉" .. "と"
extern const char* const kCsaPieceCodes[16];       // "OU" .. "TO", "??" for 8 and 11
extern const char* const kSideNames[2];            // "先手", "後手"
extern const char* const kFileDigits[10];          // "" then "１" .. "９"
extern const char* const kRankNumerals[10];        // "" then "一" .. "九"

// "７六" for a square; "" for a cell that is not one.
std::string SquareText(BoardIndex at);

// Where a piece stands seen from a target square by the player of a side (front is toward the opponent,
// right the player's right hand), one bit per class, and the groups the move words name.
struct Relative {
  static constexpr int kFrontRight = 0x80, kFront = 0x40, kFrontLeft = 0x20, kRight = 0x10, kLeft = 0x08,
                       kBackRight = 0x04, kBack = 0x02, kBackLeft = 0x01;
  static constexpr int kOnRight = kFrontRight | kRight | kBackRight;  // 右
  static constexpr int kOnLeft = kFrontLeft | kLeft | kBackLeft;      // 左
  static constexpr int kAhead = kFrontRight | kFront | kFrontLeft;    // 引: the piece comes back
  static constexpr int kBehind = kBackRight | kBack | kBackLeft;      // 上 (行): the piece comes up
  static constexpr int kBeside = kRight | kLeft;                      // 寄
  static constexpr int kAll = 0xFF;
};

// The relative class of a piece on `from` seen from `target`; 0 when not on a line or not on the board.
int RelativeClass(BoardIndex target, BoardIndex from, Side side);

// The standard text of a move about to be made by `piece` (which still stands where it is), e.g.
// 「先手７六歩」, 「後手同角成」, 「先手５二金左」. Empty when the target is not a board square.
std::string StandardMoveText(const Position& position, const Piece& piece, MoveWord move);
// The list text, e.g. 「先手２二角成(88)」, 「後手５五角打」, 「先手歩(77)を駒台/駒箱へ」.
std::string ListMoveText(MoveWord move);
// The node's cached text when it has a note (which may be empty), else the list text; "" for the root.
std::string NodeMoveText(const Position& position, const MoveNode& node);
// 「+7776FU」, 「-8822UM」, drops 「+0055KA」.
std::string CsaMoveText(MoveWord move);
// Two characters of CSA piece code -> kind, with `promoted` set; -1 when they name no piece.
int ParseCsaPieceCode(const char* two_chars, int* promoted);

}  // namespace rules
