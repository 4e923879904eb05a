#include "dbengine/result_codes.h"

namespace dbengine {

const char* ResultCodeText(int code) {
  switch (code) {
    case kOk: return "success";
    case kCannotOpen: return "table file cannot be opened, created, read or written";
    case kNoMemory: return "out of memory";
    case kNoDiskSpace: return "not enough free disk space";
    case kInvalid: return "invalid argument or statement";
    case kNotOpen: return "table not open";
    case kTableFull: return "table full";
    case kReadOnly: return "table files are read-only";
    case kNotFound: return "no such record or key";
    case kDuplicateKey: return "duplicate key in a unique index";
    case kSeekGreater: return "positioned on a greater key";
    case kSeekPrefix: return "positioned on a greater key beginning with the key";
    case kSeekEnd: return "no greater key";
    case kPrefixNext: return "no key with the prefix; next greater record";
    case kPrefixFound: return "record with the prefix found";
    case kRegexLimit: return "regular expression too costly for the text (work limit reached)";
    case kQueryError: return "select statement error";
    case kIndexState: return "key too long or index not in the expected state";
    case kIndexOpen: return "index file cannot be opened or created";
    case kIndexRead: return "index file cannot be read or is damaged";
    case kIndexWrite: return "index file cannot be written";
    case kSchemaOpen: return "schema file (or temporary result file) cannot be opened";
    case kSchemaIo: return "file not read or written completely";
    case kTableFiles: return "table files not created, or index number not the next one";
    case kTooManyKeyColumns: return "more than 10 index columns";
    case kNotIndexable: return "column type cannot be indexed";
    case kNoSuchColumn: return "no such column";
    case kIndexTableOpen: return "table cannot be opened to build the index";
    case kIndexCreate: return "index file cannot be created";
    case kKeyTooLong: return "index columns 100 bytes wide or more";
    case kSchemaReopen: return "schema file cannot be opened for rewriting";
    case kSchemaRewrite: return "schema file not rewritten completely";
    default: return "unknown result code";
  }
}

}  // namespace dbengine
