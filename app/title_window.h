// The title window of start-up: borderless, 448 x 178, centred on the screen, showing the title picture
// (440 x 170) at its top left.
#pragma once
#include <QWidget>

namespace app {

class TitleWindow : public QWidget {
 public:
  TitleWindow();

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace app
