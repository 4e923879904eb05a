// Boards without display: they own plain pieces, a board and the three boxes. CLBase serves conversions
// and database work, CJBase the joseki database and the temporary copies of the text outputs, CSBaseDbb
// the database dialogs.
#pragma once
#include "record/cmbase.h"

// The physical parts of a board without display.
struct PlainParts {
  PIECE pieces[kPieceCount];
  BOARD board;
  HBOX boxes[3];
};

class CLBase : public CMBase {
 public:
  // Pool sizes of a temporary copy of a record.
  static constexpr PoolSizes kCopyPool{10, 200, 150000};

  explicit CLBase(PoolSizes sizes = {}, platform::MessageSink* messages = nullptr);
  const char* ClassName() const override { return "CLBase"; }

 private:
  PlainParts parts_;
};

class CJBase : public CLBase {
 public:
  using CLBase::CLBase;
  const char* ClassName() const override { return "CJBase"; }
};

class CSBaseDbb : public CJBase {
 public:
  using CJBase::CJBase;
  const char* ClassName() const override { return "CSBaseDbb"; }
};
