// The joseki dialogs of a board window and the work they start: 現対局棋譜の定跡登録 (32845, the window's
// record), ファイルからの定跡登録 (32846, a CSA or PCL file), 定跡のファイル出力 (32847) and 定跡の一括削除
// (32848) below the window's position, and 定跡編集(デフォルト値の設定) (32850, the values the document's
// joseki editing and registration start from). The work runs in the progress window 実行の状況.
//
// The database lock is tried on the window's thread when the work is asked for: held elsewhere (another
// window's job, a kzb command), "データベースが使用中です" is shown and nothing is done.
#pragma once
#include <QDialog>

#include "app/board_document.h"
#include "app/core/board_controller.h"
#include "shogidb/joseki_lines.h"

class QCheckBox;
class QLineEdit;
class QSpinBox;

namespace app {

class BoardView;

enum class JosekiDialogKind { kRegister, kImport, kExport, kDelete, kDefaults };

// One dialog for the five: each shows the fields its work needs.
class JosekiDialog : public QDialog {
  Q_OBJECT

 public:
  // `move_text`: what 指手表示 shows (the position the export or deletion starts from).
  JosekiDialog(JosekiDialogKind kind, const JosekiDefaults& defaults, QWidget* parent = nullptr,
               const QString& move_text = {});

  JosekiDialogKind kind() const { return kind_; }
  shogidb::JosekiOptions options() const;
  QString file() const;
  void SetFile(const QString& path);
  QSpinBox* evaluation_box() const { return evaluation_; }
  QSpinBox* value_box() const { return value_; }
  QSpinBox* depth_box() const { return depth_; }
  QCheckBox* annotations_box() const { return annotations_; }
  QCheckBox* details_box() const { return details_; }

 protected:
  void accept() override;

 private:
  void ChooseFile();

  JosekiDialogKind kind_;
  QLineEdit* file_ = nullptr;
  QSpinBox* evaluation_ = nullptr;
  QSpinBox* value_ = nullptr;
  QSpinBox* depth_ = nullptr;
  QCheckBox* annotations_ = nullptr;
  QCheckBox* details_ = nullptr;
};

// 32845-32848 and 32850 in a board window; handled = false for other commands.
CommandState QueryJosekiCommand(BoardView& view, int id);
void ExecuteJosekiCommand(BoardView& view, int id);

// The work of each dialog, once its fields are filled (tests call them with a dialog they filled). False
// when nothing ran (the lock held elsewhere, a file name missing).
bool RunJosekiWork(BoardView& view, const JosekiDialog& dialog);

// Joseki editing: a move entered on the board goes into the joseki database with the document's defaults,
// the lock tried without waiting; what was registered is shown in the status bar.
void RegisterEnteredJoseki(BoardView& view, const rules::BoardForm& before, rules::MoveWord move);

}  // namespace app
