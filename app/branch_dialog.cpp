#include "app/branch_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/board_view.h"
#include "app/core/record_navigation.h"

namespace app {

BranchDialog::BranchDialog(Kind kind, const std::vector<std::string>& lines, int current, QWidget* parent)
    : QDialog(parent) {
  setObjectName(kind == kSelect ? QStringLiteral("BranchSelectionDialog") : QStringLiteral("BranchDeletionDialog"));
  setWindowTitle(kind == kSelect ? QStringLiteral("分岐手順の選択") : QStringLiteral("指し手順の削除"));
  auto* layout = new QVBoxLayout(this);
  auto* caption = new QLabel(QStringLiteral("指し手リスト"), this);
  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("MoveList"));
  caption->setBuddy(list_);
  for (const std::string& line : lines) list_->addItem(QString::fromStdString(line));
  list_->setCurrentRow(current >= 0 ? current : 0);
  const int rows = std::clamp(static_cast<int>(lines.size()), 4, 10);
  list_->setMinimumSize(220, rows * list_->sizeHintForRow(0) + 2 * list_->frameWidth() + 4);
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* accept = buttons->addButton(kind == kSelect ? QStringLiteral("選択") : QStringLiteral("削除"),
                                           QDialogButtonBox::AcceptRole);
  accept->setDefault(true);
  buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
  layout->addWidget(caption);
  layout->addWidget(list_);
  layout->addWidget(buttons);
}

int BranchDialog::selected() const { return list_->currentRow(); }

namespace {

void RunBranchDialog(BoardView* view, BranchDialog::Kind kind) {
  const AlternativeList alternatives = AlternativesOfCurrentMove(view->document()->board());
  if (alternatives.lines.empty()) return;
  BranchDialog dialog(kind, alternatives.lines, alternatives.current, view);
  if (dialog.exec() != QDialog::Accepted || dialog.selected() < 0) return;
  if (kind == BranchDialog::kSelect) {
    ChooseAlternative(view->controller(), *view, dialog.selected());
  } else {
    DeleteAlternative(view->controller(), *view, dialog.selected());
  }
}

}  // namespace

void RunBranchSelection(BoardView* view) { RunBranchDialog(view, BranchDialog::kSelect); }
void RunBranchDeletion(BoardView* view) { RunBranchDialog(view, BranchDialog::kDelete); }

}  // namespace app
