#include "shogidb/solution_file.h"

#include "platform/files.h"
#include "platform/message_sink.h"
#include "platform/text_codec.h"
#include "record/move_space_file.h"
#include "shogidb/record_text_reader.h"

namespace shogidb {

SolutionFileState ReadSolutionFile(const std::string& directory, const std::string& name, const rules::BoardForm& start,
                                   const std::vector<BoardMove>& moves, std::string* text) {
  if (name.empty()) return SolutionFileState::kAbsent;
  const std::string path = record::MoveSpaceFilePath(directory, name);
  std::string sum;
  const bool summed = platform::ReadWholeFile(record::MoveSpaceSumPath(path), sum);
  if (!platform::FileExists(path)) return summed ? SolutionFileState::kDamaged : SolutionFileState::kAbsent;
  std::string bytes;
  if (!platform::ReadWholeFile(path, bytes)) return SolutionFileState::kDamaged;
  // Files from before sums were kept, or from other programs, are judged by their start and main line.
  if (summed && sum != record::MoveSpaceSum(bytes)) return SolutionFileState::kDamaged;
  std::string cp932 = platform::InputTextToCp932(bytes);
  // Read as registration reads a problem, without showing what a broken file would make it say.
  ParsedItem item;
  RecordTextReader reader(cp932, ItemKind::kProblem, platform::NullMessageSink::Instance());
  if (reader.Next(item) != RecordTextReader::kItem || !(item.start == start) || item.moves != moves) {
    return SolutionFileState::kDamaged;
  }
  if (text) *text = std::move(cp932);
  return SolutionFileState::kMatches;
}

}  // namespace shogidb
