#include "settings/store.h"

#include <fcntl.h>
#include <iconv.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <vector>

#include "settings/file_path.h"
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

// Why the last write of this thread failed (LastWriteProblem).
thread_local std::string tWriteProblem;

bool Refuse(std::string_view reason) {
  tWriteProblem = reason;
  return false;
}

// Refuses with the system's words for `error` (errno), "No space left on device" and the like.
bool RefuseError(int error) {
  return Refuse(error != 0 ? std::strerror(error) : "the file could not be written");
}

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

// Opens a file that must be a regular file without waiting: whatever else stands at the path
// (a FIFO, a device, a socket, a folder) is refused before it could block the open or a
// read. -1 with errno set on failure (EINVAL for a file of another kind).
int OpenRegular(const std::string& path, int flags, mode_t mode = 0) {
  struct stat info {};
  if (stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
    errno = EINVAL;
    return -1;
  }
  const int fd = open(path.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, mode);
  if (fd < 0) return -1;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    errno = EINVAL;
    return -1;
  }
  return fd;
}

// Files that a write creates in the settings folder belong to the folder's owner, also when
// the writer is root working in someone else's folder (sudo keeps the user's environment):
// a file of root's there would lock its owner out.
void GiveToFolderOwner(int fd, const std::string& folder) {
  if (geteuid() != 0) return;
  struct stat info {};
  if (stat(folder.c_str(), &info) == 0 && info.st_uid != 0) {
    [[maybe_unused]] const int rc = fchown(fd, info.st_uid, info.st_gid);
  }
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool FlockRetrying(int fd, int operation) {
  int rc;
  do {
    rc = flock(fd, operation);
  } while (rc != 0 && errno == EINTR);
  return rc == 0;
}

// The advisory lock of a settings file, held while the object lives.
//
// Writers lock ".<app>.ini.lock" exclusively, creating it when missing. A lock file the writer
// cannot open for writing is locked through a descriptor opened for reading; one it cannot
// open at all (left, say, by root with mode 0600) is replaced by the writer's own, under a
// lock of the folder so that two writers never replace it at once.
//
// Readers take the shared lock only when the lock file exists and they can open it, and never
// create it: writes replace the file atomically, so a read without the lock still sees one
// whole file, and a reader that is not the folder's owner leaves nothing behind.
class StoreLock {
 public:
  StoreLock(const std::string& folder, std::string_view app, bool exclusive)
      : path_(folder + "/." + std::string(app) + ".ini.lock") {
    if (!exclusive) {
      fd_ = OpenRegular(path_, O_RDONLY | O_NOFOLLOW);
      locked_ = fd_ >= 0 && FlockRetrying(fd_, LOCK_SH);
      return;
    }
    for (int attempt = 0; attempt < 4 && !locked_; ++attempt) {
      Release();
      fd_ = OpenRegular(path_, O_RDWR | O_CREAT | O_NOFOLLOW, 0600);
      if (fd_ >= 0) {
        GiveToFolderOwner(fd_, folder);
      } else if (errno == EACCES || errno == EPERM) {
        fd_ = OpenRegular(path_, O_RDONLY | O_NOFOLLOW);
      }
      if (fd_ < 0) {
        if ((errno == EACCES || errno == EPERM) && ReplaceLockFile(folder)) continue;
        return;
      }
      if (!FlockRetrying(fd_, LOCK_EX)) return;
      // The file may have been replaced between the open and the lock: the lock counts only
      // while it is the file at the path.
      struct stat held {};
      struct stat current {};
      locked_ =
          fstat(fd_, &held) == 0 && lstat(path_.c_str(), &current) == 0 && SameFile(held, current);
    }
  }
  StoreLock(const StoreLock&) = delete;
  StoreLock& operator=(const StoreLock&) = delete;
  ~StoreLock() { Release(); }
  bool locked() const { return locked_; }

 private:
  void Release() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    locked_ = false;
  }

  // Puts a lock file of our own in place of one that cannot be opened. The folder's own lock
  // keeps a second writer from replacing ours in the meantime.
  bool ReplaceLockFile(const std::string& folder) const {
    const FileDescriptor guard(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (guard.get() < 0 || !FlockRetrying(guard.get(), LOCK_EX)) return false;
    const int probe = OpenRegular(path_, O_RDONLY | O_NOFOLLOW);
    if (probe >= 0) {  // another writer has replaced it already
      close(probe);
      return true;
    }
    struct stat info {};
    if ((errno != EACCES && errno != EPERM) || lstat(path_.c_str(), &info) != 0 ||
        !S_ISREG(info.st_mode)) {
      return false;
    }
    std::string temp = path_ + ".XXXXXX";
    const FileDescriptor fd(mkostemp(temp.data(), O_CLOEXEC));
    if (fd.get() < 0) return false;
    GiveToFolderOwner(fd.get(), folder);
    if (rename(temp.c_str(), path_.c_str()) != 0) {
      unlink(temp.c_str());
      return false;
    }
    return true;
  }

  std::string path_;
  int fd_ = -1;
  bool locked_ = false;
};

enum class ReadStatus { kOk, kMissing, kError };

ReadStatus ReadWholeFile(const std::string& path, std::string& out) {
  out.clear();
  FileDescriptor fd(OpenRegular(path, O_RDONLY));
  if (fd.get() < 0) return errno == ENOENT ? ReadStatus::kMissing : ReadStatus::kError;
  struct stat info {};
  if (fstat(fd.get(), &info) != 0 || info.st_size > kMaxFileSize) return ReadStatus::kError;
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

// The temporary files of a write to `path` are ".<name>.XXXXXX" beside it (those of its
// backups too), so that one pattern finds every one a killed writer left behind.
std::string TemporaryPattern(const std::string& path) {
  std::string pattern = ParentFolder(path);
  return pattern.append("/.").append(FileName(path)).append(".XXXXXX");
}

// A new file with `data`, written and synced under a temporary name; its name, or empty.
std::string WriteTemporary(const std::string& pattern, std::string_view data, mode_t mode,
                           const std::string& ownerFolder) {
  std::string temp = pattern;
  FileDescriptor fd(mkostemp(temp.data(), O_CLOEXEC));
  if (fd.get() < 0) return {};
  GiveToFolderOwner(fd.get(), ownerFolder);
  const bool written =
      WriteAll(fd.get(), data) && fchmod(fd.get(), mode) == 0 && fsync(fd.get()) == 0;
  const int writeError = errno;
  const bool closed = fd.Close();
  if (!closed || !written) {
    const int error = written ? errno : writeError;
    unlink(temp.c_str());
    errno = error;
    return {};
  }
  return temp;
}

mode_t ModeOf(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0600;
}

// Replaces the file at `path` with `data` so that a reader sees either the old or the new
// file, never a part of either. A symbolic link is followed: its target is replaced.
bool ReplaceFile(std::string path, std::string_view data) {
  if (char* resolved = realpath(path.c_str(), nullptr)) {
    path = resolved;
    std::free(resolved);
  }
  const std::string folder = ParentFolder(path);
  const std::string temp = WriteTemporary(TemporaryPattern(path), data, ModeOf(path), folder);
  if (temp.empty()) return RefuseError(errno);
  if (rename(temp.c_str(), path.c_str()) != 0) {
    const int error = errno;
    unlink(temp.c_str());
    return RefuseError(error);
  }
  SyncFolder(folder);
  return true;
}

// Moves `from` to `to` unless `to` exists; false with errno EEXIST when it does.
bool RenameNoReplace(const std::string& from, const std::string& to) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
    return true;
  }
  if (errno != EINVAL && errno != ENOSYS) return false;
  // File systems without the flag: a hard link is created only where nothing is.
  if (link(from.c_str(), to.c_str()) != 0) return false;
  unlink(from.c_str());
  return true;
}

constexpr int kMaxBackups = 1000;

// Keeps `data`, the whole text of a damaged settings file, as a new backup beside it:
// "<name>.damaged", then "<name>.damaged.2", "<name>.damaged.3" and so on. An earlier backup
// is never replaced or truncated.
bool KeepDamaged(const std::string& path, std::string_view data) {
  const std::string folder = ParentFolder(path);
  const std::string temp = WriteTemporary(TemporaryPattern(path), data, ModeOf(path), folder);
  if (temp.empty()) return RefuseError(errno);
  bool kept = false;
  for (int n = 1; n <= kMaxBackups && !kept; ++n) {
    std::string backup = path + ".damaged";
    if (n > 1) backup.append(".").append(std::to_string(n));
    if (RenameNoReplace(temp, backup)) {
      SyncFolder(folder);
      return true;
    }
    if (errno != EEXIST) break;
    std::string text;
    struct stat info {};
    // A state that is kept already is not kept twice.
    kept = stat(backup.c_str(), &info) == 0 && static_cast<off_t>(data.size()) == info.st_size &&
           ReadWholeFile(backup, text) == ReadStatus::kOk && text == data;
  }
  unlink(temp.c_str());
  return kept || Refuse("no backup of the damaged file could be kept");
}

bool IsTemporarySuffix(std::string_view suffix) {
  if (suffix.size() != 6) return false;
  for (const char c : suffix) {
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) {
      return false;
    }
  }
  return true;
}

// Removes the temporary files that writers killed during a write left behind:
// ".<name>.XXXXXX" (the file, its backups, the lock file), and ".<name>.damaged.XXXXXX" from
// earlier versions. Called under the exclusive lock, so no other write is under way.
void RemoveStaleTemporaries(const std::string& folder, const std::string& fileName) {
  const std::string prefix = "." + fileName + ".";
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    std::string_view rest = std::string_view(name).substr(prefix.size());
    if (rest.starts_with("damaged.")) rest.remove_prefix(8);
    if (rest.starts_with("lock.")) rest.remove_prefix(5);
    if (IsTemporarySuffix(rest)) std::filesystem::remove(entry.path(), error);
  }
}

bool MakeFolders(const std::string& folder) {
  struct stat info {};
  if (stat(folder.c_str(), &info) == 0) return S_ISDIR(info.st_mode);
  const std::string parent = ParentFolder(folder);
  if (parent != folder && !MakeFolders(parent)) return false;
  if (mkdir(folder.c_str(), 0700) != 0) return errno == EEXIST;
  const FileDescriptor fd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.get() >= 0) GiveToFolderOwner(fd.get(), parent);
  return true;
}

// A settings file without its owner's write permission is a locked configuration: writes
// leave it alone, root's too (who could write it anyway, and rename ignores the mode).
bool LockedAgainstWrites(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && (info.st_mode & S_IWUSR) == 0;
}

// ---- the file's text -------------------------------------------------------------------

// The readable part of a settings file. `body` goes to the INI parser; `tail` holds the
// comments and blank lines after the last section or value, which the parser would drop.
struct CleanText {
  std::string body;
  std::string tail;
  bool damaged = false;
};

// `in`, UTF-16 in the byte order `encoding` names ("UTF-16LE", "UTF-16BE") without its
// byte-order mark, as UTF-8. A code unit that is no part of a character (a lone surrogate)
// becomes U+FFFD; an odd last byte is dropped.
std::string Utf16ToUtf8(std::string_view in, const char* encoding) {
  std::string out;
  const iconv_t cd = iconv_open("UTF-8", encoding);
  if (cd == reinterpret_cast<iconv_t>(static_cast<std::intptr_t>(-1))) return out;
  out.resize(in.size() / 2 * 3);              // two bytes give at most three, four at most four
  char* from = const_cast<char*>(in.data());  // iconv reads it only
  std::size_t fromLeft = in.size() / 2 * 2;
  char* to = out.data();
  std::size_t toLeft = out.size();
  while (fromLeft > 0 &&
         iconv(cd, &from, &fromLeft, &to, &toLeft) == static_cast<std::size_t>(-1)) {
    if (errno != EILSEQ && errno != EINVAL) break;
    from += 2;
    fromLeft -= 2;
    std::memcpy(to, "\xEF\xBF\xBD", 3);
    to += 3;
    toLeft -= 3;
  }
  iconv_close(cd);
  out.resize(out.size() - toLeft);
  return out;
}

// The text of a file as UTF-8 without a byte-order mark: UTF-8 with or without the mark as it
// is, UTF-16 with the mark (either byte order, as some editors save) converted into `buffer`.
std::string_view AsUtf8(std::string_view raw, std::string& buffer) {
  if (raw.starts_with("\xEF\xBB\xBF")) return raw.substr(3);
  const bool little = raw.starts_with("\xFF\xFE"), big = raw.starts_with("\xFE\xFF");
  if (!little && !big) return raw;
  buffer = Utf16ToUtf8(raw.substr(2), little ? "UTF-16LE" : "UTF-16BE");
  return buffer;
}

CleanText Clean(std::string_view raw) {
  CleanText clean;
  std::string converted;
  std::string_view text = AsUtf8(raw, converted);
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
  // The document's text. Text that would begin like a UTF-16 byte-order mark (a name made of
  // bytes that are no UTF-8) gets the UTF-8 mark, so that it reads back as it is.
  bool Save(std::string& out) const {
    if (ini_.Save(out, false) != SI_OK) return false;
    if (out.starts_with("\xFF\xFE") || out.starts_with("\xFE\xFF")) out.insert(0, "\xEF\xBB\xBF");
    return true;
  }
  bool HasSection(const std::string& section) const { return ini_.SectionExists(section.c_str()); }

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

// A value the store can write and its reader read back: names that the file can hold, no
// line breaks or NUL bytes, and lines within the reader's length limit.
bool Storable(const SettingWrite& entry) {
  const std::string_view value = TrimBlanks(entry.value);
  return ValidSection(entry.section) && ValidKey(entry.key) &&
         value.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos &&
         entry.section.size() + 2 <= kMaxLineLength &&
         entry.key.size() + 1 + value.size() <= kMaxLineLength;
}

bool WriteEntries(std::string_view app, std::span<const SettingWrite> entries, Integer root) {
  tWriteProblem.clear();
  if (!Writable(root)) return Refuse("the system-wide settings are read only");
  for (const SettingWrite& entry : entries) {
    if (!Storable(entry)) return Refuse("a name or value the file cannot hold");
  }
  const std::string path = SettingsFilePath(app, root);
  if (path.empty()) return Refuse("there is no settings folder (no home folder)");
  if (entries.empty()) return true;
  const std::string folder = ParentFolder(path);
  errno = 0;
  if (!MakeFolders(folder)) {
    return errno != 0 ? RefuseError(errno) : Refuse("its folder is not a folder");
  }
  const StoreLock lock(folder, app, /*exclusive=*/true);
  if (!lock.locked()) return RefuseError(errno);

  RemoveStaleTemporaries(folder, std::string(app) + ".ini");
  std::string old;
  const ReadStatus status = ReadWholeFile(path, old);
  // Never replace what could not be read.
  if (status == ReadStatus::kError) return Refuse("the file cannot be read");
  if (status == ReadStatus::kOk && LockedAgainstWrites(path))
    return Refuse("the file is read-only");
  CleanText clean = Clean(old);
  IniDocument doc;
  if (!doc.Load(clean.body)) return Refuse("the file cannot be read");
  for (const SettingWrite& entry : entries) {
    if (!doc.Set(std::string(entry.section), std::string(entry.key),
                 std::string(TrimBlanks(entry.value)))) {
      return Refuse("out of memory");
    }
  }
  std::string out;
  if (!doc.Save(out)) return Refuse("out of memory");
  out += clean.tail;
  if (status == ReadStatus::kOk && out == old) return true;  // nothing changes
  if (clean.damaged && !KeepDamaged(path, old)) return false;
  return ReplaceFile(path, out);
}

bool WriteText(std::string_view app, std::string_view section, std::string_view key,
               std::string_view value, Integer root) {
  const SettingWrite entry{section, key, value};
  return WriteEntries(app, std::span<const SettingWrite>(&entry, 1), root);
}

}  // namespace

bool WriteSettings(std::string_view app, std::span<const SettingWrite> values, Integer root) {
  return WriteEntries(app, values, root);
}

std::string LastWriteProblem() {
  return tWriteProblem;
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

bool IniFile::HasSection(std::string_view section) const {
  return ValidSection(section) && impl_->doc.HasSection(std::string(section));
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
  tWriteProblem.clear();
  if (impl_->unreadable || path.empty()) return Refuse("the file cannot be read");
  struct stat info {};
  if (stat(path.c_str(), &info) == 0) {
    // A folder, a device, or a file made read-only: not ours to replace.
    if (!S_ISREG(info.st_mode)) return Refuse("it is not a regular file");
    if ((info.st_mode & 0222) == 0 || access(path.c_str(), W_OK) != 0) {
      return Refuse("the file is read-only");
    }
  }
  std::string out;
  if (!impl_->doc.Save(out)) return Refuse("out of memory");
  out += impl_->tail;
  if (impl_->damaged && !KeepDamaged(path, impl_->old)) return false;
  return ReplaceFile(path, out);
}

}  // namespace lmvn
