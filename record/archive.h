// Archive: the byte stream the documents read and write, in one direction at a time.
//
// A loading archive holds the whole input in memory (record files are small) and hands out lines or raw
// bytes; it can report and return to a position, which the header scan and the select-read offsets need.
// A storing archive appends text to memory or writes it to a file as it comes.
//
// Lines: a line ends at LF; one CR before the LF is dropped; the last line may lack its LF. Lines are
// returned whole, however long, so a long annotation is never split into a second line that could be
// mistaken for a move.
#pragma once
#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace record {

class Archive {
 public:
  // Loading from bytes exactly as given (CP932 text, or binary such as a position file).
  static Archive FromBytes(std::string bytes);
  // Loading from the bytes of a text file: UTF-8 text (with or without BOM) is converted to CP932.
  static Archive FromText(std::string_view bytes);
  // Storing into memory; `reserve` is the initial capacity.
  static Archive ToMemory(size_t reserve = 8192);
  // Storing into a file by CP932 path: created anew, or appended to. `ok()` is false when it could not be
  // opened.
  static Archive ToFile(std::string_view cp932_path, bool append);

  Archive(Archive&&) noexcept;
  Archive& operator=(Archive&&) noexcept;
  ~Archive();

  bool IsStoring() const { return storing_; }
  bool IsLoading() const { return !storing_; }

  // --- loading ----------------------------------------------------------------------------------
  // The next line without its line end; false (and an empty line) at the end of the input.
  bool ReadLine(std::string& line);
  // Up to n raw bytes; returns how many were read.
  size_t Read(void* destination, size_t n);
  bool AtEnd() const { return pos_ >= data_.size(); }
  size_t Tell() const { return pos_; }
  void Seek(size_t pos) { pos_ = pos < data_.size() ? pos : data_.size(); }
  size_t size() const { return data_.size(); }

  // --- storing ----------------------------------------------------------------------------------
  void Write(std::string_view text);
  void WriteLine(std::string_view text);  // the text and CRLF
  // The text stored so far (memory archives).
  const std::string& text() const { return data_; }
  // False when the file could not be opened or a write failed.
  bool ok() const { return ok_; }
  // Flushes and closes a file archive; false when anything failed. Memory archives just answer ok().
  bool Close();

 private:
  Archive() = default;

  bool storing_ = false;
  bool ok_ = true;
  std::string data_;  // loading: the input; storing to memory: the output
  size_t pos_ = 0;
  std::FILE* file_ = nullptr;
};

}  // namespace record
