// Printing through Qt PrintSupport: 印刷 (57607), 印刷プレビュー (57609) and プリンタの設定 (57606) for the
// game and tsume windows and the editors. The pages come from app/core/print_pages.h for the printer's
// printable area; printing and the preview paint them with the same painter, so the preview shows
// exactly the pages that printing sends.
//
// Each page: the document title, a blank line, the text on a grid of half-width cells (a full-width
// character takes two, drawn character by character so the board diagram's columns line up in any
// font), a blank line and the page number.
#pragma once
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/core/print_pages.h"

class QPrintPreviewDialog;
class QPrinter;
class QWidget;

namespace app {

class BoardDocument;

// What one print job prints: the title (page header, PDF file name) and its pages for a geometry.
struct PrintJob {
  QString title;
  std::function<std::vector<PrintPage>(const PrintGeometry&)> pages;
};

// The print text of a game or tsume document (the document must outlive the job).
PrintJob RecordPrintJob(BoardDocument& doc);
// An editor's text (CP932), wrapped to the page width.
PrintJob TextPrintJob(const QString& title, std::string cp932);

// The application's printer at the start: the system's default printer, or, when there is none, PDF
// output, so that a user without a printer can still keep a record as PDF.
std::unique_ptr<QPrinter> NewPrinter();
// The geometry of the printer's printable area (paper, orientation and margins as set up).
PrintGeometry GeometryOf(const QPrinter& printer);
// Paints the job's pages for the printer's geometry; the number of pages, 0 when the printer refused.
int PaintPages(QPrinter& printer, const PrintJob& job);

// The job's title as the document name, and for PDF output the file named after it, in the folder of
// the last PDF or else the home folder.
void NamePdfAfter(QPrinter& printer, const QString& title);
// The preview of a job on the printer, not yet shown; it repaints after its own page setup.
std::unique_ptr<QPrintPreviewDialog> NewPrintPreview(QWidget* parent, QPrinter& printer, PrintJob job);

// 印刷 (57607) or 印刷プレビュー (57609) of a job with the application's printer, the PDF file named after
// the job; プリンタの設定 (57606): paper, orientation and margins of that printer.
void RunPrintCommand(int id, QWidget* parent, const PrintJob& job);
void SetUpPrinter(QWidget* parent);

}  // namespace app
