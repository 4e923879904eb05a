// Scratch directories for the database engine's fuzz targets.
#pragma once
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzz_dbengine {

// Removes the files of a directory (the targets make no subdirectories) and the directory.
inline void RemoveDirectory(const std::string& dir) {
  if (DIR* d = ::opendir(dir.c_str())) {
    while (dirent* e = ::readdir(d)) {
      if (e->d_name[0] != '.' || (e->d_name[1] != '\0' && e->d_name[1] != '.')) ::unlink((dir + "/" + e->d_name).c_str());
    }
    ::closedir(d);
  }
  ::rmdir(dir.c_str());
}

// A directory of this process under /tmp, emptied on each call.
inline std::string EmptyDirectory(const std::string& name) {
  std::string dir = "/tmp/komaraku_fuzz_" + name + "_" + std::to_string(::getpid());
  RemoveDirectory(dir);
  if (::mkdir(dir.c_str(), 0700) != 0) std::abort();
  return dir;
}

// Prints the input in hexadecimal (to keep it as a regression case) and aborts.
[[noreturn]] inline void Fail(const uint8_t* data, size_t size, const char* what) {
  std::fprintf(stderr, "fuzz_dbengine: %s; input (%zu bytes):\n", what, size);
  for (size_t i = 0; i < size; ++i) std::fprintf(stderr, "%02x%s", data[i], i % 32 == 31 ? "\n" : "");
  std::fprintf(stderr, "\n");
  std::abort();
}

}  // namespace fuzz_dbengine
