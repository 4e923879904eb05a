#include "app/speed_dialog.h"

#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QSlider>

#include "app/application.h"

namespace app {

namespace {

QSlider* MakeSlider(QWidget* parent, int value) {
  auto* s = new QSlider(Qt::Horizontal, parent);
  s->setRange(1, 10);
  s->setPageStep(1);
  s->setTickPosition(QSlider::TicksBelow);
  s->setValue(value);
  return s;
}

}  // namespace

SpeedDialog::SpeedDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("SpeedDialog"));
  setWindowTitle(QString::fromUtf8("駒速度の調整"));
  setAttribute(Qt::WA_DeleteOnClose);
  Application* app = Application::instance();
  forward_ = MakeSlider(this, app->SliderPosition(1));
  backward_ = MakeSlider(this, app->SliderPosition(2));
  auto* grid = new QGridLayout(this);
  const QString slow = QString::fromUtf8("遅い"), fast = QString::fromUtf8("速い");
  grid->addWidget(new QLabel(QString::fromUtf8("前進"), this), 0, 0);
  grid->addWidget(new QLabel(slow, this), 0, 1);
  grid->addWidget(forward_, 0, 2);
  grid->addWidget(new QLabel(fast, this), 0, 3);
  grid->addWidget(new QLabel(QString::fromUtf8("後退"), this), 1, 0);
  grid->addWidget(new QLabel(slow, this), 1, 1);
  grid->addWidget(backward_, 1, 2);
  grid->addWidget(new QLabel(fast, this), 1, 3);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  grid->addWidget(buttons, 2, 0, 1, 4);
  const QPoint at = app->speed_dialog_pos();
  if (at.x() != -1000 && at.y() != -1000) move(at);
}

int SpeedDialog::Position(int direction) const { return direction == 1 ? forward_->value() : backward_->value(); }

void SpeedDialog::Store() {
  Application* app = Application::instance();
  app->SetSliderPositions(forward_->value(), backward_->value());
  app->SetSpeedDialogPos(pos());
}

void SpeedDialog::done(int result) {
  Store();
  QDialog::done(result);
}

void SpeedDialog::closeEvent(QCloseEvent* event) {
  Store();
  QDialog::closeEvent(event);
}

}  // namespace app
