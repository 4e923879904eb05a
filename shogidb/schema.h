// The shogi database ("SHGDB"): one directory holding six tables of the database engine.
//
//   SHGDB_A  positions        A_HASH char 6, A_SYNONYM char 2, A_BFORM bin 44, A_REFCOUNT bin 4 (u32)
//                             unique index 0 (A_HASH, A_SYNONYM)                               56 bytes
//   SHGDB_B  game headers     the 19 columns of the game header (header_rows.h)
//                             index 0 (対局者)                                                 250 bytes
//   SHGDB_C  tsume problems   the 9 columns of the problem header; unique index 0 (出題図)      160 bytes
//   SHGDB_D  move blocks      D_RECID char 1, D_RECNO char 6, D_SNO char 2, D_BPLAY bin 40,
//                             D_DUMMY char 11; unique index 0 (D_RECID, D_RECNO, D_SNO)         60 bytes
//   SHGDB_E  joseki entries   E_HASH_S char 8, E_SIDE char 1, E_EVAL bin 2, E_MOVE bin 40,
//                             E_DUMMY char 1; index 0 (E_HASH_S, E_SIDE)                        52 bytes
//   SHGDB_F  annotation text  F_COMMENTID char 1, F_COMMENTKEY char 12, F_SNO char 2,
//                             F_SENTENCE char 45; unique index 0 (F_COMMENTKEY, F_COMMENTID, F_SNO)
//                                                                                               60 bytes
// Each table is the engine's files (table.h) named after it in the directory. The directory of the
// application's database is the environment variable SHGDB.
#pragma once
#include <string>
#include <string_view>

#include "platform/message_sink.h"
#include "platform/progress_sink.h"

namespace shogidb {

enum TableId { kTableA, kTableB, kTableC, kTableD, kTableE, kTableF, kTableCount };

struct TableInfo {
  const char* name;              // "SHGDB_A"
  const char* title;             // "盤面表"
  const char* create_statement;  // exactly as the database is created
  const char* index_statement;
  int record_length;
};
const TableInfo& Table(TableId id);

// A directory as the databases use it: with one "/" at its end (empty stays empty).
std::string NormalizeDirectory(std::string_view directory);
// The path of a table: the directory followed by its name.
std::string TablePathIn(std::string_view directory, TableId id);

// Whether the directory holds the six tables' schema files.
bool DatabaseExists(std::string_view directory);

// Creates a new directory and the six tables with their indexes in it. A directory that cannot be made
// (one that exists already included) shows "新規ディレクトリの作成に失敗しました。\n(既存フォルダ内には
// 作成できません)". Each table reports to `progress`: "盤面表(SHGDB_A)を作成しました。" or
// "盤面表(SHGDB_A)の作成に失敗しました。" / "索引 SHGDB_A の作成に失敗しました。" (which ends the
// creation); at the end "将棋データベースは正常に作成されました。". True on success.
bool CreateDatabase(std::string_view directory, platform::ProgressSink& progress, platform::MessageSink& messages);

}  // namespace shogidb
