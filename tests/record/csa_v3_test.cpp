// CSA 3.0 files, written by hand after the standard's public description: the encoding line in UTF-8
// and Shift_JIS, the version line, the header keys 3.0 adds, "'*" comments, time lines with fractions
// and %MAX_MOVES; what the reader refuses, it says with the line.
#include <gtest/gtest.h>

#include "platform/message_sink.h"
#include "platform/text_codec.h"
#include "record/record_file.h"
#include "rules/notation.h"
#include "tests/record/record_test_util.h"

using namespace record;

namespace {

// CP932 (the test's own literals), one line each.
std::string V3Game(std::string_view encoding_line) {
  return Crlf({encoding_line, "V3.0", "N+先手の人", "N-後手の人", "$EVENT:三・〇棋戦", "$START_TIME:2024/05/14 10:00:00",
               "$TIME:900+30+0", "$TIME+:450+0+5", "$MAX_MOVES:256", "$JISHOGI:27", "$NOTE:一行目\\n二行目",
               "PI", "+", "+7776FU", "T12.345", "'* 角道を開ける", "-3334FU", "T0.5", "'** 30 +2726FU", "%MAX_MOVES"});
}

std::string MainLine(const rules::Position& board) {
  std::string line;
  for (const rules::MoveNode* n = board.root()->child; n; n = n->child) line += rules::CsaMoveText(n->move) + " ";
  return line;
}

void ExpectV3GameRead(RecordFile& file, const RecordFileResult& r) {
  ASSERT_TRUE(r.opened);
  EXPECT_TRUE(r.complete) << r.problem;
  const GameHeader& h = file.game().header();
  EXPECT_EQ(h.Field(GameHeader::kEvent), "三・〇棋戦");
  EXPECT_EQ(h.Field(GameHeader::kDate), "20240514");
  EXPECT_EQ(h.Field(GameHeader::kTimeLimit), "001500");
  EXPECT_EQ(h.Field(GameHeader::kByoyomi), "30");
  EXPECT_EQ(h.Field(GameHeader::kResult), "引分");
  EXPECT_EQ(h.SenteName(), "先手の人");
  // The keys without a field of their own stay as annotation lines; $NOTE gives its lines.
  EXPECT_EQ(h.Annotation(), "TIME+:450+0+5\r\nMAX_MOVES:256\r\nJISHOGI:27\r\n一行目\r\n二行目\r\n");
  EXPECT_EQ(MainLine(file.board()), "+7776FU -3334FU ");
  const rules::MoveNode* first = file.board().root()->child;
  ASSERT_TRUE(first->note);
  EXPECT_EQ(first->note->lines, std::vector<std::string>{" 角道を開ける"});
  ASSERT_TRUE(first->child->note);
  EXPECT_EQ(first->child->note->lines, std::vector<std::string>{"* 30 +2726FU"});
}

TEST(CsaV3, Utf8AndShiftJisFilesReadAlike) {
  platform::RecordingMessageSink messages;
  {
    RecordFile file(&messages);
    const std::string utf8 = platform::Cp932ToUtf8(V3Game("'CSA encoding=UTF-8"));
    ExpectV3GameRead(file, file.LoadText(utf8, RecordFileKind::kCsa, "v3.csa"));
  }
  {
    RecordFile file(&messages);
    ExpectV3GameRead(file, file.LoadText(V3Game("'CSA encoding=SHIFT_JIS"), RecordFileKind::kCsa, "v3.csa"));
  }
  EXPECT_TRUE(messages.messages.empty());
}

TEST(CsaV3, DeclaredEncodingWinsOverTheGuess) {
  // Declared UTF-8 but all ASCII save one name: read as UTF-8 even where a guess could not tell.
  RecordFile file;
  const std::string text = "'CSA encoding=utf-8\r\nV3.0\r\nN+" + platform::Cp932ToUtf8("羽生") + "\r\nPI\r\n+\r\n";
  ASSERT_TRUE(file.LoadText(text, RecordFileKind::kCsa).opened);
  EXPECT_EQ(file.game().header().SenteName(), "羽生");
}

TEST(CsaV3, WhatTheReaderCannotTakeIsNamed) {
  platform::RecordingMessageSink messages;
  RecordFile file(&messages);
  RecordFileResult r =
      file.LoadText(Crlf({"'CSA encoding=EUC-JP", "V3.0", "PI", "+", "+7776FU"}), RecordFileKind::kCsa);
  EXPECT_FALSE(r.complete);
  EXPECT_EQ(MainLine(file.board()), "+7776FU ");  // a game still reads its moves
  r = file.LoadText(Crlf({"V4.0", "PI", "+"}), RecordFileKind::kCsa);
  EXPECT_FALSE(r.complete);
  r = file.LoadText(Crlf({"'CSA encoding=UTF-8", "V3.0", "PI", "+", "+7776FU", "%TORYO"}), RecordFileKind::kCsa);
  EXPECT_TRUE(r.complete);
  EXPECT_EQ(messages.messages,
            (std::vector<std::string>{"対応していない文字コードです。('CSA encoding=EUC-JP)",
                                      "対応していないバージョンです。(V4.0)"}));
  // A problem file refuses the same way, and loads nothing.
  r = file.LoadText(Crlf({"V9.0", "P1 *  *  *  * -OU *  *  *  * ", "P+00KI", "P-00AL", "+"}), RecordFileKind::kPcl);
  EXPECT_FALSE(r.complete);
}

}  // namespace
