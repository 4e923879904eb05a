// Where a table named in a statement lives.
#pragma once
#include <string>
#include <string_view>

namespace dbengine {

// A bare name is joined to the directory when one is given; a name with "/" is a path as it stands.
inline std::string TablePath(std::string_view directory, std::string_view name) {
  if (directory.empty() || name.find('/') != std::string_view::npos) return std::string(name);
  std::string path(directory);
  if (path.back() != '/') path += '/';
  path += name;
  return path;
}

}  // namespace dbengine
