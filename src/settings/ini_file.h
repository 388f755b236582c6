// An INI text file other than the settings store (template files), read and written by the
// store's file rules: the same text encodings (UTF-8, or UTF-16 with its byte-order mark) and
// line reader (damaged lines are skipped, section and key names matched without regard to
// case), update in place (other sections, keys and comments kept), and atomic replacement (a
// crash leaves the old or the new file, never a torn one). There is no lock: these are the
// user's own files, opened by one program at a time.
//
// The functions live beside the store's (settings/store.cpp), which they share.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace lmvn {

class IniFile {
 public:
  enum class LoadStatus { kOk, kMissing, kError };

  IniFile();
  ~IniFile();
  IniFile(const IniFile&) = delete;
  IniFile& operator=(const IniFile&) = delete;

  // Reads `path`. kMissing leaves the document empty; kError (not a regular file, too large,
  // unreadable) leaves it empty too, and Save() then refuses to replace that file.
  LoadStatus Load(const std::string& path);

  // The text of section/key; std::nullopt when it is not in the file.
  std::optional<std::string> Get(std::string_view section, std::string_view key) const;

  // True when the file has `section` (matched without regard to case), even an empty one.
  bool HasSection(std::string_view section) const;

  // Sets section/key (an existing entry keeps its place and its spelling). False, and nothing
  // changed, for a name or value the file cannot hold (the store's rules: no line breaks,
  // no brackets in sections, no '=' in keys, no lines its reader would reject).
  bool Set(std::string_view section, std::string_view key, std::string_view value);

  // Replaces `path` with the document atomically. When the loaded file held damaged lines,
  // the whole old file is first kept beside it as "<path>.damaged". False, and the file
  // left as it was, when it could not be written or was not readable at Load().
  bool Save(const std::string& path) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace lmvn
