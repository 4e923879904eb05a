// The bounded backtracking matcher of "matches" expressions, and the engine's expression cache.
#include "dbengine/engine_state.h"
#include "dbengine/regex.h"
#include "dbengine/regex_program.h"
#include "dbengine/result_codes.h"
#include "platform/sjis.h"

namespace dbengine {

using namespace regex_op;

bool IsWordChar(uint16_t c) {
  if (c > 0x7F) return true;
  switch (c) {
    case 0: case 8: case 9: case 10: case 12: case ' ':
    case '.': case ',': case '!': case '"': case '#': case '$': case '%': case '&': case '\'':
    case '(': case ')': case '=': case '`': case '|': case '~': case '@': case '[': case ']':
    case '{': case '}': case '<': case '>': case '-': case '+': case '*': case '/': case '?':
    case '_': case '\\':
      return false;
    default:
      return true;
  }
}

bool Regex::Set::Contains(uint16_t c) const {
  bool in = false;
  for (const auto& [lo, hi] : ranges) {
    if (c >= lo && c <= hi) {
      in = true;
      break;
    }
  }
  return in != negated;
}

class RegexMatcher {
 public:
  RegexMatcher(const Regex& re, const std::vector<uint16_t>& text) : re_(re), t_(text) {
    slots_.assign(kCaptureSlots + re.registers_, -1);
  }

  // kOk with *matched, or kRegexLimit.
  int Search(bool* matched) {
    int n = static_cast<int>(t_.size());
    int last_start = re_.anchored_ ? 0 : n;
    for (int start = 0; start <= last_start; ++start) {
      if (re_.first_char_ >= 0 && (start == n || t_[start] != re_.first_char_)) continue;
      int rc = Run(start);
      if (rc == kRegexLimit) return rc;
      if (rc == 1) {
        *matched = true;
        return kOk;
      }
    }
    *matched = false;
    return kOk;
  }

 private:
  enum FrameKind : uint8_t { kBranch, kRestore, kRetry };
  struct Frame {
    FrameKind kind;
    int32_t a, b, c, d;  // branch: pc, sp; restore: slot, value; retry: pc, base, count, min
  };

  bool ItemMatches(int op, int operand, uint16_t c) const {
    if (op == kChar) return c == operand;
    if (op == kAny) return true;
    return re_.sets_[operand].Contains(c);
  }

  bool Push(Frame f) {
    if (stack_.size() >= kRegexStackLimit) return false;
    stack_.push_back(f);
    return true;
  }

  // 1 match, 0 no match, kRegexLimit.
  int Run(int start) {
    stack_.clear();
    std::fill(slots_.begin(), slots_.end(), -1);
    const int n = static_cast<int>(t_.size());
    int pc = 0, sp = start;
    while (true) {
      if (++steps_ > kRegexStepLimit) return kRegexLimit;
      const Regex::Inst& in = re_.program_[pc];
      bool ok = true;
      switch (in.op) {
        case kChar:
          ok = sp < n && t_[sp] == in.x;
          ++sp, ++pc;
          break;
        case kAny:
          ok = sp < n;
          ++sp, ++pc;
          break;
        case kSet:
          ok = sp < n && re_.sets_[in.x].Contains(t_[sp]);
          ++sp, ++pc;
          break;
        case kRepeat: {
          int count = 0;
          int most = in.max < 0 ? n - sp : std::min(in.max, n - sp);
          while (count < most && ItemMatches(in.x, in.y, t_[sp + count])) ++count;
          steps_ += count;
          if (count < in.min) {
            ok = false;
            break;
          }
          if (count > in.min && !Push({kRetry, pc + 1, sp, count, in.min})) return kRegexLimit;
          sp += count;
          ++pc;
          break;
        }
        case kSplit:
          if (!Push({kBranch, in.y, sp, 0, 0})) return kRegexLimit;
          pc = in.x;
          break;
        case kJmp:
          pc = in.x;
          break;
        case kSave:
        case kMark: {
          int slot = in.op == kSave ? in.x : kCaptureSlots + in.x;
          if (!Push({kRestore, slot, slots_[slot], 0, 0})) return kRegexLimit;
          slots_[slot] = sp;
          ++pc;
          break;
        }
        case kProgress:
          ok = slots_[kCaptureSlots + in.x] != sp;
          ++pc;
          break;
        case kBackref: {
          int s = slots_[2 * in.x], e = slots_[2 * in.x + 1];
          ok = s >= 0 && e >= s && sp + (e - s) <= n && std::equal(t_.begin() + s, t_.begin() + e, t_.begin() + sp);
          if (ok) sp += e - s;
          ++pc;
          break;
        }
        case kWordStart:
          ok = (sp == 0 || !IsWordChar(t_[sp - 1])) && sp < n && IsWordChar(t_[sp]);
          ++pc;
          break;
        case kWordEnd:
          ok = sp > 0 && IsWordChar(t_[sp - 1]) && (sp == n || !IsWordChar(t_[sp]));
          ++pc;
          break;
        case kBol:
          ok = sp == 0;
          ++pc;
          break;
        case kEol:
          ok = sp == n;
          ++pc;
          break;
        case kMatch:
          return 1;
      }
      if (ok) continue;
      // Back to the latest pending alternative, undoing captures on the way.
      while (true) {
        if (stack_.empty()) return 0;
        if (++steps_ > kRegexStepLimit) return kRegexLimit;
        Frame f = stack_.back();
        stack_.pop_back();
        if (f.kind == kRestore) {
          slots_[f.a] = f.b;
          continue;
        }
        if (f.kind == kBranch) {
          pc = f.a;
          sp = f.b;
          break;
        }
        int count = f.c - 1;  // a greedy repetition gives back one character
        if (count > f.d) stack_.push_back({kRetry, f.a, f.b, count, f.d});
        pc = f.a;
        sp = f.b + count;
        break;
      }
    }
  }

  const Regex& re_;
  const std::vector<uint16_t>& t_;
  std::vector<int> slots_;
  std::vector<Frame> stack_;
  long steps_ = 0;
};

int Regex::Search(std::string_view text, bool* matched) const {
  if (program_.empty()) {
    *matched = false;
    return kInvalid;
  }
  std::vector<uint16_t> chars;
  chars.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    size_t len = platform::SjisCharLength(text, i);
    auto b = static_cast<unsigned char>(text[i]);
    chars.push_back(len == 2 ? static_cast<uint16_t>((b << 8) | static_cast<unsigned char>(text[i + 1])) : b);
    i += len;
  }
  RegexMatcher m(*this, chars);
  return m.Search(matched);
}

int MatchExpression(std::string_view pattern, std::string_view text, bool* matched) {
  RegexCache& cache = Engine().regex;
  *matched = false;
  if (pattern.empty()) {
    if (!cache.valid) return kInvalid;  // "No previous regular expression"
  } else if (!cache.valid || cache.pattern != pattern) {
    cache.valid = false;
    if (int rc = cache.regex.Compile(pattern); rc != kOk) return rc;
    cache.pattern.assign(pattern);
    cache.valid = true;
  }
  return cache.regex.Search(text, matched);
}

}  // namespace dbengine
