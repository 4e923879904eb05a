#include "app/db_register_file_dialog.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/application.h"
#include "app/db_access.h"
#include "app/qt_text.h"

namespace app {

namespace {

QString Utf8(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

QGroupBox* MakeRegisterModeBox(QRadioButton*& new_button, QRadioButton*& overwrite_button) {
  new_button = new QRadioButton(Utf8("新規"));
  overwrite_button = new QRadioButton(Utf8("上書"));
  new_button->setChecked(true);
  auto* box = new QGroupBox(Utf8("登録方法"));
  auto* row = new QHBoxLayout(box);
  row->addWidget(new_button);
  row->addWidget(overwrite_button);
  row->addStretch(1);
  return box;
}

RegisterFileDialog::RegisterFileDialog(DbItemKind kind, QWidget* parent) : QDialog(parent), kind_(kind) {
  const std::string file_kind = FileKindOf(kind);
  setWindowTitle(Utf8(kind == DbItemKind::kGame ? "ファイルからの対局登録" : "ファイルからの詰将棋登録"));
  file_ = new QLineEdit;
  file_->setMinimumWidth(360);
  auto* choose = new QPushButton(Utf8(file_kind + "ファイル選択..."));
  auto* row = new QHBoxLayout;
  row->addWidget(file_, 1);
  row->addWidget(choose);

  QGroupBox* mode = MakeRegisterModeBox(new_, overwrite_);

  auto* buttons = new QDialogButtonBox;
  buttons->addButton(Utf8("登録"), QDialogButtonBox::AcceptRole);
  buttons->addButton(Utf8("キャンセル"), QDialogButtonBox::RejectRole);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(Utf8(file_kind + "ファイル名")));
  layout->addLayout(row);
  layout->addWidget(mode);
  layout->addWidget(buttons);
  connect(choose, &QPushButton::clicked, this, [this] { ChooseFile(); });
  connect(buttons, &QDialogButtonBox::accepted, this, &RegisterFileDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &RegisterFileDialog::reject);
}

void RegisterFileDialog::ChooseFile() {
  const std::string file_kind = FileKindOf(kind_);
  const QString filter = Utf8(kind_ == DbItemKind::kGame ? "CSAファイル (*.csa)" : "PCLファイル (*.pcl)");
  const QString path = QFileDialog::getOpenFileName(this, Utf8(file_kind + "ファイル選択"), file_->text(), filter);
  if (!path.isEmpty()) file_->setText(path);
}

void RegisterFileDialog::accept() {
  std::string text, problem;
  if (!ReadRegisterFile(kind_, ToCore(file_->text().trimmed()), text, problem)) {
    Application::instance()->messages().Show(platform::Utf8ToCp932(problem));
    return;
  }
  const bool force_new = new_->isChecked();
  QDialog::accept();
  RunOnItemDatabase(parentWidget(), kind_, [&](shogidb::ItemDatabase& db, const shogidb::DbJob&) {
    db.RegisterFromCsa(text, force_new);
  });
}

}  // namespace app
