// The bytes that hand a finished set-up back to the board window that asked for it: the layout of a
// position file (.skb), 62 bytes: "WINKZB.SKB", the 44-byte board form, the side to move (u32 LE, 0..2)
// and the reversed flag (u32 LE, 0..1).
#pragma once
#include <string>

#include "rules/board_form.h"

namespace km {

std::string EncodeSetup(const CBform& form, int side, int reversed);
// False (nothing set) unless the bytes are a whole, valid position file.
bool DecodeSetup(const std::string& bytes, CBform& form, int& side, int& reversed);

}  // namespace km
