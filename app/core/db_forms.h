// What the database dialogs of registration, export and deletion decide without a window: the checks
// of their file fields with the texts the user sees, the header of the current record as text, the
// count line of a selection list, the question before a new database folder is used, and the list of
// remembered folders. Texts are UTF-8, as the dialogs show them; paths are CP932, as the core takes them.
#pragma once
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "record/header_fields.h"

namespace app {

enum class DbItemKind { kGame, kProblem };

// "CSA" for games, "PCL" for problems: the files each kind travels in.
const char* FileKindOf(DbItemKind kind);

// The file field of ファイルからの対局登録 / 詰将棋登録. Empty when the file can be read, else the message:
// an empty field "CSAファイル名を指定してください。", a folder "CSAファイル名を入力してください。", a
// missing file "CSAファイル(%s)のオープンエラーです。", one that cannot be read "CSAファイル(%s)がオープン
// できません。" (PCL alike; PCL has the one open message for both).
std::string RegisterFileProblem(DbItemKind kind, const std::string& cp932_path);
// Reads the file to register as CP932 text (UTF-8 files are converted). False with the open message.
bool ReadRegisterFile(DbItemKind kind, const std::string& cp932_path, std::string& text, std::string& problem);

// The output field of 対局のファイル出力 / 詰将棋のファイル出力: "" or "CSA ファイル名(*.csa)を指定して
// ください。" (PCL alike) when it names no file.
std::string ExportFileProblem(DbItemKind kind, std::string_view utf8_path);

// The selection count: "全 N 件" while nothing is chosen, "N 件中 M 件" + `chosen_word` ("選択",
// "削除対象") once something is.
std::string SelectionCountText(size_t total, size_t chosen, std::string_view chosen_word);

// The header shown in 対局の登録 / 詰将棋の登録 ("対局情報", "詰将棋情報"): one line per field, label and
// value, the names first for a game, the annotation's lines last.
std::vector<std::string> GameHeaderText(const record::GameHeader& header);
std::vector<std::string> ProblemHeaderText(const record::ProblemHeader& header);

// The question before a folder becomes the database: "将棋データベースの設定は必ず必要です。\n現在値\n"
// + the folder + "\nに設定します。よろしいですか？".
std::string DatabaseSettingQuestion(std::string_view utf8_folder);
// The remembered folders with `folder` first (taken from where it stood), at most `max` of them.
std::vector<std::string> RememberFolder(std::vector<std::string> folders, const std::string& folder, size_t max);

// Duplicate groups (an entry with .number first, its duplicates after it) cut down to the chosen
// numbers: a group keeps its chosen entries in order and goes when fewer than two are left.
template <class Entry>
std::vector<std::vector<Entry>> GroupsWithin(const std::vector<std::vector<Entry>>& groups, const std::set<int32_t>& chosen) {
  std::vector<std::vector<Entry>> within;
  for (const std::vector<Entry>& group : groups) {
    std::vector<Entry> kept;
    for (const Entry& e : group) {
      if (chosen.count(e.number)) kept.push_back(e);
    }
    if (kept.size() >= 2) within.push_back(std::move(kept));
  }
  return within;
}

// Takes the entries whose numbers are gone out of a list, keeping the order of the others.
template <class Entry>
void DropEntries(std::vector<Entry>& list, const std::set<int32_t>& gone) {
  std::erase_if(list, [&](const Entry& e) { return gone.count(e.number) > 0; });
}

}  // namespace app
