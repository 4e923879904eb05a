#include "app/convert_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "app/application.h"
#include "app/qt_text.h"

namespace app {

namespace {

QString Utf8(const char* text) { return QString::fromUtf8(text); }

// The run's messages, from the worker thread into the dialog's result list.
class ResultListSink final : public platform::MessageSink {
 public:
  explicit ResultListSink(QListWidget* list) : list_(list) {}
  void Show(std::string_view text) override {
    const QString line = FromCore(text);
    QListWidget* list = list_;
    QMetaObject::invokeMethod(list, [list, line] {
      list->addItem(line);
      list->scrollToBottom();
    }, Qt::QueuedConnection);
  }
  platform::Answer Ask(std::string_view, platform::Buttons buttons) override {
    return buttons == platform::Buttons::kYesNo ? platform::Answer::kNo : platform::Answer::kCancel;
  }

 private:
  QListWidget* list_;
};

QGroupBox* ChoiceBox(const char* title, QRadioButton* first, QRadioButton* second) {
  auto* box = new QGroupBox(Utf8(title));
  auto* row = new QHBoxLayout(box);
  row->addWidget(first);
  row->addWidget(second);
  row->addStretch(1);
  auto* group = new QButtonGroup(box);
  group->addButton(first);
  group->addButton(second);
  return box;
}

}  // namespace

ConvertDialog::ConvertDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(Utf8("棋譜→CSAファイル変換"));
  const ConvertForm form = ReadConvertForm(Application::instance()->settings());
  in_dir_ = form.in_dir;

  inputs_ = new QListWidget;
  inputs_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  inputs_->setMinimumSize(420, 110);
  auto* choose = new QPushButton(Utf8("選択..."));
  auto* remove = new QPushButton(Utf8("削除"));
  auto* input_buttons = new QVBoxLayout;
  input_buttons->addWidget(choose);
  input_buttons->addWidget(remove);
  input_buttons->addStretch(1);

  bulk_ = new QRadioButton(Utf8("一括"));
  each_ = new QRadioButton(Utf8("個別"));
  append_ = new QRadioButton(Utf8("追加"));
  overwrite_ = new QRadioButton(Utf8("上書"));
  (form.bulk ? bulk_ : each_)->setChecked(true);
  (form.overwrite ? overwrite_ : append_)->setChecked(true);
  auto* modes = new QHBoxLayout;
  modes->addWidget(ChoiceBox("変換方法", bulk_, each_));
  modes->addWidget(ChoiceBox("書込モード", append_, overwrite_));

  event_ = new QLineEdit(FromCore(form.event));
  date_ = new QLineEdit(FromCore(form.date));
  date_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,8}")), date_));
  date_->setMaxLength(8);
  date_->setPlaceholderText(QStringLiteral("yyyymmdd"));
  out_dir_ = new QLineEdit(FromCore(form.out_dir));
  out_file_ = new QLineEdit(FromCore(form.out_file));
  auto* browse = new QPushButton(Utf8("参照..."));
  full_width_ = new QCheckBox(Utf8("対局者名の特殊文字を全角に変換"));
  full_width_->setChecked(form.full_width_names);

  auto* fields = new QGridLayout;
  fields->addWidget(new QLabel(Utf8("入力ファイル")), 0, 0, Qt::AlignTop);
  fields->addWidget(inputs_, 0, 1, 1, 3);
  fields->addLayout(input_buttons, 0, 4);
  fields->addLayout(modes, 1, 1, 1, 3);
  fields->addWidget(new QLabel(Utf8("棋戦名")), 2, 0);
  fields->addWidget(event_, 2, 1);
  fields->addWidget(new QLabel(Utf8("対局日(yyyymmdd)")), 2, 2);
  fields->addWidget(date_, 2, 3);
  fields->addWidget(new QLabel(Utf8("出力ディレクトリ")), 3, 0);
  fields->addWidget(out_dir_, 3, 1, 1, 3);
  fields->addWidget(browse, 3, 4);
  fields->addWidget(new QLabel(Utf8("出力ファイル名")), 4, 0);
  fields->addWidget(out_file_, 4, 1, 1, 3);
  fields->addWidget(full_width_, 5, 1, 1, 3);
  fields->setColumnStretch(1, 2);
  fields->setColumnStretch(3, 1);

  progress_ = new QLabel;
  results_ = new QListWidget;
  results_->setMinimumHeight(80);
  run_ = new QPushButton(Utf8("実行"));
  close_ = new QPushButton(Utf8("キャンセル"));
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(progress_, 1);
  buttons->addWidget(run_);
  buttons->addWidget(close_);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addWidget(new QLabel(Utf8("結果")));
  layout->addWidget(results_, 1);
  layout->addLayout(buttons);

  connect(choose, &QPushButton::clicked, this, [this] { ChooseInputs(); });
  connect(remove, &QPushButton::clicked, this, [this] { RemoveInputs(); });
  connect(browse, &QPushButton::clicked, this, [this] { ChooseOutput(); });
  connect(bulk_, &QRadioButton::toggled, this, [this] { ModeChanged(); });
  connect(run_, &QPushButton::clicked, this, [this] { Run(); });
  connect(close_, &QPushButton::clicked, this, [this] { reject(); });
  run_->setDefault(true);
  ModeChanged();
}

ConvertDialog::~ConvertDialog() {
  worker_.Join();
  WriteConvertForm(Application::instance()->settings(), Form());
}

void ConvertDialog::AddInputs(const QStringList& paths) {
  for (const QString& path : paths) {
    // A file chosen twice would only be converted twice, into a numbered second output.
    const QString shown = QDir::toNativeSeparators(path);
    if (inputs_->findItems(shown, Qt::MatchExactly).isEmpty()) inputs_->addItem(shown);
  }
  if (!paths.isEmpty()) in_dir_ = ToCore(QFileInfo(paths.last()).absolutePath());
}

ConvertForm ConvertDialog::Form() const {
  ConvertForm form;
  for (int i = 0; i < inputs_->count(); ++i) form.inputs.push_back(ToCore(inputs_->item(i)->text()));
  form.in_dir = in_dir_;
  form.bulk = bulk_->isChecked();
  form.overwrite = overwrite_->isChecked();
  form.event = ToCore(event_->text().trimmed());
  form.date = ToCore(date_->text().trimmed());
  form.out_dir = ToCore(out_dir_->text().trimmed());
  form.out_file = ToCore(out_file_->text().trimmed());
  form.full_width_names = full_width_->isChecked();
  return form;
}

void ConvertDialog::ChooseInputs() {
  const QStringList chosen = QFileDialog::getOpenFileNames(
      this, Utf8("入力ファイルの選択"), FromCore(in_dir_),
      Utf8("KIFファイル (*.kif *.KIF *.kifu);;KI2ファイル (*.ki2 *.KI2 *.ki2u);;全ファイル (*)"));
  AddInputs(chosen);
}

void ConvertDialog::RemoveInputs() { qDeleteAll(inputs_->selectedItems()); }

void ConvertDialog::ChooseOutput() {
  QString start = out_dir_->text().trimmed();
  if (!out_file_->text().trimmed().isEmpty()) start = QDir(start).filePath(out_file_->text().trimmed());
  const QString chosen =
      QFileDialog::getSaveFileName(this, Utf8("出力ファイル・ディレクトリの選択"), start,
                                   Utf8("CSAファイル (*.CSA *.csa);;全ファイル (*)"), nullptr,
                                   QFileDialog::DontConfirmOverwrite);
  if (chosen.isEmpty()) return;
  const QFileInfo info(chosen);
  out_dir_->setText(QDir::toNativeSeparators(info.absolutePath()));
  out_file_->setText(info.fileName());
}

void ConvertDialog::ModeChanged() {
  // 個別 names each output after its input and never appends.
  const bool bulk = bulk_->isChecked();
  out_file_->setEnabled(bulk);
  append_->setEnabled(bulk);
  overwrite_->setEnabled(bulk);
}

void ConvertDialog::Run() {
  if (running()) return;
  results_->clear();
  const ConvertForm form = Form();
  const std::string bad_date = CheckConvertDate(form.date);
  if (!bad_date.empty()) {
    results_->addItem(FromCore(bad_date));
    return;
  }
  record::KakinokiBatch batch = BatchOf(form);
  QLabel* progress = progress_;
  batch.on_input = [progress](int input, int inputs) {
    const QString text = QString::fromStdString(ConvertProgressText(input, inputs));
    QMetaObject::invokeMethod(progress, [progress, text] { progress->setText(text); }, Qt::QueuedConnection);
  };
  run_->setEnabled(false);
  close_->setEnabled(false);
  worker_.Start([this, batch = std::move(batch)] {
    ResultListSink sink(results_);
    finished_ = std::make_unique<record::KakinokiBatchResult>(record::RunKakinokiBatch(batch, sink));
    QMetaObject::invokeMethod(this, [this] { RunFinished(); }, Qt::QueuedConnection);
  });
}

void ConvertDialog::RunFinished() {
  worker_.Join();
  if (!finished_) return;
  const record::KakinokiBatchResult result = *finished_;
  finished_.reset();
  RememberConvertedFile(Application::instance()->settings(), result);
  progress_->setText(result.ran ? Utf8("終了しました") : QString());
  run_->setEnabled(true);
  close_->setEnabled(true);
  close_->setText(Utf8("閉じる"));
}

void ConvertDialog::reject() {
  if (running()) return;
  QDialog::reject();
}

void RunConvertDialog(QWidget* parent) {
  ConvertDialog dialog(parent);
  dialog.exec();
}

}  // namespace app
