// Records into and out of a board window other than through its own file: 棋譜のコピー and 棋譜の貼り付け
// with the clipboard, and 柿木棋譜の読込 (a KIF or KI2 file read into a game window).
//
// A copy is placed twice: under the private format, whose bytes are the record's CSA body text exactly as
// the program keeps it (CP932), and as UTF-8 plain text for other programs. A paste prefers the private
// format; a game window also takes plain text holding a CSA, KIF or KI2 record (what other programs and
// web sites copy), a tsume window plain CSA or PCL text; both take an SFEN or a USI position line, which
// sets up its position with its moves as the record. 局面のコピー(SFEN) puts the current position on the
// clipboard as SFEN text.
#pragma once
#include <QString>

class QMimeData;

namespace app {

class BoardView;

// The MIME type that carries the private clipboard format "WinKZB_Format".
extern const char kRecordMimeType[];

// The current position as SFEN text, its move number counted from the record's start (32931).
void CopyPositionSfen(BoardView& view);
// The current position and the selected line from there (32886).
void CopyRecord(BoardView& view);
// Replaces the window's record by the clipboard's (32887); false when nothing was pasted.
bool PasteRecord(BoardView& view);
bool PasteRecordFrom(BoardView& view, const QMimeData& data);

// 柿木棋譜の読込 (32856): the save question, the file dialog, then LoadKakinokiFile.
void ReadKakinokiFile(BoardView& view);
// Reads the first game of a Kakinoki file into a game window. The window keeps no path (a save asks for
// a CSA file name) and is titled with the file name without its extension. False, after a message, when
// the file cannot be read or holds no game; the window is then unchanged.
bool LoadKakinokiFile(BoardView& view, const QString& path);

}  // namespace app
