// kzb sql DIR STATEMENT: a create-table, create-index or select statement on the tables in DIR.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/console.h"
#include "cli/db_lock_guard.h"
#include "cli/usage.h"
#include "dbengine/query.h"
#include "dbengine/record_text.h"
#include "dbengine/table.h"

namespace kzb {

extern const Usage kSqlUsage = {
    .usage = "kzb sql DIR STATEMENT",
    .summary = "create table, create index or select on the tables in DIR",
    .about = "Runs one statement of the database engine on the tables in DIR: create table, create index,\n"
             "or select (its rows printed one a line). It waits while another program changes the tables.",
    .failed = "the engine reported an error (its number and meaning are printed)",
};

namespace {

// Runs the select as a sorted run into a temporary file, then prints its rows.
int PrintSelect(const std::string& statement, const std::string& dir) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> rows(std::tmpfile(), &std::fclose);
  if (!rows) return dbengine::kSchemaOpen;
  std::optional<dbengine::ResultDescription> d = dbengine::SelectToFile(statement, rows.get(), dir);
  if (!d) return dbengine::LastResult();
  std::rewind(rows.get());
  std::vector<uint8_t> row(static_cast<size_t>(d->row_size));
  for (int64_t i = 0; i < d->rows; ++i) {
    if (std::fread(row.data(), 1, row.size(), rows.get()) != row.size()) return dbengine::kSchemaIo;
    OutLine(dbengine::FormatRow(d->columns, row.data()));
  }
  return dbengine::kOk;
}

}  // namespace

int RunSql(const Args& args) {
  if (args.size() != 2 || LooksLikeOption(args[0])) {
    return UsageError(kSqlUsage);
  }
  const std::string& dir = args[0];
  const std::string& statement = args[1];
  // Statements read and create tables only while no other program (an import) is changing them.
  ScopedDatabaseLock lock("kzb sql", dir);
  int rc;
  switch (dbengine::ClassifyStatement(statement)) {
    case dbengine::StatementKind::kCreateTable: rc = dbengine::CreateTable(statement, dir); break;
    case dbengine::StatementKind::kCreateIndex: rc = dbengine::CreateIndex(statement, dir); break;
    case dbengine::StatementKind::kSelect: rc = PrintSelect(statement, dir); break;
    default: rc = dbengine::kInvalid; break;
  }
  if (rc == dbengine::kOk) return kOk;
  Err("kzb sql: error " + std::to_string(rc) + " (" + dbengine::ResultCodeText(rc) + ")");
  return kFailed;
}

}  // namespace kzb
