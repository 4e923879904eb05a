// Shared pieces of the app tests: synthetic images, a host that records what the controller asks for,
// positions built from a short list, and where a square lies in the picture.
#pragma once
#include <initializer_list>

#include "app/core/board_controller.h"

namespace app {

// Backgrounds of two different colours, pieces with a transparent border 4 pixels wide.
BoardImages TestImages();

struct RecordingHost : BoardHost {
  platform::RecordingMessageSink sink;
  bool modified = false, captured = false, annotation_open = false;
  int sounds = 0, current_changed = 0, record_changed = 0, annotations_opened = 0;
  int timer_ms[3] = {0, 0, 0};
  int slider[3] = {0, 5, 9};

  platform::MessageSink& messages() override { return sink; }
  void CaptureMouse(bool on) override { captured = on; }
  void SetModified() override { modified = true; }
  void PlayPieceSound() override { ++sounds; }
  bool AnnotationOpen() const override { return annotation_open; }
  void OpenAnnotation() override { ++annotations_opened; }
  void CurrentMoveChanged() override { ++current_changed; }
  void RecordChanged() override { ++record_changed; }
  void StartTimer(int id, int ms) override { timer_ms[id] = ms; }
  void StopTimer(int id) override { timer_ms[id] = 0; }
  int SliderPosition(int direction) const override { return slider[direction]; }
};

struct Placed {
  int kind;
  rules::Side side;
  int square;  // square number, or 0 for the side's hand
};
// Every other piece goes to the box; then the record begins there with `side` to move.
void PlacePosition(rules::Position& board, std::initializer_list<Placed> pieces, rules::Side side);

// The middle of the cell where a square is drawn.
Point SquareCenter(int square, bool reversed);

}  // namespace app
