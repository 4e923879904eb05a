#include "app/db_export_dialog.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/application.h"
#include "app/db_access.h"
#include "app/db_selection_list.h"
#include "app/qt_text.h"

namespace app {

namespace {

QString Utf8(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

ExportDialog::ExportDialog(DbItemKind kind, QWidget* parent) : QDialog(parent), kind_(kind) {
  const bool game = kind == DbItemKind::kGame;
  const std::string file_kind = FileKindOf(kind);
  setWindowTitle(Utf8(game ? "対局のファイル出力" : "詰将棋のファイル出力"));
  file_ = new QLineEdit;
  auto* choose = new QPushButton(Utf8("参照..."));
  auto* row = new QHBoxLayout;
  row->addWidget(new QLabel(Utf8("出力" + file_kind + "ファイル名")));
  row->addWidget(file_, 1);
  row->addWidget(choose);

  selection_ = new DbSelectionList(kind, "選択");
  DatabaseState& state = Application::instance()->database_state();
  selection_->SetEntries(game ? state.last_games : state.last_problems);

  auto* buttons = new QDialogButtonBox;
  export_ = buttons->addButton(Utf8("出力"), QDialogButtonBox::AcceptRole);
  buttons->addButton(Utf8("閉じる"), QDialogButtonBox::RejectRole);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row);
  layout->addWidget(selection_, 1);
  layout->addWidget(buttons);
  connect(choose, &QPushButton::clicked, this, [this] { ChooseFile(); });
  connect(buttons, &QDialogButtonBox::accepted, this, &ExportDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &ExportDialog::reject);
  const auto update = [this] { export_->setEnabled(!selection_->list()->selectedItems().isEmpty()); };
  connect(selection_, &DbSelectionList::ChoiceChanged, this, update);
  update();
}

void ExportDialog::ChooseFile() {
  const QString filter = Utf8(kind_ == DbItemKind::kGame ? "CSAファイル (*.csa)" : "PCLファイル (*.pcl)");
  // The overwrite question is the export's own, asked when it starts.
  const QString path = QFileDialog::getSaveFileName(this, Utf8("出力ファイル"), file_->text(), filter, nullptr,
                                                    QFileDialog::DontConfirmOverwrite);
  if (!path.isEmpty()) file_->setText(path);
}

void ExportDialog::accept() {
  const QString typed = file_->text().trimmed();
  const std::string problem = ExportFileProblem(kind_, typed.toStdString());
  if (!problem.empty()) {
    Application::instance()->messages().Show(platform::Utf8ToCp932(problem));
    return;
  }
  std::vector<int32_t> numbers;
  for (const shogidb::ListEntry& e : selection_->Chosen()) numbers.push_back(e.number);
  if (numbers.empty()) return;
  const std::string path = ToCore(typed);
  QDialog::accept();
  RunOnItemDatabase(parentWidget(), kind_,
                    [&](shogidb::ItemDatabase& db, const shogidb::DbJob&) { db.ExportItems(numbers, path); });
}

}  // namespace app
