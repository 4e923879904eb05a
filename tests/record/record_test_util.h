// Helpers of the record tests: documents to and from text, moves by their CSA text, random records.
#pragma once
#include <random>
#include <string>
#include <string_view>

#include "record/archive.h"
#include "record/plain_board.h"
#include "record/record_document.h"

// Plays a move given as CSA text ("+7776FU"); fails the test when it is no move of the position.
void PlayCsa(record::RecordBoard& board, std::string_view csa);

std::string WriteDoc(record::RecordDocument& doc);
record::DocumentResult ReadDoc(record::RecordDocument& doc, std::string_view text);

// Replaces the board's record with a random one from its current position: `moves` moves of play along
// the main line, with alternatives branching off at random plies, and random annotation lines.
void BuildRandomRecord(record::RecordBoard& board, std::mt19937& rng, int moves, int branches);

// The lines of a text split at CRLF (the last line without CRLF kept when non-empty).
std::vector<std::string> Lines(std::string_view text);
// Lines joined with CRLF after each.
std::string Crlf(std::initializer_list<std::string_view> lines);

// The test data folder (KOMARAKU_TESTDATA), or "" when absent.
std::string TestDataDir();
