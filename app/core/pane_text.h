// The database pane of the status bar shows the database directory; a path longer than the pane loses its
// beginning, and the cut is marked with dots.
#pragma once
#include <string>
#include <string_view>

namespace app {

// `room` is the pane width in characters of the status-bar font (bytes of CP932 text). When the path is
// longer, its first (length - room) bytes go (one more when the first kept byte would be the second byte
// of a double-byte character); then the first two kept bytes become ".", stopping early at a path
// separator, and the byte after them becomes "." too unless it is a separator or the first byte of a
// double-byte character.
std::string ShortenForPane(std::string_view cp932_path, int room);

}  // namespace app
