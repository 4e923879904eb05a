#include "shogidb/schema.h"

#include "dbengine/query.h"
#include "platform/files.h"
#include "platform/sjis.h"

namespace shogidb {
namespace {

// The statements are those every SHGDB database has been created with, tabs and all.
const TableInfo kTables[kTableCount] = {
    {"SHGDB_A", "盤面表",
     "create table SHGDB_A ( \t\tA_HASH\t\tchar (6),\t\t\tA_SYNONYM\tchar (2),\t\t\tA_BFORM\t\tbin\t (44),"
     "\t\t\tA_REFCOUNT  bin  (4)\t\t   )",
     "create unique index 0 on SHGDB_A (A_HASH,A_SYNONYM)", 56},
    {"SHGDB_B", "対局表",
     "create table SHGDB_B ( \t\t対局者\t\tchar (29),\t\t\t対局日\t\tchar (8),\t\t\t先手段位\tchar (10),"
     "\t\t\t後手段位\tchar (10),\t\t\t手合\t\tchar (6),\t\t\t持時間\t\tchar (6),\t\t\t秒読\t\tchar (2),"
     "\t\t\t試合結果\tchar (6),\t\t\t手数\t\tchar (4),\t\t\t先手残時間\tchar (6),\t\t\t後手残時間\tchar (6),"
     "\t\t\t戦型\t\tchar (40),\t\t\t棋戦名\t\tchar (40),\t\t\t対局場所\tchar (40),\t\t\t登録日時\tchar (14),"
     "\t\t\t初期盤面\tchar (8),\t\t\t手番\t\tchar (1),\t\t\t対局番号\tchar (6),\t\t\t予備\t\tchar (8)\t\t)",
     "create index 0 on SHGDB_B (対局者)", 250},
    {"SHGDB_C", "詰将棋表",
     "create table SHGDB_C ( \t\t作者\t\tchar (18),\t\t\t詰手数\t\tchar (4),\t\t\tヒント\t\tchar (40),"
     "\t\t\t難易度\t\tchar (14),\t\t\t表題\t\tchar (50),\t\t\t登録日時\tchar (14),\t\t\t出題図\t\tchar (8),"
     "\t\t\t詰将棋番号\tchar (6),\t\t\t予備\t\tchar (6)\t\t)",
     "create unique index 0 on SHGDB_C (出題図)", 160},
    {"SHGDB_D", "棋譜表",
     "create table SHGDB_D ( \t\tD_RECID\t\tchar (1),\t\t\tD_RECNO\t\tchar (6),\t\t\tD_SNO\t\tchar (2),"
     "\t\t\tD_BPLAY\t\tbin\t (40),\t\t\tD_DUMMY\t\tchar (11)\t\t)",
     "create unique index 0 on SHGDB_D (D_RECID,D_RECNO,D_SNO)", 60},
    {"SHGDB_E", "定跡表",
     "create table SHGDB_E ( \t\tE_HASH_S\tchar (8),\t\t\tE_SIDE\t\tchar (1),\t\t\tE_EVAL\t\tbin\t (2),"
     "\t\t\tE_MOVE\t\tbin\t (40),\t\t\tE_DUMMY\t\tchar (1)\t\t)",
     "create index 0 on SHGDB_E (E_HASH_S,E_SIDE)", 52},
    {"SHGDB_F", "注釈表",
     "create table SHGDB_F ( \t\tF_COMMENTID\t\tchar (1),\t\t\tF_COMMENTKEY\tchar (12),\t\t\tF_SNO\t\t\tchar (2),"
     "\t\t\tF_SENTENCE\t\tchar (45)\t\t)",
     "create unique index 0 on SHGDB_F (F_COMMENTKEY,F_COMMENTID,F_SNO)", 60},
};

}  // namespace

const TableInfo& Table(TableId id) { return kTables[id]; }

std::string NormalizeDirectory(std::string_view directory) {
  std::string dir(directory);
  // Step over double-byte characters: the second byte of one may be 0x5C ("表", "ソ").
  for (size_t i = 0; i < dir.size(); i += platform::SjisCharLength(dir, i)) {
    if (dir[i] == '\\') dir[i] = '/';
  }
  if (!dir.empty() && dir.back() != '/') dir += '/';
  return dir;
}

std::string TablePathIn(std::string_view directory, TableId id) {
  return NormalizeDirectory(directory) + kTables[id].name;
}

bool DatabaseExists(std::string_view directory) {
  for (int t = 0; t < kTableCount; ++t) {
    if (!platform::FileExists(TablePathIn(directory, static_cast<TableId>(t)) + ".scm")) return false;
  }
  return true;
}

bool CreateDatabase(std::string_view directory, platform::ProgressSink& progress, platform::MessageSink& messages) {
  std::string dir(directory);
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  if (dir.empty() || !platform::MakeDirectory(dir)) {
    messages.Show("新規ディレクトリの作成に失敗しました。\n(既存フォルダ内には作成できません)");
    return false;
  }
  // The tables are created by their bare names inside the new directory.
  for (const TableInfo& t : kTables) {
    const std::string label = std::string(t.title) + "(" + t.name + ")";
    if (dbengine::CreateTable(t.create_statement, dir) != dbengine::kOk) {
      progress.Line(label + "の作成に失敗しました。");
      return false;
    }
    if (dbengine::CreateIndex(t.index_statement, dir) != dbengine::kOk) {
      progress.Line(std::string("索引 ") + t.name + " の作成に失敗しました。");
      return false;
    }
    progress.Line(label + "を作成しました。");
  }
  progress.Line("将棋データベースは正常に作成されました。");
  return true;
}

}  // namespace shogidb
