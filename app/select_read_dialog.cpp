#include "app/select_read_dialog.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "app/application.h"
#include "app/board_view.h"
#include "app/qt_text.h"
#include "app/text_editor_window.h"
#include "record/csa_body.h"

namespace app {

namespace {

QString Utf8(const char* text) { return QString::fromUtf8(text); }

}  // namespace

SelectReadDialog::SelectReadDialog(BoardView& view, QWidget* parent)
    : QDialog(parent), view_(view), kind_(SelectReadKindOf(view.document()->kind() == DocKind::kTsume)) {
  setWindowTitle(Utf8(kind_.title));
  const QFont fixed = QtFontOf(EditorFont::Default());

  file_ = new QLineEdit(FromCore(FirstSelectReadFile(Application::instance()->settings(), kind_)));
  auto* browse = new QPushButton(Utf8("参照..."));
  auto* list_button = new QPushButton(Utf8("リスト表示"));
  auto* file_row = new QHBoxLayout;
  file_row->addWidget(new QLabel(Utf8("ファイル名")));
  file_row->addWidget(file_, 1);
  file_row->addWidget(browse);
  file_row->addWidget(list_button);

  auto* heading = new QLabel(FromCore(kind_.heading));
  heading->setFont(fixed);
  list_ = new QListWidget;
  list_->setFont(fixed);
  list_->setUniformItemSizes(true);
  // The heading starts where the list's text does, so its columns stand over theirs.
  heading->setIndent(list_->frameWidth() + list_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list_) + 2);
  const int width = QFontMetrics(fixed).horizontalAdvance(heading->text() + Utf8("　　　　　　　　"));
  list_->setMinimumSize(width, 16 * QFontMetrics(fixed).height());

  count_ = new QLabel;
  stop_ = new QPushButton(Utf8("中断"));
  auto* buttons = new QDialogButtonBox;
  choose_ = buttons->addButton(Utf8("棋譜選択"), QDialogButtonBox::AcceptRole);
  buttons->addButton(Utf8("キャンセル"), QDialogButtonBox::RejectRole);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(count_, 1);
  bottom->addWidget(stop_);
  bottom->addSpacing(24);
  bottom->addWidget(buttons);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(file_row);
  layout->addWidget(heading);
  layout->addWidget(list_, 1);
  layout->addLayout(bottom);

  connect(browse, &QPushButton::clicked, this, [this] { Browse(); });
  connect(list_button, &QPushButton::clicked, this, [this] { ListFile(); });
  connect(file_, &QLineEdit::returnPressed, this, [this] { ListFile(); });
  connect(stop_, &QPushButton::clicked, this, [this] { stop_flag_.Raise(); });
  connect(buttons, &QDialogButtonBox::accepted, this, &SelectReadDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &SelectReadDialog::reject);
  connect(list_, &QListWidget::itemDoubleClicked, this, [this] { accept(); });
  connect(list_, &QListWidget::currentRowChanged, this, [this] { UpdateButtons(); });

  if (QFileInfo(file_->text()).isFile()) ListFile();
  UpdateButtons();
}

SelectReadDialog::~SelectReadDialog() { StopScan(); }

void SelectReadDialog::StopScan() {
  ++generation_;
  stop_flag_.Raise();
  worker_.Join();
  stop_flag_.Lower();
}

void SelectReadDialog::ListFile() {
  StopScan();
  list_->clear();
  shown_ = SelectReadList();
  const int generation = generation_;
  const std::string path = ToCore(file_->text().trimmed());
  count_->setText(QString::fromStdString(ScanCountText(0)));
  const record::ScanProgress progress = [this, generation](int entries) {
    QMetaObject::invokeMethod(this, [this, generation, entries] {
      if (generation == generation_) count_->setText(QString::fromStdString(ScanCountText(entries)));
    }, Qt::QueuedConnection);
  };
  worker_.Start([this, generation, path, progress] {
    scanned_ = std::make_unique<SelectReadList>(ScanSelectReadFile(path, kind_, &stop_flag_, progress));
    QMetaObject::invokeMethod(this, [this, generation] { ScanFinished(generation); }, Qt::QueuedConnection);
  });
  UpdateButtons();
}

void SelectReadDialog::ScanFinished(int generation) {
  if (generation != generation_) return;
  worker_.Join();
  if (!scanned_) return;
  shown_ = std::move(*scanned_);
  scanned_.reset();
  for (const record::SelectEntry& entry : shown_.scan.entries) list_->addItem(FromCore(ShownListLine(entry, kind_)));
  count_->setText(QString::fromStdString(ScanEndText(shown_)));
  if (!shown_.scan.entries.empty()) {
    list_->setCurrentRow(0);
    RememberSelectReadFile(Application::instance()->settings(), kind_, shown_.path);
  }
  UpdateButtons();
  const std::string problem = ScanProblemMessage(shown_, kind_);
  if (!problem.empty()) Application::instance()->messages().Show(problem);
}

void SelectReadDialog::Browse() {
  QString start = file_->text().trimmed();
  if (start.isEmpty()) start = Application::instance()->database_dir();
  const QString chosen = QFileDialog::getOpenFileName(this, QString(), start, Utf8(kind_.filter));
  if (chosen.isEmpty()) return;
  file_->setText(chosen);
  ListFile();
}

void SelectReadDialog::UpdateButtons() {
  stop_->setEnabled(scanning());
  choose_->setEnabled(!scanning() && list_->currentRow() >= 0);
}

void SelectReadDialog::accept() {
  const int k = list_->currentRow();
  if (scanning() || k < 0 || k >= static_cast<int>(shown_.scan.entries.size())) return;
  if (LoadSelectedEntry(view_, shown_, kind_, k)) QDialog::accept();
}

void SelectReadDialog::reject() {
  StopScan();
  QDialog::reject();
}

bool LoadSelectedEntry(BoardView& view, const SelectReadList& list, const SelectReadKind& kind, int k) {
  BoardDocument* doc = view.document();
  if (!doc->SaveModified()) return false;
  view.CloseAnnotation();
  BoardController& controller = view.controller();
  controller.PutBackHeld();
  const std::string before = doc->WriteText();  // put back when the entry does not read
  const bool shown_reversed = doc->board().reversed();
  const record::DocumentResult result = LoadSelectReadEntry(list, kind, k, doc->record());
  if (!result.loaded) {
    doc->ReadText(before);
  } else if (!result.body.ok()) {
    doc->messages().Show(record::CsaBodyProblemText(result.body));
  }
  ShowReplacedContents(view, shown_reversed);
  if (!result.loaded) return false;
  doc->TakeUntitled(FromCore(record::SelectedTitle(list.path, k)));
  return true;
}

void ShowReplacedContents(BoardView& view, bool shown_reversed) {
  BoardDocument* doc = view.document();
  doc->board().SetReversed(shown_reversed);
  if ((doc->record().reversed() != 0) != shown_reversed) view.controller().Flip();
  doc->board().MarkStale();
  view.picture().DirtyAll();
  view.controller().Refresh();
  view.RedrawHeader();
  view.RecordChanged();
}

void RunSelectRead(BoardView& view) {
  SelectReadDialog dialog(view, view.window());
  dialog.exec();
}

}  // namespace app
