#include "app/db_delete_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/application.h"
#include "app/db_access.h"
#include "app/db_selection_list.h"
#include "dbengine/result_codes.h"
#include "shogidb/game_database.h"

namespace app {

namespace {

QString Utf8(const char* text) { return QString::fromUtf8(text); }

std::vector<shogidb::ListEntry>& LastList(DbItemKind kind) {
  DatabaseState& state = Application::instance()->database_state();
  return kind == DbItemKind::kGame ? state.last_games : state.last_problems;
}

// Deletes the duplicates among the chosen games: the groups of the whole database, cut down to them.
void DeleteDuplicatesAmong(const std::vector<shogidb::ListEntry>& chosen, const std::string& dir, bool gather,
                           const shogidb::DbJob& job) {
  shogidb::GameDatabase db;
  db.SetDatabase(dir);
  db.SetJob(job);
  const auto mode = shogidb::GameDatabase::DuplicateMode::kMoves;
  std::vector<std::vector<shogidb::ListEntry>> groups;
  if (db.FindDuplicates("", mode, groups) != 0 || job.Stopped()) return;
  std::set<int32_t> numbers;
  for (const shogidb::ListEntry& e : chosen) numbers.insert(e.number);
  db.DeleteDuplicates(GroupsWithin(groups, numbers), static_cast<int>(chosen.size()), gather, mode);
}

}  // namespace

DeleteDialog::DeleteDialog(DbItemKind kind, QWidget* parent) : QDialog(parent), kind_(kind) {
  const bool game = kind == DbItemKind::kGame;
  setWindowTitle(Utf8(game ? "対局棋譜の削除" : "詰将棋棋譜の削除"));
  selection_ = new DbSelectionList(kind, "削除対象");
  selection_->SetEntries(LastList(kind));

  auto* buttons = new QDialogButtonBox;
  delete_ = buttons->addButton(Utf8("削除"), QDialogButtonBox::ActionRole);
  auto* row = new QHBoxLayout;
  if (game) {
    duplicates_ = buttons->addButton(Utf8("重複削除"), QDialogButtonBox::ActionRole);
    gather_ = new QCheckBox(Utf8("注釈情報を集約する"));
    row->addWidget(gather_);
  }
  buttons->addButton(Utf8("閉じる"), QDialogButtonBox::RejectRole);
  row->addStretch(1);
  row->addWidget(buttons);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(selection_, 1);
  layout->addLayout(row);
  connect(delete_, &QPushButton::clicked, this, [this] { DeleteChosen(); });
  if (duplicates_) connect(duplicates_, &QPushButton::clicked, this, [this] { DeleteDuplicates(); });
  connect(buttons, &QDialogButtonBox::rejected, this, &DeleteDialog::reject);
  connect(selection_, &DbSelectionList::ChoiceChanged, this, [this] { UpdateButtons(); });
  UpdateButtons();
}

void DeleteDialog::UpdateButtons() {
  const bool any = !selection_->list()->selectedItems().isEmpty();
  delete_->setEnabled(any);
  if (duplicates_) duplicates_->setEnabled(any);
}

void DeleteDialog::DeleteChosen() { Run(false); }

void DeleteDialog::DeleteDuplicates() { Run(true); }

void DeleteDialog::Run(bool duplicates) {
  const std::vector<shogidb::ListEntry> chosen = selection_->Chosen();
  if (chosen.empty()) return;
  const bool gather = gather_ && gather_->isChecked();
  std::set<int32_t> gone;
  RunOnItemDatabase(this, kind_, [&](shogidb::ItemDatabase& db, const shogidb::DbJob& job) {
    if (duplicates) {
      DeleteDuplicatesAmong(chosen, db.database(), gather, job);
    } else {
      db.DeleteItems(chosen);
    }
    // Whatever the end (all done, stopped, failed), the list keeps exactly what is still stored.
    std::vector<uint8_t> row;
    for (const shogidb::ListEntry& e : chosen) {
      if (db.ReadRow(e.number, row) == dbengine::kNotFound) gone.insert(e.number);
    }
  });
  DropEntries(LastList(kind_), gone);
  selection_->SetEntries(LastList(kind_));
  UpdateButtons();
}

}  // namespace app
