// Where an interposing drop may be useless (無駄合), so that both engines and the composer's check first
// ask whether the attacker, moving to the square itself, still mates: no defender guards the square, or
// only the king does (it stands next to the king) while the attacker guards it twice.
#pragma once

namespace solver {

inline bool InterpositionMayBeUseless(int defended, int attacked, bool next_to_king) {
  return defended == 0 || (defended == 1 && attacked >= 2 && next_to_king);
}

}  // namespace solver
