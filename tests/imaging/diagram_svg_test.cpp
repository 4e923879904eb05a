// The SVG board diagram: what it draws for a known position, its size, and the user's texts escaped.
#include <gtest/gtest.h>

#include "platform/text_codec.h"
#include "record/diagram_svg.h"
#include "record/document_diagram.h"
#include "tests/record/record_test_util.h"

using namespace record;

namespace {

int Count(const std::string& text, const std::string& what) {
  int n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++n;
  return n;
}

std::string Utf8(std::string_view cp932) { return platform::Cp932ToUtf8(cp932); }

// The text of the group with this class attribute ("<g class=\"hand sente\" ...> ... </g>").
std::string Group(const std::string& svg, const std::string& css_class) {
  const size_t from = svg.find("<g class=\"" + css_class + "\"");
  return from == std::string::npos ? "" : svg.substr(from, svg.find("</g>", from) - from);
}

// The characters of a group's <text> elements, joined.
std::string Texts(const std::string& group) {
  std::string out;
  for (size_t at = group.find("<text"); at != std::string::npos; at = group.find("<text", at + 1)) {
    const size_t open = group.find('>', at) + 1;
    out += group.substr(open, group.find("</text>", open) - open);
  }
  return out;
}

class Diagram : public testing::Test {
 protected:
  void SetUp() override {
    // Bishops exchanged: each side holds one, gote's silver stands on 2二 after the last move.
    for (const char* move : {"+7776FU", "-3334FU", "+8822UM", "-3122GI"}) PlayCsa(board, move);
  }
  PlainBoard board;
  GameDocument doc{board};
};

TEST_F(Diagram, DrawsGridPiecesHandsAndLastMove) {
  std::string sente = "羽生", gote = "谷川";
  doc.header().SetPlayers(&sente, &gote);
  const std::string svg = DiagramSvg(board, DocumentDiagramOptions(doc, board, true, true));
  EXPECT_EQ(Count(Group(svg, "grid"), "<line"), 20);  // ten lines each way frame the 81 cells
  EXPECT_EQ(Count(svg, "<circle"), 4);
  EXPECT_EQ(Count(svg, "class=\"piece sente\""), 19);
  EXPECT_EQ(Count(svg, "class=\"piece gote\" transform=\"rotate(180"), 19);
  EXPECT_EQ(Count(Texts(Group(svg, "pieces")), Utf8("歩")), 18);
  EXPECT_EQ(Texts(Group(svg, "hand sente")), Utf8("▲先手羽生持駒角"));
  EXPECT_EQ(Texts(Group(svg, "hand gote")), Utf8("△後手谷川持駒角"));
  EXPECT_EQ(Texts(Group(svg, "coordinates")), Utf8("９８７６５４３２１一二三四五六七八九"));
  // 2二 is the eighth column and the second row of cells.
  EXPECT_NE(svg.find("<rect class=\"last-move\" x=\"336\" y=\"80\""), std::string::npos) << svg;
  EXPECT_EQ(svg.find("<rect class=\"last-move\""), svg.rfind("<rect class=\"last-move\""));
}

TEST_F(Diagram, OptionsLeaveOutNamesAndTint) {
  std::string sente = "羽生", gote = "谷川";
  doc.header().SetPlayers(&sente, &gote);
  const std::string svg = DiagramSvg(board, DocumentDiagramOptions(doc, board, false, false));
  EXPECT_EQ(svg.find("last-move"), std::string::npos);
  EXPECT_EQ(svg.find(Utf8("羽生")), std::string::npos);
  board.GoToStart();
  EXPECT_EQ(LastMoveSquare(board), 0);
  const std::string start = DiagramSvg(board, DocumentDiagramOptions(doc, board, false, true));
  EXPECT_EQ(start.find("last-move"), std::string::npos);
  EXPECT_EQ(Texts(Group(start, "hand gote")), Utf8("△後手持駒なし"));
}

TEST_F(Diagram, SizeScalesTheWholePicture) {
  DiagramOptions options;
  options.width = 400;
  const std::string plain = DiagramSvg(board, options);
  EXPECT_NE(plain.find("width=\"400\" height=\"" + std::to_string(DiagramHeight(400, false)) + "\" viewBox=\"0 0 500 "),
            std::string::npos);
  options.caption = "第4手まで";
  const std::string captioned = DiagramSvg(board, options);
  EXPECT_GT(DiagramHeight(400, true), DiagramHeight(400, false));
  EXPECT_NE(captioned.find("height=\"" + std::to_string(DiagramHeight(400, true)) + "\""), std::string::npos);
  EXPECT_NE(captioned.find(Utf8("第4手まで</text>")), std::string::npos);
}

TEST_F(Diagram, UserTextsAreEscaped) {
  DiagramOptions options;
  options.sente_name = "a<&>\"'b";
  options.gote_name = "x\x01y";
  options.caption = "</svg><script>";
  const std::string svg = DiagramSvg(board, options);
  EXPECT_NE(svg.find("&lt;"), std::string::npos);
  EXPECT_EQ(Texts(Group(svg, "hand sente")), Utf8("▲先手a&lt;&amp;&gt;&quot;&apos;b持駒角"));
  EXPECT_EQ(Texts(Group(svg, "hand gote")), Utf8("△後手xy持駒角"));
  EXPECT_EQ(Count(svg, "</svg>"), 1);
  EXPECT_EQ(svg.find("<script"), std::string::npos);
}

}  // namespace
