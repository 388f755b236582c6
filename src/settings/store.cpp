#include "settings/store.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <vector>

#include "settings/ini_file.h"
#include "settings/value_text.h"

// SimpleIni: the template definitions are compiled here, with plain bytes as characters (no
// character set conversion: values are kept byte for byte).
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

namespace lmvn {
namespace {

constexpr std::size_t kMaxLineLength = 4096;
constexpr off_t kMaxFileSize = 64 * 1024 * 1024;

// ---- names and paths -------------------------------------------------------------------

bool IsControl(char c) {
  return static_cast<unsigned char>(c) < 0x20 || c == 0x7f;
}

bool PlainName(std::string_view name) {
  if (name.empty() || name.front() == ' ' || name.back() == ' ') return false;
  for (const char c : name) {
    if (IsControl(c)) return false;
  }
  return true;
}

bool ValidSection(std::string_view section) {
  return PlainName(section) && section.find_first_of("[]") == std::string_view::npos;
}

bool ValidKey(std::string_view key) {
  return PlainName(key) && key.find('=') == std::string_view::npos && key.front() != ';' &&
         key.front() != '#' && key.front() != '[';
}

bool ValidApp(std::string_view app) {
  return PlainName(app) && app != "." && app != ".." && app.find('/') == std::string_view::npos;
}

std::string EnvAbsolutePath(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || value[0] != '/') return {};
  return value;
}

std::string HomeFolder() {
  std::string home = EnvAbsolutePath("HOME");
  if (!home.empty()) return home;
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* result = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &result) == 0 && result &&
      result->pw_dir && result->pw_dir[0] == '/') {
    return result->pw_dir;
  }
  return {};
}

std::string SettingsFolder(Integer root) {
  if (root == 0 || root == 1) {
    std::string base = EnvAbsolutePath("XDG_CONFIG_HOME");
    if (base.empty()) {
      const std::string home = HomeFolder();
      if (home.empty()) return {};
      base = home + "/.config";
    }
    return base + "/Lumivane";
  }
  std::string dirs;
  if (const char* value = std::getenv("XDG_CONFIG_DIRS")) dirs = value;
  std::string first = dirs.substr(0, dirs.find(':'));
  if (first.empty() || first.front() != '/') first = "/etc/xdg";
  return first + "/Lumivane";
}

bool Writable(Integer root) {
  return root == 0 || root == 1;
}

// ---- files -----------------------------------------------------------------------------

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd = -1) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (fd_ >= 0) close(fd_);
  }
  int get() const { return fd_; }
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return close(fd) == 0;
  }

 private:
  int fd_;
};

// The advisory lock of a settings file, held while the object lives.
class StoreLock {
 public:
  StoreLock(const std::string& folder, std::string_view app, bool exclusive)
      : fd_(open((folder + "/." + std::string(app) + ".ini.lock").c_str(),
                 O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
    if (fd_.get() < 0) return;
    int rc;
    do {
      rc = flock(fd_.get(), exclusive ? LOCK_EX : LOCK_SH);
    } while (rc != 0 && errno == EINTR);
    locked_ = rc == 0;
  }
  bool locked() const { return locked_; }

 private:
  FileDescriptor fd_;
  bool locked_ = false;
};

enum class ReadStatus { kOk, kMissing, kError };

ReadStatus ReadWholeFile(const std::string& path, std::string& out) {
  out.clear();
  FileDescriptor fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) return errno == ENOENT ? ReadStatus::kMissing : ReadStatus::kError;
  struct stat info {};
  if (fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > kMaxFileSize) {
    return ReadStatus::kError;
  }
  out.reserve(static_cast<std::size_t>(info.st_size));
  char buffer[65536];
  for (;;) {
    const ssize_t n = read(fd.get(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return ReadStatus::kError;
    if (n == 0) break;
    out.append(buffer, static_cast<std::size_t>(n));
    if (out.size() > static_cast<std::size_t>(kMaxFileSize)) return ReadStatus::kError;
  }
  return ReadStatus::kOk;
}

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = write(fd, data.data(), data.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

bool SyncFolder(const std::string& folder) {
  FileDescriptor fd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  return fd.get() >= 0 && fsync(fd.get()) == 0;
}

std::string ParentFolder(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Replaces the file at `path` with `data` so that a reader sees either the old or the new
// file, never a part of either. A symbolic link is followed: its target is replaced.
bool ReplaceFile(std::string path, std::string_view data) {
  if (char* resolved = realpath(path.c_str(), nullptr)) {
    path = resolved;
    std::free(resolved);
  }
  const std::string folder = ParentFolder(path);
  mode_t mode = 0600;
  struct stat info {};
  if (stat(path.c_str(), &info) == 0) mode = info.st_mode & 07777;

  std::string temp = folder + "/." + path.substr(folder.size() + 1) + ".XXXXXX";
  FileDescriptor fd(mkostemp(temp.data(), O_CLOEXEC));
  if (fd.get() < 0) return false;
  const bool written =
      WriteAll(fd.get(), data) && fchmod(fd.get(), mode) == 0 && fsync(fd.get()) == 0;
  if (!fd.Close() || !written || rename(temp.c_str(), path.c_str()) != 0) {
    unlink(temp.c_str());
    return false;
  }
  SyncFolder(folder);
  return true;
}

// Removes the temporary files that writers killed during a write left behind. Called under
// the exclusive lock, so no other write is under way.
void RemoveStaleTemporaries(const std::string& folder, const std::string& fileName) {
  const std::string prefix = "." + fileName + ".";
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    if (name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0) {
      std::filesystem::remove(entry.path(), error);
    }
  }
}

bool MakeFolders(const std::string& folder) {
  struct stat info {};
  if (stat(folder.c_str(), &info) == 0) return S_ISDIR(info.st_mode);
  const std::string parent = ParentFolder(folder);
  if (parent != folder && !MakeFolders(parent)) return false;
  return mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

// ---- the file's text -------------------------------------------------------------------

// The readable part of a settings file. `body` goes to the INI parser; `tail` holds the
// comments and blank lines after the last section or value, which the parser would drop.
struct CleanText {
  std::string body;
  std::string tail;
  bool damaged = false;
};

CleanText Clean(std::string_view text) {
  CleanText clean;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  bool lostSection = false;
  std::string* out = &clean.body;
  std::string pending;  // comments and blank lines not yet followed by a value or section
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

    const std::string_view trimmed = TrimBlanks(line);
    bool keep = false, entry = false;
    if (line.size() > kMaxLineLength || line.find('\0') != std::string_view::npos ||
        line.find('\r') != std::string_view::npos) {
      keep = false;
    } else if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '#') {
      pending.append(line).push_back('\n');
      continue;
    } else if (trimmed.front() == '[') {
      const auto close = trimmed.find(']');
      lostSection =
          close == std::string_view::npos || TrimBlanks(trimmed.substr(1, close - 1)).empty();
      keep = entry = !lostSection;
    } else if (const auto equals = trimmed.find('=');
               equals != std::string_view::npos && equals > 0 && !lostSection) {
      keep = entry = true;
    }
    if (!keep) {
      clean.damaged = true;
      continue;
    }
    if (entry) {
      out->append(pending);
      pending.clear();
      out->append(line).push_back('\n');
    }
  }
  clean.tail = std::move(pending);
  return clean;
}

class IniDocument {
 public:
  IniDocument() : ini_(/*utf8=*/false, /*multiKey=*/false, /*multiLine=*/false) {
    ini_.SetSpaces(false);
    ini_.SetQuotes(false);
    ini_.SetAllowKeyOnly(false);
  }
  bool Load(const std::string& body) { return ini_.LoadData(body) == SI_OK; }
  const char* Find(const std::string& section, const std::string& key) const {
    return ini_.GetValue(section.c_str(), key.c_str(), nullptr);
  }
  bool Set(const std::string& section, const std::string& key, const std::string& value) {
    return ini_.SetValue(section.c_str(), key.c_str(), value.c_str()) >= 0;
  }
  bool Save(std::string& out) const { return ini_.Save(out, false) == SI_OK; }

 private:
  CSimpleIniA ini_;
};

// The stored text of one value; std::nullopt when it is missing or cannot be read.
std::optional<std::string> ReadStored(std::string_view app, std::string_view section,
                                      std::string_view key, Integer root) {
  if (!ValidSection(section) || !ValidKey(key)) return std::nullopt;
  const std::string path = SettingsFilePath(app, root);
  if (path.empty()) return std::nullopt;
  struct stat info {};
  const std::string folder = ParentFolder(path);
  if (stat(folder.c_str(), &info) != 0) return std::nullopt;
  // Writes replace the file atomically, so a read without the lock (a folder that is not
  // ours to write) still sees one whole file.
  const StoreLock lock(folder, app, /*exclusive=*/false);
  std::string text;
  if (ReadWholeFile(path, text) != ReadStatus::kOk) return std::nullopt;
  IniDocument doc;
  if (!doc.Load(Clean(text).body)) return std::nullopt;
  const char* value = doc.Find(std::string(section), std::string(key));
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

bool WriteTexts(std::string_view app, std::span<const SettingWrite> writes, Integer root) {
  if (!Writable(root)) return false;
  for (const SettingWrite& write : writes) {
    if (!ValidSection(write.section) || !ValidKey(write.key) ||
        write.value.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) {
      return false;
    }
  }
  const std::string path = SettingsFilePath(app, root);
  if (path.empty()) return false;
  const std::string folder = ParentFolder(path);
  if (!MakeFolders(folder)) return false;
  const StoreLock lock(folder, app, /*exclusive=*/true);
  if (!lock.locked()) return false;

  RemoveStaleTemporaries(folder, std::string(app) + ".ini");
  std::string old;
  const ReadStatus status = ReadWholeFile(path, old);
  if (status == ReadStatus::kError) return false;  // never replace what could not be read
  CleanText clean = Clean(old);
  IniDocument doc;
  if (!doc.Load(clean.body)) return false;
  for (const SettingWrite& write : writes) {
    if (!doc.Set(std::string(write.section), std::string(write.key),
                 std::string(TrimBlanks(write.value)))) {
      return false;
    }
  }
  std::string out;
  if (!doc.Save(out)) return false;
  out += clean.tail;
  if (clean.damaged && !ReplaceFile(path + ".damaged", old)) return false;
  return ReplaceFile(path, out);
}

bool WriteText(std::string_view app, std::string_view section, std::string_view key,
               std::string_view value, Integer root) {
  const SettingWrite write{section, key, value};
  return WriteTexts(app, std::span<const SettingWrite>(&write, 1), root);
}

}  // namespace

bool WriteSettings(std::string_view app, std::span<const SettingWrite> writes, Integer root) {
  return WriteTexts(app, writes, root);
}

std::string SettingsFilePath(std::string_view app, Integer root) {
  if (!ValidApp(app)) return {};
  const std::string folder = SettingsFolder(root);
  if (folder.empty()) return {};
  return folder + "/" + std::string(app) + ".ini";
}

bool WriteSetting(std::string_view app, std::string_view section, std::string_view key,
                  std::string_view value, Integer root) {
  return WriteText(app, section, key, value, root);
}
bool WriteSetting(std::string_view app, std::string_view section, std::string_view key,
                  const char* value, Integer root) {
  return value != nullptr && WriteText(app, section, key, value, root);
}
bool WriteSetting(std::string_view app, std::string_view section, std::string_view key,
                  Integer value, Integer root) {
  return WriteText(app, section, key, SettingText(Long{value}), root);
}
bool WriteSetting(std::string_view app, std::string_view section, std::string_view key, Long value,
                  Integer root) {
  return WriteText(app, section, key, SettingText(value), root);
}
bool WriteSetting(std::string_view app, std::string_view section, std::string_view key,
                  Single value, Integer root) {
  const auto text = SettingText(value);
  return text && WriteText(app, section, key, *text, root);
}
bool WriteSetting(std::string_view app, std::string_view section, std::string_view key,
                  double value, Integer root) {
  const auto text = SettingText(value);
  return text && WriteText(app, section, key, *text, root);
}

namespace {

// A read: the stored text converted by the read rules, or the default.
template <typename Def, typename Convert>
auto ReadConverted(std::string_view app, std::string_view section, std::string_view key, Def def,
                   Integer root, Convert convert) {
  const auto stored = ReadStored(app, section, key, root);
  return convert(stored ? std::optional<std::string_view>(*stored) : std::nullopt, def);
}

}  // namespace

std::string ReadSettingString(std::string_view app, std::string_view section, std::string_view key,
                              std::string_view def, Integer root) {
  return ReadConverted(app, section, key, def, root, StringFromText);
}

Integer ReadSettingInteger(std::string_view app, std::string_view section, std::string_view key,
                           Integer def, Integer root) {
  return ReadConverted(app, section, key, def, root, IntegerFromText);
}

Long ReadSettingLong(std::string_view app, std::string_view section, std::string_view key, Long def,
                     Integer root) {
  return ReadConverted(app, section, key, def, root, LongFromText);
}

Single ReadSettingSingle(std::string_view app, std::string_view section, std::string_view key,
                         Single def, Integer root) {
  return ReadConverted(app, section, key, def, root, SingleFromText);
}

// ---- other INI files (settings/ini_file.h) ----------------------------------------------

struct IniFile::Impl {
  IniDocument doc;
  std::string old;  // the file as loaded, kept as a backup when it held damaged lines
  std::string tail;
  bool damaged = false;
  bool unreadable = false;
};

IniFile::IniFile() : impl_(std::make_unique<Impl>()) {}
IniFile::~IniFile() = default;

IniFile::LoadStatus IniFile::Load(const std::string& path) {
  impl_ = std::make_unique<Impl>();
  const ReadStatus status = ReadWholeFile(path, impl_->old);
  if (status != ReadStatus::kOk) {
    impl_->old.clear();
    impl_->unreadable = status == ReadStatus::kError;
    return status == ReadStatus::kMissing ? LoadStatus::kMissing : LoadStatus::kError;
  }
  CleanText clean = Clean(impl_->old);
  impl_->tail = std::move(clean.tail);
  impl_->damaged = clean.damaged;
  if (!impl_->doc.Load(clean.body)) {
    impl_->unreadable = true;
    return LoadStatus::kError;
  }
  return LoadStatus::kOk;
}

std::optional<std::string> IniFile::Get(std::string_view section, std::string_view key) const {
  if (!ValidSection(section) || !ValidKey(key)) return std::nullopt;
  const char* value = impl_->doc.Find(std::string(section), std::string(key));
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

bool IniFile::Set(std::string_view section, std::string_view key, std::string_view value) {
  value = TrimBlanks(value);
  if (!ValidSection(section) || !ValidKey(key) ||
      value.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos ||
      key.size() + 1 + value.size() > kMaxLineLength) {
    return false;
  }
  return impl_->doc.Set(std::string(section), std::string(key), std::string(value));
}

bool IniFile::Save(const std::string& path) const {
  if (impl_->unreadable || path.empty()) return false;
  struct stat info {};
  if (stat(path.c_str(), &info) == 0 &&
      (!S_ISREG(info.st_mode) || (info.st_mode & 0222) == 0 || access(path.c_str(), W_OK) != 0)) {
    return false;  // a folder, a device, or a file made read-only: not ours to replace
  }
  std::string out;
  if (!impl_->doc.Save(out)) return false;
  out += impl_->tail;
  if (impl_->damaged && !ReplaceFile(path + ".damaged", impl_->old)) return false;
  return ReplaceFile(path, out);
}

}  // namespace lmvn
