// Whether the board windows mark the last move, as the settings keep it (section SETTING, key
// LastMoveMark, 1 or 0; on when absent).
#pragma once

namespace app {

bool StoredLastMoveMark();
void StoreLastMoveMark(bool on);

}  // namespace app
