#include "app/last_move_setting.h"

#include "app/application.h"

namespace app {

namespace {

const char kSection[] = "SETTING";
const char kKey[] = "LastMoveMark";

}  // namespace

bool StoredLastMoveMark() { return Application::instance()->settings().GetInt(kSection, kKey, 1) != 0; }

void StoreLastMoveMark(bool on) { Application::instance()->settings().WriteInt(kSection, kKey, on ? 1 : 0); }

}  // namespace app
