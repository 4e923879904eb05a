#include "app/db_settings_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/application.h"
#include "app/core/db_forms.h"
#include "app/db_access.h"
#include "app/main_window.h"
#include "app/qt_text.h"
#include "platform/environment.h"

namespace app {

namespace {

QString Utf8(const char* text) { return QString::fromUtf8(text); }

}  // namespace

DatabaseSettingsDialog::DatabaseSettingsDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(Utf8("データベースの設定"));
  Application* app = Application::instance();
  folder_ = new QComboBox;
  folder_->setEditable(true);
  folder_->setInsertPolicy(QComboBox::NoInsert);
  folder_->setMinimumWidth(380);
  folder_->addItems(app->database_dirs());
  folder_->setCurrentText(app->database_dir());
  auto* choose = new QPushButton(Utf8("フォルダ選択..."));
  auto* row = new QHBoxLayout;
  row->addWidget(folder_, 1);
  row->addWidget(choose);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons->button(QDialogButtonBox::Cancel)->setText(Utf8("キャンセル"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(Utf8("将棋データベースのフォルダ")));
  layout->addLayout(row);
  layout->addWidget(buttons);
  connect(choose, &QPushButton::clicked, this, [this] { ChooseFolder(); });
  connect(buttons, &QDialogButtonBox::accepted, this, &DatabaseSettingsDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &DatabaseSettingsDialog::reject);
}

void DatabaseSettingsDialog::ChooseFolder() {
  const QString dir = QFileDialog::getExistingDirectory(this, Utf8("フォルダ選択"), folder_->currentText());
  if (!dir.isEmpty()) folder_->setCurrentText(QDir::cleanPath(dir));
}

void DatabaseSettingsDialog::accept() {
  const QString typed = folder_->currentText().trimmed();
  if (typed.isEmpty()) return;
  const QString folder = QDir::cleanPath(QDir::current().absoluteFilePath(typed));
  Application* app = Application::instance();
  const std::string question = DatabaseSettingQuestion(folder.toStdString());
  if (app->messages().Ask(platform::Utf8ToCp932(question), platform::Buttons::kYesNo) != platform::Answer::kYes) return;
  {
    // Not while an operation works on the present database: its lock belongs to that directory.
    UiDatabaseLock lock(DatabaseDirectory());
    if (!lock.held()) return;
    if (!platform::SetEnv("SHGDB", ToCore(folder))) {
      app->messages().Show(platform::Utf8ToCp932("環境変数 SHGDB が設定できません。"));
      return;
    }
  }
  RememberDatabaseFolder(folder);
  if (MainWindow* frame = app->main_window()) frame->UpdateDatabasePane();
  QDialog::accept();
}

}  // namespace app
