// The selection list of the export and deletion dialogs: the last search's games or problems under their
// heading, "全件選択", and the count line ("全 N 件", "N 件中 M 件選択" or "件削除対象").
#pragma once
#include <QWidget>
#include <vector>

#include "app/core/db_forms.h"
#include "shogidb/item_database.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace app {

class DbSelectionList : public QWidget {
  Q_OBJECT

 public:
  // `chosen_word` ends the count line once something is chosen (UTF-8).
  DbSelectionList(DbItemKind kind, const char* chosen_word, QWidget* parent = nullptr);

  void SetEntries(const std::vector<shogidb::ListEntry>& entries);
  // The entries chosen, in list order.
  std::vector<shogidb::ListEntry> Chosen() const;
  // 全件選択.
  void ChooseAll();
  QListWidget* list() const { return list_; }
  QLabel* count_label() const { return count_; }
  QPushButton* all_button() const { return all_; }

 Q_SIGNALS:
  void ChoiceChanged();

 private:
  void UpdateCount();

  const char* chosen_word_;
  std::vector<shogidb::ListEntry> entries_;
  QListWidget* list_;
  QLabel* count_;
  QPushButton* all_;
};

}  // namespace app
