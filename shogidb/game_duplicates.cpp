// Duplicate games: every game found is summarized by its start, its moves and the board form after the
// last move; games whose final forms hash alike are compared pairwise, by their moves (same start, same
// side, same moves) or by their final positions (the same board form).
#include <cstring>
#include <unordered_map>

#include "shogidb/game_database.h"
#include "shogidb/position_key.h"
#include "shogidb/search_condition.h"

using namespace rules;

namespace shogidb {
namespace {

struct Summary {
  int32_t start = -1;
  Side side = kSente;
  std::vector<BoardMove> moves;
  BoardForm final_form;
  int32_t final_hash = 0;
};

bool SameGame(const Summary& a, const Summary& b, GameDatabase::DuplicateMode mode) {
  if (mode == GameDatabase::DuplicateMode::kFinalPosition) return a.final_form == b.final_form;
  return a.start == b.start && a.side == b.side && a.moves == b.moves;
}

}  // namespace

int GameDatabase::FindDuplicates(std::string_view condition, DuplicateMode mode, std::vector<std::vector<ListEntry>>& groups,
                         const PositionSpec* position, int* searched) {
  groups.clear();
  if (searched) *searched = 0;
  std::string stripped = StripConditionComments(condition);
  const bool has_order = HasOrderBy(stripped);
  if (has_order || (position && position->mode != PositionSpec::kNone)) {
    job_.Show("「局面指定」 および 'order by'の指定は無効です");
  }
  if (has_order) {
    size_t at = std::min(stripped.find("order by"), stripped.find("ORDER BY"));
    stripped = StripConditionComments(stripped.substr(0, at));
  }
  std::vector<ListEntry> games;
  if (int rc = SearchRows(SelectStatement(Table(kTableB).name, stripped), false, PositionSpec{}, games);
      rc != dbengine::kOk) {
    return rc;
  }
  if (searched) *searched = static_cast<int>(games.size());

  job_.Line("棋譜読込中");
  std::vector<Summary> summaries(games.size());
  {
    OpenTables open;
    if (int rc = OpenAll(open); rc != dbengine::kOk) {
      job_.Line("異常により読込みを中断しました。");
      return rc;
    }
    std::unordered_map<int32_t, BoardForm> starts;
    for (size_t i = 0; i < games.size(); ++i) {
      if (job_.Stopped()) {
        job_.Line("読込みを中断しました。");
        return dbengine::kOk;
      }
      Summary& s = summaries[i];
      s.start = RowPosition(games[i].row.data());
      s.side = side_of(games[i].row.data(), s.moves);
      auto it = starts.find(s.start);
      if (it == starts.end()) {
        BoardForm form;
        if (ReadPosition(s.start, form) != dbengine::kOk) {
          job_.Line("異常により読込みを中断しました。");
          return dbengine::kInvalid;
        }
        it = starts.emplace(s.start, form).first;
      }
      if (moves_.ReadMoves(owner_kind_, games[i].number, s.moves) != dbengine::kOk) {
        job_.Line("異常により読込みを中断しました。");
        return dbengine::kCannotOpen;
      }
      FormBoard board(it->second);
      for (BoardMove m : s.moves) {
        if (!board.Apply(m)) break;  // a damaged list: the position reached so far stands for it
      }
      s.final_form = board.Form();
      s.final_hash = PositionHash(s.final_form);
      if ((i + 1) % 100 == 0) job_.Line(Format("全棋譜読込中  %d 件読込みました。", static_cast<int>(i + 1)));
    }
  }

  const int total = static_cast<int>(games.size());
  job_.Line(Format("全 %d 件を照合中", total));
  std::unordered_map<int32_t, std::vector<size_t>> by_hash;
  for (size_t i = 0; i < summaries.size(); ++i) by_hash[summaries[i].final_hash].push_back(i);
  std::vector<bool> grouped(games.size(), false);
  std::vector<std::vector<size_t>> found;
  for (size_t i = 0; i < summaries.size(); ++i) {
    if (job_.Stopped()) {
      job_.Line("読込みを中断しました。");
      return dbengine::kOk;
    }
    if ((i + 1) % 100 == 0) job_.Line(Format("全 %d 件を照合中、 残り %d 件", total, total - static_cast<int>(i + 1)));
    if (grouped[i]) continue;
    std::vector<size_t> group{i};
    for (size_t j : by_hash[summaries[i].final_hash]) {
      if (j <= i || grouped[j]) continue;
      if (SameGame(summaries[i], summaries[j], mode)) {
        grouped[j] = true;
        group.push_back(j);
      }
    }
    if (group.size() > 1) found.push_back(std::move(group));
  }
  size_t listed = 0;
  for (const auto& g : found) listed += g.size();
  job_.Line(Format("重複棋譜 %d 件を読込中", static_cast<int>(listed)));
  for (const auto& g : found) {
    std::vector<ListEntry> group;
    for (size_t i : g) group.push_back(games[i]);
    groups.push_back(std::move(group));
  }
  return dbengine::kOk;
}

int GameDatabase::MergeAnnotations(int32_t kept, const std::vector<ListEntry>& removed, bool by_ply, bool* changed) {
  *changed = false;
  OpenTables open;
  if (int rc = open.Add(notes_); rc != dbengine::kOk) return rc;
  std::vector<std::pair<std::string, std::string>> kept_notes;
  if (int rc = notes_.ListAnnotations(note_kind_, NotesPrefix(kept), kept_notes); rc != dbengine::kOk) return rc;
  std::unordered_map<std::string, std::string> merged;  // by ply text ("005")
  for (const auto& [key, text] : kept_notes) {
    if (const std::string_view ply = MoveNoteKeyPlyText(key); !ply.empty()) merged[std::string(ply)] = text;
  }
  std::vector<std::string> touched;
  for (const ListEntry& game : removed) {
    std::vector<std::pair<std::string, std::string>> notes;
    if (int rc = notes_.ListAnnotations(note_kind_, NotesPrefix(game.number), notes); rc != dbengine::kOk) return rc;
    for (const auto& [key, text] : notes) {
      const std::string ply(MoveNoteKeyPlyText(key));
      if (ply.empty() || text.empty()) continue;
      if (!by_ply && ply != "000") continue;  // different moves: only the game annotation carries over
      std::string& into = merged[ply];
      if (into.find(text) != std::string::npos) continue;
      into += into.empty() ? text : "\r\n" + text;
      touched.push_back(ply);
    }
  }
  for (const std::string& ply : touched) {
    const std::string key = NotesPrefix(kept) + ply;
    if (int rc = notes_.ReplaceAnnotation(note_kind_, key, merged[ply]); rc != dbengine::kOk) return rc;
    *changed = true;
  }
  open.FlushAll();
  // The caller made sure the kept game was whole; its seal now covers the merged annotations.
  return *changed ? Reseal(kept) : dbengine::kOk;
}

int GameDatabase::DeleteDuplicates(const std::vector<std::vector<ListEntry>>& groups, int searched, bool merge_annotations,
                           DuplicateMode mode) {
  if (!job_.Confirm(Format("%d 件の棋譜の中から重複棋譜を削除します。よろしいですか？", searched))) return 0;
  int deleted = 0;
  for (size_t g = 0; g < groups.size(); ++g) {
    if (job_.Stopped()) {
      job_.Line("対局棋譜重複削除を中断終了しました。");
      break;
    }
    const std::vector<ListEntry>& group = groups[g];
    if (group.size() < 2) continue;
    const ListEntry& kept = group[0];
    const std::vector<ListEntry> removed(group.begin() + 1, group.end());
    // Keeping a damaged game in place of whole copies of it would lose what they still hold.
    if (VerifyItem(kept.number) != dbengine::kOk) {
      job_.Show(DamagedText(kept.number));
      continue;
    }
    bool changed = false;
    if (merge_annotations &&
        MergeAnnotations(kept.number, removed, mode == DuplicateMode::kMoves, &changed) != dbengine::kOk) {
      job_.Show(Format("元棋譜(対局番号=%06d)の更新に失敗しました。", static_cast<int>(kept.number)));
      break;
    }
    const int n = static_cast<int>(g + 1);
    job_.Line(Format("%d件目 元棋譜は更新%sです。 %s", n, changed ? "対象" : "対象外", kept.line.c_str()));
    for (const ListEntry& game : removed) {
      job_.Line(Format("%d件目 重複棋譜を削除します。 %s", n, game.line.c_str()));
      const int rc = DeleteItem(game.number);
      if (rc == dbengine::kOk) {
        ++deleted;
      } else {
        job_.Line(Format("%sの削除に失敗しました(rc=%d)。", game.line.c_str(), rc));
      }
    }
  }
  job_.Line(Format("%d 件削除しました(%s)。", deleted, NowText().c_str()));
  return deleted;
}

}  // namespace shogidb
