// BoardView: the board window of a game, tsume or set-up document. It shows the off-screen picture, turns
// mouse, keys and timers into the controller's operations, and connects the controller to the rest of
// the program (messages, sound, the speed settings, the set-up window).
#pragma once
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "app/board_document.h"
#include "app/annotation_editor.h"
#include "app/board_panes.h"
#include "app/position_cues.h"
#include "app/core/board_controller.h"

namespace app {

class RecordWindow;
class SolverWindow;

class BoardView : public QWidget, public BoardHost {
  Q_OBJECT

 public:
  BoardView(BoardDocument* doc, QWidget* parent = nullptr);
  ~BoardView() override;

  BoardDocument* document() const { return doc_; }
  BoardController& controller() { return controller_; }
  BoardPicture& picture() { return picture_; }

  // Commands of the board window (the controller's and the view's own); handled = false for others.
  CommandState Query(int id);
  bool Execute(int id);
  // A finished set-up arrives from the set-up window (the position file's bytes).
  void ReceiveSetup(const std::string& bytes);

  QSize sizeHint() const override;
  // Zoom: the chosen step in percent, and the factor shown (the step's, or while the frame is maximized
  // the one that fits its area). Mouse positions are mapped back, so input acts alike at every factor.
  int zoom() const { return zoom_; }
  double scale() const { return scale_; }
  void SetZoom(int percent);  // a step of kZoomSteps; the frame follows through ZoomChanged
  void FitInto(const QSize& area);
  bool EndFit();  // back to the chosen step; false when the view was not fitted

  // BoardHost
  platform::MessageSink& messages() override;
  void Redraw() override;
  void TakeFocus() override { setFocus(Qt::OtherFocusReason); }
  void CursorChanged() override;
  void SetModified() override { doc_->SetModified(true); }
  void PlayPieceSound() override;
  void StartTimer(int id, int milliseconds) override;
  void StopTimer(int id) override;
  int SliderPosition(int direction) const override;
  bool SetupActive() const override;
  void PrepareLabel(int index) override;
  void ReversedChanged(bool reversed) override;
  void JosekiMoveEntered(const rules::BoardForm& before, rules::MoveWord move) override;
  void CloseAnnotation() override { annotation_.Close(); }  // 104
  bool AnnotationOpen() const override { return annotation_.open(); }
  void OpenAnnotation() override { annotation_.Open(false); }
  AnnotationLink& annotation() { return annotation_; }
  void CurrentMoveChanged() override;  // 113 to the record window
  void RecordChanged() override;       // 114 to the record window

  RecordWindow* record_window() const;
  void SetRecordWindow(RecordWindow* window);
  void RecordWindowClosed();  // 112
  void RedrawHeader() override { panes_.Refresh(); }
  void JosekiRefresh() override;  // 103 to the joseki browser bound here
  bool PiecesLocked() const override;

  // The solver output window of this board's solve (119 clears it).
  SolverWindow* solver_window() const;
  void SetSolverWindow(SolverWindow* window);

  BoardPanes& panes() { return panes_; }
  PositionCues& cues() { return cues_; }

 Q_SIGNALS:
  void StateChanged();  // something the menus and the status bar show may have changed
  void ZoomChanged();   // a new step was chosen

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool focusNextPrevChild(bool next) override;

 private:
  void ApplyScale(double scale);

  BoardDocument* doc_;
  int zoom_ = 100;
  double scale_ = 1.0;
  bool fitted_ = false;
  BoardPicture picture_;
  BoardController controller_;
  QTimer timers_[2];
  QPointer<RecordWindow> record_window_;
  QPointer<SolverWindow> solver_window_;
  BoardPanes panes_{*this};
  PositionCues cues_{*this};
  AnnotationLink annotation_{*this};  // last: its editor goes first when the board goes
};

BoardKind BoardKindOf(DocKind kind);

}  // namespace app
