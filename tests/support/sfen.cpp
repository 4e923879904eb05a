#include "tests/support/sfen.h"

#include <cctype>
#include <cstring>

using namespace rules;

namespace {

int KindOfLetter(char c) {
  switch (std::toupper(static_cast<unsigned char>(c))) {
    case 'K': return OU;
    case 'R': return HI;
    case 'B': return KA;
    case 'G': return KI;
    case 'S': return GI;
    case 'N': return KE;
    case 'L': return KY;
    case 'P': return FU;
    default: return -1;
  }
}

bool ReadBoard(std::string_view text, RefPosition* p) {
  int rank = 1, file = 9;
  bool promote = false;
  for (char c : text) {
    if (c == '/') {
      if (file != 0 || promote) return false;
      ++rank;
      file = 9;
    } else if (c >= '1' && c <= '9') {
      file -= c - '0';
      if (file < 0 || promote) return false;
    } else if (c == '+') {
      promote = true;
    } else {
      const int kind = KindOfLetter(c);
      if (kind < 0 || file < 1 || rank > 9 || (promote && (kind == OU || kind == KI))) return false;
      p->at[file][rank] = {kind, promote, std::isupper(static_cast<unsigned char>(c)) ? kRefSente : kRefGote, -1};
      promote = false;
      --file;
    }
  }
  return rank == 9 && file == 0;
}

bool ReadHands(std::string_view text, RefPosition* p) {
  if (text == "-") return true;
  int count = 0;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      count = count * 10 + (c - '0');
      continue;
    }
    const int kind = KindOfLetter(c);
    if (kind <= OU) return false;
    p->hand[std::isupper(static_cast<unsigned char>(c)) ? kRefSente : kRefGote][kind] += count ? count : 1;
    count = 0;
  }
  return count == 0;
}

bool WithinSet(const RefPosition& p) {
  int used[kKindCount] = {};
  for (int f = 1; f <= 9; ++f) {
    for (int r = 1; r <= 9; ++r) {
      if (p.at[f][r].kind >= 0) ++used[p.at[f][r].kind];
    }
  }
  for (int k = 0; k < kKindCount; ++k) {
    if (used[k] + p.hand[0][k] + p.hand[1][k] > kPiecesPerKind[k]) return false;
  }
  return true;
}

}  // namespace

bool ReadSfen(std::string_view sfen, RefPosition* out) {
  RefPosition p;
  std::string_view fields[4];
  int n = 0;
  while (n < 4 && !sfen.empty()) {
    const size_t space = sfen.find(' ');
    fields[n++] = sfen.substr(0, space);
    sfen = space == std::string_view::npos ? std::string_view() : sfen.substr(space + 1);
  }
  if (n < 3 || !ReadBoard(fields[0], &p)) return false;
  if (fields[1] != "b" && fields[1] != "w") return false;
  p.side_to_move = fields[1] == "b" ? kRefSente : kRefGote;
  if (!ReadHands(fields[2], &p) || !WithinSet(p)) return false;
  *out = p;
  return true;
}

void SetPositionFromRef(Position& position, const RefPosition& ref) {
  BoardForm::Expanded entries;
  int next[kKindCount];
  for (int k = 0; k < kKindCount; ++k) next[k] = kFirstIndexOfKind[k];
  for (int f = 1; f <= 9; ++f) {
    for (int r = 1; r <= 9; ++r) {
      const RefPiece& q = ref.at[f][r];
      if (q.kind < 0) continue;
      entries[next[q.kind]++] = {static_cast<uint8_t>(f * 10 + r), static_cast<uint8_t>(q.side),
                                 static_cast<uint8_t>(q.promoted)};
    }
  }
  for (int side = 0; side < 2; ++side) {
    for (int k = 0; k < kKindCount; ++k) {
      for (int n = 0; n < ref.hand[side][k]; ++n) {
        entries[next[k]++] = {static_cast<uint8_t>(side), static_cast<uint8_t>(side), 0};
      }
    }
  }
  BoardForm form;
  form.Encode(entries);
  position.ApplyBoardForm(form);
  position.SetSideToMove(static_cast<Side>(ref.side_to_move));
  position.BeginRecord();
}

bool SetPositionFromSfen(Position& position, std::string_view sfen) {
  RefPosition ref;
  if (!ReadSfen(sfen, &ref)) return false;
  SetPositionFromRef(position, ref);
  return true;
}
