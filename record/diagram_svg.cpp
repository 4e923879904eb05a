#include "record/diagram_svg.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "platform/sjis.h"
#include "platform/text_codec.h"
#include "record/board_diagram.h"
#include "rules/position.h"

using namespace rules;

namespace record {

namespace {

// The drawing in its own units (the viewBox); the caller's width scales it as a whole. Cells are a
// little taller than wide, as printed boards are.
constexpr double kCellW = 40, kCellH = 44;
constexpr double kMargin = 10, kColumn = 34, kGap = 12, kRankColumn = 28, kFileRow = 26, kCaptionRow = 34;
constexpr double kBoardX = kMargin + kColumn + kGap;
constexpr double kBoardY = kMargin + kFileRow;
constexpr double kBoardW = 9 * kCellW, kBoardH = 9 * kCellH;
constexpr double kViewW = kBoardX + kBoardW + kRankColumn + kGap + kColumn + kMargin;
constexpr double kPieceSize = 30, kNumeralSize = 18, kHandSize = 20, kCaptionSize = 18;
// A CJK glyph's middle lies about this many ems above its baseline.
constexpr double kGlyphMiddle = 0.37;

double ViewHeight(bool with_caption) { return kBoardY + kBoardH + (with_caption ? kCaptionRow : 0) + kMargin; }

std::string Num(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f", v);
  std::string s = buf;
  if (s.size() > 2 && s.compare(s.size() - 2, 2, ".0") == 0) s.resize(s.size() - 2);
  return s;
}

// CP932 text made safe inside XML character data and attribute values. Trail bytes of CP932 lie at 0x40
// and above, so the bytes replaced here are always whole characters; control characters XML forbids go.
std::string Escaped(std::string_view cp932) {
  std::string out;
  for (char c : cp932) {
    switch (c) {
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '&': out += "&amp;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default:
        if (static_cast<unsigned char>(c) >= 0x20) out += c;
    }
  }
  return out;
}

std::string Text(double x, double y, std::string_view cp932, std::string_view extra = "") {
  return "<text x=\"" + Num(x) + "\" y=\"" + Num(y) + "\"" + std::string(extra) + ">" + Escaped(cp932) + "</text>\n";
}

std::string Line(double x1, double y1, double x2, double y2, double stroke) {
  return "<line x1=\"" + Num(x1) + "\" y1=\"" + Num(y1) + "\" x2=\"" + Num(x2) + "\" y2=\"" + Num(y2) +
         "\" stroke-width=\"" + Num(stroke) + "\"/>\n";
}

double CellLeft(int file) { return kBoardX + (9 - file) * kCellW; }
double CellTop(int rank) { return kBoardY + (rank - 1) * kCellH; }

std::string Grid() {
  std::string out = "<g class=\"grid\" stroke=\"#000\" stroke-linecap=\"square\">\n";
  for (int i = 0; i <= 9; ++i) {
    const double width = (i == 0 || i == 9) ? 3 : 1;
    out += Line(kBoardX + i * kCellW, kBoardY, kBoardX + i * kCellW, kBoardY + kBoardH, width);
    out += Line(kBoardX, kBoardY + i * kCellH, kBoardX + kBoardW, kBoardY + i * kCellH, width);
  }
  out += "</g>\n<g class=\"stars\" fill=\"#000\">\n";
  for (int i : {3, 6}) {
    for (int j : {3, 6}) {
      out += "<circle cx=\"" + Num(kBoardX + i * kCellW) + "\" cy=\"" + Num(kBoardY + j * kCellH) + "\" r=\"3\"/>\n";
    }
  }
  return out + "</g>\n";
}

std::string Coordinates() {
  static const char* const kFileNumerals[10] = {"", "１", "２", "３", "４", "５", "６", "７", "８", "９"};
  std::string out = "<g class=\"coordinates\" font-size=\"" + Num(kNumeralSize) + "\" text-anchor=\"middle\">\n";
  for (int file = 9; file >= 1; --file) {
    out += Text(CellLeft(file) + kCellW / 2, kBoardY - 8, kFileNumerals[file]);
  }
  for (int rank = 1; rank <= 9; ++rank) {
    out += Text(kBoardX + kBoardW + kRankColumn / 2 + 1, CellTop(rank) + kCellH / 2 + kGlyphMiddle * kNumeralSize,
                kCountNumerals[rank]);
  }
  return out + "</g>\n";
}

std::string Pieces(const Position& position) {
  std::string out = "<g class=\"pieces\" font-size=\"" + Num(kPieceSize) + "\" text-anchor=\"middle\">\n";
  for (int rank = 1; rank <= 9; ++rank) {
    for (int file = 9; file >= 1; --file) {
      const Piece* p = position.PieceAt(BoardIndex::At(file, rank));
      if (!p) continue;
      const double cx = CellLeft(file) + kCellW / 2, cy = CellTop(rank) + kCellH / 2;
      const bool gote = p->side() == kGote;
      const std::string extra = gote ? " class=\"piece gote\" transform=\"rotate(180 " + Num(cx) + " " + Num(cy) + ")\""
                                     : " class=\"piece sente\"";
      out += Text(cx, cy + kGlyphMiddle * kPieceSize, kDiagramPieceNames[p->code() & 15], extra);
    }
  }
  return out + "</g>\n";
}

// A hand column's content: single characters, and empty entries for the small gaps between groups.
using Column = std::vector<std::string>;

void AddCharacters(Column& column, std::string_view cp932) {
  for (size_t i = 0; i < cp932.size();) {
    const size_t n = platform::SjisCharLength(cp932, i);
    if (cp932[i] == ' ') {
      column.emplace_back();  // a blank in a name becomes a small gap
    } else {
      column.emplace_back(cp932.substr(i, n));
    }
    i += n;
  }
}

// In a tsume position (the box holds exactly one king) the defender's hand is written as the rest.
bool HoldsTheRest(const Position& position, Side side) {
  const PieceStore& box = position.store(kPieceBox);
  return side == kGote && box.total() == 1 && box.Count(OU) == 1 && position.store(Location::Hand(kGote)).total() > 0;
}

Column HandColumn(const Position& position, Side side, std::string_view label, std::string_view name) {
  Column column;
  AddCharacters(column, side == kSente ? "▲" : "△");
  AddCharacters(column, label);
  if (!name.empty()) {
    column.emplace_back();
    AddCharacters(column, name);
  }
  column.emplace_back();
  AddCharacters(column, "持駒");
  column.emplace_back();
  if (HoldsTheRest(position, side)) {
    AddCharacters(column, "残り全部");
    return column;
  }
  bool empty = true;
  for (int kind = 0; kind < kKindCount; ++kind) {
    const int n = position.HandCount(side, kind);
    if (n == 0) continue;
    if (!empty) column.emplace_back();
    AddCharacters(column, kDiagramPieceNames[kind]);
    if (n > 1) AddCharacters(column, kCountNumerals[std::min(n, 18)]);
    empty = false;
  }
  if (empty) AddCharacters(column, "なし");
  return column;
}

double Ems(Column::const_iterator from, Column::const_iterator to) {
  double ems = 0;
  for (auto c = from; c != to; ++c) ems += c->empty() ? 0.5 : 1.05;
  return ems;
}

std::string ColumnTexts(Column::const_iterator from, Column::const_iterator to, double center_x, double size) {
  std::string out;
  double y = kBoardY;
  for (auto c = from; c != to; ++c) {
    if (c->empty()) {
      y += 0.5 * size;
      continue;
    }
    out += Text(center_x, y + (0.525 + kGlyphMiddle) * size, *c);
    y += 1.05 * size;
  }
  return out;
}

// The hand written downward from the board's top. What would run past the board's bottom is made smaller;
// what would become too small to read is written in two lines, the second to the left, as vertical text
// goes on.
std::string HandGroup(const Column& column, double center_x, std::string_view css_class) {
  constexpr double kSmallest = 13;
  double size = std::min(kHandSize, kBoardH / std::max(Ems(column.begin(), column.end()), 1.0));
  std::string texts;
  if (size >= kSmallest) {
    texts = ColumnTexts(column.begin(), column.end(), center_x, size);
  } else {
    // At the gap nearest the middle, so that no word is cut.
    const double half = Ems(column.begin(), column.end()) / 2;
    auto split = column.end();
    for (auto c = column.begin(); c != column.end(); ++c) {
      if (c->empty() && (split == column.end() || std::abs(Ems(column.begin(), c) - half) <
                                                      std::abs(Ems(column.begin(), split) - half))) {
        split = c;
      }
    }
    auto second = split;
    while (second != column.end() && second->empty()) ++second;
    const double longer = std::max(Ems(column.begin(), split), Ems(second, column.end()));
    size = std::min(kColumn / 2 - 2, kBoardH / longer);
    texts = ColumnTexts(column.begin(), split, center_x + kColumn / 4, size) +
            ColumnTexts(second, column.end(), center_x - kColumn / 4, size);
  }
  return "<g class=\"hand " + std::string(css_class) + "\" font-size=\"" + Num(size) + "\" text-anchor=\"middle\">\n" +
         texts + "</g>\n";
}

std::string LastMoveTint(int square) {
  const SquareNumber n(square);
  if (!n.IsSquare()) return "";
  return "<rect class=\"last-move\" x=\"" + Num(CellLeft(n.file())) + "\" y=\"" + Num(CellTop(n.rank())) +
         "\" width=\"" + Num(kCellW) + "\" height=\"" + Num(kCellH) + "\" fill=\"#f6d776\"/>\n";
}

}  // namespace

int DiagramHeight(int width, bool with_caption) {
  return std::max(1, static_cast<int>(width * ViewHeight(with_caption) / kViewW + 0.5));
}

std::string DiagramSvg(const Position& position, const DiagramOptions& options) {
  const bool caption = !options.caption.empty();
  const int width = std::max(1, options.width);
  const double view_h = ViewHeight(caption);
  std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(width) + "\" height=\"" +
         std::to_string(DiagramHeight(width, caption)) + "\" viewBox=\"0 0 " + Num(kViewW) + " " + Num(view_h) +
         "\" font-family=\"IPAMincho, IPAexMincho, 'Noto Serif CJK JP', serif\">\n";
  svg += "<rect class=\"background\" x=\"0\" y=\"0\" width=\"" + Num(kViewW) + "\" height=\"" + Num(view_h) +
         "\" fill=\"#fff\"/>\n";
  svg += LastMoveTint(options.marked_square);
  svg += Grid();
  svg += Coordinates();
  svg += Pieces(position);
  const std::string sente = options.sente_label.empty() ? "先手" : options.sente_label;
  const std::string gote = options.gote_label.empty() ? "後手" : options.gote_label;
  svg += HandGroup(HandColumn(position, kSente, sente, options.sente_name),
                  kViewW - kMargin - kColumn / 2, "sente");
  svg += HandGroup(HandColumn(position, kGote, gote, options.gote_name), kMargin + kColumn / 2, "gote");
  if (caption) {
    svg += Text(kBoardX + kBoardW / 2, kBoardY + kBoardH + kCaptionRow - 8, options.caption,
                " class=\"caption\" font-size=\"" + Num(kCaptionSize) + "\" text-anchor=\"middle\"");
  }
  svg += "</svg>\n";
  return platform::Cp932ToUtf8(svg);
}

int LastMoveSquare(const Position& position) {
  if (position.depth() == 0 || !position.current()) return 0;
  const Location to = position.current()->move.To();
  return to.IsSquare() ? ToSquareNumber(to.square()).value() : 0;
}

}  // namespace record
