// Result codes of the database engine. Every engine operation returns one of these as a plain int; the
// shogi databases read them and show them to the user in their messages, so the numbers are fixed.
#pragma once

namespace dbengine {

enum ResultCode : int {
  kOk = 0,
  kCannotOpen = 1,      // a table's bitmap or data file cannot be opened or created
  kNoMemory = 2,        // out of memory
  kNoDiskSpace = 3,     // not enough free disk space to grow or create the table
  kInvalid = 4,         // invalid argument or create-statement syntax; bad regular expression
  kNotOpen = 5,         // table (its bitmap or data file) not open
  kTableFull = 6,       // the bitmap already has 65535 bytes and every slot is in use
  kReadOnly = 7,        // the table's files cannot be written (a read-only medium, no write permission)
  kNotFound = 10,       // no such record, end of a scan or walk, key not found
  kDuplicateKey = 11,   // a unique index already holds the key
  kSeekGreater = 20,    // IndexSeek: no exact key; on the next greater key, which does not begin with it
  kSeekPrefix = 21,     // IndexSeek: no exact key; on the next greater key, which begins with it
  kSeekEnd = 22,        // IndexSeek: no exact key and no greater key
  kPrefixNext = 30,     // FindByPrefix: no key begins with the string; the record of the next greater key
  kPrefixFound = 31,    // FindByPrefix / FindNextByPrefix: a record whose key begins with the string
  kRegexLimit = 98,     // a regular expression ran out of its work or depth budget on some text
  kQueryError = 99,     // select statement error (syntax, unknown column, no active query, ...)
  kIndexState = 100,    // key of 100 bytes or more, or an index not in the expected state
  kIndexOpen = 101,     // an index file cannot be opened or created
  kIndexRead = 102,     // an index file cannot be read, or holds a damaged node or header
  kIndexWrite = 103,    // an index file cannot be written
  // Create statements and the result store of a sorted select.
  kSchemaOpen = 201,          // schema file cannot be opened; result store's temporary file cannot be made
  kSchemaIo = 202,            // schema file not read or written completely; short write of rows
  kTableFiles = 203,          // create table: files not created; create index: not the next index number
  kTooManyKeyColumns = 204,   // an index with more than 10 columns
  kNotIndexable = 205,        // an indexed column of a type that cannot be indexed ("bin")
  kNoSuchColumn = 206,        // an index column that the table does not have
  kIndexTableOpen = 207,      // the table cannot be opened for building the index
  kIndexCreate = 208,         // the index file cannot be created
  kKeyTooLong = 209,          // the key columns' widths add up to 100 or more
  kSchemaReopen = 210,        // the schema file cannot be opened for rewriting
  kSchemaRewrite = 211,       // the rewritten schema file cannot be written completely
};

// Short English description of a code, for logs and the command-line tool ("key not found").
const char* ResultCodeText(int code);

}  // namespace dbengine
