#include "app/printing.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include "app/application.h"
#include "app/board_document.h"
#include "app/core/command_ids.h"
#include "app/qt_text.h"
#include "platform/sjis.h"
#include "platform/text_codec.h"

namespace app {

namespace {

// A fixed-pitch Japanese face like ＭＳ ゴシック: half-width characters half as wide as full-width ones.
QFont PrintFont(double pixel_size) {
  QFont font(QStringLiteral("IPAGothic"));
  font.setFamilies({QStringLiteral("IPAGothic"), QStringLiteral("IPAexGothic"), QStringLiteral("Noto Sans Mono CJK JP"),
                    QStringLiteral("Noto Sans CJK JP"), QStringLiteral("monospace")});
  font.setPixelSize(std::max(1, qRound(pixel_size)));
  return font;
}

// One line on the cell grid: each character centred in its one or two cells, whatever the font's
// own advance, so that columns written for a fixed-pitch font stay columns.
void PaintGridLine(QPainter& painter, const QFontMetricsF& metrics, double baseline, double cell, std::string_view line) {
  for (size_t i = 0; i < line.size();) {
    const size_t n = platform::SjisCharLength(line, i);
    if (n > 1 || line[i] != ' ') {
      const QString c = FromCore(line.substr(i, n));
      const double left = i * cell + (n * cell - metrics.horizontalAdvance(c)) / 2;
      painter.drawText(QPointF(left, baseline), c);
    }
    i += n;
  }
}

// The title and page number lines around the text.
void PaintPage(QPainter& painter, const PrintGeometry& g, double scale, const PrintPage& page,
               const QString& title, int number, int count) {
  const QFontMetricsF metrics(painter.font(), painter.device());
  const double pitch = g.line_pitch * scale, cell = g.cell_width() * scale;
  // The baseline centres the glyphs' height in the line.
  const double baseline = (pitch + metrics.ascent() - metrics.descent()) / 2;
  const double width = g.width * cell;
  painter.drawText(QPointF(0, baseline), metrics.elidedText(title, Qt::ElideRight, width));
  for (size_t row = 0; row < page.size(); ++row) {
    PaintGridLine(painter, metrics, baseline + (kHeaderLines + row) * pitch, cell, page[row]);
  }
  const QString footer = QStringLiteral("- %1 / %2 -").arg(number).arg(count);
  const double footer_row = kHeaderLines + g.lines_per_page + kFooterLines - 1;
  painter.drawText(QPointF((width - metrics.horizontalAdvance(footer)) / 2, baseline + footer_row * pitch), footer);
}

void Print(QWidget* parent, QPrinter& printer, const PrintJob& job) {
  NamePdfAfter(printer, job.title);
  printer.setPrintRange(QPrinter::AllPages);
  QPrintDialog dialog(&printer, parent);
  dialog.setWindowTitle(QString::fromUtf8("印刷"));
  // Every page, always: what the preview shows is what is sent.
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
  dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
  dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
  if (dialog.exec() != QDialog::Accepted) return;
  if (PaintPages(printer, job) == 0) {
    Application::instance()->messages().Show(platform::Utf8ToCp932("印刷を始められませんでした。"));
  }
}

void Preview(QWidget* parent, QPrinter& printer, const PrintJob& job) {
  NamePdfAfter(printer, job.title);
  NewPrintPreview(parent, printer, job)->exec();
}

}  // namespace

PrintJob RecordPrintJob(BoardDocument& doc) {
  return {doc.title(), [&doc](const PrintGeometry& g) { return RecordPages(doc.record(), g); }};
}

PrintJob TextPrintJob(const QString& title, std::string cp932) {
  return {title, [text = std::move(cp932)](const PrintGeometry& g) { return TextPages(text, g); }};
}

void NamePdfAfter(QPrinter& printer, const QString& title) {
  printer.setDocName(title);
  if (printer.outputFormat() != QPrinter::PdfFormat) return;
  const QString last = printer.outputFileName();
  const QString dir = last.isEmpty() ? QDir::homePath() : QFileInfo(last).absolutePath();
  QString name = QFileInfo(title).completeBaseName();
  name.replace(QLatin1Char('/'), QLatin1Char('_'));
  if (name.isEmpty()) name = QStringLiteral("komaraku");
  printer.setOutputFileName(QDir(dir).filePath(name + QStringLiteral(".pdf")));
}

std::unique_ptr<QPrintPreviewDialog> NewPrintPreview(QWidget* parent, QPrinter& printer, PrintJob job) {
  auto dialog = std::make_unique<QPrintPreviewDialog>(&printer, parent);
  dialog->setWindowTitle(QString::fromUtf8("印刷プレビュー - ") + job.title);
  // Asked again after the dialog's own page setup, so the pages follow a changed paper or orientation.
  QObject::connect(dialog.get(), &QPrintPreviewDialog::paintRequested, dialog.get(),
                   [job = std::move(job)](QPrinter* target) { PaintPages(*target, job); });
  dialog->resize(720, 860);
  return dialog;
}

std::unique_ptr<QPrinter> NewPrinter() {
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  if (QPrinterInfo::availablePrinterNames().isEmpty()) printer->setOutputFormat(QPrinter::PdfFormat);
  return printer;
}

PrintGeometry GeometryOf(const QPrinter& printer) {
  const QRectF area = printer.pageRect(QPrinter::Point);
  return GeometryFor(area.width(), area.height());
}

int PaintPages(QPrinter& printer, const PrintJob& job) {
  const PrintGeometry g = GeometryOf(printer);
  const std::vector<PrintPage> pages = job.pages(g);
  QPainter painter;
  if (!painter.begin(&printer)) return 0;
  // The painter works in device pixels from the printable area's corner; the geometry is in points.
  const double scale = printer.resolution() / 72.0;
  painter.setFont(PrintFont(g.font_size * scale));
  painter.setPen(Qt::black);
  const int count = static_cast<int>(pages.size());
  for (int i = 0; i < count; ++i) {
    if (i > 0) printer.newPage();
    PaintPage(painter, g, scale, pages[i], job.title, i + 1, count);
  }
  painter.end();
  return count;
}

void RunPrintCommand(int id, QWidget* parent, const PrintJob& job) {
  QPrinter& printer = Application::instance()->printer();
  if (id == cmd::kPrint) Print(parent, printer, job);
  if (id == cmd::kPrintPreview) Preview(parent, printer, job);
}

void SetUpPrinter(QWidget* parent) {
  QPageSetupDialog dialog(&Application::instance()->printer(), parent);
  dialog.setWindowTitle(QString::fromUtf8("プリンタの設定"));
  dialog.exec();
}

}  // namespace app
