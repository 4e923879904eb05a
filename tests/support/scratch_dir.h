// Scratch directories of tests: one path per name and test process under the test temporary directory,
// removed after the test that asked for it when that test passed (a failure leaves the files for a look).
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/files.h"

namespace test_support {

inline void RemoveTree(const std::string& dir) {
  std::string command = "rm -rf '" + platform::NativePath(dir) + "'";
  if (std::system(command.c_str()) != 0) ADD_FAILURE() << command;
}

// Removes `dir` at the end of the running test, when it passed.
inline void RemoveAfterPassingTest(const std::string& dir) {
  struct Cleanup : ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo& info) override {
      if (info.result()->Passed()) {
        for (const std::string& d : dirs) RemoveTree(d);
      }
      dirs.clear();
    }
    std::vector<std::string> dirs;
  };
  static Cleanup* cleanup = [] {
    auto* c = new Cleanup;
    ::testing::UnitTest::GetInstance()->listeners().Append(c);
    return c;
  }();
  cleanup->dirs.push_back(dir);
}

// "<temp dir><prefix>_<name>_<pid>", with nothing there.
inline std::string ScratchPath(const std::string& prefix, const std::string& name) {
  std::string dir = platform::CorePath(::testing::TempDir()) + prefix + "_" + name + "_" + std::to_string(::getpid());
  RemoveTree(dir);
  return dir;
}

}  // namespace test_support
