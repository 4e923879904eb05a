#include "app/core/board_controller.h"

#include <cstdlib>

#include "app/core/command_ids.h"
#include "platform/text_codec.h"
#include "rules/move_rules.h"

using namespace rules;

namespace app {

const int kForwardSpeeds[10] = {3000, 2000, 1000, 700, 400, 200, 150, 100, 50, 30};
const int kBackwardSpeeds[10] = {3000, 2000, 1000, 700, 400, 200, 150, 100, 50, 30};

namespace {

// The side commands 先手番, 後手番 and 手番未設定 are numbered in the order of the sides.
Side SideOfCommand(int id) { return static_cast<Side>(id - cmd::kSideSente); }

int SpeedIndex(int position) { return position < 1 ? 0 : position > 10 ? 9 : position - 1; }

struct Layout {
  int command, code;
  Side side;
};
constexpr Layout kLayouts[] = {
    {cmd::kLayoutEven, 0, kSente},       {cmd::kLayoutRightLance, 1, kGote}, {cmd::kLayoutLeftLance, 2, kGote},
    {cmd::kLayoutRook, 3, kGote},        {cmd::kLayoutBishop, 4, kGote},     {cmd::kLayoutTwo, 5, kGote},
    {cmd::kLayoutFour, 6, kGote},        {cmd::kLayoutSix, 7, kGote},        {cmd::kLayoutBox, 8, kSideUnset},
    {cmd::kLayoutRookLance, 9, kGote},   {cmd::kLayoutBishopLance, 10, kGote},
};

}  // namespace

BoardController::BoardController(ScreenBoard& board, BoardPicture& picture, BoardHost& host, BoardKind kind)
    : board_(board), picture_(picture), host_(host), kind_(kind) {}

BoardController::~BoardController() { picture_.RemoveAllSprites(); }

// --- modes ----------------------------------------------------------------------------------------

void BoardController::SetRecordEditing(bool on) {
  while (!on && holding()) PutBackLast();
  record_editing_ = on;
  if (!on) branch_input_ = false;
  host_.CursorChanged();
}

void BoardController::SetBranchInput(bool on) {
  branch_input_ = on;
  host_.CursorChanged();
}

void BoardController::SetFreePlacement(bool on) {
  while (holding()) PutBackLast();
  free_placement_ = on;
  board_.ShowBoxPieces(on);
  picture_.ShowBox(on);
  picture_.DirtyAll();
  Refresh();
}

int BoardController::CursorId() const {
  if (branch_input_) return 1001;
  return record_editing_ || joseki_editing_ ? 1000 : 0;
}

// --- picture --------------------------------------------------------------------------------------

int BoardController::LabelIndex() const {
  const bool problem = kind_ == BoardKind::kTsume || (kind_ == BoardKind::kSetup && tsume_labels_);
  if (problem) return board_.reversed() ? kLabelDefender : kLabelAttacker;
  return board_.reversed() ? kLabelGote : kLabelSente;
}

void BoardController::ShowImages() {
  const BoardImages* images = board_.images();
  if (!images) return;
  picture_.SetBackground(&images->backgrounds, board_.reversed() ? 1 : 0);
  picture_.SetBoxImage(images->box.empty() ? nullptr : &images->box);
  const int label = LabelIndex();
  host_.PrepareLabel(label);
  picture_.SetLabel(images->labels[label].empty() ? nullptr : &images->labels[label]);
}

void BoardController::Attach() {
  picture_.RemoveAllSprites();
  ShowImages();
  picture_.ShowBox(free_placement_);
  board_.ShowBoxPieces(free_placement_);
  board_.SyncSprites();
  for (int i = 0; i < kPieceCount; ++i) picture_.AddSprite(&board_.sprite(i));
  picture_.DirtyAll();
  host_.Redraw();
}

void BoardController::Refresh() {
  board_.SyncSprites(HeldMask());
  host_.Redraw();
}

void BoardController::Flip() {
  while (holding()) PutBackLast();
  board_.SetReversed(!board_.reversed());
  host_.ReversedChanged(board_.reversed());
  picture_.DropDirty();
  ShowImages();
  board_.SyncSprites();
  picture_.DirtyAll();
  host_.Redraw();
}

void BoardController::SetTsumeLabels(bool on) {
  tsume_labels_ = on;
  ShowImages();
  host_.Redraw();
}

// --- mouse and keys -------------------------------------------------------------------------------

std::bitset<kPieceCount> BoardController::HeldMask() const {
  std::bitset<kPieceCount> mask;
  for (const Held& h : held_) mask.set(h.piece);
  return mask;
}

int BoardController::HitSprite(int x, int y) const {
  const std::bitset<kPieceCount> held = HeldMask();
  for (Sprite* s : picture_.sprites()) {
    const int index = board_.SpriteIndex(s);
    if (index < 0 || held.test(index)) continue;
    if (SpriteHit(*s, x, y)) return index;
  }
  return -1;
}

bool BoardController::CanPromoteFace(int piece) const {
  const int kind = board_.KindOf(piece);
  return kind != OU && kind != KI;
}

bool BoardController::InPromotionZone(Side side, Location location) const {
  if (!location.IsSquare()) return false;
  const int rank = location.square().rank();
  return side == kSente ? rank <= 3 : rank >= 7;
}

void BoardController::Message(const char* utf8) { host_.messages().Show(platform::Utf8ToCp932(utf8)); }

bool BoardController::AskYesNo(const char* utf8) {
  return host_.messages().Ask(platform::Utf8ToCp932(utf8), platform::Buttons::kYesNo) == platform::Answer::kYes;
}

void BoardController::ShowHeld(const Held& h) {
  // A held piece shows the face and side it will be put down with, upright for its owner.
  const Dib8* image = board_.ImageFor(BoardIndex(kFirstSquare), h.side, board_.KindOf(h.piece), h.face);
  board_.sprite(h.piece).SetImage(image);
}

void BoardController::PickUp(int piece, int x, int y) {
  PieceSprite& clicked = board_.sprite(piece);
  const int dx = x - clicked.x(), dy = y - clicked.y();
  const Piece& p = board_.piece(piece);
  if (!free_placement_ && !p.on_board()) {
    // A drop uses the piece the record would use: the last of its kind on that stand.
    const int last = board_.LastPieceOfKind(p.location(), p.kind());
    if (last >= 0) piece = last;
  }
  for (const Held& h : held_) board_.sprite(h.piece).SetDepth(kEarlierHeldDepth);
  const Piece& taken = board_.piece(piece);
  held_.push_back({piece, dx, dy, taken.side(), taken.promoted(), taken.location()});
  PieceSprite& s = board_.sprite(piece);
  s.SetDepth(kHeldDepth);
  s.SetPlace(x - dx, y - dy);
  if (held_.size() == 1) host_.CaptureMouse(true);
  host_.Redraw();
}

void BoardController::ReleaseIfEmpty() {
  if (held_.empty()) {
    host_.CaptureMouse(false);
  } else {
    board_.sprite(held_.back().piece).SetDepth(kHeldDepth);
  }
}

void BoardController::PutBackLast() {
  if (held_.empty()) return;
  held_.pop_back();
  ReleaseIfEmpty();
  Refresh();
}

void BoardController::LeftDown(int x, int y) {
  press_x_ = x;
  press_y_ = y;
  press_picked_ = false;
  if (busy_ || !record_editing_) return;
  if (held_.empty() || free_placement_) {
    // While the joseki browser and a search dialog are open, both follow this board: it stays as it is.
    if (held_.empty() && host_.PiecesLocked()) return;
    const int piece = HitSprite(x, y);
    if (piece >= 0) {
      PickUp(piece, x, y);
      press_picked_ = true;
      return;
    }
    if (held_.empty()) return;
  }
  Drop(x, y);
}

void BoardController::LeftUp(int x, int y) {
  if (!press_picked_ || held_.empty()) return;
  press_picked_ = false;
  if (std::abs(x - press_x_) + std::abs(y - press_y_) < 6) return;
  const PicturePlace from = HitPlace(press_x_, press_y_, free_placement_);
  const PicturePlace to = HitPlace(x, y, free_placement_);
  if (from.area == to.area && from.file == to.file && from.rank == to.rank) return;
  Drop(x, y);
}

void BoardController::MouseMove(int x, int y) {
  if (held_.empty()) return;
  for (const Held& h : held_) board_.sprite(h.piece).SetPlace(x - h.dx, y - h.dy);
  host_.Redraw();
}

void BoardController::Drop(int x, int y) {
  const Held h = held_.back();
  const std::optional<Location> to = LocationOfPlace(HitPlace(x, y, free_placement_), board_.reversed());
  if (!to) {
    PutBackLast();
  } else if (free_placement_) {
    FreePlace(h, *to);
  } else {
    DropOnBoardMove(h, *to);
  }
}

void BoardController::FreePlace(const Held& h, Location to) {
  const Piece& piece = board_.piece(h.piece);
  if (to == piece.location() && h.side == piece.side() && h.face == piece.promoted()) {
    PutBackLast();
    return;
  }
  held_.pop_back();
  const bool square = to.IsSquare();
  const bool face = square && CanPromoteFace(h.piece) && h.face;
  // A piece put on an occupied square takes the piece there into its owner's hand.
  if (square) {
    const int there = board_.cell(to.square());
    if (there < kPieceCount && there != h.piece) {
      board_.PlaceQuietly(there, Location::Hand(h.side), Promotion::kDemote, h.side);
    }
  }
  // A hand or the box gives the piece its side itself.
  board_.PlaceQuietly(h.piece, to, PromotionTo(face), h.side);
  EditedPosition();
  ReleaseIfEmpty();
  Refresh();
}

void BoardController::EditedPosition() {
  // The set-up is the start of an empty record.
  board_.BeginRecord();
  host_.SetModified();
}

void BoardController::DropOnBoardMove(const Held& h, Location to) {
  Piece& piece = board_.piece(h.piece);
  if (to == piece.location()) {
    PutBackLast();
    return;
  }
  bool face = h.face;
  MoveWord w = board_.BuildMoveWord(piece, to, PromotionTo(face), piece.side());
  int code = ValidateMove(board_, w);
  if (code == kMustPromote) {
    face = true;
    w = board_.BuildMoveWord(piece, to, PromotionTo(face), piece.side());
    code = ValidateMove(board_, w);
  }
  if (code == kLegal && !w.IsDrop() && !face && CanPromoteFace(h.piece) &&
      (InPromotionZone(piece.side(), piece.location()) || InPromotionZone(piece.side(), to))) {
    host_.CaptureMouse(false);
    if (AskYesNo("成りますか？")) face = true;
    host_.CaptureMouse(true);
    w = board_.BuildMoveWord(piece, to, PromotionTo(face), piece.side());
    code = ValidateMove(board_, w);
  }
  if (code != kLegal) {
    host_.messages().Show(ValidationMessage(code));
    PutBackLast();
    return;
  }
  // Commit: branch input keeps what follows (the move becomes another branch); otherwise everything
  // after the current position goes.
  MoveNode* at = board_.current();
  if (branch_input_) {
    SetBranchInput(false);
  } else {
    while (at->child) board_.DeleteBranch(at->child);
  }
  held_.pop_back();
  ReleaseIfEmpty();
  const rules::BoardForm before = joseki_editing_ ? board_.CurrentBoardForm() : rules::BoardForm{};
  piece.MoveTo(to, PromotionTo(face), piece.side());
  if (board_.current() == at) {  // no node for the move (the pool has said so)
    Refresh();
    return;
  }
  host_.SetModified();
  Refresh();
  host_.CloseAnnotation();
  host_.RecordChanged();
  host_.CurrentMoveChanged();
  host_.RedrawHeader();
  host_.PlayPieceSound();
  if (joseki_editing_) host_.JosekiMoveEntered(before, w);
  host_.JosekiRefresh();
}

void BoardController::RightDown(int x, int y) {
  if (busy_) return;
  if (holding()) {
    PutBackLast();
    return;
  }
  if (!free_placement_ || !record_editing_) return;
  const int index = HitSprite(x, y);
  if (index < 0 || !board_.piece(index).on_board() || !CanPromoteFace(index)) return;
  const Piece& p = board_.piece(index);
  board_.PlaceQuietly(index, p.location(), PromotionTo(!p.promoted()), p.side());
  EditedPosition();
  Refresh();
}

void BoardController::RightDoubleClick(int x, int y) {
  if (busy_) return;
  if (holding()) {
    while (holding()) PutBackLast();
    return;
  }
  if (!free_placement_ || !record_editing_) return;
  const int index = HitSprite(x, y);
  if (index < 0 || !board_.piece(index).on_board()) return;
  const Piece& p = board_.piece(index);
  const bool face = CanPromoteFace(index) && !p.promoted();
  board_.PlaceQuietly(index, p.location(), PromotionTo(face), Opponent(p.side()));
  EditedPosition();
  Refresh();
}

void BoardController::LeftDoubleClick(int x, int y) {
  if (busy_ || !free_placement_ || !record_editing_ || !holding()) return;
  const std::optional<Location> to = LocationOfPlace(HitPlace(x, y, true), board_.reversed());
  if (!to) return;
  while (holding()) {
    const Held h = held_.back();
    if (*to == h.from) {
      PutBackLast();
    } else {
      FreePlace(h, *to);
    }
  }
}

bool BoardController::KeyPress(Key key, bool shift) {
  switch (key) {
    case Key::kRight:
    case Key::kDown:
      Execute(cmd::kForward);
      return true;
    case Key::kLeft:
    case Key::kUp:
      Execute(cmd::kBack);
      return true;
    case Key::kEnd:
      Execute(cmd::kLast);
      return true;
    case Key::kHome:
      Execute(cmd::kFirst);
      return true;
    case Key::kPageDown:
      Execute(cmd::kAutoForward);
      return true;
    case Key::kPageUp:
      Execute(cmd::kAutoBack);
      return true;
    case Key::kDelete:
    case Key::kBackspace:
      Execute(cmd::kStop);
      return true;
    case Key::kSpace: {
      if (!holding()) return false;
      Held& h = held_.back();
      if (shift) {
        if (!free_placement_) return true;  // a move never changes the owner of the piece it moves
        h.side = Opponent(h.side);
      } else if (CanPromoteFace(h.piece)) {
        h.face = !h.face;
      }
      ShowHeld(h);
      host_.Redraw();
      return true;
    }
    case Key::kTab:
      return false;
  }
  return false;
}

// --- playback -------------------------------------------------------------------------------------

void BoardController::AnnotationWhenDue() {
  const MoveNode* now = board_.current();
  if (auto_annotation_ && now != board_.root() && now->note && !now->note->lines.empty()) host_.OpenAnnotation();
}

void BoardController::AfterPlayback(bool sound) {
  Refresh();
  host_.CurrentMoveChanged();
  host_.RedrawHeader();
  if (sound) host_.PlayPieceSound();
  host_.JosekiRefresh();
  AnnotationWhenDue();
  host_.TakeFocus();
}

bool BoardController::StepForward() {
  if (busy_ || !CanStepForward()) return false;
  while (holding()) PutBackLast();
  host_.CloseAnnotation();
  if (!board_.StepForward()) return false;
  AfterPlayback(true);
  return true;
}

bool BoardController::StepBack() {
  if (busy_ || !CanStepBack()) return false;
  while (holding()) PutBackLast();
  host_.CloseAnnotation();
  if (board_.StepBack() < 0) return false;
  AfterPlayback(false);
  return true;
}

void BoardController::GoFirst() {
  if (busy_) return;
  while (holding()) PutBackLast();
  host_.CloseAnnotation();
  board_.GoToStart();
  Refresh();
  host_.CurrentMoveChanged();
  host_.RedrawHeader();
  host_.JosekiRefresh();
}

void BoardController::GoLast() {
  if (busy_) return;
  while (holding()) PutBackLast();
  host_.CloseAnnotation();
  board_.GoToEnd();
  Refresh();
  host_.CurrentMoveChanged();
  host_.RedrawHeader();
  host_.JosekiRefresh();
}

bool BoardController::StartAutoPlay(int direction) {
  const bool possible = direction == kForwardTimer ? CanStepForward() : CanStepBack();
  if (busy_ || !possible) return false;
  if (auto_direction_ && auto_direction_ != direction) host_.StopTimer(auto_direction_);
  while (holding()) PutBackLast();
  auto_direction_ = direction;
  slider_used_ = host_.SliderPosition(direction);
  first_tick_ = true;
  stop_requested_ = false;
  host_.StartTimer(direction, kFirstTickMs);
  return true;
}

void BoardController::EndAutoPlay() {
  host_.StopTimer(auto_direction_);
  auto_direction_ = 0;
  stop_requested_ = false;
  host_.JosekiRefresh();
}

void BoardController::RestartIfDue(int direction) {
  const int position = host_.SliderPosition(direction);
  if (!first_tick_ && position == slider_used_) return;
  const int* table = direction == kForwardTimer ? kForwardSpeeds : kBackwardSpeeds;
  host_.StartTimer(direction, table[SpeedIndex(position)]);
  slider_used_ = position;
  first_tick_ = false;
}

void BoardController::TimerTick(int id) {
  if (id != auto_direction_) {
    host_.StopTimer(id);
    return;
  }
  if (stop_requested_ || busy_) {
    EndAutoPlay();
    return;
  }
  bool stop = false;
  if (id == kForwardTimer) {
    if (!CanStepForward()) {
      EndAutoPlay();
      return;
    }
    if (host_.AnnotationOpen()) return;  // playback waits while an annotation is read
    board_.StepForward();
    Refresh();
    host_.PlayPieceSound();
    stop = !CanStepForward();
    if (!stop) RestartIfDue(id);
    const MoveNode* now = board_.current();
    if (auto_annotation_ && now->note && !now->note->lines.empty()) {
      host_.StopTimer(id);
      host_.JosekiRefresh();
      host_.OpenAnnotation();
      if (!stop) {
        host_.StartTimer(id, kFirstTickMs);
        first_tick_ = true;
      }
      host_.TakeFocus();
    }
  } else {
    if (!CanStepBack()) {
      EndAutoPlay();
      return;
    }
    if (host_.AnnotationOpen()) {
      host_.CloseAnnotation();
      return;
    }
    board_.StepBack();
    Refresh();
    stop = !CanStepBack();
    if (!stop) RestartIfDue(id);
  }
  host_.CurrentMoveChanged();
  host_.RedrawHeader();
  if (stop) EndAutoPlay();
}

// --- set-up ---------------------------------------------------------------------------------------

void BoardController::ApplyLayout(int command) {
  while (holding()) PutBackLast();
  if (command == cmd::kLayoutTsume) {
    TsumeLayout();
  } else {
    for (const Layout& l : kLayouts) {
      if (l.command != command) continue;
      board_.SetUp(l.code);
      board_.SetSideToMove(l.side);
    }
  }
  host_.SetModified();
  board_.MarkStale();
  Refresh();
}

void BoardController::TsumeLayout() {
  // One king on the middle of the top edge, the other in the box, every other piece on the stand of the
  // side at the top; the side at the bottom attacks and moves first.
  const Side top = board_.reversed() ? kSente : kGote;
  const auto top_code = static_cast<uint8_t>(SideIndex(top));  // its hand, and the owner, in the form
  BoardForm::Expanded entries;
  for (int i = 0; i < kPieceCount; ++i) entries[i] = {top_code, top_code, 0};
  entries[0] = {static_cast<uint8_t>(board_.reversed() ? 59 : 51), top_code, 0};
  entries[1] = {BoardForm::kBoxLocation, 0, 0};
  BoardForm form;
  form.Encode(entries);
  board_.ApplyBoardForm(form);
  board_.SetSideToMove(Opponent(top));
  board_.BeginRecord();
  board_.MarkStale();
}

bool BoardController::SetSideCommand(Side side) {
  if (board_.side_to_move() == side) return false;
  board_.SetSideToMove(side);
  host_.SetModified();
  return true;
}

bool BoardController::ReceiveSetup(const std::function<bool(bool* reversed)>& read) {
  host_.CloseAnnotation();
  if (board_.root()->child && !AskYesNo("このバッファの指し手は全て破棄されます。よろしいですか？")) return false;
  return ReplaceRecord(read);
}

bool BoardController::ReplaceRecord(const std::function<bool(bool* reversed)>& read) {
  host_.CloseAnnotation();
  while (holding()) PutBackLast();
  const bool shown_reversed = board_.reversed();
  bool reversed = shown_reversed;
  if (!read(&reversed)) return false;
  board_.SetReversed(shown_reversed);
  if (reversed != shown_reversed) Flip();
  const Side side = board_.side_to_move();
  host_.SetModified();
  if ((record_editing_ || joseki_editing_) && side == kSideUnset) {
    Message("手番未設定の為、棋譜の編集は終了します。");
    joseki_editing_ = false;
    SetRecordEditing(false);
  }
  board_.MarkStale();
  picture_.DirtyAll();
  Refresh();
  host_.RedrawHeader();
  host_.JosekiRefresh();
  host_.RecordChanged();
  return true;
}

// --- commands -------------------------------------------------------------------------------------

CommandState BoardController::Query(int id) const {
  CommandState s;
  s.handled = true;
  // Busy first: while the solver's worker owns the board, the position is not read here.
  const auto side_set = [this] { return board_.side_to_move() != kSideUnset; };
  switch (id) {
    case cmd::kRecordEditing:
      s.enabled = !busy_ && side_set() && !joseki_editing_;
      s.text = record_editing_ ? "棋譜編集終了(&K)" : "棋譜編集開始(&K)";
      break;
    case cmd::kEditAtEnd:
      s.enabled = !busy_ && side_set() && !joseki_editing_;
      break;
    case cmd::kJosekiEditing:
      s.enabled = joseki_editing_ || (!busy_ && side_set() && !record_editing_);
      s.text = joseki_editing_ ? "定跡編集終了(&J)" : "定跡編集開始(&J)";
      break;
    case cmd::kJosekiDefaults:  // the dialog is the view's
      s.enabled = !busy_ && kind_ != BoardKind::kSetup;
      break;
    case cmd::kBranchInput:
      s.enabled = !busy_ && (branch_input_ || (record_editing_ && !free_placement_));
      s.checked = branch_input_;
      s.text = branch_input_ ? "分岐入力終了(&E)\tCtrl+E" : "分岐入力開始(&E)\tCtrl+E";
      break;
    case cmd::kForward:
    case cmd::kLast:
    case cmd::kAutoForward:
      s.enabled = !busy_ && CanStepForward();
      break;
    case cmd::kBack:
    case cmd::kFirst:
    case cmd::kAutoBack:
      s.enabled = !busy_ && CanStepBack();
      break;
    case cmd::kStop:
      s.enabled = auto_direction_ != 0;
      break;
    case cmd::kAutoAnnotation:
      s.enabled = true;
      s.checked = auto_annotation_;
      break;
    case cmd::kFlip:
      s.enabled = !busy_;
      break;
    case cmd::kSideSente:
    case cmd::kSideGote:
    case cmd::kSideUnset:
      s.enabled = kind_ == BoardKind::kSetup;
      s.checked = s.enabled && board_.side_to_move() == SideOfCommand(id);
      break;
    default:
      if (kind_ == BoardKind::kSetup && (id == cmd::kLayoutTsume || (id >= cmd::kLayoutEven && id <= cmd::kLayoutBox) ||
                                         id == cmd::kLayoutRookLance || id == cmd::kLayoutBishopLance)) {
        s.enabled = true;
        break;
      }
      s.handled = false;
  }
  return s;
}

bool BoardController::Execute(int id) {
  CommandState s = Query(id);
  if (!s.handled || !s.enabled) return false;
  switch (id) {
    case cmd::kRecordEditing:
      SetRecordEditing(!record_editing_);
      return true;
    case cmd::kEditAtEnd:
      if (CanStepForward()) GoLast();
      SetRecordEditing(true);
      return true;
    case cmd::kJosekiEditing:
      if (joseki_editing_) {
        joseki_editing_ = false;
        SetRecordEditing(false);
      } else if (AskYesNo("これからの駒操作は定跡として登録されます。\r\nよろしいですか？")) {
        joseki_editing_ = true;
        SetRecordEditing(true);
      }
      return true;
    case cmd::kBranchInput:
      SetBranchInput(!branch_input_);
      return true;
    case cmd::kForward:
      return StepForward();
    case cmd::kBack:
      return StepBack();
    case cmd::kFirst:
      GoFirst();
      return true;
    case cmd::kLast:
      GoLast();
      return true;
    case cmd::kAutoForward:
      return StartAutoPlay(kForwardTimer);
    case cmd::kAutoBack:
      return StartAutoPlay(kBackwardTimer);
    case cmd::kStop:
      StopAutoPlay();
      return true;
    case cmd::kAutoAnnotation:
      auto_annotation_ = !auto_annotation_;
      return true;
    case cmd::kFlip:
      Flip();
      return true;
    case cmd::kSideSente:
    case cmd::kSideGote:
    case cmd::kSideUnset:
      SetSideCommand(SideOfCommand(id));
      return true;
    default:
      ApplyLayout(id);
      return true;
  }
}

}  // namespace app
