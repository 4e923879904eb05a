// The shared tsume test data: problems listed in tsume/index.tsv (id, source, expected, reference, sfen).
#pragma once
#include <string>
#include <vector>

struct TsumeProblem {
  std::string id;
  std::string expected;   // the length the source states, "nomate", or empty
  std::string reference;  // an independent solver's result: a length, "nomate", "timeout" or empty
  std::string sfen;

  // The reference length, or -1 when the reference gives none.
  int ReferenceLength() const;
  bool ReferenceNoMate() const { return reference == "nomate"; }
};

// The folder of the shared test data (KOMARAKU_TESTDATA/tsume); empty when it is absent.
std::string TsumeFolder(const char* testdata_root);
// Every problem of index.tsv; empty when the file is missing.
std::vector<TsumeProblem> LoadTsumeIndex(const std::string& folder);
