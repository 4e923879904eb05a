// Header records of games (GameHeader) and tsume problems (ProblemHeader): a table of fields, each a key
// with its colon, the width its database column has and a rule the value must keep, plus one annotation
// text of CRLF lines. The same classes are the records of the game and tsume databases.
//
// A header keeps a text whole, as its file gives it: only a database column, which has a width, cuts it
// (at a character boundary). A value that breaks its field's rule is ignored (the field keeps its old
// value) without a message.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "platform/message_sink.h"

namespace record {

enum class FieldRule {
  kText,
  kDate8,        // yyyymmdd: month 0..12, day 0..31
  kTime6,        // hhmmss: hour 0..23, minute and second 0..59
  kTwoDigits,
  kUpToFourDigits,
  kDateTime14,   // yyyymmddhhmmss
  kSixDigits,
};

struct HeaderFieldSpec {
  const char* key;  // with its trailing colon, e.g. "対局日:"
  int width;        // bytes of the database column
  FieldRule rule;
};

class HeaderFields {
 public:
  HeaderFields(const HeaderFieldSpec* specs, int count);
  virtual ~HeaderFields() = default;

  int FieldCount() const { return static_cast<int>(specs_.size()); }
  const HeaderFieldSpec& FieldSpec(int i) const { return specs_[i]; }
  const std::string& Field(int i) const { return values_[i]; }
  // Stores a value when it keeps the field's rule; false when ignored.
  bool SetField(int i, std::string_view value);
  void ClearField(int i) { values_[i].clear(); }
  // The index of the field whose key starts `text`, or -1.
  int FieldWithKeyAt(std::string_view text) const;

  const std::string& Annotation() const { return annotation_; }
  void SetAnnotation(std::string_view text);
  // Appends one line and its CRLF. When memory runs out, "No memory!!" is shown and the text keeps what
  // it had; returns false then.
  bool AppendAnnotationLine(std::string_view line);

  virtual void Clear();
  void SetMessageSink(platform::MessageSink* messages);

  static bool KeepsRule(FieldRule rule, std::string_view value);

 protected:
  platform::MessageSink& messages() const { return *messages_; }

 private:
  std::vector<HeaderFieldSpec> specs_;
  std::vector<std::string> values_;
  std::string annotation_;
  platform::MessageSink* messages_;
};

// The game header: 15 fields, the players and the game annotation (対局注釈).
class GameHeader : public HeaderFields {
 public:
  enum FieldIndex {
    kDate, kSenteRank, kGoteRank, kHandicap, kTimeLimit, kByoyomi, kResult, kMoveCount,
    kSenteTimeLeft, kGoteTimeLeft, kOpening, kEvent, kPlace, kRegistered, kGameNumber,
    kFieldCount
  };
  static constexpr int kPlayersWidth = 28;
  static const char kUnknownPlayer[];  // "対局者不詳"

  GameHeader();
  void Clear() override;

  // "sente-gote", or the sente name alone when gote's is empty; the names as they were given.
  const std::string& Players() const { return players_; }
  std::string SenteName() const;
  std::string GoteName() const;
  // Merges new names (nullptr keeps a side's name) into the players text.
  void SetPlayers(const std::string* sente, const std::string* gote);
  // The players text within kPlayersWidth bytes of names, as the database's column keeps it: two long
  // names are cut to 14 bytes each, a short one leaves the rest to the other; never inside a character.
  std::string ShortPlayers() const;
  // Stores a players text as it stands (database records and readers that keep the joined form).
  void SetPlayersText(std::string_view text) { players_ = std::string(text); }

 private:
  std::string players_;
};

// The tsume header: 7 fields and the problem annotation (詰将棋注釈), plus 出題図, the problem position's
// eight-digit id, which the tsume database sets and the print text shows (it is not part of PCL text).
class ProblemHeader : public HeaderFields {
 public:
  enum FieldIndex { kAuthor, kMateLength, kHint, kDifficulty, kTitle, kRegistered, kProblemNumber, kFieldCount };
  static const char kUnknownAuthor[];  // "作者不詳", the author of a cleared header

  ProblemHeader();
  void Clear() override;

  const std::string& ProblemPosition() const { return problem_position_; }
  void SetProblemPosition(std::string_view id);  // cut to 8 bytes

 private:
  std::string problem_position_;
};

}  // namespace record
