// An independent judge of a solution tree written into a record: it replays the tree with the reference
// rules only (files and ranks, every legal move listed), never with the solver's generators.
//
// A sound tree: every attacker move is a legal move that gives check; after every attacker move either
// the tree holds every legal answer, or it holds none and there is none (mate) - except interpositions
// left out as useless: drops between the king and a single distant checker; no leaf is a mate given by
// a pawn drop; every defender move is followed by an attacker move.
#pragma once
#include <string>

#include "rules/position.h"

struct SolutionReport {
  std::string error;  // empty when the tree is sound
  int attacker_moves = 0;
  int defender_moves = 0;
  int leaves = 0;
  int pruned_interpositions = 0;  // legal interposing drops the tree leaves out
  int depth = 0;                  // plies of the longest line
  bool single_reply = true;       // every attacker position has exactly one move in the tree
};

// Judges the tree below the current node of the record; the board stands where the problem starts, with
// the attacker to move. The board is not moved.
SolutionReport CheckSolutionTree(const rules::Position& position);
