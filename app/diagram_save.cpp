#include "app/diagram_save.h"

#include <QFileDialog>
#include <QFileInfo>

#include "app/board_view.h"
#include "app/core/diagram_name.h"
#include "app/qt_text.h"
#include "imaging/diagram_file.h"
#include "platform/files.h"
#include "record/document_diagram.h"

namespace app {

namespace {

const char kPngFilter[] = "PNG 画像 (*.png)";
const char kSvgFilter[] = "SVG 画像 (*.svg)";

}  // namespace

void SaveBoardDiagram(BoardView& view) {
  BoardDocument& doc = *view.document();
  const QString suggestion = QString::fromStdString(DiagramNameSuggestion(
      QFileInfo(doc.title()).fileName().toStdString(), doc.board().depth()));
  const QString folder = doc.path().isEmpty() ? QString() : QFileInfo(doc.path()).absolutePath() + '/';
  QString filter = QString::fromUtf8(kPngFilter);
  const QString chosen = QFileDialog::getSaveFileName(
      &view, QString::fromUtf8("局面図の保存"), folder + suggestion,
      QString::fromUtf8(kPngFilter) + ";;" + QString::fromUtf8(kSvgFilter), &filter);
  if (chosen.isEmpty()) return;
  const bool png = filter != QString::fromUtf8(kSvgFilter);
  WriteBoardDiagram(view, QString::fromStdString(WithDiagramExtension(chosen.toStdString(), png)));
}

bool WriteBoardDiagram(BoardView& view, const QString& path) {
  BoardDocument& doc = *view.document();
  const record::DiagramOptions options = record::DocumentDiagramOptions(doc.record(), doc.board(), true, true);
  std::string error;
  const std::string bytes =
      imaging::DiagramFileBytes(doc.board(), options, imaging::DiagramFormatOf(path.toStdString()), &error);
  if (bytes.empty() || !platform::WriteWholeFile(ToCore(path), bytes)) {
    view.messages().Show(platform::Utf8ToCp932("局面図を保存できません。(") + ToCore(path) + ")");
    return false;
  }
  return true;
}

}  // namespace app
