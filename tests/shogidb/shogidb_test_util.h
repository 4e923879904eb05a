// Helpers of the shogi database tests: a new database in a directory of its own per test, CSA texts of
// games, random legal games.
#pragma once
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "platform/message_sink.h"
#include "platform/progress_sink.h"
#include "rules/board_form.h"

namespace shogidb::testing {

// A directory under the test temporary directory that does not exist yet (removed after a passing test).
// `per_test`: removed after the test that asked for it (otherwise the caller removes it).
std::string FreshPath(const std::string& name, bool per_test = true);
// A new database in a fresh directory; fails the test when it cannot be created.
std::string NewDatabase(const std::string& name, bool per_test = true);
void RemoveTree(const std::string& dir);

// CRLF lines.
std::string Crlf(std::initializer_list<std::string_view> lines);
std::vector<std::string> Lines(std::string_view text);
// Lines joined with "\n", for failure messages.
std::string Joined(const std::vector<std::string>& lines);

// A random legal game from the even position (or the given form with sente to move): `plies` moves,
// as CSA move lines ("+7776FU").
std::vector<std::string> RandomGameMoves(std::mt19937& rng, int plies);
// A CSA game text with a header, the even position and the moves.
std::string GameText(const std::vector<std::string>& moves, std::string_view players = "先手名-後手名",
                     std::string_view extra_header = "");

// The test data folder, or "" when absent.
std::string TestDataDir();

}  // namespace shogidb::testing
