// kzb convert --to kif|kifu|ki2|ki2u: game records of any kind read (CSA, KIF, KIFU, KI2) and written in
// another format, one output per input, named after it in the output folder.
#pragma once
#include <string>
#include <vector>

#include "record/game_file_format.h"

namespace kzb {

struct RecordConversion {
  std::vector<std::string> inputs;  // CP932 paths
  std::string out_dir;
  record::GameFileFormat to = record::GameFileFormat::kKif;
  bool overwrite = false;   // replace outputs that exist, which are otherwise left alone and said
  std::string event, date;  // for games that name none
};

// Converts every input, saying on standard error what was not written and why (an input that does not
// read whole, one that holds more games than its first, an output that exists or is the input). kOk when
// every input was written whole, else kFailed.
int ConvertRecords(const RecordConversion& conversion);

}  // namespace kzb
