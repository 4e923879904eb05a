#include "app/db_register_buffer_dialog.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/application.h"
#include "app/board_view.h"
#include "app/core/db_forms.h"
#include "app/db_access.h"
#include "app/db_register_file_dialog.h"
#include "app/header_dialog.h"
#include "app/text_editor_window.h"
#include "platform/text_codec.h"
#include "record/archive.h"

namespace app {

namespace {

QString Utf8(const char* text) { return QString::fromUtf8(text); }

}  // namespace

RegisterBufferDialog::RegisterBufferDialog(BoardView& view, QWidget* parent)
    : QDialog(parent), view_(view), game_(view.document()->game() != nullptr) {
  setWindowTitle(Utf8(game_ ? "対局の登録" : "詰将棋の登録"));
  QGroupBox* mode = MakeRegisterModeBox(new_, overwrite_);

  header_ = new QPlainTextEdit;
  header_->setReadOnly(true);
  header_->setFont(QtFontOf(EditorFont::Default()));
  header_->setMinimumSize(420, 300);
  auto* edit = new QPushButton(Utf8("見出情報の設定..."));
  auto* header_box = new QGroupBox(Utf8(game_ ? "対局情報" : "詰将棋情報"));
  auto* header_layout = new QVBoxLayout(header_box);
  header_layout->addWidget(header_);
  header_layout->addWidget(edit, 0, Qt::AlignLeft);

  auto* buttons = new QDialogButtonBox;
  buttons->addButton(Utf8("登録"), QDialogButtonBox::AcceptRole);
  buttons->addButton(Utf8("キャンセル"), QDialogButtonBox::RejectRole);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(mode);
  layout->addWidget(header_box, 1);
  layout->addWidget(buttons);
  connect(edit, &QPushButton::clicked, this, [this] { EditHeaderFirst(); });
  connect(buttons, &QDialogButtonBox::accepted, this, &RegisterBufferDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &RegisterBufferDialog::reject);
  ShowHeader();
}

void RegisterBufferDialog::ShowHeader() {
  BoardDocument* doc = view_.document();
  const std::vector<std::string> lines = game_ ? GameHeaderText(doc->game()->header()) : ProblemHeaderText(doc->tsume()->header());
  QString text;
  for (const std::string& line : lines) text += QString::fromStdString(line) + '\n';
  header_->setPlainText(text);
}

void RegisterBufferDialog::EditHeaderFirst() {
  if (EditHeader(view_)) ShowHeader();
}

void RegisterBufferDialog::accept() {
  BoardDocument* doc = view_.document();
  platform::MessageSink& messages = Application::instance()->messages();
  const bool overwrite = overwrite_->isChecked();
  if (doc->modified() &&
      messages.Ask(platform::Utf8ToCp932("バッファが変更されています。この内容で登録しますか？"), platform::Buttons::kYesNo) !=
          platform::Answer::kYes) {
    return;
  }
  const std::string& number = game_ ? doc->game()->header().Field(record::GameHeader::kGameNumber)
                                    : doc->tsume()->header().Field(record::ProblemHeader::kProblemNumber);
  if (overwrite && number.empty()) {
    messages.Show(platform::Utf8ToCp932(game_ ? "上書登録するには対局番号の指定が必要です。" : "上書登録するには詰将棋番号の指定が必要です。"));
    return;
  }
  // The record is written out here, on the window's thread: the worker never reads the board.
  record::Archive archive = record::Archive::ToMemory();
  doc->record().SerializeRecord(archive, game_);  // a game's selected line, a problem's whole tree
  const std::string text = archive.text();
  QDialog::accept();
  RunOnItemDatabase(parentWidget(), game_ ? DbItemKind::kGame : DbItemKind::kProblem,
                    [&](shogidb::ItemDatabase& db, const shogidb::DbJob&) { db.RegisterFromCsa(text, !overwrite); });
}

}  // namespace app
