// The sample database of a first start: made only where nothing exists, filled with the sample games and
// problems through the databases, and every failure reported without stopping the rest.
#include <gtest/gtest.h>

#include "platform/files.h"
#include "shogidb/game_database.h"
#include "shogidb/problem_database.h"
#include "shogidb/sample_database.h"
#include "shogidb/schema.h"
#include "tests/shogidb/shogidb_test_util.h"

namespace shogidb {
namespace {

using testing::Crlf;
using testing::FreshPath;

std::vector<ListEntry> All(ItemDatabase& db, const std::string& dir) {
  db.SetDatabase(dir);
  std::vector<ListEntry> out;
  EXPECT_EQ(db.Search("", {}, out), 0);
  return out;
}

std::vector<std::string> Lines(const std::vector<ListEntry>& entries) {
  std::vector<std::string> lines;
  for (const ListEntry& e : entries) lines.push_back(e.line);
  return lines;
}

struct Sinks {
  platform::RecordingMessageSink messages;
  platform::RecordingProgressSink progress;
  DbJob Job() { return {&messages, &progress, nullptr}; }
};

TEST(SampleDatabaseTest, TheSamplesBesideTheProgramAllRegister) {
  const SampleRecords records = ReadSampleRecords(KOMARAKU_SAMPLES);
  ASSERT_TRUE(records.missing.empty()) << records.missing[0];
  ASSERT_EQ(records.games.size(), 2u);
  ASSERT_EQ(records.problems.size(), 2u);

  const std::string dir = FreshPath("samples");
  Sinks sinks;
  const SampleDatabaseResult r = CreateSampleDatabase(dir, records, sinks.Job());
  EXPECT_EQ(r.status, SampleDatabaseResult::kCreated);
  EXPECT_EQ(r.first_fault, "");
  EXPECT_TRUE(sinks.messages.messages.empty());
  EXPECT_EQ(r.games, 4);
  EXPECT_EQ(r.problems, 5);
  EXPECT_EQ(SampleDatabaseReport(r, dir), "見本の将棋データベースを作成しました(対局 4 件、詰将棋 5 件): " + dir);
  EXPECT_EQ(sinks.progress.lines[6], "将棋データベースは正常に作成されました。");
  ASSERT_TRUE(DatabaseExists(dir));

  GameDatabase games;
  const std::vector<ListEntry> game_list = All(games, dir);
  ASSERT_EQ(game_list.size(), 4u);
  for (const char* opening : {"矢倉", "四間飛車", "相掛かり", "角換わり"}) {
    bool found = false;
    for (const ListEntry& e : game_list) found |= e.line.find(opening) != std::string::npos;
    EXPECT_TRUE(found) << opening;
  }
  ProblemDatabase problems;
  const std::vector<ListEntry> problem_list = All(problems, dir);
  ASSERT_EQ(problem_list.size(), 5u);
  // The solved samples keep their solutions, so their 詰手数 is stored.
  std::string text;
  ASSERT_EQ(problems.ExportItem(problem_list[1].number, text), 0);
  EXPECT_NE(text.find("'詰手数:0003"), std::string::npos);

  // A second start finds the directory and changes nothing.
  Sinks again;
  const SampleDatabaseResult second = CreateSampleDatabase(dir, records, again.Job());
  EXPECT_EQ(second.status, SampleDatabaseResult::kLeftAlone);
  EXPECT_EQ(SampleDatabaseReport(second, dir), "");
  EXPECT_TRUE(again.messages.messages.empty());
  EXPECT_TRUE(again.progress.lines.empty());
  EXPECT_EQ(Lines(All(games, dir)), Lines(game_list));
  EXPECT_EQ(Lines(All(problems, dir)), Lines(problem_list));
}

TEST(SampleDatabaseTest, AnythingAtThePathIsLeftAlone) {
  SampleRecords records;
  records.games.push_back(Crlf({"PI", "+", "+7776FU"}));
  Sinks sinks;

  const std::string empty_dir = FreshPath("samples_empty_dir");
  ASSERT_TRUE(platform::MakeDirectory(empty_dir));
  EXPECT_EQ(CreateSampleDatabase(empty_dir, records, sinks.Job()).status, SampleDatabaseResult::kLeftAlone);
  EXPECT_FALSE(DatabaseExists(empty_dir));
  EXPECT_FALSE(platform::FileExists(TablePathIn(empty_dir, kTableA) + ".scm"));

  const std::string file = FreshPath("samples_plain_file");
  ASSERT_TRUE(platform::WriteWholeFile(file, "mine"));
  EXPECT_EQ(CreateSampleDatabase(file + "/", records, sinks.Job()).status, SampleDatabaseResult::kLeftAlone);
  std::string bytes;
  ASSERT_TRUE(platform::ReadWholeFile(file, bytes));
  EXPECT_EQ(bytes, "mine");
  platform::RemoveFile(file);
  EXPECT_TRUE(sinks.messages.messages.empty());
}

TEST(SampleDatabaseTest, ADirectoryThatCannotBeMadeIsReported) {
  const std::string dir = FreshPath("samples_no_parent") + "/inner";
  Sinks sinks;
  const SampleDatabaseResult r = CreateSampleDatabase(dir, {}, sinks.Job());
  EXPECT_EQ(r.status, SampleDatabaseResult::kFailed);
  EXPECT_EQ(r.first_fault, "新規ディレクトリの作成に失敗しました。\n(既存フォルダ内には作成できません)");
  EXPECT_EQ(SampleDatabaseReport(r, dir), "見本の将棋データベース " + dir +
                                             " が作成できませんでした。新規ディレクトリの作成に失敗しました。 "
                                             "(既存フォルダ内には作成できません)");
  EXPECT_FALSE(platform::FileExists(dir));
}

TEST(SampleDatabaseTest, MissingOrBrokenSamplesDoNotStopTheOthers) {
  const std::string samples = FreshPath("samples_partial");
  ASSERT_TRUE(platform::MakeDirectory(samples));
  ASSERT_TRUE(platform::WriteWholeFile(samples + "/sample-games.csa", Crlf({"PI", "+", "+7776FU", "-3334FU"})));
  SampleRecords records = ReadSampleRecords(samples);
  ASSERT_EQ(records.games.size(), 1u);
  ASSERT_EQ(records.missing.size(), 3u);
  EXPECT_EQ(records.missing[0], samples + "/sample-game.csa");
  // A text that cannot be read comes first; the good one after it still goes in.
  records.games.insert(records.games.begin(), Crlf({"PI", "+", "+7775FU"}));

  const std::string dir = FreshPath("samples_partial_db");
  Sinks sinks;
  const SampleDatabaseResult r = CreateSampleDatabase(dir, records, sinks.Job());
  EXPECT_EQ(r.status, SampleDatabaseResult::kCreated);
  EXPECT_EQ(r.games, 1);
  EXPECT_EQ(r.problems, 0);
  EXPECT_EQ(r.first_fault, "見本ファイル " + samples + "/sample-game.csa が読めません。");
  ASSERT_EQ(sinks.messages.messages.size(), 4u);  // three files, one broken game
  GameDatabase games;
  EXPECT_EQ(All(games, dir).size(), 1u);
}

TEST(SampleDatabaseTest, ADirectoryNamedInDoubleByteCharactersIsMadeWhereNamed) {
  // The second byte of "表" and "ソ" is the backslash's byte; it is no path separator.
  EXPECT_EQ(NormalizeDirectory("C:\\棋譜\\表ソ"), "C:/棋譜/表ソ/");
  const std::string dir = FreshPath("表ソ");
  SampleRecords records;
  records.games.push_back(Crlf({"PI", "+", "+7776FU"}));
  Sinks sinks;
  const SampleDatabaseResult r = CreateSampleDatabase(dir, records, sinks.Job());
  EXPECT_EQ(r.status, SampleDatabaseResult::kCreated) << r.first_fault;
  EXPECT_EQ(r.games, 1);
  EXPECT_TRUE(DatabaseExists(dir));
}

}  // namespace
}  // namespace shogidb
