#include "app/core/db_search_form.h"

#include <cstdlib>
#include <cstring>

#include "platform/text_codec.h"
#include "record/archive.h"
#include "record/plain_board.h"
#include "record/skb_file.h"
#include "rules/move_node.h"

using namespace rules;

namespace app {

namespace {

constexpr size_t kFormAt = sizeof(record::kSkbMagic);
constexpr size_t kSideAt = kFormAt + BoardForm::kSize;

uint32_t ReadU32(std::string_view bytes, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(bytes[at + i]);
  return v;
}

void AppendU32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>(v >> (8 * i) & 0xFF);
}

// A whole number within [low, high]; false for anything else (signs, blanks inside, overflow).
bool ParsePly(const std::string& text, long low, long high, long& value) {
  size_t begin = text.find_first_not_of(' '), end = text.find_last_not_of(' ');
  if (begin == std::string::npos) return false;
  const std::string digits = text.substr(begin, end - begin + 1);
  if (digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string::npos) return false;
  value = std::strtol(digits.c_str(), nullptr, 10);
  return value >= low && value <= high;
}

// Whether any node has a second child: without one the record is a single line, so following first
// children visits every node.
bool Branches(const MoveNode* node) {
  for (; node; node = node->child) {
    if (node->child && node->child->next) return true;
  }
  return false;
}

std::string Cp932(const char* utf8) { return platform::Utf8ToCp932(utf8); }

}  // namespace

bool TargetFromSetupBytes(std::string_view bytes, SearchTarget& target) {
  if (bytes.size() != record::kSkbSize || std::memcmp(bytes.data(), record::kSkbMagic, kFormAt) != 0) return false;
  BoardForm form;
  std::memcpy(form.data(), bytes.data() + kFormAt, BoardForm::kSize);
  const uint32_t side = ReadU32(bytes, kSideAt);
  if (!form.IsValid() || side > 2) return false;
  target.entered = true;
  target.form = form;
  target.side = side == 0 ? kSente : side == 1 ? kGote : kSideUnset;
  return true;
}

std::string SetupBytesOfTarget(const SearchTarget& target) {
  std::string out(record::kSkbMagic, kFormAt);
  out.append(reinterpret_cast<const char*>(target.form.data()), BoardForm::kSize);
  AppendU32(out, target.side == kSente ? 0 : target.side == kGote ? 1 : 2);
  AppendU32(out, 0);
  return out;
}

std::string MakePositionSpec(const PositionControls& controls, const SearchTarget& target,
                             shogidb::PositionSpec& spec) {
  spec = shogidb::PositionSpec();
  if (controls.mode == shogidb::PositionSpec::kNone) return "";
  if (!target.entered) return Cp932("検索する局面が入力されていません。「新規入力」で局面を入力してください。");
  long first = 1, count = shogidb::MoveBlockTable::kMaxPlies;
  const bool count_given = controls.ply_count.find_first_not_of(' ') != std::string::npos;
  if (!ParsePly(controls.first_ply, 1, shogidb::MoveBlockTable::kMaxPlies + 1, first) ||
      (count_given && !ParsePly(controls.ply_count, 0, shogidb::MoveBlockTable::kMaxPlies, count))) {
    return Cp932("検索する手数の指定が間違っています。\r\n(1～2001 手目から 0～2000 手)");
  }
  spec.mode = controls.mode;
  spec.side = target.side;
  spec.reversed = controls.reversed;
  spec.target = target.form;
  spec.first_ply = static_cast<int>(first);
  spec.ply_count = static_cast<int>(count);
  return "";
}

ComparedGame GameOfRecord(const record::RecordBoard& board) {
  record::Archive text = record::Archive::ToMemory();
  board.WriteCsaBody(text);
  record::PlainBoard copy(record::PlainBoard::kCopyPool);
  record::Archive in = record::Archive::FromBytes(text.text());
  copy.ReadCsaBody(in);
  copy.GoToStart();
  ComparedGame game;
  game.branched = Branches(copy.root());
  game.start = copy.initial_form();
  game.side = copy.side_to_move() == kGote ? kGote : kSente;
  while (const MoveNode* next = copy.current()->child) {
    game.moves.push_back(shogidb::BoardMoveOf(copy, next->move));
    if (!copy.StepForward()) break;
  }
  return game;
}

ComparedGame GameOfStoredItem(const shogidb::ItemDatabase::StoredItem& item) {
  ComparedGame game;
  game.start = item.start;
  game.side = item.side;
  game.moves = item.moves;
  return game;
}

std::string CompareGamesText(const ComparedGame& current, const ComparedGame& selected, const std::string& current_line,
                             const std::string& selected_line) {
  std::string result;
  if (current.branched != selected.branched) {
    result = Cp932("次元が違います。１次元の棋譜と多次元の棋譜は比較できません。");
  } else if (current.start != selected.start || current.side != selected.side) {
    result = Cp932("初期局面(含、手番)が違います。");
  } else if (current.moves.size() != selected.moves.size()) {
    result = Cp932("指し手数が違います。");
  } else {
    result = Cp932("棋譜が一致しました。");
    for (size_t i = 0; i < current.moves.size(); ++i) {
      // A move the board could not name (kNoMove) matches nothing.
      if (current.moves[i] != selected.moves[i] || shogidb::IsNoMove(current.moves[i])) {
        result = std::to_string(i + 1) + Cp932("手目の指し手が違います。");
        break;
      }
    }
  }
  return result + "\r\n" + Cp932("現バッファ=") + current_line + "\r\n" + Cp932("選択棋譜  =") + selected_line;
}

}  // namespace app
