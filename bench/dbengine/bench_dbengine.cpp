// One workload on this engine and on SQLite with equivalent tables, phase by phase, with the ratio of the
// times (this engine / SQLite; below 1 is faster):
//   a table t (id char(8) unique index, grp char(6) index with duplicates, name char(20), day date(6),
//   payload bin(32)); bulk insert of N records; N point lookups by id; prefix scans on grp; selects with
//   conditions and "order by"; the whole table sorted; deletes of half the records by id.
// Both run on files in a fresh directory (TMPDIR or /tmp), without syncing to the disk (this engine never
// syncs; SQLite with synchronous=OFF). This engine's index node cache is 4 MB; SQLite's page cache is
// 4 MB too unless given (in KB). The workload runs three times on fresh files; each figure is the best,
// in processor seconds (user + system) of the process.
// Run from a Release build:
//   scripts/bench bench_dbengine     or     build-release/bench/dbengine/bench_dbengine [N [SQLITE_CACHE_KB]]
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "dbengine/index.h"
#include "dbengine/query.h"
#include "dbengine/table.h"

namespace {

constexpr int kGroups = 2000;

struct Row {
  std::string id, grp, name, day, payload;
};

std::vector<Row> MakeRows(int n) {
  std::mt19937 rng(42);
  std::vector<int> ids(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) ids[static_cast<size_t>(i)] = i;
  std::shuffle(ids.begin(), ids.end(), rng);
  const char* words[] = {"yagura", "kakugawari", "shikenbisha", "nakabisha", "aigakari", "yokofudori", "sankenbisha"};
  std::vector<Row> rows;
  for (int i = 0; i < n; ++i) {
    Row r;
    char buf[32];
    std::snprintf(buf, sizeof buf, "k%07d", ids[static_cast<size_t>(i)]);
    r.id = buf;
    std::snprintf(buf, sizeof buf, "g%04d", static_cast<int>(rng() % kGroups));
    r.grp = buf;
    r.name = std::string(words[rng() % 7]) + "-" + std::to_string(rng() % 10000);
    std::snprintf(buf, sizeof buf, "%02d%02d%02d", static_cast<int>(rng() % 30), 1 + static_cast<int>(rng() % 12),
                  1 + static_cast<int>(rng() % 28));
    r.day = buf;
    r.payload.resize(32);
    for (char& c : r.payload) c = static_cast<char>(rng());
    rows.push_back(r);
  }
  return rows;
}

// Processor time of the process (user and system): on a shared machine it does not count the time other
// programs hold the processors, which wall-clock time would.
double CpuSeconds() {
  timespec t;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double Seconds(const std::function<void()>& f) {
  double start = CpuSeconds();
  f();
  return CpuSeconds() - start;
}

[[noreturn]] void Die(const std::string& what) {
  std::fprintf(stderr, "bench_dbengine: %s\n", what.c_str());
  std::exit(1);
}

// The selects of the workload, in both languages.
struct SelectCase {
  const char* ours;
  const char* sqlite;
};
const SelectCase kSelects[] = {
    {"select id, name, day from t where grp >= \"g0500\" and grp < \"g0600\" order by day desc, id",
     "SELECT id, name, day FROM t WHERE grp >= 'g0500' AND grp < 'g0600' ORDER BY day DESC, id"},
    {"select id, grp from t where name = \"yagura-42\" or name = \"nakabisha-7\" order by grp",
     "SELECT id, grp FROM t WHERE name = 'yagura-42' OR name = 'nakabisha-7' ORDER BY grp"},
    {"select id, name from t where day >= \"290000\" and name >= \"s\" order by name, id",
     "SELECT id, name FROM t WHERE day >= '290000' AND name >= 's' ORDER BY name, id"},
};
constexpr int kSelectRepeats = 5;
// The whole table sorted (the old exchange sort took hours on this).
const SelectCase kFullSort = {"select * from t order by name, day desc", "SELECT * FROM t ORDER BY name, day DESC"};
constexpr int kPrefixScans = 1000;

std::vector<uint8_t> Image(const dbengine::DbSchema& s, const Row& r) {
  std::vector<uint8_t> rec(static_cast<size_t>(s.RecordLength()), 0);
  const std::string* values[] = {&r.id, &r.grp, &r.name, &r.day, &r.payload};
  for (size_t c = 0; c < 5; ++c) {
    std::memcpy(rec.data() + s.columns[c].offset, values[c]->data(), std::min<size_t>(values[c]->size(), s.columns[c].width));
  }
  return rec;
}

struct Figures {
  double insert = 0, lookup = 0, prefix = 0, select = 0, sort = 0, remove = 0;
  long found = 0, prefix_rows = 0, select_rows = 0, sort_rows = 0;
};

Figures RunOurs(const std::string& dir, const std::vector<Row>& rows, const std::vector<int>& probes,
                const std::vector<std::string>& prefixes) {
  Figures f;
  if (dbengine::CreateTable("create table t (id char(8), grp char(6), name char(20), day date(6), payload bin(32))", dir) ||
      dbengine::CreateIndex("create unique index 0 on t (id)", dir) ||
      dbengine::CreateIndex("create index 1 on t (grp)", dir)) {
    Die("create failed");
  }
  std::string path = dir + "/t";
  std::vector<int32_t> numbers(rows.size());
  f.insert = Seconds([&] {
    dbengine::TableHandle t(dbengine::OpenTable(path));
    for (size_t i = 0; i < rows.size(); ++i) {
      std::vector<uint8_t> rec = Image(*t, rows[i]);
      if (dbengine::InsertRecord(t.get(), rec.data(), &numbers[i]) != dbengine::kOk) Die("insert failed");
    }
    if (dbengine::CloseTable(t.release()) != dbengine::kOk) Die("close failed");
  });
  f.lookup = Seconds([&] {
    dbengine::TableHandle t(dbengine::OpenTable(path));
    std::vector<uint8_t> rec(static_cast<size_t>(t->RecordLength()));
    for (int p : probes) {
      std::memset(rec.data(), 0, rec.size());
      std::memcpy(rec.data(), rows[static_cast<size_t>(p)].id.data(), 8);
      if (dbengine::ReadByKey(t->table, 0, rec.data()) == dbengine::kOk) ++f.found;
    }
  });
  f.prefix = Seconds([&] {
    dbengine::TableHandle t(dbengine::OpenTable(path));
    std::vector<uint8_t> rec(static_cast<size_t>(t->RecordLength()));
    for (const std::string& p : prefixes) {
      for (int rc = dbengine::FindByPrefix(t->table, 1, p, rec.data()); rc == dbengine::kPrefixFound;
           rc = dbengine::FindNextByPrefix(rec.data())) {
        ++f.prefix_rows;
      }
    }
  });
  f.select = Seconds([&] {
    for (int k = 0; k < kSelectRepeats; ++k) {
      for (const SelectCase& s : kSelects) {
        std::FILE* out = std::tmpfile();
        std::optional<dbengine::ResultDescription> d = dbengine::SelectToFile(s.ours, out, dir);
        if (!d) Die(std::string("select failed: ") + dbengine::ResultCodeText(dbengine::LastResult()));
        f.select_rows += d->rows;
        std::fclose(out);
      }
    }
  });
  f.sort = Seconds([&] {
    std::FILE* out = std::tmpfile();
    std::optional<dbengine::ResultDescription> d = dbengine::SelectToFile(kFullSort.ours, out, dir);
    if (!d) Die("full sort failed");
    f.sort_rows = d->rows;
    std::fclose(out);
  });
  f.remove = Seconds([&] {
    dbengine::TableHandle t(dbengine::OpenTable(path));
    std::vector<uint8_t> rec(static_cast<size_t>(t->RecordLength()));
    for (size_t i = 0; i < rows.size(); i += 2) {
      std::memset(rec.data(), 0, rec.size());
      std::memcpy(rec.data(), rows[i].id.data(), 8);
      if (dbengine::ReadByKey(t->table, 0, rec.data()) != dbengine::kOk) Die("delete: not found");
      if (dbengine::DeleteRecord(t.get(), rec.data(), dbengine::IndexKeyBuffer(t->table, 0)->record) != dbengine::kOk) {
        Die("delete failed");
      }
    }
    if (dbengine::CloseTable(t.release()) != dbengine::kOk) Die("close failed");
  });
  return f;
}

void Exec(sqlite3* db, const char* sql) {
  char* error = nullptr;
  if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) Die(std::string(sql) + ": " + (error ? error : ""));
}

sqlite3_stmt* Prepare(sqlite3* db, const char* sql) {
  sqlite3_stmt* s = nullptr;
  if (sqlite3_prepare_v2(db, sql, -1, &s, nullptr) != SQLITE_OK) Die(std::string("prepare: ") + sqlite3_errmsg(db));
  return s;
}

// Reads every column of the current row, as the engine copies whole records.
void TouchRow(sqlite3_stmt* s) {
  for (int c = 0; c < sqlite3_column_count(s); ++c) sqlite3_column_blob(s, c);
}

Figures RunSqlite(const std::string& dir, const std::vector<Row>& rows, const std::vector<int>& probes,
                  const std::vector<std::string>& prefixes, int cache_kb) {
  Figures f;
  sqlite3* db = nullptr;
  std::string file = dir + "/t.sqlite";
  std::string pragmas = "PRAGMA synchronous=OFF; PRAGMA cache_size=-" + std::to_string(cache_kb) + ";";
  auto open = [&] {
    if (sqlite3_open(file.c_str(), &db) != SQLITE_OK) Die("sqlite open");
    Exec(db, pragmas.c_str());
  };
  auto close = [&] { sqlite3_close(db); };
  open();
  Exec(db, "CREATE TABLE t (id TEXT, grp TEXT, name TEXT, day TEXT, payload BLOB);"
           "CREATE UNIQUE INDEX t_id ON t(id); CREATE INDEX t_grp ON t(grp);");
  close();
  f.insert = Seconds([&] {
    open();
    Exec(db, "BEGIN");
    sqlite3_stmt* s = Prepare(db, "INSERT INTO t VALUES (?, ?, ?, ?, ?)");
    for (const Row& r : rows) {
      sqlite3_bind_text(s, 1, r.id.data(), static_cast<int>(r.id.size()), SQLITE_STATIC);
      sqlite3_bind_text(s, 2, r.grp.data(), static_cast<int>(r.grp.size()), SQLITE_STATIC);
      sqlite3_bind_text(s, 3, r.name.data(), static_cast<int>(r.name.size()), SQLITE_STATIC);
      sqlite3_bind_text(s, 4, r.day.data(), static_cast<int>(r.day.size()), SQLITE_STATIC);
      sqlite3_bind_blob(s, 5, r.payload.data(), static_cast<int>(r.payload.size()), SQLITE_STATIC);
      if (sqlite3_step(s) != SQLITE_DONE) Die("sqlite insert");
      sqlite3_reset(s);
    }
    sqlite3_finalize(s);
    Exec(db, "COMMIT");
    close();
  });
  // Each phase runs in one transaction, so SQLite takes its file lock once, as this engine (which takes
  // none) keeps its files open for the phase.
  f.lookup = Seconds([&] {
    open();
    Exec(db, "BEGIN");
    sqlite3_stmt* s = Prepare(db, "SELECT * FROM t WHERE id = ?");
    for (int p : probes) {
      const std::string& id = rows[static_cast<size_t>(p)].id;
      sqlite3_bind_text(s, 1, id.data(), static_cast<int>(id.size()), SQLITE_STATIC);
      if (sqlite3_step(s) == SQLITE_ROW) {
        TouchRow(s);
        ++f.found;
      }
      sqlite3_reset(s);
    }
    sqlite3_finalize(s);
    Exec(db, "COMMIT");
    close();
  });
  f.prefix = Seconds([&] {
    open();
    Exec(db, "BEGIN");
    sqlite3_stmt* s = Prepare(db, "SELECT * FROM t WHERE grp >= ? AND grp < ? ORDER BY grp");
    for (const std::string& p : prefixes) {
      std::string high = p;
      ++high.back();
      sqlite3_bind_text(s, 1, p.data(), static_cast<int>(p.size()), SQLITE_STATIC);
      sqlite3_bind_text(s, 2, high.data(), static_cast<int>(high.size()), SQLITE_STATIC);
      while (sqlite3_step(s) == SQLITE_ROW) {
        TouchRow(s);
        ++f.prefix_rows;
      }
      sqlite3_reset(s);
    }
    sqlite3_finalize(s);
    Exec(db, "COMMIT");
    close();
  });
  f.select = Seconds([&] {
    open();
    Exec(db, "BEGIN");
    for (int k = 0; k < kSelectRepeats; ++k) {
      for (const SelectCase& c : kSelects) {
        sqlite3_stmt* s = Prepare(db, c.sqlite);
        while (sqlite3_step(s) == SQLITE_ROW) {
          TouchRow(s);
          ++f.select_rows;
        }
        sqlite3_finalize(s);
      }
    }
    Exec(db, "COMMIT");
    close();
  });
  f.sort = Seconds([&] {
    open();
    Exec(db, "BEGIN");
    sqlite3_stmt* s = Prepare(db, kFullSort.sqlite);
    while (sqlite3_step(s) == SQLITE_ROW) {
      TouchRow(s);
      ++f.sort_rows;
    }
    sqlite3_finalize(s);
    Exec(db, "COMMIT");
    close();
  });
  f.remove = Seconds([&] {
    open();
    Exec(db, "BEGIN");
    sqlite3_stmt* s = Prepare(db, "DELETE FROM t WHERE id = ?");
    for (size_t i = 0; i < rows.size(); i += 2) {
      sqlite3_bind_text(s, 1, rows[i].id.data(), 8, SQLITE_STATIC);
      if (sqlite3_step(s) != SQLITE_DONE) Die("sqlite delete");
      sqlite3_reset(s);
    }
    sqlite3_finalize(s);
    Exec(db, "COMMIT");
    close();
  });
  return f;
}

std::string FreshDirectory(const char* name) {
  const char* base = std::getenv("TMPDIR");
  std::string dir = std::string(base && *base ? base : "/tmp") + "/bench_dbengine_" + name + "_" + std::to_string(::getpid());
  std::string command = "rm -rf '" + dir + "' && mkdir -p '" + dir + "'";
  if (std::system(command.c_str()) != 0) Die("cannot make " + dir);
  return dir;
}

void Line(const char* phase, long count, double ours, double sqlite) {
  std::printf("%-34s %9ld %11.3f %11.3f %8.2f\n", phase, count, ours, sqlite, ours / sqlite);
}

}  // namespace

Figures Best(const Figures& a, const Figures& b) {
  Figures f = a;
  f.insert = std::min(a.insert, b.insert);
  f.lookup = std::min(a.lookup, b.lookup);
  f.prefix = std::min(a.prefix, b.prefix);
  f.select = std::min(a.select, b.select);
  f.sort = std::min(a.sort, b.sort);
  f.remove = std::min(a.remove, b.remove);
  return f;
}

int main(int argc, char** argv) {
  int n = argc > 1 ? std::atoi(argv[1]) : 100000;
  int cache_kb = argc > 2 ? std::atoi(argv[2]) : 4096;
  std::vector<Row> rows = MakeRows(n);
  std::mt19937 rng(7);
  std::vector<int> probes(static_cast<size_t>(n));
  for (int& p : probes) p = static_cast<int>(rng() % static_cast<unsigned>(n));
  std::vector<std::string> prefixes;
  for (int i = 0; i < kPrefixScans; ++i) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "g%03d", static_cast<int>(rng() % (kGroups / 10)));
    prefixes.push_back(buf);
  }
  Figures ours, lite;
  for (int round = 0; round < 3; ++round) {
    std::string ours_dir = FreshDirectory("ours"), sqlite_dir = FreshDirectory("sqlite");
    Figures o = RunOurs(ours_dir, rows, probes, prefixes);
    Figures l = RunSqlite(sqlite_dir, rows, probes, prefixes, cache_kb);
    if (o.found != l.found || o.prefix_rows != l.prefix_rows || o.select_rows != l.select_rows ||
        o.sort_rows != l.sort_rows) {
      std::fprintf(stderr, "results differ: found %ld/%ld, prefix rows %ld/%ld, select rows %ld/%ld\n", o.found,
                   l.found, o.prefix_rows, l.prefix_rows, o.select_rows, l.select_rows);
      return 1;
    }
    ours = round == 0 ? o : Best(ours, o);
    lite = round == 0 ? l : Best(lite, l);
    std::string command = "rm -rf '" + ours_dir + "' '" + sqlite_dir + "'";
    if (std::system(command.c_str()) != 0) return 1;
  }
  std::printf("%d records; SQLite page cache %d KB; best of 3 rounds\n", n, cache_kb);
  std::printf("%-34s %9s %11s %11s %8s\n", "phase (cpu seconds)", "count", "dbengine", "sqlite", "ratio");
  Line("bulk insert, 2 indexes", n, ours.insert, lite.insert);
  Line("point lookups by unique key", n, ours.lookup, lite.lookup);
  Line("prefix scans (rows)", ours.prefix_rows, ours.prefix, lite.prefix);
  Line("selects with order by (rows)", ours.select_rows, ours.select, lite.select);
  Line("whole table sorted (rows)", ours.sort_rows, ours.sort, lite.sort);
  Line("deletes by key (half)", (n + 1) / 2, ours.remove, lite.remove);
  return 0;
}
