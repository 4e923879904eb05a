// Archive: the byte stream the documents read and write, in one direction at a time.
//
// A loading archive holds the whole input in memory (record files are small) and hands out lines or raw
// bytes; it can report and return to a position, which the header scan and the select-read offsets need.
// A storing archive appends text to memory, or to a file that replaces its target only on Commit: an
// archive dropped uncommitted, or a write that fails, leaves the target as it was.
//
// Lines: a line ends at LF; one CR before the LF is dropped; the last line may lack its LF. A text that
// holds CR but no LF at all (old Macintosh files) ends its lines at CR; elsewhere a lone CR is part of
// its line. Lines are returned whole, however long, so a long annotation is never split into a second
// line that could be mistaken for a move.
#pragma once
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
class ReplacementFile;
}

namespace record {

class Archive {
 public:
  // Loading from bytes exactly as given (CP932 text, or binary such as a position file).
  static Archive FromBytes(std::string bytes);
  // Loading from the bytes of a text file: UTF-8 text (with or without BOM, or declared by a CSA encoding
  // line) is converted to CP932.
  static Archive FromText(std::string_view bytes);
  // Storing into memory; `reserve` is the initial capacity.
  static Archive ToMemory(size_t reserve = 8192);
  // Storing into a file by CP932 path: written anew, or after the file's present bytes (`append`). `ok()`
  // is false when it could not be opened.
  static Archive ToFile(std::string_view cp932_path, bool append);

  Archive(Archive&&) noexcept;
  Archive& operator=(Archive&&) noexcept;
  ~Archive();

  bool IsStoring() const { return storing_; }
  bool IsLoading() const { return !storing_; }

  // --- loading ----------------------------------------------------------------------------------
  // The next line without its line end; false (and an empty line) at the end of the input.
  bool ReadLine(std::string& line);
  // The number of the line ReadLine returned last (1 the first of the input), for messages; 0 before any.
  int LineNumber() const;
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
  // Puts a file archive's text in place of its target, once all of it is on disk; false (the target as
  // it was) when anything failed. Memory archives just answer ok().
  bool Commit();

 private:
  Archive() = default;

  bool storing_ = false;
  bool ok_ = true;
  std::string data_;  // loading: the input; storing to memory: the output
  size_t pos_ = 0;
  std::unique_ptr<platform::ReplacementFile> file_;  // storing to a file
  char line_end_ = '\n';
  size_t line_start_ = std::string::npos;  // where the line ReadLine returned last begins
};

// The lines of a text by the rules of Archive::ReadLine, as views into it.
std::vector<std::string_view> SplitLines(std::string_view text);

}  // namespace record
