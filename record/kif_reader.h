// The simple KIF reader (柿木棋譜の読込): even games and games from a position diagram, in KIF notation,
// converted line by line into CSA text that a game document then reads. It does not replay the moves;
// the document's reader does.
//
// Mended against real files: a move line's time field ("( 0:01/00:00:01)") is not taken for the origin
// of a drop; "変化：" sections are never appended to the main line. The result comes from the main line's
// ending word or the summary line after it, never from a variation's, and moves that just stop have
// none. A diagram (with 後手番) gives the start position, or the file is refused when it does not read.
#pragma once
#include <string>
#include <string_view>

#include "platform/message_sink.h"
#include "record/record_document.h"

namespace record {

class KifReader {
 public:
  explicit KifReader(platform::MessageSink* messages = nullptr);

  // Converts KIF text (CP932) into CSA text. On failure the message has been shown ("手合は平手しか変換
  // できません(%s)。", "局面図が読めません(%s)。", "局面図の五段目がありません。", "指し手エラーです。(%s)",
  // "メモリが足りません。", "柿木形式の棋譜ではありません。" for a text with neither a move list nor a
  // diagram, which gives no CSA text) and `csa` holds what was produced up to the failure; an empty input
  // fails without a message.
  bool Convert(std::string_view kif, std::string& csa);

 private:
  platform::MessageSink* messages_;
};

// 柿木棋譜の読込 without its dialogs: converts the file's bytes (CP932 or UTF-8) with the simple reader,
// then clears the game document and reads whatever text was produced into it. `converted` tells whether
// the conversion itself succeeded.
DocumentResult ReadKifIntoGame(std::string_view file_bytes, GameDocument& doc, bool* converted = nullptr);

}  // namespace record
