#include "record/skb_file.h"

#include <cstring>

#include "record/archive.h"
#include "record/record_board.h"
#include "rules/board_form.h"

using namespace rules;

namespace record {

const char kSkbMagic[10] = {'W', 'I', 'N', 'K', 'Z', 'B', '.', 'S', 'K', 'B'};

namespace {

constexpr size_t kFormOffset = 10;
constexpr size_t kSideOffset = 54;
constexpr size_t kFlagOffset = 58;

void PutU32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

uint32_t GetU32(const unsigned char* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace

std::string SkbBytes(const Position& position, Side side_to_move, int reversed) {
  std::string out(kSkbMagic, sizeof kSkbMagic);
  const BoardForm form = position.CurrentBoardForm();
  out.append(reinterpret_cast<const char*>(form.data()), BoardForm::kSize);
  PutU32(out, static_cast<uint32_t>(SideIndex(side_to_move)));
  PutU32(out, static_cast<uint32_t>(reversed));
  return out;
}

void WriteSkb(const Position& position, int reversed, Archive& ar) {
  ar.Write(SkbBytes(position, position.side_to_move(), reversed));
}

bool ReadSkb(Archive& ar, RecordBoard& board, int& reversed, platform::MessageSink& messages) {
  unsigned char bytes[kSkbSize] = {};
  const size_t start = ar.Tell();
  const size_t got = ar.Read(bytes, kSkbSize);
  BoardForm form;
  std::memcpy(form.data(), bytes + kFormOffset, BoardForm::kSize);
  const uint32_t side = got == kSkbSize ? GetU32(bytes + kSideOffset) : 0;
  const uint32_t flag = got == kSkbSize ? GetU32(bytes + kFlagOffset) : 0;
  // Checked whole before anything changes: a short or damaged file must not cost the open document.
  if (got < kSkbSize || std::memcmp(bytes, kSkbMagic, sizeof kSkbMagic) != 0 || !form.IsValid() ||
      side > static_cast<uint32_t>(SideIndex(kSideUnset)) || flag > 1) {
    ar.Seek(start);
    messages.Show("ファイル形式が違います");
    return false;
  }
  board.ApplyBoardForm(form);
  board.BeginRecord();
  board.SetSideToMove(static_cast<Side>(side));
  reversed = static_cast<int>(flag);
  return true;
}

}  // namespace record
