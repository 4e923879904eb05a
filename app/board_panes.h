// The header pane and the guide pane a board window can show inside its picture: the header pane at the
// lower left, below the upper stand, the guide pane at the upper right, above the lower stand. Both open
// and close together (補助窓を開く / 補助窓を閉じる) and follow the record on every redraw of the header.
#pragma once
#include <QPlainTextEdit>
#include <QPointer>
#include <QWidget>
#include <string>
#include <vector>

namespace app {

class BoardView;

// The guide: a few lines on grey, drawn as they come.
class GuidePane : public QWidget {
 public:
  explicit GuidePane(QWidget* parent);
  void SetLines(std::vector<std::string> utf8_lines);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::vector<std::string> lines_;
};

class BoardPanes {
 public:
  explicit BoardPanes(BoardView& view) : view_(view) {}

  bool open() const { return header_ || guide_; }
  void Open();   // each pane that is not open yet
  void Close();
  // Takes the texts from the record again (after a step, an edited header, a new record).
  void Refresh();

  // The panes grow with the board's zoom, keeping their place in the picture.
  void SetScale(double scale);

  QPlainTextEdit* header_pane() const { return header_; }
  GuidePane* guide_pane() const { return guide_; }

 private:
  BoardView& view_;
  QPointer<QPlainTextEdit> header_;
  QPointer<GuidePane> guide_;
  double scale_ = 1.0;
};

}  // namespace app
