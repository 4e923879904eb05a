// Parsing a "matches" expression into a tree and emitting the backtracking program.
#include <algorithm>

#include "dbengine/regex.h"
#include "dbengine/regex_program.h"
#include "dbengine/result_codes.h"
#include "platform/sjis.h"

namespace dbengine {

using namespace regex_op;

namespace {

struct Piece;
using Sequence = std::vector<Piece>;
using Alternatives = std::vector<Sequence>;

struct Piece {
  enum Kind { kChar, kAny, kSet, kGroup, kBackref, kWordStart, kWordEnd, kBol, kEol } kind = kChar;
  int value = 0;  // character code, set number, group number
  int min = 1, max = 1;
  Alternatives group;  // alternatives of a group
};

bool Quantifiable(const Piece& p) {
  return p.kind == Piece::kChar || p.kind == Piece::kAny || p.kind == Piece::kSet || p.kind == Piece::kGroup;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

class RegexCompiler {
 public:
  RegexCompiler(std::string_view pattern, Regex& out) : p_(pattern), out_(out) {}

  int Run() {
    Alternatives top;
    if (int rc = ParseAlternatives(top, false); rc != kOk) return rc;
    out_.program_.clear();
    EmitAlternatives(top);
    Emit({kMatch});
    out_.anchored_ = top.size() == 1 && !top[0].empty() && top[0][0].kind == Piece::kBol;
    out_.first_char_ = out_.program_[0].op == kChar ? out_.program_[0].x : -1;
    return kOk;
  }

 private:
  bool At(const char* two) const {
    return i_ + 1 < p_.size() && p_[i_] == two[0] && p_[i_ + 1] == two[1];
  }

  // One character at i_ (a double-byte character as one code), advancing past it.
  int TakeChar() {
    auto b = static_cast<unsigned char>(p_[i_]);
    if (platform::IsSjisLeadByte(b) && i_ + 1 < p_.size()) {
      int code = (b << 8) | static_cast<unsigned char>(p_[i_ + 1]);
      i_ += 2;
      return code;
    }
    ++i_;
    return b;
  }

  // The character an escape stands for, with i_ just after the backslash.
  int TakeEscaped() {
    char c = p_[i_];
    switch (c) {
      case 'b': ++i_; return 8;
      case 'f': ++i_; return 12;
      case 'n': ++i_; return 10;
      case 't': ++i_; return 9;
      case '0': {
        ++i_;
        int v = 0;
        for (int k = 0; k < 3 && i_ < p_.size() && p_[i_] >= '0' && p_[i_] <= '7'; ++k) v = v * 8 + (p_[i_++] - '0');
        return v & 0xFF;
      }
      case 'x': {
        ++i_;
        int v = 0;
        for (int k = 0; k < 2 && i_ < p_.size() && HexDigit(p_[i_]) >= 0; ++k) v = v * 16 + HexDigit(p_[i_++]);
        return v;
      }
      default:
        return TakeChar();
    }
  }

  int ParseAlternatives(Alternatives& alts, bool in_group) {
    alts.emplace_back();
    if (int rc = ParseSequence(alts.back(), in_group); rc != kOk) return rc;
    while (!ended_ && At("\\|")) {
      i_ += 2;
      alts.emplace_back();
      if (int rc = ParseSequence(alts.back(), in_group); rc != kOk) return rc;
    }
    return kOk;
  }

  int ParseSequence(Sequence& seq, bool in_group) {
    while (!ended_ && i_ < p_.size()) {
      if (At("\\|")) return kOk;
      if (At("\\)")) {
        if (!in_group) ended_ = true;  // a close without an open group ends the expression
        return kOk;
      }
      Piece piece;
      if (int rc = ParseAtom(piece, in_group); rc != kOk) return rc;
      if (ended_) {  // cut here: no quantifier after the cut, and a tenth group is dropped
        if (!(piece.kind == Piece::kGroup && piece.value == 0)) seq.push_back(std::move(piece));
        return kOk;
      }
      if (Quantifiable(piece) && i_ < p_.size()) {
        char q = p_[i_];
        if (q == '*' || q == '+' || q == '?') {
          piece.min = q == '+' ? 1 : 0;
          piece.max = q == '?' ? 1 : -1;
          ++i_;
        }
      }
      seq.push_back(std::move(piece));
    }
    return kOk;
  }

  int ParseAtom(Piece& piece, bool) {
    char c = p_[i_];
    if (c == '^' && i_ == 0) {
      piece.kind = Piece::kBol;
      ++i_;
    } else if (c == '$' && i_ + 1 == p_.size()) {
      piece.kind = Piece::kEol;
      ++i_;
    } else if (c == '.') {
      piece.kind = Piece::kAny;
      ++i_;
    } else if (c == '[') {
      return ParseSet(piece);
    } else if (c == '\\' && i_ + 1 < p_.size()) {
      return ParseEscape(piece);
    } else {
      piece.kind = Piece::kChar;
      piece.value = TakeChar();
    }
    return kOk;
  }

  int ParseEscape(Piece& piece) {
    char c = p_[i_ + 1];
    if (c == '(') {
      i_ += 2;
      if (groups_ == kRegexMaxGroups) {  // a tenth group: it and the rest are ignored
        ended_ = true;
        piece.kind = Piece::kGroup;
        piece.value = 0;
        return kOk;
      }
      piece.kind = Piece::kGroup;
      piece.value = ++groups_;
      if (int rc = ParseAlternatives(piece.group, true); rc != kOk) return rc;
      if (ended_) return kOk;  // closed where the expression was cut
      if (!At("\\)")) return kInvalid;
      i_ += 2;
      return kOk;
    }
    if (c >= '1' && c <= '9') {
      piece.kind = Piece::kBackref;
      piece.value = c - '0';
      i_ += 2;
      return piece.value <= groups_ ? kOk : kInvalid;
    }
    if (c == '<' || c == '>') {
      piece.kind = c == '<' ? Piece::kWordStart : Piece::kWordEnd;
      i_ += 2;
      return kOk;
    }
    ++i_;
    piece.kind = Piece::kChar;
    piece.value = TakeEscaped();
    return kOk;
  }

  int ParseSetChar(int* code) {
    if (i_ >= p_.size()) return kInvalid;
    if (p_[i_] == '\\') {
      ++i_;
      if (i_ >= p_.size()) return kInvalid;
      *code = TakeEscaped();
    } else {
      *code = TakeChar();
    }
    return kOk;
  }

  int ParseSet(Piece& piece) {
    ++i_;
    Regex::Set set;
    if (i_ < p_.size() && p_[i_] == '^') {
      set.negated = true;
      ++i_;
    }
    while (true) {
      if (i_ >= p_.size()) return kInvalid;  // no closing bracket
      if (p_[i_] == ']') {
        ++i_;
        break;
      }
      int lo, hi;
      if (int rc = ParseSetChar(&lo); rc != kOk) return rc;
      hi = lo;
      if (i_ + 1 < p_.size() && p_[i_] == '-' && p_[i_ + 1] != ']') {
        ++i_;
        if (int rc = ParseSetChar(&hi); rc != kOk) return rc;
        if (hi < lo) return kInvalid;
      }
      set.ranges.emplace_back(static_cast<uint16_t>(lo), static_cast<uint16_t>(hi));
    }
    piece.kind = Piece::kSet;
    piece.value = static_cast<int>(out_.sets_.size());
    out_.sets_.push_back(std::move(set));
    return kOk;
  }

  int Emit(Regex::Inst inst) {
    out_.program_.push_back(inst);
    return static_cast<int>(out_.program_.size()) - 1;
  }
  int Here() const { return static_cast<int>(out_.program_.size()); }

  void EmitAlternatives(const Alternatives& alts) {
    std::vector<int> jumps;
    for (size_t k = 0; k < alts.size(); ++k) {
      int split = -1;
      if (k + 1 < alts.size()) split = Emit({kSplit});
      if (split >= 0) out_.program_[split].x = Here();
      for (const Piece& p : alts[k]) EmitPiece(p);
      if (split >= 0) {
        jumps.push_back(Emit({kJmp}));
        out_.program_[split].y = Here();
      }
    }
    for (int j : jumps) out_.program_[j].x = Here();
  }

  void EmitGroup(const Piece& p) {
    if (p.value == 0) return;
    Emit({kSave, 2 * p.value});
    EmitAlternatives(p.group);
    Emit({kSave, 2 * p.value + 1});
  }

  void EmitOnce(const Piece& p) {
    switch (p.kind) {
      case Piece::kChar: Emit({kChar, p.value}); break;
      case Piece::kAny: Emit({kAny}); break;
      case Piece::kSet: Emit({kSet, p.value}); break;
      case Piece::kGroup: EmitGroup(p); break;
      case Piece::kBackref: Emit({kBackref, p.value}); break;
      case Piece::kWordStart: Emit({kWordStart}); break;
      case Piece::kWordEnd: Emit({kWordEnd}); break;
      case Piece::kBol: Emit({kBol}); break;
      case Piece::kEol: Emit({kEol}); break;
    }
  }

  void EmitPiece(const Piece& p) {
    if (p.min == 1 && p.max == 1) return EmitOnce(p);
    if (p.kind != Piece::kGroup) {
      uint8_t item = p.kind == Piece::kChar ? kChar : p.kind == Piece::kAny ? kAny : kSet;
      Regex::Inst r{kRepeat, item, p.value, p.min, p.max};
      Emit(r);
      return;
    }
    if (p.max == 1) {  // optional group
      int split = Emit({kSplit});
      out_.program_[split].x = Here();
      EmitGroup(p);
      out_.program_[split].y = Here();
      return;
    }
    if (p.min == 1) EmitGroup(p);
    // The loop; an iteration that matches nothing ends it, so an empty body cannot spin.
    int reg = out_.registers_++;
    int loop = Emit({kSplit});
    out_.program_[loop].x = Here();
    Emit({kMark, reg});
    EmitGroup(p);
    Emit({kProgress, reg});
    Emit({kJmp, loop});
    out_.program_[loop].y = Here();
  }

  std::string_view p_;
  Regex& out_;
  size_t i_ = 0;
  int groups_ = 0;
  bool ended_ = false;
};

int Regex::Compile(std::string_view pattern) {
  program_.clear();
  sets_.clear();
  registers_ = 0;
  anchored_ = false;
  first_char_ = -1;
  RegexCompiler compiler(pattern, *this);
  int rc = compiler.Run();
  if (rc != kOk) {
    program_.clear();
    sets_.clear();
  }
  return rc;
}

}  // namespace dbengine
