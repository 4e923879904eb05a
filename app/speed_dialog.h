// The speed dialog (250, "駒速度の調整"): modeless, at most one. Two sliders from 1 ("遅い") to 10
// ("速い"): "前進" and "後退". Running auto-play reads them at every tick; closing stores them and the
// dialog's place.
#pragma once
#include <QDialog>

class QSlider;

namespace app {

class SpeedDialog : public QDialog {
  Q_OBJECT

 public:
  explicit SpeedDialog(QWidget* parent);
  int Position(int direction) const;  // 1 forward, 2 backward

 protected:
  void done(int result) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void Store();
  QSlider* forward_;
  QSlider* backward_;
};

}  // namespace app
