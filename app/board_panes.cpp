#include "app/board_panes.h"

#include <QPainter>
#include <QPlainTextEdit>

#include "app/board_view.h"
#include "app/core/geometry.h"
#include "app/core/header_panes.h"
#include "app/qt_dib.h"

namespace app {
namespace {

constexpr int kGuideFontHeight = 14;
const QColor kGuideGrey(170, 170, 170);

QRect Scaled(const Rect& r, double scale) {
  return QRect(qRound(r.left * scale), qRound(r.top * scale), qRound(r.Width() * scale), qRound(r.Height() * scale));
}

}  // namespace

GuidePane::GuidePane(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

void GuidePane::SetLines(std::vector<std::string> utf8_lines) {
  if (utf8_lines == lines_) return;
  lines_ = std::move(utf8_lines);
  update();
}

void GuidePane::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), kGuideGrey);
  p.setPen(Qt::black);
  const int step = p.fontMetrics().height();
  int y = 1;
  for (const std::string& line : lines_) {
    p.drawText(QRect(1, y, width() - 2, step), Qt::AlignLeft | Qt::AlignTop, QString::fromStdString(line));
    y += step;
  }
}

void BoardPanes::Open() {
  if (!header_) {
    header_ = new QPlainTextEdit(&view_);
    header_->setReadOnly(true);
    header_->setFocusPolicy(Qt::NoFocus);  // the keys belong to the board
    header_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    header_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    header_->show();
  }
  if (!guide_) {
    guide_ = new GuidePane(&view_);
    guide_->show();
  }
  SetScale(scale_);
  Refresh();
}

void BoardPanes::SetScale(double scale) {
  scale_ = scale;
  if (header_) {
    header_->setFont(MinchoFont(qRound(12 * scale)));
    header_->setGeometry(Scaled(kHeaderWindowRect, scale));
  }
  if (guide_) {
    guide_->setFont(MinchoFont(qRound(kGuideFontHeight * scale)));
    guide_->setGeometry(Scaled(kGuideWindowRect, scale));
  }
}

void BoardPanes::Close() {
  delete header_.data();
  delete guide_.data();
}

void BoardPanes::Refresh() {
  BoardDocument* doc = view_.document();
  if (header_) {
    std::vector<std::string> lines;
    if (doc->game()) lines = GameHeaderLines(doc->game()->header());
    if (doc->tsume()) lines = ProblemHeaderLines(doc->tsume()->header());
    QString text;
    for (const std::string& line : lines) text += QString::fromStdString(line) + '\n';
    text.chop(1);
    if (header_->toPlainText() != text) header_->setPlainText(text);
  }
  if (guide_) {
    guide_->SetLines(GuideLines(doc->board(), doc->kind() == DocKind::kGame));
    // The piece box of free placement lies under the guide; the box comes first while it is out.
    guide_->setVisible(!view_.picture().box_shown());
  }
}

}  // namespace app
