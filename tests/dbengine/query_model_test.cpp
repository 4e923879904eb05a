// Random select statements over random tables, against an independent evaluation of their conditions.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "dbengine/query.h"
#include "dbengine/table.h"
#include "tests/dbengine/db_test_util.h"
#include "tests/dbengine/query_test_util.h"

namespace dbengine {
namespace {

struct ModelColumn {
  int table = 0;
  std::string name;
  bool text = false;  // "char"
  int offset = 0, width = 0;
};

struct ModelCondition {
  ModelColumn left;
  std::string op;
  bool right_is_column = false;
  ModelColumn right;
  std::string value;
  std::string connector;  // "", "and", "or"
};

// Patterns whose meaning the model knows: a literal, optionally anchored.
const char* const kPatterns[] = {"a", "b", "ab", "^a", "^b", "a$", "c$", "^$", "x", "$x", "^ab$", "ca"};

bool ModelMatches(const std::string& pattern, const std::string& text) {
  std::string p = pattern;
  bool start = !p.empty() && p[0] == '^';
  if (start) p.erase(0, 1);
  bool end = p.size() > 0 && p.back() == '$' && !(p.size() == 2 && p[0] == '$');
  if (p == "$") end = true;
  if (end) p.pop_back();
  if (start && end) return text == p;
  if (start) return text.compare(0, p.size(), p) == 0 && text.size() >= p.size();
  if (end) return text.size() >= p.size() && text.compare(text.size() - p.size(), p.size(), p) == 0;
  return text.find(p) != std::string::npos;
}

std::string TextOf(const std::vector<uint8_t>& r, const ModelColumn& c) {
  const char* p = reinterpret_cast<const char*>(r.data() + c.offset);
  return std::string(p, strnlen(p, c.width));
}

bool Holds(const ModelCondition& c, const std::vector<const std::vector<uint8_t>*>& records) {
  const std::vector<uint8_t>& lr = *records[c.left.table];
  std::string value = c.right_is_column ? TextOf(*records[c.right.table], c.right) : c.value;
  if (c.op == "matches") return ModelMatches(value, TextOf(lr, c.left));
  int r;
  if (c.left.text) {
    r = TextOf(lr, c.left).compare(value);
  } else {
    std::string field(reinterpret_cast<const char*>(lr.data() + c.left.offset), c.left.width);
    std::string padded = value.substr(0, c.left.width);
    padded.resize(c.left.width, '\0');
    r = field.compare(padded);
  }
  if (c.op == "=") return r == 0;
  if (c.op == "<") return r < 0;
  if (c.op == ">") return r > 0;
  if (c.op == "<=") return r <= 0;
  if (c.op == ">=") return r >= 0;
  return r != 0;
}

class QueryModel : public ::testing::TestWithParam<int> {};

TEST_P(QueryModel, RandomQueriesMatchTheModel) {
  std::string dir = testing::FreshDirectory("query_model_" + std::to_string(GetParam()));
  std::mt19937 rng(1000u + static_cast<unsigned>(GetParam()));
  ASSERT_EQ(CreateTable("create table a (name char(6), kind char(3), day date(6), note char(8))", dir), kOk);
  ASSERT_EQ(CreateTable("create table b (kind char(3), label char(8))", dir), kOk);
  ASSERT_EQ(CreateIndex("create unique index 0 on a (name)", dir), kOk);
  ASSERT_EQ(CreateIndex("create index 1 on a (kind, day)", dir), kOk);
  ASSERT_EQ(CreateIndex("create index 2 on a (note)", dir), kOk);
  ASSERT_EQ(CreateIndex("create index 0 on b (kind)", dir), kOk);
  const std::vector<ModelColumn> columns = {
      {0, "name", true, 0, 6}, {0, "kind", true, 6, 3}, {0, "day", false, 9, 6}, {0, "note", true, 15, 8},
      {1, "kind", true, 0, 3}, {1, "label", true, 3, 8}};
  auto word = [&](int max, const char* letters) {
    std::string s;
    int n = static_cast<int>(rng() % static_cast<unsigned>(max + 1));
    for (int i = 0; i < n; ++i) s += letters[rng() % strlen(letters)];
    return s;
  };
  const char* kinds[] = {"a", "b", "c", "", "ab"};
  std::map<int32_t, std::vector<uint8_t>> records[2];
  {
    TableHandle ta(OpenTable(dir + "/a")), tb(OpenTable(dir + "/b"));
    std::set<std::string> names;
    for (int i = 0; i < 150; ++i) {
      std::string name = word(6, "abcde");
      if (name.empty() || !names.insert(name).second) continue;
      std::string day = "24" + std::to_string(10 + rng() % 3) + std::to_string(10 + rng() % 20);
      if (rng() % 6 == 0) day = day.substr(0, 4);
      auto r = testing::Record(*ta, {name, kinds[rng() % 5], day, word(8, "abcx$")});
      int32_t n;
      ASSERT_EQ(InsertRecord(ta.get(), r.data(), &n), kOk);
      records[0][n] = r;
    }
    for (int i = 0; i < 12; ++i) {
      auto r = testing::Record(*tb, {kinds[rng() % 5], word(8, "abcx")});
      int32_t n;
      ASSERT_EQ(InsertRecord(tb.get(), r.data(), &n), kOk);
      records[1][n] = r;
    }
    for (int i = 0; i < 30; ++i) {
      auto it = records[0].begin();
      std::advance(it, rng() % records[0].size());
      ASSERT_EQ(DeleteRecord(ta.get(), it->second.data(), it->first), kOk);
      records[0].erase(it);
    }
  }
  const char* ops[] = {"=", "<", ">", "<=", ">=", "!=", "matches"};
  const char* values[] = {"a", "b", "ab", "abc", "", "c", "x", "2411", "241115", "$", "ca"};
  for (int query = 0; query < 400; ++query) {
    bool join = rng() % 3 == 0;
    int tables = join ? 2 : 1;
    std::vector<ModelCondition> conditions;
    int count = 1 + static_cast<int>(rng() % 4);
    std::string where;
    for (int i = 0; i < count; ++i) {
      ModelCondition c;
      c.left = columns[rng() % (join ? 6 : 4)];
      c.op = ops[rng() % 7];
      // A column as the pattern of "matches" would make the model a regular-expression engine.
      if (c.left.text && c.op != "matches" && rng() % 4 == 0) {
        c.right_is_column = true;
        do {
          c.right = columns[rng() % (join ? 6 : 4)];
        } while (!c.right.text);
      } else {
        c.value = c.op == "matches" ? kPatterns[rng() % 12] : values[rng() % 11];
      }
      auto name = [&](const ModelColumn& m) { return join ? std::string(m.table ? "b." : "a.") + m.name : m.name; };
      where += " " + name(c.left) + " " + c.op + " " + (c.right_is_column ? name(c.right) : "\"" + c.value + "\"");
      if (i + 1 < count || rng() % 5 == 0) {
        c.connector = rng() % 3 == 0 ? "or" : "and";
        where += " " + c.connector;
      }
      conditions.push_back(c);
    }
    std::string statement = std::string("select * from ") + (join ? "a, b" : "a") + " where" + where;
    testing::QueryResult got = testing::RunQuery(statement, dir);
    ASSERT_EQ(got.code, kOk) << statement;
    // The model: a combination is in the result when every condition of some "or" group holds.
    std::vector<std::vector<int32_t>> expected;
    auto consider = [&](const std::vector<int32_t>& numbers, const std::vector<const std::vector<uint8_t>*>& recs) {
      bool group_ok = true, any = false;
      for (size_t i = 0; i < conditions.size(); ++i) {
        group_ok = group_ok && Holds(conditions[i], recs);
        if (conditions[i].connector == "or" || i + 1 == conditions.size()) {
          any = any || group_ok;
          group_ok = true;
        }
      }
      if (any) expected.push_back(numbers);
    };
    for (auto& [na, ra] : records[0]) {
      if (!join) {
        consider({na}, {&ra});
        continue;
      }
      for (auto& [nb, rb] : records[1]) consider({na, nb}, {&ra, &rb});
    }
    bool several_groups = false;
    for (size_t i = 0; i + 1 < conditions.size(); ++i) several_groups |= conditions[i].connector == "or";
    std::vector<std::vector<int32_t>> sorted = got.records;
    std::sort(sorted.begin(), sorted.end());
    ASSERT_EQ(sorted, expected) << statement;
    if (several_groups) {
      ASSERT_EQ(got.records, expected) << "ascending record numbers: " << statement;
    }
    for (size_t i = 0; i < got.rows.size(); ++i) {
      std::string row;
      for (int t = 0; t < tables; ++t) {
        const auto& r = records[t][got.records[i][t]];
        row.append(r.begin(), r.end());
      }
      ASSERT_EQ(got.rows[i], row) << statement;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, QueryModel, ::testing::Values(1, 2, 3));

}  // namespace
}  // namespace dbengine
