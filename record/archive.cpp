#include "record/archive.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/files.h"
#include "platform/text_codec.h"
#include "record/csa_encoding.h"

namespace record {
namespace {

char LineEndOf(std::string_view text) {
  return text.find('\n') == std::string_view::npos && text.find('\r') != std::string_view::npos ? '\r' : '\n';
}

// The line from `pos` on, without its line end; `pos` moves past it.
std::string_view NextLine(std::string_view text, char line_end, size_t& pos) {
  const size_t end = text.find(line_end, pos);
  std::string_view line = text.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  pos = end == std::string_view::npos ? text.size() : end + 1;
  return line;
}

}  // namespace

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  const char line_end = LineEndOf(text);
  size_t pos = 0;
  while (pos < text.size()) lines.push_back(NextLine(text, line_end, pos));
  return lines;
}

Archive Archive::FromBytes(std::string bytes) {
  Archive a;
  a.data_ = std::move(bytes);
  a.line_end_ = LineEndOf(a.data_);
  return a;
}

// A CSA text's own declaration of its encoding comes before any guess from its bytes.
Archive Archive::FromText(std::string_view bytes) { return FromBytes(CsaTextToCp932(bytes)); }

Archive Archive::ToMemory(size_t reserve) {
  Archive a;
  a.storing_ = true;
  a.data_.reserve(reserve);
  return a;
}

Archive Archive::ToFile(std::string_view cp932_path, bool append) {
  Archive a;
  a.storing_ = true;
  a.file_ = std::make_unique<platform::ReplacementFile>();
  a.ok_ = a.file_->Open(cp932_path, append);
  return a;
}

Archive::Archive(Archive&&) noexcept = default;
Archive& Archive::operator=(Archive&&) noexcept = default;
Archive::~Archive() = default;

bool Archive::ReadLine(std::string& line) {
  line.clear();
  if (storing_ || pos_ >= data_.size()) return false;
  line_start_ = pos_;
  line = NextLine(data_, line_end_, pos_);
  return true;
}

int Archive::LineNumber() const {
  if (line_start_ == std::string::npos) return 0;
  return 1 + static_cast<int>(std::count(data_.begin(), data_.begin() + static_cast<std::ptrdiff_t>(line_start_), line_end_));
}

size_t Archive::Read(void* destination, size_t n) {
  if (storing_) return 0;
  const size_t available = data_.size() - pos_;
  if (n > available) n = available;
  if (n) std::memcpy(destination, data_.data() + pos_, n);
  pos_ += n;
  return n;
}

void Archive::Write(std::string_view text) {
  // After a failure nothing more is written: a file that lost a piece must not look whole.
  if (!storing_ || !ok_ || text.empty()) return;
  if (file_) {
    if (!file_->Write(text)) ok_ = false;
  } else {
    data_.append(text);
  }
}

void Archive::WriteLine(std::string_view text) {
  Write(text);
  Write("\r\n");
}

bool Archive::Commit() {
  if (!file_) return ok_;
  if (!ok_ || !file_->Commit()) ok_ = false;
  file_.reset();
  return ok_;
}

}  // namespace record
