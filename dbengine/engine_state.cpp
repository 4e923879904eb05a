#include "dbengine/engine_state.h"

namespace dbengine {

EngineState& Engine() {
  static EngineState state;
  return state;
}

}  // namespace dbengine
