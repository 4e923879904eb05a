// Move-space files (指し手空間ファイル): the full PCL text of a registered problem, kept by the tsume
// database in the folder "pcl" of the database directory (environment variable SHGDB), one file per
// problem named after its position id: "<SHGDB>/pcl/<name>.pcl". Beside each file, "<name>.pcl.sum"
// holds the CRC-32 of its bytes (eight hex digits), so that a file damaged or lost later is told from
// the one written; other programs pass the extra file by.
#pragma once
#include <string>
#include <string_view>

#include "record/record_document.h"

namespace record {

// The folder of the move-space files for a database directory (CP932).
std::string MoveSpaceFolder(const std::string& database_directory);

// Writes (write = true) or deletes the move-space file of the document's problem. Without a name the
// header's 出題図 names the file. Returns 1 on success, 0 on failure; with `show_messages` failures are
// shown: "PCLフォルダ %s が作成できません。指し手空間は無視します。", "指し手空間ファイル %s の書き込みに
// 失敗しました。...", "指し手空間ファイル %s が削除できません。...". A failed removal still returns 1.
int MoveSpaceFile(ProblemDocument& doc, bool write, bool show_messages, const std::string* name = nullptr);
// The same for the database in a given directory (the database operations name theirs).
int MoveSpaceFileIn(const std::string& database_directory, ProblemDocument& doc, bool write, bool show_messages,
                    const std::string* name = nullptr);
// The path of a problem's move-space file, and of its checksum.
std::string MoveSpaceFilePath(const std::string& database_directory, const std::string& name);
std::string MoveSpaceSumPath(const std::string& move_space_file_path);
// The checksum text of a move-space file's bytes.
std::string MoveSpaceSum(std::string_view bytes);

}  // namespace record
