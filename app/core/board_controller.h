// The behaviour of a board view (BoardView and its game, tsume and setup kinds) without any window:
// picking up, dragging and dropping pieces with the move check and the promotion question, record
// editing and branch input, free placement, stepping through the record by command, key and timer, the
// set-up layouts, and which of these commands are enabled.
//
// Mouse positions are picture coordinates. A piece is picked up by a left press and dropped by the next
// left press; releasing the button over another place after dragging drops it there too.
#pragma once
#include <bitset>
#include <functional>
#include <string>
#include <vector>

#include "app/core/board_host.h"
#include "app/core/board_picture.h"
#include "app/core/screen_board.h"

namespace app {

enum class BoardKind { kGame, kTsume, kSetup };

// Speed tables: step interval in milliseconds by slider position 1..10.
extern const int kForwardSpeeds[10];
extern const int kBackwardSpeeds[10];
constexpr int kForwardTimer = 1, kBackwardTimer = 2;
constexpr int kFirstTickMs = 30;

enum class Key { kRight, kDown, kLeft, kUp, kEnd, kHome, kPageDown, kPageUp, kDelete, kBackspace, kSpace, kTab };

struct CommandState {
  bool handled = false;  // the controller knows the command
  bool enabled = false;
  bool checked = false;
  std::string text;  // UTF-8; empty keeps the menu's own text
};

class BoardController {
 public:
  BoardController(ScreenBoard& board, BoardPicture& picture, BoardHost& host, BoardKind kind);
  ~BoardController();

  BoardKind kind() const { return kind_; }
  ScreenBoard& board() { return board_; }
  const ScreenBoard& board() const { return board_; }

  // --- modes ------------------------------------------------------------------------------------
  bool record_editing() const { return record_editing_; }
  bool joseki_editing() const { return joseki_editing_; }
  bool branch_input() const { return branch_input_; }
  bool free_placement() const { return free_placement_; }
  bool auto_annotation() const { return auto_annotation_; }
  bool busy() const { return busy_; }
  void SetRecordEditing(bool on);
  void SetBranchInput(bool on);
  void SetFreePlacement(bool on);  // shows or hides the piece box with the pieces in it
  void SetBusy(bool on) { busy_ = on; }
  // 0 no special cursor, 1000 editing, 1001 branch input.
  int CursorId() const;

  // --- picture ----------------------------------------------------------------------------------
  // Binds the sprites and background to the picture and draws everything.
  void Attach();
  // Syncs the sprites with the position (leaving held pieces alone) and shows what changed.
  void Refresh();
  void Flip();
  int LabelIndex() const;  // which stand label the lower-right stand shows
  // A set-up window made from a tsume window labels the stands 攻方 and 受方.
  void SetTsumeLabels(bool on);

  // --- mouse and keys ---------------------------------------------------------------------------
  void LeftDown(int x, int y);
  void LeftUp(int x, int y);
  void MouseMove(int x, int y);
  void RightDown(int x, int y);
  void LeftDoubleClick(int x, int y);
  void RightDoubleClick(int x, int y);
  bool KeyPress(Key key, bool shift);
  bool holding() const { return !held_.empty(); }
  int HeldPiece() const { return held_.empty() ? -1 : held_.back().piece; }

  // --- playback ---------------------------------------------------------------------------------
  bool StepForward();
  bool StepBack();
  void GoFirst();
  void GoLast();
  bool StartAutoPlay(int direction);  // kForwardTimer or kBackwardTimer
  void StopAutoPlay() { stop_requested_ = true; }
  int auto_direction() const { return auto_direction_; }
  void TimerTick(int id);
  // Puts every held piece back (before the board moves by another way, e.g. the record window).
  void PutBackHeld() {
    while (holding()) PutBackLast();
  }
  // Opens the annotation window on the move now current when automatic display is on and it has one.
  void AnnotationWhenDue();

  // --- set-up window ----------------------------------------------------------------------------
  void ApplyLayout(int command);  // the 駒 配置 commands, 詰将棋 included
  void TsumeLayout();
  bool SetSideCommand(rules::Side side);  // true when it changed something
  // A finished set-up arrives. Asks before dropping moves, then `read` puts the position on the board
  // (false when it refused the bytes, having said why) and tells the seat it was set up from. False when
  // the user declined or the bytes were refused.
  bool ReceiveSetup(const std::function<bool(bool* reversed)>& read);
  // A whole record replaces the board's (a paste, a record read from a file into this window): `read`
  // fills the document as ReceiveSetup's does, without the question; the caller has asked what it must.
  bool ReplaceRecord(const std::function<bool(bool* reversed)>& read);

  // --- commands ---------------------------------------------------------------------------------
  CommandState Query(int id) const;
  bool Execute(int id);  // false when the command is not the controller's or not enabled

 private:
  struct Held {
    int piece;
    int dx, dy;          // grab offset
    rules::Side side;     // shown now (Shift+Space changes it)
    bool face;            // promoted face shown now (Space changes it)
    rules::Location from;  // where it was taken
  };

  bool CanStepForward() const { return board_.current()->child != nullptr; }
  bool CanStepBack() const { return board_.current() != board_.root(); }
  int HitSprite(int x, int y) const;  // nearest piece under the point that is not held, or -1
  void PickUp(int piece, int x, int y);
  void Drop(int x, int y);
  void DropOnBoardMove(const Held& h, rules::Location to);
  void FreePlace(const Held& h, rules::Location to);
  void PutBackLast();
  void ReleaseIfEmpty();
  void ShowHeld(const Held& h);
  std::bitset<rules::kPieceCount> HeldMask() const;
  void AfterPlayback(bool sound);
  void ShowImages();
  void EndAutoPlay();
  void RestartIfDue(int direction);
  bool CanPromoteFace(int piece) const;
  bool InPromotionZone(rules::Side side, rules::Location location) const;
  void Message(const char* utf8);
  bool AskYesNo(const char* utf8);
  void EditedPosition();

  ScreenBoard& board_;
  BoardPicture& picture_;
  BoardHost& host_;
  BoardKind kind_;
  bool record_editing_ = false, joseki_editing_ = false, branch_input_ = false;
  bool free_placement_ = false, auto_annotation_ = true, busy_ = false, tsume_labels_ = false;
  std::vector<Held> held_;
  bool press_picked_ = false;
  int press_x_ = 0, press_y_ = 0;
  int auto_direction_ = 0;
  bool first_tick_ = false, stop_requested_ = false;
  int slider_used_ = 0;
};

}  // namespace app
