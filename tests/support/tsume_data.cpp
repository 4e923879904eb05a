#include "tests/support/tsume_data.h"

#include <fstream>
#include <sstream>
#include <sys/stat.h>

int TsumeProblem::ReferenceLength() const {
  if (reference.empty() || reference.find_first_not_of("0123456789") != std::string::npos) return -1;
  return std::stoi(reference);
}

std::string TsumeFolder(const char* testdata_root) {
  std::string folder = std::string(testdata_root) + "/tsume";
  struct stat st {};
  if (stat((folder + "/index.tsv").c_str(), &st) != 0) return "";
  return folder;
}

std::vector<TsumeProblem> LoadTsumeIndex(const std::string& folder) {
  std::vector<TsumeProblem> problems;
  std::ifstream in(folder + "/index.tsv");
  std::string line;
  bool header = true;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (header) {
      header = false;
      continue;
    }
    std::vector<std::string> cols;
    std::stringstream ss(line);
    std::string col;
    while (std::getline(ss, col, '\t')) cols.push_back(col);
    if (cols.size() < 5) continue;
    problems.push_back({cols[0], cols[2], cols[3], cols[4]});
  }
  return problems;
}
