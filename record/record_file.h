// Opening a record file of any kind the program reads, by its extension: game records (.csa), tsume
// problems (.pcl), position files (.skb) and Kakinoki records (.kif, .kifu, .ki2, converted on the way
// in), and SFEN or USI position lines (.sfen, the first line). The command-line tool and the solver's
// command use it; the GUI opens its documents itself.
//
//   RecordFile file(&messages);
//   RecordFileResult r = file.Load(path);          // game or problem 0 of the file
//   if (r.opened) ... file.board(), file.document(), file.is_problem() ...
#pragma once
#include <string>
#include <string_view>

#include "platform/message_sink.h"
#include "record/plain_board.h"
#include "record/record_document.h"

namespace record {

enum class RecordFileKind { kUnknown, kCsa, kPcl, kSkb, kKif, kKi2, kUsi };

// By the extension, case ignored.
RecordFileKind RecordFileKindOf(std::string_view path);

struct RecordFileResult {
  bool opened = false;    // the file was read and recognised; the document holds what it gave
  bool complete = false;  // nothing in it was refused
  std::string problem;    // when not complete: what went wrong (CP932, one line)
  int line = 0;           // the line of the file the problem is on (1 the first), 0 when none is known
};

class RecordFile {
 public:
  explicit RecordFile(platform::MessageSink* messages = nullptr);
  RecordFile(const RecordFile&) = delete;
  RecordFile& operator=(const RecordFile&) = delete;

  // Reads entry `index` (0 = the first game or problem of the file). Messages of the readers go to the
  // sink given at construction. A path that names no file but reads as an SFEN or a USI position line
  // ("sfen ...", "position startpos moves ...") is taken as that text (LoadUsiText).
  RecordFileResult Load(std::string_view cp932_path, int index = 0);
  // Sets up the position of an SFEN or USI position line in the game document, its moves as the record
  // (kind kUsi). Not opened when the position does not read; not complete when a move does not play.
  RecordFileResult LoadUsiText(std::string_view text);
  // Reads text that is already in memory, as a file of the given kind would be read.
  RecordFileResult LoadText(std::string_view bytes, RecordFileKind kind, std::string_view name = "", int index = 0);

  RecordFileKind kind() const { return kind_; }
  // A problem (.pcl) fills the tsume document; every other kind fills the game document.
  bool is_problem() const { return kind_ == RecordFileKind::kPcl; }
  PlainBoard& board() { return board_; }
  GameDocument& game() { return game_; }
  ProblemDocument& problem() { return problem_; }
  RecordDocument& document() { return is_problem() ? static_cast<RecordDocument&>(problem_) : game_; }

  // The document's own text: CSA for a game, PCL for a problem (CP932, CRLF).
  std::string Text();

 private:
  platform::MessageSink* messages_;
  PlainBoard board_;
  GameDocument game_;
  ProblemDocument problem_;
  RecordFileKind kind_ = RecordFileKind::kUnknown;
};

}  // namespace record
