// The sample database of a first start: when the database directory does not exist yet, it is created
// with the six tables and the sample games and problems that come with the program are registered in it
// through the game and tsume databases, so that searching, exporting and solving can be tried at once.
// A directory that exists (or anything else at that path) is never touched.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "shogidb/db_job.h"

namespace shogidb {

// The sample files in the program's "samples" directory, in the order they are registered.
extern const char* const kSampleGameFiles[2];     // "sample-game.csa", "sample-games.csa"
extern const char* const kSampleProblemFiles[2];  // "sample-tsume.pcl", "sample-problems.pcl"

struct SampleRecords {
  std::vector<std::string> games;     // CSA texts (CP932), several games to a text allowed
  std::vector<std::string> problems;  // PCL texts
  std::vector<std::string> missing;   // paths of sample files that could not be read
};

// Reads the sample files of a directory (UTF-8 files are converted).
SampleRecords ReadSampleRecords(std::string_view directory);

struct SampleDatabaseResult {
  enum Status { kLeftAlone, kCreated, kFailed };
  Status status = kLeftAlone;
  int games = 0;            // games registered
  int problems = 0;         // problems registered
  std::string first_fault;  // the first message shown or failing line, "" when all went well
};

// Creates the database in `directory` when nothing exists there and registers the records, holding the
// database lock while it registers. Creation lines go to the job's progress, failures to its messages.
SampleDatabaseResult CreateSampleDatabase(std::string_view directory, const SampleRecords& records, const DbJob& job);

// One line for the user about the outcome ("" when the directory was left alone):
// "見本の将棋データベースを作成しました(対局 4 件、詰将棋 5 件): <dir>", or "... が作成できませんでした"
// with the first fault.
std::string SampleDatabaseReport(const SampleDatabaseResult& result, std::string_view directory);

}  // namespace shogidb
