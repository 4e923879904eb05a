// Any bytes as a joseki file (CSA or PCL text with "'属性:", "'形勢評価値:", "'手数目:" and "'注釈:" lines)
// registered into the joseki database: registration stops with a message or stores what it read, the
// database passes its check, the lines exported from the even position register again without changing
// what an export writes, and deleting them (with a backup) removes them and leaves the database clean.
#include <cstdint>
#include <string>

#include "fuzz/fuzz_shogidb_support.h"
#include "rules/board_form.h"
#include "shogidb/joseki_lines.h"

using namespace rules;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 20000) return 0;
  fuzz_shogidb::Scratch& room = fuzz_shogidb::KeptRoom("shogidb_joseki", false);
  room.Restore();
  room.Remember(data, size);
  fuzz_shogidb::YesSink yes;
  shogidb::DbJob job;
  job.messages = &yes;
  shogidb::JosekiDatabase db;
  db.SetDatabase(room.db());
  db.SetJob(job);
  shogidb::JosekiOptions options;
  options.annotations = true;
  options.details = size % 2 == 1;
  options.depth = 12;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  RegisterJosekiFromText(db, text, options);
  fuzz_shogidb::ExpectClean(room.db(), data, size, "after registration");
  fuzz_shogidb::ExpectSoundPositions(room.db(), data, size);

  std::string first;
  const long written = shogidb::JosekiText(db, BoardForm(), kSente, options.depth, true, first);
  if (written < 0) fuzz_shogidb::Fail(data, size, "export failed");
  if (written > 0) {
    if (RegisterJosekiFromText(db, first, options) < 0) fuzz_shogidb::Fail(data, size, "export does not register");
    std::string second;
    shogidb::JosekiText(db, BoardForm(), kSente, options.depth, true, second);
    if (second != first) fuzz_shogidb::Fail(data, size, "export registered again changes:\n" + first + "\n--\n" + second);
    fuzz_shogidb::ExpectClean(room.db(), data, size, "after registering the export");
  }
  const std::string backup = room.root() + "/backup.pcl";
  if (shogidb::DeleteJosekiBelow(db, BoardForm(), kSente, options.depth, backup) < 0) {
    fuzz_shogidb::Fail(data, size, "deletion failed");
  }
  std::string left;
  if (shogidb::JosekiText(db, BoardForm(), kSente, options.depth, true, left) != 0) {
    fuzz_shogidb::Fail(data, size, "deletion left moves behind:\n" + left);
  }
  fuzz_shogidb::ExpectClean(room.db(), data, size, "after deletion");
  return 0;
}
