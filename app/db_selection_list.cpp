#include "app/db_selection_list.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "app/qt_text.h"
#include "app/text_editor_window.h"
#include "record/summary_line.h"
#include "shogidb/game_database.h"

namespace app {

DbSelectionList::DbSelectionList(DbItemKind kind, const char* chosen_word, QWidget* parent)
    : QWidget(parent), chosen_word_(chosen_word) {
  const QFont fixed = QtFontOf(EditorFont::Default());
  auto* heading = new QLabel(FromCore(kind == DbItemKind::kGame ? shogidb::kGameDbHeading : record::kProblemListHeading));
  heading->setFont(fixed);
  list_ = new QListWidget;
  list_->setFont(fixed);
  list_->setUniformItemSizes(true);
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  // The heading starts where the list's text does, so its columns stand over theirs.
  heading->setIndent(list_->frameWidth() + list_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list_) + 2);
  const QFontMetrics metrics(fixed);
  list_->setMinimumSize(metrics.horizontalAdvance(heading->text() + QString::fromUtf8("　　　　　　　　")),
                        12 * metrics.height());
  all_ = new QPushButton(QString::fromUtf8("全件選択"));
  count_ = new QLabel;

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(all_);
  bottom->addWidget(count_, 1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(new QLabel(QString::fromUtf8("選択リスト(前回検索結果)")));
  layout->addWidget(heading);
  layout->addWidget(list_, 1);
  layout->addLayout(bottom);

  connect(all_, &QPushButton::clicked, this, [this] { ChooseAll(); });
  connect(list_, &QListWidget::itemSelectionChanged, this, [this] {
    UpdateCount();
    Q_EMIT ChoiceChanged();
  });
  UpdateCount();
}

void DbSelectionList::SetEntries(const std::vector<shogidb::ListEntry>& entries) {
  entries_ = entries;
  list_->clear();
  for (const shogidb::ListEntry& e : entries_) list_->addItem(FromCore(e.line));
  UpdateCount();
}

std::vector<shogidb::ListEntry> DbSelectionList::Chosen() const {
  std::vector<shogidb::ListEntry> chosen;
  for (int row = 0; row < list_->count(); ++row) {
    if (list_->item(row)->isSelected()) chosen.push_back(entries_[static_cast<size_t>(row)]);
  }
  return chosen;
}

void DbSelectionList::ChooseAll() { list_->selectAll(); }

void DbSelectionList::UpdateCount() {
  const size_t chosen = static_cast<size_t>(list_->selectedItems().size());
  count_->setText(QString::fromStdString(SelectionCountText(entries_.size(), chosen, chosen_word_)));
}

}  // namespace app
