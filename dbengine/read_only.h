// Whether a database directory or a table can be written, so that a database on a read-only medium (or
// one this user may not write) is read, searched and exported rather than reported as damaged.
#pragma once
#include <string_view>

namespace dbengine {

// True when the directory exists and files in it cannot be created or written: a read-only file system
// (for every user, root included) or no write permission. False for a missing directory.
bool DirectoryReadOnly(std::string_view cp932_directory);

// True when the table at `path` (directory joined with the table name) cannot be changed: its directory
// is read-only, or one of its existing files (schema, bitmap, data, index files) cannot be written.
// Such a table opens for reading only (table.h), and its check says so (check.h).
bool TableFilesReadOnly(std::string_view path);

}  // namespace dbengine
