// The position lines of CSA text, one reader for every place that takes them: a document loading a file
// (lenient about what a line asks for) and a database registering one (strict). A line that does not
// read as a position line is refused under both.
//
//   PI82HI22KA         the even game without the pieces listed (square and code, as they stand there)
//   P1-KY-KE * ...     a rank (1..9): nine cells of three characters, file 9 first; " * " is empty
//   P+55KA00FU00FU     pieces of a side: on a square, or in hand with "00"; "00AL" puts every piece left
//   P-00AL             in the box, kings aside, into that side's hand
//
// Pieces come from the piece box, lowest index of the kind first. The entries are indexed by piece, as
// rules::BoardForm::Decode gives them; a reading starts with every piece in the box.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "rules/board_form.h"

namespace record {

enum class CsaPolicy {
  // Documents: a square given twice keeps the later piece; a cell or group whose kind has no piece left in
  // the box is passed over; a piece put in hand goes there unpromoted, a king too; "Pi" is "PI"; a removal
  // that names no such piece changes nothing.
  kLenient,
  // Registration: every one of those is a broken line.
  kStrict,
};

// Whether the line is a position line ("P1".."P9", "PI", "P+", "P-"; "Pi" too under the lenient policy).
bool IsCsaPositionLine(std::string_view line, CsaPolicy policy);

// Applies one position line to the entries. False when the line does not read (an unknown code, a cell or
// group out of shape, a rank line too long) or, under the strict policy, breaks a rule; the entries may
// then be partly changed. Any other line changes nothing and is taken (true) only under the lenient
// policy.
bool ApplyCsaPositionLine(std::string_view line, CsaPolicy policy, rules::BoardForm::Expanded& pieces);

// The position as position lines without line ends: "P1".."P9" (file 9 first, " * " for an empty
// square, sign and piece code otherwise), then "P+" and "P-" with the pieces in hand as "00" and a code,
// kinds in the order OU HI KA KI GI KE KY FU (no line for an empty hand).
std::vector<std::string> CsaPositionLines(const rules::BoardForm& form);

// A two-digit square of CSA text: 11..99, 0 for "00" (a hand), -1 for anything else.
int ParseCsaSquare(std::string_view two);
// A two-letter CSA piece code: the kind, with `promoted` set; -1 when the text names no piece.
int ParseCsaCode(std::string_view two, bool* promoted);

}  // namespace record
