#include "app/db_create_dialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/db_access.h"
#include "app/progress_window.h"
#include "app/qt_text.h"
#include "shogidb/schema.h"

namespace app {

namespace {

QString Utf8(const char* text) { return QString::fromUtf8(text); }

}  // namespace

DatabaseCreateDialog::DatabaseCreateDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(Utf8("データベースの新規作成"));
  folder_ = new QLineEdit;
  folder_->setMinimumWidth(360);
  auto* choose = new QPushButton(Utf8("フォルダ選択..."));
  auto* row = new QHBoxLayout;
  row->addWidget(folder_, 1);
  row->addWidget(choose);
  auto* buttons = new QDialogButtonBox;
  buttons->addButton(Utf8("作成"), QDialogButtonBox::AcceptRole);
  buttons->addButton(Utf8("キャンセル"), QDialogButtonBox::RejectRole);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(Utf8("新しく作るデータベースのフォルダ名")));
  layout->addLayout(row);
  layout->addWidget(buttons);
  connect(choose, &QPushButton::clicked, this, [this] { ChooseFolder(); });
  connect(buttons, &QDialogButtonBox::accepted, this, &DatabaseCreateDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &DatabaseCreateDialog::reject);
}

// The folder chosen is where the new one goes: its name is typed after it.
void DatabaseCreateDialog::ChooseFolder() {
  const QString dir = QFileDialog::getExistingDirectory(this, Utf8("フォルダ選択"), folder_->text());
  if (dir.isEmpty()) return;
  folder_->setText(QDir::cleanPath(dir) + '/');
  folder_->setFocus();
  folder_->end(false);
}

void DatabaseCreateDialog::accept() {
  const QString folder = QDir::cleanPath(QDir::current().absoluteFilePath(folder_->text().trimmed()));
  const std::string dir = ToCore(folder_->text().trimmed().isEmpty() ? QString() : folder);
  bool created = false;
  RunInProgressWindow(this, [&](const shogidb::DbJob& job) {
    JobDatabaseLock lock(dir, job);
    if (lock.held()) created = shogidb::CreateDatabase(dir, *job.progress, *job.messages);
  });
  if (!created) return;
  RememberDatabaseFolder(folder);
  QDialog::accept();
}

}  // namespace app
