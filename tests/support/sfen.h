// Positions from SFEN text (the tsume test data carries one per problem), read into the reference
// rules' position and placed on a board the way the file readers place pieces.
#pragma once
#include <string>
#include <string_view>

#include "rules/position.h"
#include "tests/support/reference_rules.h"

// Board, side to move and hands of an SFEN ("lnsgk.../... b 2P 1"); pieces the text does not name are
// left out (the piece box). False when the text is malformed or names more pieces of a kind than a set
// holds.
bool ReadSfen(std::string_view sfen, RefPosition* out);

// Puts the position on the board (every piece not named goes into the box), sets the side to move and
// begins a new record.
void SetPositionFromRef(rules::Position& position, const RefPosition& ref);

// ReadSfen and SetPositionFromRef in one; false when the text is malformed.
bool SetPositionFromSfen(rules::Position& position, std::string_view sfen);
