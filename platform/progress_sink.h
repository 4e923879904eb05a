// Lines of a long operation (the progress window's list); texts are CP932.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class ProgressSink {
 public:
  virtual ~ProgressSink() = default;
  virtual void Line(std::string_view text) = 0;
};

class RecordingProgressSink final : public ProgressSink {
 public:
  void Line(std::string_view text) override { lines.emplace_back(text); }
  std::vector<std::string> lines;
};

}  // namespace platform
