#include "app/joseki_boxes.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/application.h"
#include "app/qt_text.h"
#include "shogidb/joseki_lines.h"

namespace app {

JosekiBox::JosekiBox(QWidget* owner) : QDialog(owner) {
  setModal(false);
  setAttribute(Qt::WA_DeleteOnClose);
}

void JosekiBox::AddButtons(QVBoxLayout* layout) {
  auto* row = new QHBoxLayout;
  row->addStretch();
  auto* update = new QPushButton(QString::fromUtf8("更新"), this);
  update->setObjectName(QStringLiteral("UpdateButton"));
  update->setDefault(true);
  auto* close_button = new QPushButton(QString::fromUtf8("閉じる"), this);
  row->addWidget(update);
  row->addWidget(close_button);
  layout->addLayout(row);
  connect(update, &QPushButton::clicked, this, [this] { Update(); });
  connect(close_button, &QPushButton::clicked, this, &QDialog::close);
}

QSpinBox* JosekiBox::EvaluationSpin(QWidget* parent) {
  auto* spin = new QSpinBox(parent);
  spin->setRange(-32768, 32767);  // the stored i16
  return spin;
}

shogidb::DbJob JosekiBox::Job() const {
  shogidb::DbJob job;
  job.messages = &Application::instance()->messages();
  return job;
}

std::string JosekiBox::Directory() const { return ToCore(Application::instance()->database_dir()); }

// --- 222 ---------------------------------------------------------------------------------------------------

JosekiPropertiesBox::JosekiPropertiesBox(QWidget* owner) : JosekiBox(owner) {
  setObjectName(QStringLiteral("JosekiPropertiesBox"));
  setWindowTitle(QString::fromUtf8("定跡手の特性"));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  move_ = new QLabel(this);
  form->addRow(QString::fromUtf8("指し手"), move_);
  layout->addLayout(form);
  layout->addWidget(new QLabel(QString::fromUtf8("局面の評価値(劣勢<100<優勢)"), this));
  auto* evals = new QFormLayout;
  before_ = EvaluationSpin(this);
  after_ = EvaluationSpin(this);
  evals->addRow(QString::fromUtf8("指し手前"), before_);
  evals->addRow(QString::fromUtf8("指し手後"), after_);
  layout->addLayout(evals);
  auto* values = new QFormLayout;
  value_ = new QSpinBox(this);
  value_->setRange(0, shogidb::JosekiDatabase::kMaxValue);
  values->addRow(QString::fromUtf8("手の評価値(0～16383)"), value_);
  layout->addLayout(values);
  AddButtons(layout);
}

void JosekiPropertiesBox::ShowItem(const JosekiCell& cell) {
  cell_ = cell;
  move_->setText(cell.is_move() ? FromCore(cell.text) : QString());
  JosekiSession session(Directory(), Job());
  JosekiValues values;
  if (!session.ready() || ReadJosekiValues(session.db(), cell, values) != 0) return;  // the fields stay
  before_->setValue(values.before);
  after_->setValue(values.after);
  value_->setValue(values.value);
}

bool JosekiPropertiesBox::Update() {
  if (!cell_.is_move()) return false;
  shogidb::JosekiDatabase db;
  db.SetDatabase(Directory());
  db.SetJob(Job());
  // Takes the lock itself and says "データベースは使用中です" or why the update failed.
  return shogidb::SetJosekiMoveProperties(db, cell_.form, cell_.side, cell_.move, before_->value(), after_->value(),
                                          value_->value()) == 0;
}

// --- 223 ---------------------------------------------------------------------------------------------------

JosekiEvaluationBox::JosekiEvaluationBox(QWidget* owner) : JosekiBox(owner) {
  setObjectName(QStringLiteral("JosekiEvaluationBox"));
  setWindowTitle(QString::fromUtf8("形勢評価値の設定"));
  auto* layout = new QVBoxLayout(this);
  auto* line = new QHBoxLayout;
  line->addWidget(new QLabel(QString::fromUtf8("指し手"), this));
  move_ = new QLabel(this);
  line->addWidget(move_);
  line->addWidget(new QLabel(QString::fromUtf8("までの"), this));
  line->addStretch();
  layout->addLayout(line);
  auto* form = new QFormLayout;
  evaluation_ = EvaluationSpin(this);
  form->addRow(QString::fromUtf8("局面の評価値(劣勢<100<優勢)"), evaluation_);
  layout->addLayout(form);
  AddButtons(layout);
}

void JosekiEvaluationBox::ShowItem(const JosekiCell& cell) {
  cell_ = cell;
  move_->setText(FromCore(cell.text));
  JosekiSession session(Directory(), Job());
  JosekiValues values;
  if (!session.ready() || ReadJosekiValues(session.db(), cell, values) != 0) return;
  evaluation_->setValue(values.after);  // the position the item stands for
}

bool JosekiEvaluationBox::Update() {
  shogidb::JosekiDatabase db;
  db.SetDatabase(Directory());
  db.SetJob(Job());
  return shogidb::SetJosekiEvaluation(db, cell_.FormAfter(), cell_.SideAfter(), evaluation_->value()) == 0;
}

}  // namespace app
