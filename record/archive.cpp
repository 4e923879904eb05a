#include "record/archive.h"

#include <cstring>
#include <utility>

#include "platform/files.h"
#include "platform/text_codec.h"

namespace record {

Archive Archive::FromBytes(std::string bytes) {
  Archive a;
  a.data_ = std::move(bytes);
  return a;
}

Archive Archive::FromText(std::string_view bytes) { return FromBytes(platform::InputTextToCp932(bytes)); }

Archive Archive::ToMemory(size_t reserve) {
  Archive a;
  a.storing_ = true;
  a.data_.reserve(reserve);
  return a;
}

Archive Archive::ToFile(std::string_view cp932_path, bool append) {
  Archive a;
  a.storing_ = true;
  a.file_ = platform::OpenFile(cp932_path, append ? "ab" : "wb");
  a.ok_ = a.file_ != nullptr;
  return a;
}

Archive::Archive(Archive&& other) noexcept { *this = std::move(other); }

Archive& Archive::operator=(Archive&& other) noexcept {
  if (this != &other) {
    if (file_) std::fclose(file_);
    storing_ = other.storing_;
    ok_ = other.ok_;
    data_ = std::move(other.data_);
    pos_ = other.pos_;
    file_ = std::exchange(other.file_, nullptr);
  }
  return *this;
}

Archive::~Archive() {
  if (file_) std::fclose(file_);
}

bool Archive::ReadLine(std::string& line) {
  line.clear();
  if (storing_ || pos_ >= data_.size()) return false;
  const size_t lf = data_.find('\n', pos_);
  const size_t end = lf == std::string::npos ? data_.size() : lf;
  line.assign(data_, pos_, end - pos_);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  pos_ = lf == std::string::npos ? data_.size() : lf + 1;
  return true;
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
    if (std::fwrite(text.data(), 1, text.size(), file_) != text.size()) ok_ = false;
  } else {
    data_.append(text);
  }
}

void Archive::WriteLine(std::string_view text) {
  Write(text);
  Write("\r\n");
}

bool Archive::Close() {
  if (!file_) return ok_;
  if (std::fclose(file_) != 0) ok_ = false;
  file_ = nullptr;
  return ok_;
}

}  // namespace record
