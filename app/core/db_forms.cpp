#include "app/core/db_forms.h"

#include <algorithm>

#include "app/core/header_form.h"
#include "platform/files.h"
#include "platform/text_codec.h"

namespace app {
namespace {

using platform::Cp932ToUtf8;

std::string Utf8Of(std::string_view cp932) { return Cp932ToUtf8(cp932); }

// A field shown as label and value; digit fields in their display form.
std::string FieldLine(const record::HeaderFields& h, int i) {
  const record::HeaderFieldSpec& spec = h.FieldSpec(i);
  return Utf8Of(spec.key) + " " + DigitsToDisplay(spec.rule, Utf8Of(h.Field(i)));
}

void AddAnnotation(const std::string& cp932, const char* label, std::vector<std::string>& lines) {
  lines.push_back(label);
  std::string text = Utf8Of(cp932);
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(" " + line);
    start = end + 1;
  }
}

}  // namespace

const char* FileKindOf(DbItemKind kind) { return kind == DbItemKind::kGame ? "CSA" : "PCL"; }

std::string RegisterFileProblem(DbItemKind kind, const std::string& cp932_path) {
  const std::string file = FileKindOf(kind);
  if (cp932_path.empty()) return file + "ファイル名を指定してください。";
  if (platform::IsDirectory(cp932_path)) return file + "ファイル名を入力してください。";
  const std::string shown = Utf8Of(cp932_path);
  if (!platform::FileExists(cp932_path)) return file + "ファイル(" + shown + ")のオープンエラーです。";
  std::FILE* f = platform::OpenFile(cp932_path, "rb");
  if (!f) {
    return kind == DbItemKind::kGame ? "CSAファイル(" + shown + ")がオープンできません。"
                                     : "PCLファイル(" + shown + ")のオープンエラーです。";
  }
  std::fclose(f);
  return {};
}

bool ReadRegisterFile(DbItemKind kind, const std::string& cp932_path, std::string& text, std::string& problem) {
  problem = RegisterFileProblem(kind, cp932_path);
  std::string bytes;
  if (problem.empty() && !platform::ReadWholeFile(cp932_path, bytes)) {
    problem = kind == DbItemKind::kGame ? "CSAファイル(" + Utf8Of(cp932_path) + ")がオープンできません。"
                                        : "PCLファイル(" + Utf8Of(cp932_path) + ")のオープンエラーです。";
  }
  if (!problem.empty()) return false;
  text = platform::InputTextToCp932(bytes);
  return true;
}

std::string ExportFileProblem(DbItemKind kind, std::string_view utf8_path) {
  const bool blank = utf8_path.find_first_not_of(" \t") == std::string_view::npos;
  if (!blank && utf8_path.back() != '/') return {};
  return kind == DbItemKind::kGame ? "CSA ファイル名(*.csa)を指定してください。" : "PCL ファイル名(*.pcl)を指定してください。";
}

std::string SelectionCountText(size_t total, size_t chosen, std::string_view chosen_word) {
  if (chosen == 0) return "全 " + std::to_string(total) + " 件";
  return std::to_string(total) + " 件中 " + std::to_string(chosen) + " 件" + std::string(chosen_word);
}

std::vector<std::string> GameHeaderText(const record::GameHeader& h) {
  std::vector<std::string> lines{"先手: " + Utf8Of(h.SenteName()), "後手: " + Utf8Of(h.GoteName())};
  for (int i = 0; i < h.FieldCount(); ++i) lines.push_back(FieldLine(h, i));
  AddAnnotation(h.Annotation(), "対局注釈:", lines);
  return lines;
}

std::vector<std::string> ProblemHeaderText(const record::ProblemHeader& h) {
  std::vector<std::string> lines;
  for (int i = 0; i < h.FieldCount(); ++i) lines.push_back(FieldLine(h, i));
  lines.push_back("出題図: " + Utf8Of(h.ProblemPosition()));
  AddAnnotation(h.Annotation(), "詰将棋注釈:", lines);
  return lines;
}

std::string DatabaseSettingQuestion(std::string_view utf8_folder) {
  return "将棋データベースの設定は必ず必要です。\n現在値\n" + std::string(utf8_folder) + "\nに設定します。よろしいですか？";
}

std::vector<std::string> RememberFolder(std::vector<std::string> folders, const std::string& folder, size_t max) {
  folders.erase(std::remove(folders.begin(), folders.end(), folder), folders.end());
  folders.insert(folders.begin(), folder);
  if (folders.size() > max) folders.resize(max);
  return folders;
}

}  // namespace app
