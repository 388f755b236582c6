// How a file path is split into its folder and its name: one rule for every file the
// settings write (the store, templates, backups and temporary files) and for the tools.
#pragma once

#include <string>
#include <string_view>

namespace lmvn {

// The folder that holds `path`: the text before its last '/'; "/" for a file at the root, and
// "." (the working folder) for a name without a slash.
inline std::string ParentFolder(std::string_view path) {
  const auto slash = path.rfind('/');
  if (slash == std::string_view::npos) return ".";
  return slash == 0 ? "/" : std::string(path.substr(0, slash));
}

// The name of the file at `path`: the text after its last '/', or all of it without one.
inline std::string_view FileName(std::string_view path) {
  const auto slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace lmvn
