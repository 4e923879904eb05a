// The shared real-world records, converted to CSA, registered, exported and read back: the moves of the
// main line, their annotations and the headers come back as they went in.
#include <gtest/gtest.h>

#include <algorithm>
#include <dirent.h>

#include "platform/files.h"
#include "platform/sjis.h"
#include "platform/text_codec.h"
#include "record/archive.h"
#include "record/kakinoki_converter.h"
#include "record/plain_board.h"
#include "record/select_read.h"
#include "rules/notation.h"
#include "shogidb/game_database.h"
#include "tests/shogidb/shogidb_test_util.h"

using namespace rules;
using namespace record;

namespace shogidb {
namespace {

std::vector<std::string> KifFiles(const std::string& dir) {
  std::vector<std::string> files;
  if (DIR* d = opendir(platform::NativePath(dir).c_str())) {
    while (dirent* e = readdir(d)) {
      std::string name = e->d_name;
      if (name.size() > 4 && (name.ends_with(".kif") || name.ends_with(".kifu"))) files.push_back(name);
    }
    closedir(d);
  }
  std::sort(files.begin(), files.end());
  return files;
}

// The main line (first children) of a record with each move's annotation lines.
std::vector<std::string> MainLine(const RecordBoard& board) {
  std::vector<std::string> line;
  for (const MoveNode* n = board.root()->child; n; n = n->child) {
    line.push_back(CsaMoveText(n->move));
    if (n->note) {
      for (const std::string& l : n->note->lines) line.push_back("  " + l);
    }
  }
  return line;
}

TEST(KifuRoundTripTest, RegisteredGamesExportAsTheyWentIn) {
  const std::string data = testing::TestDataDir();
  if (data.empty()) GTEST_SKIP() << "no shared test data at " << KOMARAKU_TESTDATA;
  const std::vector<std::string> files = KifFiles(data + "/kifu");
  ASSERT_FALSE(files.empty());
  Archive converted = Archive::ToMemory();
  bool separator_due = false;
  std::vector<std::string> expected_files;
  for (const std::string& name : files) {
    std::string bytes;
    ASSERT_TRUE(platform::ReadWholeFile(data + "/kifu/" + name, bytes));
    const KakinokiStats stats =
        ConvertKakinokiText(platform::InputTextToCp932(bytes), name, KakinokiOptions{}, converted, separator_due);
    ASSERT_EQ(stats.games, 1) << name;
    expected_files.push_back(data + "/kifu/" + name.substr(0, name.find('.')) + ".expected");
  }
  const std::string text = converted.text();

  const std::string dir = testing::NewDatabase("kifu");
  platform::RecordingMessageSink messages;
  platform::RecordingProgressSink progress;
  GameDatabase db;
  db.SetDatabase(dir);
  db.SetJob({&messages, &progress, nullptr});
  ASSERT_EQ(db.RegisterFromCsa(text, false), static_cast<int>(files.size()))
      << (messages.messages.empty() ? "" : messages.messages[0]);

  Archive scan_source = Archive::FromBytes(text);
  const SelectScan scan = ScanGames(scan_source);
  ASSERT_EQ(scan.entries.size(), files.size());
  for (size_t i = 0; i < files.size(); ++i) {
    SCOPED_TRACE(files[i]);
    PlainBoard original_board;
    GameDocument original(original_board);
    Archive source = Archive::FromBytes(text);
    ReadSelectedGame(source, scan.entries[i], original);

    std::string exported;
    ASSERT_EQ(db.ExportCsa(static_cast<int32_t>(i), exported), 0);
    PlainBoard back_board;
    GameDocument back(back_board);
    Archive in = Archive::FromBytes(exported);
    ASSERT_TRUE(back.Serialize(in).ok()) << exported;

    const std::vector<std::string> line = MainLine(original_board);
    EXPECT_EQ(MainLine(back_board), line);
    std::string expected_bytes;
    ASSERT_TRUE(platform::ReadWholeFile(expected_files[i], expected_bytes));
    std::vector<std::string> expected_moves = testing::Lines(expected_bytes), moves;
    for (const std::string& l : line) {
      if (l[0] != ' ') moves.push_back(l);
    }
    EXPECT_EQ(moves, expected_moves);

    // The database keeps what its columns hold.
    EXPECT_EQ(back.header().Players(), original.header().ShortPlayers());
    EXPECT_EQ(back.header().Annotation(), original.header().Annotation());
    for (int f = 0; f < GameHeader::kFieldCount; ++f) {
      if (f == GameHeader::kRegistered || f == GameHeader::kGameNumber || f == GameHeader::kMoveCount) continue;
      const HeaderFieldSpec& spec = original.header().FieldSpec(f);
      EXPECT_EQ(back.header().Field(f), platform::CutToWidth(original.header().Field(f), spec.width)) << spec.key;
    }
    EXPECT_EQ(back.header().Field(GameHeader::kGameNumber), ZeroPadded(static_cast<long>(i), 6));
    EXPECT_EQ(std::stoi(back.header().Field(GameHeader::kMoveCount)), static_cast<int>(expected_moves.size()));
    EXPECT_EQ(back_board.initial_form(), original_board.initial_form());
  }
}

TEST(KifuRoundTripTest, StandardCsaFilesRegisterWithTheirTimes) {
  const std::string data = testing::TestDataDir();
  if (data.empty()) GTEST_SKIP() << "no shared test data at " << KOMARAKU_TESTDATA;
  const std::string dir = testing::NewDatabase("standard_csa");
  platform::RecordingMessageSink messages;
  GameDatabase db;
  db.SetDatabase(dir);
  db.SetJob({&messages, nullptr, nullptr});
  for (int i : {5, 12}) {
    char name[32];
    std::snprintf(name, sizeof name, "/kifu/g%03d", i);
    std::string bytes, expected;
    ASSERT_TRUE(platform::ReadWholeFile(data + name + ".csa", bytes));
    ASSERT_TRUE(platform::ReadWholeFile(data + name + ".expected", expected));
    ASSERT_EQ(db.RegisterFromCsa(platform::InputTextToCp932(bytes), false), 1)
        << (messages.messages.empty() ? "" : messages.messages[0]);
    std::string exported;
    ASSERT_EQ(db.ExportCsa(db.last_number(), exported), 0);
    std::vector<std::string> moves;
    bool timed = false;
    for (const std::string& line : testing::Lines(exported)) {
      if (line.size() >= 7 && (line[0] == '+' || line[0] == '-') && line[1] != '\0' && isdigit(line[1])) {
        moves.push_back(line.substr(0, 7));
        timed = timed || line.find(",T") != std::string::npos;
      }
    }
    EXPECT_EQ(moves, testing::Lines(expected)) << name;
    EXPECT_NE(exported.find("'棋戦名:"), std::string::npos) << exported;  // from $EVENT
    (void)timed;
  }
}

}  // namespace
}  // namespace shogidb
