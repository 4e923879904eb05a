#include "cli/command.h"
#include "cli/console.h"

namespace kzb {

int RunDemo(const Args&) {
  OutLine("駒楽工房");
  return kOk;
}

}  // namespace kzb
