// The header dialogs' fields without the dialog, and the texts of the header and guide panes.
#include "app/core/header_form.h"

#include <gtest/gtest.h>

#include "app/core/header_panes.h"
#include "platform/text_codec.h"
#include "record/archive.h"
#include "record/plain_board.h"
#include "record/record_document.h"

namespace app {
namespace {

using platform::Cp932ToUtf8;
using platform::Utf8ToCp932;
using record::GameHeader;
using record::ProblemHeader;

int GameIndex(const char* label) {
  const auto& fields = GameFormFields();
  for (size_t i = 0; i < fields.size(); ++i) {
    if (std::string(fields[i].label) == label) return static_cast<int>(i);
  }
  ADD_FAILURE() << label;
  return 0;
}

TEST(HeaderForm, GameValuesRoundTripWithDisplayFormsAndTheShortTitle) {
  GameHeader h;
  h.SetPlayersText(Utf8ToCp932("羽生善治-森内俊之"));
  h.SetField(GameHeader::kDate, "20261206");
  h.SetField(GameHeader::kTimeLimit, "013000");
  h.SetField(GameHeader::kEvent, Utf8ToCp932("名人戦"));
  h.SetAnnotation(Utf8ToCp932("一行目\r\n\r\n三行目\r\n"));
  FormValues v = GameFormValues(h);
  EXPECT_EQ(v[0], "羽生善治");
  EXPECT_EQ(v[GameIndex("対局日")], "2026/12/06");
  EXPECT_EQ(v[GameIndex("持時間")], "01:30:00");
  EXPECT_EQ(v[GameIndex("対局注釈")], "一行目\n\n三行目");
  EXPECT_EQ(FirstBadGameValue(v), -1);

  v[GameIndex("対局日")] = "20270101";  // typed bare, as the field shows it while focused
  v[GameIndex("持時間")] = "";
  v[1] = "";
  GameHeader stored;
  StoreGameValues(v, stored);
  EXPECT_EQ(stored.Field(GameHeader::kDate), "20270101");
  EXPECT_EQ(stored.Field(GameHeader::kTimeLimit), "");
  EXPECT_EQ(Cp932ToUtf8(stored.Players()), "羽生善治-対局者不詳");
  EXPECT_EQ(stored.Annotation(), h.Annotation());

  v[0] = "";
  StoreGameValues(v, stored);
  EXPECT_EQ(Cp932ToUtf8(stored.Players()), "対局者不詳-対局者不詳");
  EXPECT_EQ(GameFormValues(stored)[0], "");  // the placeholder is no name to edit
}

TEST(HeaderForm, ValuesTheHeaderWouldRefuseAreFoundBeforeStoring) {
  FormValues v = GameFormValues(GameHeader());
  EXPECT_EQ(FirstBadGameValue(v), -1);
  v[0] = "１２３４５６７８";  // 16 bytes in a 14-byte name
  EXPECT_EQ(FirstBadGameValue(v), 0);
  v[0] = "ｱｲｳｴｵｶｷｸｹｺｻｼｽｾ";  // half-width kana: 14 bytes
  EXPECT_EQ(FirstBadGameValue(v), -1);
  v[GameIndex("対局日")] = "2026/13/01";
  EXPECT_EQ(FirstBadGameValue(v), GameIndex("対局日"));
  v[GameIndex("対局日")] = "2026年1月1日";  // not a form the field keeps: said, not dropped
  EXPECT_EQ(FirstBadGameValue(v), GameIndex("対局日"));
  v[GameIndex("対局日")] = "";
  v[GameIndex("手数")] = "12a";
  EXPECT_EQ(FirstBadGameValue(v), GameIndex("手数"));
}

TEST(HeaderForm, ProblemValuesKeepTheDiagramIdAndTheWidths) {
  ProblemHeader h;
  h.SetProblemPosition("12345678");
  h.SetField(ProblemHeader::kTitle, Utf8ToCp932("頭金"));
  FormValues v = ProblemFormValues(h);
  EXPECT_EQ(v[0], "頭金");
  EXPECT_EQ(v[5], "12345678");
  v[1] = "看寿";
  v[5] = "99999999";  // shown only: the database sets it
  ProblemHeader stored;
  stored.SetProblemPosition("12345678");
  StoreProblemValues(v, stored);
  EXPECT_EQ(Cp932ToUtf8(stored.Field(ProblemHeader::kAuthor)), "看寿");
  EXPECT_EQ(stored.ProblemPosition(), "12345678");
  v[0] = std::string(26, 'x');
  EXPECT_EQ(FirstBadProblemValue(v), -1);
  v[0] = std::string(51, 'x');
  EXPECT_EQ(FirstBadProblemValue(v), 0);
}

TEST(HeaderForm, OpeningTypesAreRememberedOnlyWhenNew) {
  EXPECT_EQ(StandardOpeningTypes().size(), 43u);
  EXPECT_FALSE(IsNewOpeningType("相矢倉", {}));
  EXPECT_FALSE(IsNewOpeningType("", {}));
  EXPECT_TRUE(IsNewOpeningType("雁木", {}));
  EXPECT_FALSE(IsNewOpeningType("雁木", {"雁木"}));
}

TEST(HeaderPanes, GuideFollowsTheRecord) {
  record::PlainBoard board;
  EXPECT_EQ(GuideLines(board, true), (std::vector<std::string>{"手  番: 先  手", "指し手: 初手", "まで"}));
  EXPECT_EQ(GuideLines(board, false)[0], "手  番: 攻  方");
  record::GameDocument doc(board);
  record::Archive text = record::Archive::FromText("PI\r\n+\r\n+5958OU\r\n");
  ASSERT_TRUE(doc.Serialize(text).ok());
  board.GoToStart();
  board.StepForward();
  const std::vector<std::string> lines = GuideLines(board, true);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "手  番: 後  手");
  EXPECT_EQ(lines[1], "指し手:   1 手目");
  EXPECT_NE(lines[2].find("５八玉"), std::string::npos) << lines[2];
  EXPECT_EQ(lines[3], "まで");
}

TEST(HeaderPanes, HeaderLinesPutLongValuesOnLinesOfTheirOwn) {
  GameHeader h;
  h.SetField(GameHeader::kEvent, Utf8ToCp932("名人戦"));
  h.SetField(GameHeader::kDate, "20261206");
  const std::vector<std::string> lines = GameHeaderLines(h);
  EXPECT_EQ(lines[0], "先手: 対局者不詳");
  EXPECT_EQ(lines[2], "対局日: 2026/12/06");
  EXPECT_EQ(lines[3], "棋戦名:");
  EXPECT_EQ(lines[4], " 名人戦");
  ProblemHeader p;
  p.SetProblemPosition("00112233");
  EXPECT_EQ(ProblemHeaderLines(p)[7], "出題図: 00112233");
  EXPECT_EQ(ProblemHeaderLines(p).back(), "詰将番号: ");
}

}  // namespace
}  // namespace app
