// "追い詰め": closes up the lines of a text and wraps it again at the editor's width. Works on CP932 bytes,
// because the column count is a count of bytes (a double-byte character takes two columns, as it does on
// a fixed-pitch screen); the editor converts at its edge.
#pragma once
#include <string>
#include <string_view>

namespace app {

// Columns of a window: its client width over the character width, which is the font's width or, when that
// is 0, (|height| + 1) / 2.
int ReflowColumns(int client_width, int font_width, int font_height);

// Joins the lines of each paragraph (a CR LF not followed by another CR goes; runs of line breaks stay),
// then cuts the text into lines of at most `columns` bytes, never between the two bytes of a character.
// A CR ends a line where it stands; every ended line gets CR LF. Fewer than 2 columns: the text unchanged.
std::string Reflow(std::string_view cp932, int columns);

}  // namespace app
