#include "record/move_space_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/crc32.h"
#include "platform/environment.h"
#include "platform/files.h"
#include "record/archive.h"

namespace record {

std::string MoveSpaceFolder(const std::string& database_directory) {
  std::string folder = database_directory;
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder + "pcl";
}

std::string MoveSpaceFilePath(const std::string& database_directory, const std::string& name) {
  return MoveSpaceFolder(database_directory) + "/" + name + ".pcl";
}

std::string MoveSpaceSumPath(const std::string& move_space_file_path) { return move_space_file_path + ".sum"; }

std::string MoveSpaceSum(std::string_view bytes) {
  char text[9];
  std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(platform::Crc32Of(bytes)));
  return text;
}

int MoveSpaceFile(ProblemDocument& doc, bool write, bool show_messages, const std::string* name) {
  return MoveSpaceFileIn(platform::GetEnv("SHGDB").value_or(""), doc, write, show_messages, name);
}

int MoveSpaceFileIn(const std::string& database_directory, ProblemDocument& doc, bool write, bool show_messages,
                    const std::string* name) {
  platform::MessageSink& messages = doc.messages();
  const std::string folder = MoveSpaceFolder(database_directory);
  if (!platform::IsDirectory(folder) && !platform::MakeDirectory(folder)) {
    if (show_messages) messages.Show("PCLフォルダ " + folder + " が作成できません。指し手空間は無視します。");
    return 0;
  }
  const std::string file_name = name ? *name : doc.header().ProblemPosition();
  const std::string path = folder + "/" + file_name + ".pcl";
  if (write) {
    Archive ar = Archive::ToMemory();
    doc.Serialize(ar);
    // The sum goes first: a file that is there is never without the sum it must match.
    if (file_name.empty() || !platform::WriteWholeFile(MoveSpaceSumPath(path), MoveSpaceSum(ar.text())) ||
        !platform::WriteWholeFile(path, ar.text())) {
      if (show_messages) {
        messages.Show("指し手空間ファイル " + path + " の書き込みに失敗しました。\r\n" +
                      "すでにこのファイルが存在している場合は手動で削除してください。");
      }
      return 0;
    }
    return 1;
  }
  if (!file_name.empty() && platform::FileExists(MoveSpaceSumPath(path))) platform::RemoveFile(MoveSpaceSumPath(path));
  if (!file_name.empty() && platform::FileExists(path) && !platform::RemoveFile(path)) {
    if (show_messages) {
      std::string error = std::strerror(errno);
      if (error.size() > 255) error.resize(255);
      messages.Show("指し手空間ファイル " + path + " が削除できません。:\r\n(Error message:" + error + ")");
    }
  }
  return 1;
}

}  // namespace record
