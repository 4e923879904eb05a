// The header layer of game (CSA) and tsume (PCL) text: the document's header record written as comment
// and name lines before the body. The lines are described at the top of csa_header.cpp.
#pragma once
#include <string>
#include <string_view>

#include "platform/message_sink.h"
#include "record/header_fields.h"

namespace record {

class Archive;

enum class HeaderStatus {
  kOk,
  kSyntaxError,  // a line that is neither a comment nor a name line before the position
  kPlayerError,  // a second N+ or N- line
  kNoMemory,     // the annotation could not grow
};

// How the reader treats a line it cannot take. A document shows the message and stops; the select-read
// scan just ends the header there, silently.
enum class HeaderMode { kDocument, kScan };

// A player's name as the players text keeps it: a "-" inside it becomes the full-width "－" (the text
// joins the two names with "-"), a lead byte without its second byte is dropped.
std::string NameForPlayers(std::string_view name);

// A version line of the standard format ("V2.2").
bool IsVersionLine(std::string_view line);
// A "$KEY:value" line of the standard format: $EVENT, $SITE, $OPENING, the date of $START_TIME and
// $TIME_LIMIT fill a game header's fields; other keys, and every key for a problem, change nothing.
void ReadStandardInfoLine(HeaderFields& header, std::string_view line);

// Writes the header layer. `reversed` is the document's 後手座 flag.
void WriteGameHeaderLayer(const GameHeader& header, int reversed, Archive& ar, platform::MessageSink& messages);
void WriteTsumeHeaderLayer(const ProblemHeader& header, int reversed, Archive& ar, platform::MessageSink& messages);

// Clears the header, then reads the header layer from the archive's position. On success the archive is
// left at the first position line ("P..."), where the body begins; after an error, just after the line
// that caused it. Messages: "文法エラーです。(%s)", "対局者指定エラーです。(%s)", "No memory!!".
HeaderStatus ReadGameHeaderLayer(GameHeader& header, int& reversed, Archive& ar, platform::MessageSink& messages,
                                 HeaderMode mode = HeaderMode::kDocument);
HeaderStatus ReadTsumeHeaderLayer(ProblemHeader& header, int& reversed, Archive& ar, platform::MessageSink& messages,
                                  HeaderMode mode = HeaderMode::kDocument);

}  // namespace record
