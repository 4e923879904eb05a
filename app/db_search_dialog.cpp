#include "app/db_search_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

#include "app/application.h"
#include "app/board_view.h"
#include "app/db_item_load.h"
#include "app/main_window.h"
#include "app/qt_text.h"
#include "app/search_stop_window.h"
#include "app/setup_window.h"
#include "app/text_editor_window.h"
#include "platform/db_lock.h"
#include "platform/files.h"
#include "record/summary_line.h"
#include "shogidb/game_database.h"
#include "shogidb/problem_database.h"
#include "shogidb/search_condition.h"

namespace app {

namespace {

QString Utf8(const char* text) { return QString::fromUtf8(text); }
std::string Cp932(const char* utf8) { return platform::Utf8ToCp932(utf8); }

// The editor shows "\n" line ends; the files keep CRLF like every text the program writes.
std::string ConditionBytes(const QString& text) {
  std::string out;
  for (char c : ToCore(text)) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

QString ConditionText(const std::string& bytes) {
  QString text = FromCore(bytes);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return text;
}

// The list line, with the ply where a position condition matched.
QString ShownLine(const shogidb::ListEntry& e) {
  QString line = FromCore(e.line);
  if (e.ply >= 0) line += QStringLiteral("  %1手目").arg(e.ply);
  return line;
}

BoardWindow* FrameOf(QWidget* w) {
  for (; w; w = w->parentWidget()) {
    if (auto* frame = qobject_cast<BoardWindow*>(w)) return frame;
  }
  return nullptr;
}

}  // namespace

// What the worker hands back: the list, the messages the search showed (shown on this thread once it
// has ended), and whether the lock was free.
struct DbSearchDialog::Outcome {
  std::vector<shogidb::ListEntry> entries;
  platform::RecordingMessageSink messages;
  bool busy = false;
  int rc = 0;
};

DbSearchDialog::DbSearchDialog(BoardView* view, bool tsume, QWidget* parent)
    : QDialog(parent), tsume_(tsume), opener_(view) {
  setWindowTitle(Utf8(tsume ? "詰将棋検索・選択" : "対局検索・選択"));
  setAttribute(Qt::WA_DeleteOnClose);
  const QFont fixed = QtFontOf(EditorFont::Default());

  auto* heading = new QLabel(FromCore(tsume ? record::kProblemListHeading : shogidb::kGameDbHeading));
  heading->setFont(fixed);
  list_ = new QListWidget;
  list_->setFont(fixed);
  list_->setUniformItemSizes(true);
  heading->setIndent(list_->frameWidth() + list_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list_) + 2);
  const QFontMetrics metrics(fixed);
  list_->setMinimumSize(metrics.horizontalAdvance(heading->text() + Utf8("　　　　　　　　　　")), 12 * metrics.height());
  count_ = new QLabel(Utf8("全 0 件"));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(MakeConditionRow());
  layout->addWidget(MakePositionBox());
  if (!tsume) layout->addWidget(MakeDuplicateRow());
  layout->addWidget(heading);
  layout->addWidget(list_, 1);
  layout->addWidget(count_);
  connect(list_, &QListWidget::itemDoubleClicked, this, [this] { LoadSelected(); });

  condition_->setPlainText(ConditionText(shogidb::LoadLastCondition(ToCore(Application::instance()->database_dir()), tsume)));
  stop_window_ = new SearchStopWindow(stop_, this);
}

DbSearchDialog::~DbSearchDialog() {
  ++generation_;
  stop_.Raise();
  worker_.Join();
  if (Application* app = Application::instance()) app->database_state().search_open = false;
}

QWidget* DbSearchDialog::MakeConditionRow() {
  auto* row = new QWidget;
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  condition_ = new QPlainTextEdit;
  condition_->setFont(QtFontOf(EditorFont::Default()));
  condition_->setMinimumHeight(7 * QFontMetrics(condition_->font()).height());
  auto* text_box = new QVBoxLayout;
  text_box->addWidget(new QLabel(Utf8("検索条件")));
  text_box->addWidget(condition_);
  layout->addLayout(text_box, 1);
  auto* buttons = new QVBoxLayout;
  const struct {
    const char* label;
    void (DbSearchDialog::*action)();
  } kButtons[] = {{"検索実行", nullptr}, {tsume_ ? "詰将棋選択" : "対局選択", nullptr}, {"閉じる", nullptr},
                  {"条件保存", &DbSearchDialog::SaveCondition}, {"条件読出", &DbSearchDialog::ReadCondition}};
  for (const auto& b : kButtons) {
    auto* button = new QPushButton(Utf8(b.label));
    buttons->addWidget(button);
    controls_.push_back(button);
    if (b.action) connect(button, &QPushButton::clicked, this, b.action);
  }
  connect(static_cast<QPushButton*>(controls_[0]), &QPushButton::clicked, this, [this] { Search(); });
  connect(static_cast<QPushButton*>(controls_[1]), &QPushButton::clicked, this, [this] { LoadSelected(); });
  connect(static_cast<QPushButton*>(controls_[2]), &QPushButton::clicked, this, &QDialog::close);
  static_cast<QPushButton*>(controls_[0])->setDefault(true);
  buttons->addStretch();
  layout->addLayout(buttons);
  controls_.push_back(condition_);
  return row;
}

QWidget* DbSearchDialog::MakePositionBox() {
  auto* box = new QGroupBox(Utf8("局面指定"));
  auto* layout = new QVBoxLayout(box);
  auto* radios = new QHBoxLayout;
  const char* kModes[] = {"局面指定をしない", "局面一致で検索", "盤上駒の一致で検索"};
  auto* group = new QButtonGroup(box);
  for (int m = 0; m < 3; ++m) {
    modes_[m] = new QRadioButton(Utf8(kModes[m]));
    group->addButton(modes_[m], m);
    radios->addWidget(modes_[m]);
  }
  modes_[0]->setChecked(true);
  radios->addStretch();
  layout->addLayout(radios);

  auto* plies = new QHBoxLayout;
  reversed_ = new QCheckBox(Utf8("反転局面を検索する"));
  first_ply_ = new QLineEdit(QStringLiteral("1"));
  ply_count_ = new QLineEdit(QStringLiteral("2000"));
  for (QLineEdit* field : {first_ply_, ply_count_}) {
    field->setMaxLength(4);
    field->setFixedWidth(QFontMetrics(field->font()).horizontalAdvance(QStringLiteral("00000")) + 12);
  }
  auto* enter = new QPushButton(Utf8("新規入力"));
  auto* revise = new QPushButton(Utf8("修正入力"));
  connect(enter, &QPushButton::clicked, this, [this] { EnterPosition(false); });
  connect(revise, &QPushButton::clicked, this, [this] { EnterPosition(true); });
  plies->addWidget(reversed_);
  plies->addSpacing(16);
  plies->addWidget(first_ply_);
  plies->addWidget(new QLabel(Utf8("手目から")));
  plies->addWidget(ply_count_);
  plies->addWidget(new QLabel(Utf8("手を検索する")));
  plies->addStretch();
  plies->addWidget(enter);
  plies->addWidget(revise);
  layout->addLayout(plies);
  controls_.insert(controls_.end(), {modes_[0], modes_[1], modes_[2], reversed_, first_ply_, ply_count_, enter, revise});
  return box;
}

QWidget* DbSearchDialog::MakeDuplicateRow() {
  auto* row = new QWidget;
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* box = new QGroupBox(Utf8("重複検索"));
  auto* inner = new QHBoxLayout(box);
  by_moves_ = new QRadioButton(Utf8("指し手一致"));
  by_final_ = new QRadioButton(Utf8("最終局面一致"));
  by_moves_->setChecked(true);
  auto* duplicates = new QPushButton(Utf8("重複検索"));
  connect(duplicates, &QPushButton::clicked, this, [this] { SearchDuplicates(); });
  inner->addWidget(by_moves_);
  inner->addWidget(by_final_);
  inner->addStretch();
  inner->addWidget(duplicates);
  auto* compare = new QPushButton(Utf8("指手比較"));
  connect(compare, &QPushButton::clicked, this, [this] { CompareMoves(); });
  layout->addWidget(box, 1);
  layout->addWidget(compare, 0, Qt::AlignBottom);
  controls_.insert(controls_.end(), {by_moves_, by_final_, duplicates, compare});
  return row;
}

platform::MessageSink& DbSearchDialog::messages() { return Application::instance()->messages(); }

// The database directory, or an empty string (said) when it is not there.
QString DbSearchDialog::DatabaseDir() {
  const QString dir = Application::instance()->database_dir();
  if (dir.isEmpty() || !QFileInfo(dir).isDir()) {
    messages().Show(Cp932("将棋データベース(") + ToCore(dir) + Cp932(")が選択できません。"));
    return {};
  }
  return dir;
}

bool DbSearchDialog::Search() { return Start(false); }

bool DbSearchDialog::SearchDuplicates() {
  if (!modes_[0]->isChecked()) messages().Show(Cp932("重複検索時は「局面指定」は無効です"));
  return Start(true);
}

bool DbSearchDialog::Start(bool duplicates) {
  if (searching()) return false;
  shogidb::PositionSpec spec;
  if (!duplicates) {
    PositionControls controls;
    for (int m = 0; m < 3; ++m) {
      if (modes_[m]->isChecked()) controls.mode = m;
    }
    controls.reversed = reversed_->isChecked();
    controls.first_ply = ToCore(first_ply_->text());
    controls.ply_count = ToCore(ply_count_->text());
    if (const std::string refused = MakePositionSpec(controls, target_, spec); !refused.empty()) {
      messages().Show(refused);
      return false;
    }
  }
  const QString dir_text = DatabaseDir();
  if (dir_text.isEmpty()) return false;
  const std::string dir = ToCore(dir_text), condition = ConditionBytes(condition_->toPlainText());
  shogidb::SaveLastCondition(dir, tsume_, condition);
  const bool tsume = tsume_;
  const bool by_final = by_final_ && by_final_->isChecked();
  const int generation = ++generation_;
  outcome_ = std::make_unique<Outcome>();
  stop_.Lower();
  SetRunning(true);
  platform::ProgressSink* progress = &stop_window_->progress();
  worker_.Start([this, generation, dir, condition, spec, tsume, duplicates, by_final, progress] {
    Outcome& out = *outcome_;
    platform::DatabaseLockGuard lock(dir, platform::DatabaseLockGuard::Mode::kTry);
    if (!lock.held()) {
      out.busy = true;
    } else {
      shogidb::DbJob job;
      job.messages = &out.messages;
      job.progress = progress;
      job.stop = &stop_;
      std::unique_ptr<shogidb::ItemDatabase> db;
      if (tsume) {
        db = std::make_unique<shogidb::ProblemDatabase>();
      } else {
        db = std::make_unique<shogidb::GameDatabase>();
      }
      db->SetDatabase(dir);
      db->SetJob(job);
      if (!duplicates) {
        out.rc = db->Search(condition, spec, out.entries);
      } else {
        std::vector<std::vector<shogidb::ListEntry>> groups;
        const auto mode = by_final ? shogidb::GameDatabase::DuplicateMode::kFinalPosition
                                   : shogidb::GameDatabase::DuplicateMode::kMoves;
        out.rc = static_cast<shogidb::GameDatabase&>(*db).FindDuplicates(condition, mode, groups);
        for (auto& group : groups) {
          for (auto& e : group) out.entries.push_back(std::move(e));
        }
      }
    }
    QMetaObject::invokeMethod(this, [this, generation] { Finished(generation); }, Qt::QueuedConnection);
  });
  return true;
}

void DbSearchDialog::Finished(int generation) {
  if (generation != generation_) return;
  worker_.Join();
  SetRunning(false);
  std::unique_ptr<Outcome> out = std::move(outcome_);
  if (!out) return;
  if (out->busy) {
    messages().Show(Cp932("データベースが使用中です"));
    return;
  }
  for (const std::string& m : out->messages.messages) messages().Show(m);
  // A failed search leaves the list that was there; a stopped one shows what it found so far.
  if (out->rc != 0) return;
  ShowList(out->entries);
}

void DbSearchDialog::ShowList(const std::vector<shogidb::ListEntry>& entries) {
  entries_ = entries;
  DatabaseState& state = Application::instance()->database_state();
  (tsume_ ? state.last_problems : state.last_games) = entries_;
  list_->clear();
  for (const shogidb::ListEntry& e : entries_) list_->addItem(ShownLine(e));
  if (!entries_.empty()) list_->setCurrentRow(0);
  count_->setText(QStringLiteral("全 %1 件").arg(entries_.size()));
}

void DbSearchDialog::SetRunning(bool running) {
  if (running == running_) return;
  running_ = running;
  for (QWidget* w : controls_) w->setEnabled(!running);
  list_->setEnabled(!running);
  if (BoardWindow* frame = FrameOf(opener_)) running ? frame->RaiseBusy() : frame->LowerBusy();
  if (running) {
    stop_window_->stop_button()->setEnabled(true);
    stop_window_->show();
    stop_window_->raise();
  } else {
    stop_window_->hide();
  }
}

void DbSearchDialog::SaveCondition() {
  const QString filter = Utf8(tsume_ ? "検索条件 (*.dj2)" : "検索条件 (*.dj1)");
  QString path = QFileDialog::getSaveFileName(this, Utf8("条件保存"), Application::instance()->database_dir(), filter);
  if (path.isEmpty()) return;
  const QString extension = QStringLiteral(".dj%1").arg(tsume_ ? 2 : 1);
  if (!path.endsWith(extension, Qt::CaseInsensitive)) path += extension;
  SaveConditionTo(path);
}

void DbSearchDialog::ReadCondition() {
  const QString filter = Utf8(tsume_ ? "検索条件 (*.dj2)" : "検索条件 (*.dj1)");
  const QString path = QFileDialog::getOpenFileName(this, Utf8("条件読出"), Application::instance()->database_dir(), filter);
  if (!path.isEmpty()) LoadConditionFrom(path);
}

bool DbSearchDialog::SaveConditionTo(const QString& path) {
  if (platform::WriteWholeFile(ToCore(path), ConditionBytes(condition_->toPlainText()))) return true;
  messages().Show(Cp932("ファイル(") + ToCore(path) + Cp932(")に書き込めません。"));
  return false;
}

bool DbSearchDialog::LoadConditionFrom(const QString& path) {
  std::string bytes;
  if (!platform::ReadWholeFile(ToCore(path), bytes)) {
    messages().Show(Cp932("ファイル(") + ToCore(path) + Cp932(")がオープンできません。"));
    return false;
  }
  condition_->setPlainText(ConditionText(platform::InputTextToCp932(bytes)));
  return true;
}

void DbSearchDialog::EnterPosition(bool revise) {
  if (modes_[0]->isChecked()) {
    messages().Show(Cp932(revise ? "「局面指定をしない」の時は局面の修正入力はできません。"
                                 : "「局面指定をしない」の時は新規局面の入力はできません。"));
    return;
  }
  Application* app = Application::instance();
  if (app->setup_active()) {
    messages().Show(Cp932("盤面の設定は同時に２面はできません"));
    return;
  }
  // 新規入力 starts from the even game; 修正入力 from the target entered before, or, with none yet,
  // from the position on the current board.
  SearchTarget start;
  start.entered = true;
  start.side = rules::kSente;
  if (revise && target_.entered) {
    start = target_;
  } else if (revise) {
    if (BoardView* view = CurrentView()) {
      ScreenBoard& board = view->document()->board();
      start.form.FromPosition(board);
      start.side = board.side_to_move();
    }
  }
  app->OpenSetupWindow(nullptr);
  QPointer<DbSearchDialog> self(this);
  app->setup_window()->SetUpFor(SetupBytesOfTarget(start), [self](const std::string& bytes) {
    if (self) self->ReceiveTarget(bytes);
  });
}

void DbSearchDialog::ReceiveTarget(const std::string& bytes) {
  if (!TargetFromSetupBytes(bytes, target_)) messages().Show(Cp932("局面の受け取りに失敗しました。"));
}

BoardView* DbSearchDialog::CurrentView() const {
  const DocKind kind = tsume_ ? DocKind::kTsume : DocKind::kGame;
  if (MainWindow* frame = Application::instance()->main_window()) {
    if (BoardView* active = frame->ActiveView(); active && active->document()->kind() == kind) return active;
  }
  return opener_ && opener_->document()->kind() == kind ? opener_.data() : nullptr;
}

void DbSearchDialog::CompareMoves() {
  const int row = list_->currentRow();
  BoardView* view = CurrentView();
  if (row < 0 || row >= static_cast<int>(entries_.size()) || !view || searching()) return;
  const QString dir = DatabaseDir();
  if (dir.isEmpty()) return;
  shogidb::ItemDatabase::StoredItem item;
  {
    platform::DatabaseLockGuard lock(ToCore(dir), platform::DatabaseLockGuard::Mode::kTry);
    if (!lock.held()) {
      messages().Show(Cp932("データベースが使用中です"));
      return;
    }
    shogidb::GameDatabase db;
    db.SetDatabase(ToCore(dir));
    shogidb::DbJob job;
    job.messages = &messages();
    db.SetJob(job);
    if (db.ReadStored(entries_[row].number, item) != 0) return;
  }
  BoardDocument* doc = view->document();
  const std::string current_line = shogidb::GameDbListLine(doc->game()->header());
  messages().Show(CompareGamesText(GameOfRecord(doc->board()), GameOfStoredItem(item), current_line, entries_[row].line));
}

bool DbSearchDialog::LoadSelected() {
  const int row = list_->currentRow();
  if (row < 0 || row >= static_cast<int>(entries_.size()) || searching()) return false;
  const QString dir = DatabaseDir();
  if (dir.isEmpty()) return false;
  BoardView* view = CurrentView();
  if (!view) {
    view = Application::instance()->NewDocument(tsume_ ? DocKind::kTsume : DocKind::kGame);
    if (!view) return false;
  }
  return LoadDbItem(*view, ToCore(dir), entries_[row].number, entries_[row].ply);
}

void DbSearchDialog::closeEvent(QCloseEvent* event) {
  // The search stops at its next row; waiting for it here keeps the engine to one thread.
  ++generation_;
  stop_.Raise();
  worker_.Join();
  SetRunning(false);
  event->accept();
}

void OpenDbSearchDialog(BoardView& view) {
  DatabaseState& state = Application::instance()->database_state();
  if (state.search_open) return;
  state.search_open = true;
  auto* dialog = new DbSearchDialog(&view, view.document()->kind() == DocKind::kTsume,
                                    Application::instance()->main_window());
  dialog->show();
  dialog->raise();
  dialog->activateWindow();
}

}  // namespace app
