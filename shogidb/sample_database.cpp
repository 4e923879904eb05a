#include "shogidb/sample_database.h"

#include "platform/db_lock.h"
#include "platform/files.h"
#include "platform/text_codec.h"
#include "shogidb/game_database.h"
#include "shogidb/problem_database.h"
#include "shogidb/schema.h"

namespace shogidb {

const char* const kSampleGameFiles[2] = {"sample-game.csa", "sample-games.csa"};
const char* const kSampleProblemFiles[2] = {"sample-tsume.pcl", "sample-problems.pcl"};

namespace {

// Passes everything on to the job's sinks and keeps the first message and the last line, so that the
// outcome can name what went wrong.
class Watcher final : public platform::MessageSink, public platform::ProgressSink {
 public:
  explicit Watcher(const DbJob& job) : job_(job.Complete()) {}

  void Show(std::string_view text) override {
    if (first_message.empty()) first_message = text;
    job_.messages->Show(text);
  }
  platform::Answer Ask(std::string_view question, platform::Buttons buttons) override {
    return job_.messages->Ask(question, buttons);
  }
  void Line(std::string_view text) override {
    last_line = text;
    job_.progress->Line(text);
  }
  DbJob Job() {
    DbJob j = job_;
    j.messages = this;
    j.progress = this;
    return j;
  }

  std::string first_message, last_line;

 private:
  DbJob job_;
};

void ReadInto(const std::string& directory, const char* const (&names)[2], std::vector<std::string>& texts,
              std::vector<std::string>& missing) {
  for (const char* name : names) {
    const std::string path = directory + name;
    std::string bytes;
    if (platform::ReadWholeFile(path, bytes)) {
      texts.push_back(platform::InputTextToCp932(bytes));
    } else {
      missing.push_back(path);
    }
  }
}

int RegisterAll(ItemDatabase& db, std::string_view directory, const std::vector<std::string>& texts, const DbJob& job) {
  db.SetDatabase(directory);
  db.SetJob(job);
  int count = 0;
  for (const std::string& text : texts) {
    if (job.Stopped()) break;
    count += db.RegisterFromCsa(text, true);
  }
  return count;
}

}  // namespace

SampleRecords ReadSampleRecords(std::string_view directory) {
  const std::string dir = NormalizeDirectory(directory);
  SampleRecords records;
  ReadInto(dir, kSampleGameFiles, records.games, records.missing);
  ReadInto(dir, kSampleProblemFiles, records.problems, records.missing);
  return records;
}

SampleDatabaseResult CreateSampleDatabase(std::string_view directory, const SampleRecords& records, const DbJob& job) {
  SampleDatabaseResult result;
  const std::string dir = NormalizeDirectory(directory);
  // Without its final "/", so that a plain file of that name counts as well.
  if (dir.empty() || platform::FileExists(dir.substr(0, dir.size() - 1))) return result;
  Watcher watcher(job);
  if (!CreateDatabase(dir, watcher, watcher)) {
    result.status = SampleDatabaseResult::kFailed;
    result.first_fault = watcher.first_message.empty() ? watcher.last_line : watcher.first_message;
    return result;
  }
  result.status = SampleDatabaseResult::kCreated;
  for (const std::string& path : records.missing) watcher.Show("見本ファイル " + path + " が読めません。");
  {
    platform::DatabaseLockGuard lock(dir, platform::DatabaseLockGuard::Mode::kWait);
    GameDatabase games;
    result.games = RegisterAll(games, dir, records.games, watcher.Job());
    ProblemDatabase problems;
    result.problems = RegisterAll(problems, dir, records.problems, watcher.Job());
  }
  result.first_fault = watcher.first_message;
  return result;
}

namespace {

// Message texts may span lines; the report is one line.
std::string OneLine(std::string text) {
  std::string out;
  for (char c : text) {
    if (c == '\r') continue;
    out += c == '\n' ? ' ' : c;
  }
  return out;
}

}  // namespace

std::string SampleDatabaseReport(const SampleDatabaseResult& result, std::string_view directory) {
  switch (result.status) {
    case SampleDatabaseResult::kLeftAlone:
      return "";
    case SampleDatabaseResult::kFailed:
      return "見本の将棋データベース " + std::string(directory) + " が作成できませんでした。" + OneLine(result.first_fault);
    case SampleDatabaseResult::kCreated:
      break;
  }
  std::string text = Format("見本の将棋データベースを作成しました(対局 %d 件、詰将棋 %d 件): ", result.games,
                            result.problems) +
                     std::string(directory);
  if (!result.first_fault.empty()) text += " " + OneLine(result.first_fault);
  return text;
}

}  // namespace shogidb
