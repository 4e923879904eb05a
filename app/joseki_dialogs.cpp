#include "app/joseki_dialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QVBoxLayout>

#include "app/application.h"
#include "app/board_view.h"
#include "app/core/command_ids.h"
#include "app/db_access.h"
#include "app/main_window.h"
#include "app/progress_window.h"
#include "app/qt_text.h"
#include "platform/files.h"
#include "platform/text_codec.h"
#include "record/archive.h"
#include "record/plain_board.h"
#include "rules/notation.h"
#include "shogidb/board_move.h"

namespace app {

namespace {

// The limits kzb gives the same values.
constexpr int kMaxEvaluation = 256, kMaxDepth = 2000;

std::string DatabaseDir() { return DatabaseDirectory(); }

void Show(const char* utf8) { Application::instance()->messages().Show(platform::Utf8ToCp932(utf8)); }

// The lock tried on the window's thread: another window's job or another program (kzb) may hold it.
bool DatabaseFree(const std::string& dir) { return UiDatabaseLock(dir).held(); }

const char* TitleOf(JosekiDialogKind kind) {
  switch (kind) {
    case JosekiDialogKind::kRegister: return "現対局棋譜の定跡登録";
    case JosekiDialogKind::kImport: return "ファイルからの定跡登録";
    case JosekiDialogKind::kExport: return "定跡のファイル出力";
    case JosekiDialogKind::kDelete: return "定跡の削除";
    case JosekiDialogKind::kDefaults: break;
  }
  return "定跡編集(デフォルト値の設定)";
}

QSpinBox* NumberBox(int min, int max, int value) {
  auto* box = new QSpinBox;
  box->setRange(min, max);
  box->setValue(value);
  box->setMaximumWidth(90);  // a number, not a line of text
  return box;
}

// 指手表示: the move that led to the window's position, where the export or deletion starts.
QString CurrentMoveText(BoardView& view) {
  ScreenBoard& board = view.document()->board();
  const rules::MoveNode* node = board.current();
  if (node == board.root()) return QStringLiteral("開始局面");
  int ply = 0;
  for (const rules::MoveNode* n = node; n != board.root(); n = n->parent) ++ply;
  return QStringLiteral("%1手目 ").arg(ply) + FromCore(rules::NodeMoveText(board, *node));
}

// Status-bar lines of the joseki editing on the board.
class StatusLine final : public platform::ProgressSink {
 public:
  void Line(std::string_view text) override {
    if (MainWindow* main = Application::instance()->main_window()) main->statusBar()->showMessage(FromCore(text), 5000);
  }
};

}  // namespace

// --- the dialog -------------------------------------------------------------------------------------------

JosekiDialog::JosekiDialog(JosekiDialogKind kind, const JosekiDefaults& defaults, QWidget* parent, const QString& move_text)
    : QDialog(parent), kind_(kind) {
  setObjectName(QStringLiteral("JosekiDialog"));
  setWindowTitle(QString::fromUtf8(TitleOf(kind)));
  auto* form = new QFormLayout;
  const bool registering = kind == JosekiDialogKind::kRegister || kind == JosekiDialogKind::kImport;
  if (kind == JosekiDialogKind::kImport || kind == JosekiDialogKind::kExport || kind == JosekiDialogKind::kDelete) {
    file_ = new QLineEdit;
    file_->setMinimumWidth(320);
    auto* row = new QHBoxLayout;
    row->addWidget(file_, 1);
    if (kind == JosekiDialogKind::kImport) {
      auto* choose = new QPushButton(QStringLiteral("ファイル選択"));
      connect(choose, &QPushButton::clicked, this, &JosekiDialog::ChooseFile);
      row->addWidget(choose);
    }
    form->addRow(kind == JosekiDialogKind::kDelete ? QStringLiteral("バックアップファイル名") : QStringLiteral("ファイル名"), row);
  }
  if (registering || kind == JosekiDialogKind::kDefaults) {
    evaluation_ = NumberBox(0, kMaxEvaluation, defaults.evaluation);
    value_ = NumberBox(0, shogidb::JosekiDatabase::kMaxValue, defaults.value);
    form->addRow(QStringLiteral("局面の評価値(劣勢<100<優勢)"), evaluation_);
    form->addRow(QStringLiteral("定跡手の評価値"), value_);
  }
  if (kind != JosekiDialogKind::kDefaults) {
    depth_ = NumberBox(registering ? 1 : 0, kMaxDepth, shogidb::JosekiOptions{}.depth);
    auto* row = new QHBoxLayout;
    row->addWidget(depth_);
    row->addWidget(new QLabel(registering ? QStringLiteral("手目まで登録する")
                              : kind == JosekiDialogKind::kExport ? QStringLiteral("手先までを出力")
                                                                  : QStringLiteral("手の深さまで削除する")));
    row->addStretch(1);
    form->addRow(registering ? QStringLiteral("登録する指し手の深さ") : QStringLiteral("現在の局面から"), row);
  }
  if (registering || kind == JosekiDialogKind::kExport) {
    annotations_ = new QCheckBox(registering ? QStringLiteral("注釈文の登録をする。") : QStringLiteral("注釈文を出力する。"));
    form->addRow(annotations_);
  }
  if (registering) {
    details_ = new QCheckBox(QStringLiteral("登録状況の詳細を表示する。"));
    form->addRow(details_);
  }
  if (kind == JosekiDialogKind::kExport || kind == JosekiDialogKind::kDelete) {
    auto* shown = new QLineEdit(move_text);
    shown->setReadOnly(true);
    form->addRow(QStringLiteral("指手表示"), shown);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
  connect(buttons, &QDialogButtonBox::accepted, this, &JosekiDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &JosekiDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
}

shogidb::JosekiOptions JosekiDialog::options() const {
  shogidb::JosekiOptions o;
  if (evaluation_) o.evaluation = evaluation_->value();
  if (value_) o.value = value_->value();
  if (depth_) o.depth = depth_->value();
  o.annotations = annotations_ && annotations_->isChecked();
  o.details = details_ && details_->isChecked();
  return o;
}

QString JosekiDialog::file() const { return file_ ? file_->text().trimmed() : QString(); }

void JosekiDialog::SetFile(const QString& path) {
  if (file_) file_->setText(path);
}

void JosekiDialog::ChooseFile() {
  const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("ファイル選択"), file(),
                                                    QStringLiteral("CSAファイル (*.csa);;PCLファイル (*.pcl)"));
  if (!path.isEmpty()) SetFile(path);
}

void JosekiDialog::accept() {
  if (file_ && file().isEmpty()) {
    Show(kind_ == JosekiDialogKind::kDelete ? "バックアップファイル名を入力してください。"
         : kind_ == JosekiDialogKind::kImport ? "CSAファイル名を指定してください。"
                                              : "PCL ファイル名(*.pcl)を指定してください。");
    return;
  }
  QDialog::accept();
}

// --- the work ---------------------------------------------------------------------------------------------

bool RunJosekiWork(BoardView& view, const JosekiDialog& dialog) {
  BoardDocument* doc = view.document();
  const JosekiDialogKind kind = dialog.kind();
  const shogidb::JosekiOptions options = dialog.options();
  if (kind == JosekiDialogKind::kDefaults) {
    doc->joseki_defaults() = {options.evaluation, options.value};
    return true;
  }
  const std::string dir = DatabaseDir();
  platform::SettingsFile& settings = Application::instance()->settings();
  const std::string path = ToCore(dialog.file());
  if (kind == JosekiDialogKind::kExport) settings.WriteString(shogidb::kJosekiSection, shogidb::kJosekiOutFileKey, path);
  if (kind == JosekiDialogKind::kDelete) settings.WriteString(shogidb::kJosekiSection, shogidb::kJosekiBackupFileKey, path);
  if (!DatabaseFree(dir)) return false;

  const auto database = [&dir](const shogidb::DbJob& job) {
    auto db = std::make_unique<shogidb::JosekiDatabase>();
    db->SetDatabase(dir);
    db->SetJob(job);
    return db;
  };
  switch (kind) {
    case JosekiDialogKind::kRegister: {
      // The job walks a copy: the window's board stays the window's while the worker runs.
      record::Archive out = record::Archive::ToMemory();
      doc->record().Serialize(out);
      record::PlainBoard board(record::PlainBoard::kCopyPool);
      std::unique_ptr<record::RecordDocument> copy;
      if (doc->kind() == DocKind::kTsume) {
        copy = std::make_unique<record::ProblemDocument>(board, &Application::instance()->messages());
      } else {
        copy = std::make_unique<record::GameDocument>(board, &Application::instance()->messages());
      }
      record::Archive in = record::Archive::FromText(out.text());
      if (!copy->Serialize(in).loaded) return false;
      RunInProgressWindow(&view, [&](const shogidb::DbJob& job) { RegisterJosekiFromRecord(*database(job), board, options); });
      return true;
    }
    case JosekiDialogKind::kImport: {
      std::string bytes;
      if (!platform::ReadWholeFile(path, bytes)) {
        Application::instance()->messages().Show(platform::Utf8ToCp932("ファイル(") + path + platform::Utf8ToCp932(")がオープンできません。"));
        return false;
      }
      const std::string text = platform::InputTextToCp932(bytes);
      RunInProgressWindow(&view, [&](const shogidb::DbJob& job) { RegisterJosekiFromText(*database(job), text, options); });
      return true;
    }
    case JosekiDialogKind::kExport:
    case JosekiDialogKind::kDelete: {
      const ScreenBoard& board = doc->board();
      const rules::BoardForm form = board.CurrentBoardForm();
      const rules::Side side = board.side_to_move();
      RunInProgressWindow(&view, [&](const shogidb::DbJob& job) {
        if (kind == JosekiDialogKind::kExport) {
          ExportJoseki(*database(job), form, side, options.depth, path, options.annotations);
        } else {
          DeleteJosekiBelow(*database(job), form, side, options.depth, path);
        }
      });
      return true;
    }
    case JosekiDialogKind::kDefaults:
      break;
  }
  return false;
}

CommandState QueryJosekiCommand(BoardView& view, int id) {
  CommandState s;
  s.handled = true;
  const bool board_window = view.document()->kind() != DocKind::kSetup && !view.controller().busy();
  switch (id) {
    case cmd::kJosekiRegister:
    case cmd::kJosekiImport:
    case cmd::kJosekiExport:
    case cmd::kJosekiBulkDelete:
      s.enabled = board_window;
      break;
    default:
      s.handled = false;
  }
  return s;
}

void ExecuteJosekiCommand(BoardView& view, int id) {
  JosekiDialogKind kind;
  switch (id) {
    case cmd::kJosekiRegister: kind = JosekiDialogKind::kRegister; break;
    case cmd::kJosekiImport: kind = JosekiDialogKind::kImport; break;
    case cmd::kJosekiExport: kind = JosekiDialogKind::kExport; break;
    case cmd::kJosekiBulkDelete: kind = JosekiDialogKind::kDelete; break;
    case cmd::kJosekiDefaults: kind = JosekiDialogKind::kDefaults; break;
    default: return;
  }
  JosekiDialog dialog(kind, view.document()->joseki_defaults(), &view, CurrentMoveText(view));
  const std::string dir = DatabaseDir();
  platform::SettingsFile& settings = Application::instance()->settings();
  if (kind == JosekiDialogKind::kExport) {
    dialog.SetFile(FromCore(settings.GetString(shogidb::kJosekiSection, shogidb::kJosekiOutFileKey, shogidb::DefaultJosekiOutPath(dir))));
  } else if (kind == JosekiDialogKind::kDelete) {
    dialog.SetFile(FromCore(settings.GetString(shogidb::kJosekiSection, shogidb::kJosekiBackupFileKey, shogidb::DefaultJosekiBackupPath(dir))));
  }
  if (dialog.exec() == QDialog::Accepted) RunJosekiWork(view, dialog);
}

void RegisterEnteredJoseki(BoardView& view, const rules::BoardForm& before, rules::MoveWord move) {
  record::PlainBoard position;
  position.ApplyBoardForm(before);
  const shogidb::BoardMove board_move = shogidb::BoardMoveOf(position, move);
  if (shogidb::IsNoMove(board_move)) return;
  StatusLine status;
  shogidb::DbJob job;
  job.messages = &Application::instance()->messages();
  job.progress = &status;
  shogidb::JosekiDatabase db;
  db.SetDatabase(DatabaseDir());
  db.SetJob(job);
  const JosekiDefaults& d = view.document()->joseki_defaults();
  shogidb::JosekiOptions options;
  options.evaluation = d.evaluation;
  options.value = d.value;
  shogidb::RegisterJosekiMove(db, before, move.SideBefore(), board_move, options);  // says what it did
}

}  // namespace app
