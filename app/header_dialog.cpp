#include "app/header_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QValidator>

#include "app/application.h"
#include "app/board_view.h"

namespace app {
namespace {

using K = FormFieldKind;

QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }

// Text that fits its field's bytes in CP932.
class ByteWidthValidator : public QValidator {
 public:
  ByteWidthValidator(int width, QObject* parent) : QValidator(parent), width_(width) {}
  State validate(QString& input, int&) const override {
    return Cp932Length(input.toStdString()) <= width_ ? Acceptable : Invalid;
  }

 private:
  int width_;
};

// A digit field: bare digits while it has the focus, the display form when the focus leaves.
class DigitEdit : public QLineEdit {
 public:
  DigitEdit(record::FieldRule rule, int digits, QWidget* parent) : QLineEdit(parent), rule_(rule) {
    const int display = Cp932Length(DigitsToDisplay(rule, std::string(static_cast<size_t>(digits), '0')));
    setMaxLength(display);
    setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9/: ]*"), this));
  }

 protected:
  void focusInEvent(QFocusEvent* event) override {
    const std::string text = this->text().toStdString();
    if (DigitsToDisplay(rule_, DigitsOf(text)) == text) setText(Q(DigitsOf(text)));
    QLineEdit::focusInEvent(event);
  }
  void focusOutEvent(QFocusEvent* event) override {
    const std::string text = this->text().toStdString();
    if (DigitsOf(text) == text) setText(Q(DigitsToDisplay(rule_, text)));
    QLineEdit::focusOutEvent(event);
  }

 private:
  record::FieldRule rule_;
};

struct Place {
  int field, row, column, span;  // column 0 or 1; span 1 or 2 (the whole width)
};

// Pairs of short fields share a row; long texts take the whole width.
const std::vector<Place>& GamePlaces() {
  static const std::vector<Place> places = {
      {0, 0, 0, 1}, {1, 0, 1, 1}, {2, 1, 0, 1},  {3, 1, 1, 1},  {4, 2, 0, 1},  {5, 2, 1, 1},
      {6, 3, 0, 1}, {10, 3, 1, 1}, {7, 4, 0, 2}, {8, 5, 0, 2},  {9, 6, 0, 2},  {11, 7, 0, 1},
      {12, 7, 1, 1}, {13, 8, 0, 1}, {14, 8, 1, 1}, {15, 9, 0, 1}, {16, 9, 1, 1}, {17, 10, 0, 2},
  };
  return places;
}

const std::vector<Place>& ProblemPlaces() {
  static const std::vector<Place> places = {
      {0, 0, 0, 2}, {1, 1, 0, 1}, {2, 1, 1, 1}, {3, 2, 0, 2}, {4, 3, 0, 1},
      {5, 3, 1, 1}, {6, 4, 0, 1}, {7, 4, 1, 1}, {8, 5, 0, 2},
  };
  return places;
}

}  // namespace

HeaderDialog::HeaderDialog(bool game, FormValues values, QStringList* remembered, QWidget* parent)
    : QDialog(parent),
      game_(game),
      fields_(game ? GameFormFields() : ProblemFormFields()),
      values_(std::move(values)),
      remembered_(remembered) {
  setWindowTitle(game ? QStringLiteral("対局見出情報の設定") : QStringLiteral("詰将棋見出情報の設定"));
  for (size_t i = 0; i < fields_.size(); ++i) editors_.push_back(MakeEditor(fields_[i], values_[i]));
  LayOut();
}

QWidget* HeaderDialog::MakeEditor(const FormField& field, const std::string& value) {
  switch (field.kind) {
    case K::kAnnotation: {
      auto* edit = new QPlainTextEdit(Q(value), this);
      edit->setTabChangesFocus(true);
      edit->setMinimumHeight(90);
      return edit;
    }
    case K::kFixed: {
      auto* label = new QLabel(Q(value), this);
      label->setTextInteractionFlags(Qt::TextSelectableByMouse);
      return label;
    }
    case K::kDigits: {
      auto* edit = new DigitEdit(field.rule, field.width, this);
      edit->setText(Q(value));
      return edit;
    }
    case K::kChoice: {
      auto* box = new QComboBox(this);
      box->setEditable(true);
      box->setInsertPolicy(QComboBox::NoInsert);
      for (const std::string& choice : field.choices) box->addItem(Q(choice));
      if (field.header_index == record::GameHeader::kOpening && game_) {
        opening_box_ = box;
        for (const std::string& type : StandardOpeningTypes()) box->addItem(Q(type));
        if (remembered_) box->addItems(*remembered_);
        box->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(box, &QWidget::customContextMenuRequested, this, &HeaderDialog::AskToDeleteRemembered);
        box->lineEdit()->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(box->lineEdit(), &QWidget::customContextMenuRequested, this,
                [this, box](const QPoint& p) { AskToDeleteRemembered(box->lineEdit()->mapTo(box, p)); });
      }
      box->lineEdit()->setValidator(new ByteWidthValidator(field.width, box));
      box->setCurrentText(Q(value));
      return box;
    }
    case K::kText:
      break;
  }
  auto* edit = new QLineEdit(Q(value), this);
  edit->setValidator(new ByteWidthValidator(field.width, edit));
  return edit;
}

void HeaderDialog::LayOut() {
  auto* grid = new QGridLayout(this);
  for (const Place& p : game_ ? GamePlaces() : ProblemPlaces()) {
    const FormField& f = fields_[static_cast<size_t>(p.field)];
    const int column = p.column * 2;
    QString label = Q(f.label);
    if (p.field < 2 && game_) label = p.field == 0 ? QStringLiteral("対局者(先手)") : QStringLiteral("(後手)");
    auto* caption = new QLabel(label, this);
    caption->setBuddy(editors_[static_cast<size_t>(p.field)]);
    grid->addWidget(caption, p.row, column, f.kind == K::kAnnotation ? Qt::AlignTop : Qt::Alignment());
    grid->addWidget(editors_[static_cast<size_t>(p.field)], p.row, column + 1, 1, p.span == 2 ? 3 : 1);
  }
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(3, 1);
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(QStringLiteral("設定終了"), QDialogButtonBox::AcceptRole)->setDefault(true);
  buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  grid->addWidget(buttons, grid->rowCount(), 0, 1, 4);
  setMinimumWidth(560);
}

std::string HeaderDialog::ValueOf(int index) const {
  QWidget* w = editors_[static_cast<size_t>(index)];
  if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text().toStdString();
  if (auto* box = qobject_cast<QComboBox*>(w)) return box->currentText().toStdString();
  if (auto* text = qobject_cast<QPlainTextEdit*>(w)) return text->toPlainText().toStdString();
  return values_[static_cast<size_t>(index)];
}

void HeaderDialog::accept() {
  FormValues values;
  for (size_t i = 0; i < fields_.size(); ++i) values.push_back(ValueOf(static_cast<int>(i)));
  const int bad = game_ ? FirstBadGameValue(values) : FirstBadProblemValue(values);
  if (bad >= 0) {
    const FormField& f = fields_[static_cast<size_t>(bad)];
    QMessageBox::warning(this, windowTitle(), Q(std::string(f.label) + "の値が正しくありません。"));
    editors_[static_cast<size_t>(bad)]->setFocus();
    return;
  }
  values_ = std::move(values);
  if (opening_box_ && remembered_) {
    std::vector<std::string> known;
    for (const QString& s : *remembered_) known.push_back(s.toStdString());
    const std::string typed = opening_box_->currentText().toStdString();
    if (IsNewOpeningType(typed, known)) remembered_->append(Q(typed));
  }
  QDialog::accept();
}

void HeaderDialog::AskToDeleteRemembered(const QPoint& at) {
  const int standard = static_cast<int>(StandardOpeningTypes().size());
  const int index = opening_box_->currentIndex();
  // The box's current item must be a remembered one, and its text not edited away from it.
  const bool remembered = remembered_ && index >= standard && opening_box_->itemText(index) == opening_box_->currentText();
  QMenu menu(this);
  QAction* del = menu.addAction(QStringLiteral("項目の削除"));
  del->setEnabled(remembered);
  if (menu.exec(opening_box_->mapToGlobal(at)) != del) return;
  remembered_->removeAll(opening_box_->itemText(index));
  opening_box_->removeItem(index);
}

bool EditHeader(BoardView& view) {
  BoardDocument* doc = view.document();
  if (!doc->game() && !doc->tsume()) return false;
  const bool game = doc->game() != nullptr;
  FormValues values = game ? GameFormValues(doc->game()->header()) : ProblemFormValues(doc->tsume()->header());
  HeaderDialog dialog(game, std::move(values), &Application::instance()->opening_types(), &view);
  if (dialog.exec() != QDialog::Accepted) return false;
  if (game) {
    StoreGameValues(dialog.values(), doc->game()->header());
  } else {
    StoreProblemValues(dialog.values(), doc->tsume()->header());
  }
  doc->SetModified(true);
  view.RedrawHeader();
  return true;
}

}  // namespace app
