// Any bytes as a schema file: decoding accepts only valid schemas, which encode back to the same bytes (but
// for what follows the NUL of a name) and make a table that takes a record and passes the integrity check.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "dbengine/check.h"
#include "dbengine/schema.h"
#include "dbengine/table.h"
#include "fuzz/fuzz_dbengine_support.h"
#include "platform/files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::optional<dbengine::DbSchema> schema = dbengine::DecodeSchema(bytes);
  if (!schema) return 0;
  // Bytes after a name's NUL are not kept; everything else comes back.
  std::string encoded = dbengine::EncodeSchema(*schema);
  std::optional<dbengine::DbSchema> again = dbengine::DecodeSchema(encoded);
  if (encoded.size() != size || !again || dbengine::EncodeSchema(*again) != encoded) {
    fuzz_dbengine::Fail(data, size, "check 1");
  }
  if (schema->RecordLength() > 4096) return 0;  // keep the files small
  std::string dir = fuzz_dbengine::EmptyDirectory("schema");
  std::string path = dir + "/t";
  if (!platform::WriteWholeFile(path + ".scm", encoded)) fuzz_dbengine::Fail(data, size, "check 2");
  dbengine::DbSchema* t = dbengine::InitTableFiles(path);
  if (!t) fuzz_dbengine::Fail(data, size, "check 3");
  std::vector<uint8_t> record(static_cast<size_t>(schema->RecordLength()), 'x');
  int32_t n;
  int rc = dbengine::InsertRecord(t, record.data(), &n);
  if (rc != dbengine::kOk && rc != dbengine::kIndexState) fuzz_dbengine::Fail(data, size, "check 4");  // 100: index columns too wide
  if (dbengine::CloseTable(t) != dbengine::kOk) fuzz_dbengine::Fail(data, size, "check 5");
  dbengine::TableCheck check;
  if (dbengine::CheckTable(path, &check) != dbengine::kOk || !check.Ok()) fuzz_dbengine::Fail(data, size, "check 6");
  fuzz_dbengine::RemoveDirectory(dir);
  return 0;
}
