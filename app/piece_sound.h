// PieceSound: one wave file read whole into memory and played asynchronously (the piece sound). A file
// that is missing or unreadable, or a machine without a sound device, leaves it silent.
#pragma once
#include <memory>
#include <string>

#include "app/core/wave.h"

namespace app {

class PieceSound {
 public:
  // False (and silent) when the file cannot be read or is not a wave file we can play.
  bool Load(const std::string& cp932_path);
  bool loaded() const { return data_ != nullptr; }
  // Starts playback on a worker thread and returns at once.
  void Play() const;

 private:
  std::shared_ptr<const std::string> data_;
  WaveFormat format_;
};

}  // namespace app
