#include "rules/movement.h"

#include "rules/piece_code.h"

namespace rules {

namespace {

constexpr MoveVector kEnd{0, false};
#define S(o) MoveVector{o, true}
#define T(o) MoveVector{o, false}

constexpr MoveVector kSenteKing[] = {T(-10), T(-9), T(-11), T(-1), T(+1), T(+9), T(+11), T(+10), kEnd};
constexpr MoveVector kGoteKing[] = {T(+10), T(+9), T(+11), T(-1), T(+1), T(-9), T(-11), T(-10), kEnd};
constexpr MoveVector kRook[] = {S(-10), S(-1), S(+1), S(+10), kEnd};
constexpr MoveVector kBishop[] = {S(-9), S(-11), S(+9), S(+11), kEnd};
constexpr MoveVector kSenteGold[] = {T(-10), T(-9), T(-11), T(-1), T(+1), T(+10), kEnd};
constexpr MoveVector kGoteGold[] = {T(+10), T(+9), T(+11), T(-10), T(-1), T(+1), kEnd};
constexpr MoveVector kSenteSilver[] = {T(-9), T(-10), T(-11), T(+9), T(+11), kEnd};
constexpr MoveVector kGoteSilver[] = {T(-9), T(-11), T(+9), T(+10), T(+11), kEnd};
constexpr MoveVector kSenteKnight[] = {T(-21), T(-19), kEnd};
constexpr MoveVector kGoteKnight[] = {T(+21), T(+19), kEnd};
constexpr MoveVector kSenteLance[] = {S(-10), kEnd};
constexpr MoveVector kGoteLance[] = {S(+10), kEnd};
constexpr MoveVector kSentePawn[] = {T(-10), kEnd};
constexpr MoveVector kGotePawn[] = {T(+10), kEnd};
constexpr MoveVector kDragon[] = {S(-10), S(-1), S(+1), S(+10), T(-9), T(-11), T(+9), T(+11), kEnd};
constexpr MoveVector kHorse[] = {S(-9), S(-11), S(+9), S(+11), T(-10), T(-1), T(+1), T(+10), kEnd};
constexpr MoveVector kNone[] = {kEnd};

#undef S
#undef T

}  // namespace

// Indexed by code & 15 for each side.
constexpr const MoveVector* kMovementBySide[2][16] = {
    {kSenteKing, kRook, kBishop, kSenteGold, kSenteSilver, kSenteKnight, kSenteLance, kSentePawn,
     kNone, kDragon, kHorse, kNone, kSenteGold, kSenteGold, kSenteGold, kSenteGold},
    {kGoteKing, kRook, kBishop, kGoteGold, kGoteSilver, kGoteKnight, kGoteLance, kGotePawn,
     kNone, kDragon, kHorse, kNone, kGoteGold, kGoteGold, kGoteGold, kGoteGold},
};

namespace {

constexpr MovesAlongTable MakeMovesAlong() {
  MovesAlongTable t{};
  for (int code = 0; code < 32; ++code) {
    for (const MoveVector* v = kMovementBySide[(code >> 4) & 1][code & 15]; v->offset; ++v) {
      int8_t& h = t.how[code][v->offset + kMoveReach];
      if (h == 0) h = v->slides ? 2 : 1;
    }
  }
  return t;
}

}  // namespace

constinit const MovesAlongTable kMovesAlong = MakeMovesAlong();

bool IsLineChecker(int dir, Side attacker, int kind) {
  switch (kDirections[dir]) {
    case -11: case -9: case +9: case +11:
      return kind == KA;
    case -1: case +1:
      return kind == HI;
    case -10:
      return kind == HI || (kind == KY && attacker == kSente);
    case +10:
      return kind == HI || (kind == KY && attacker == kGote);
    default:
      return false;  // knight jumps check only from next door
  }
}

}  // namespace rules
