#include "sound/sound_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

namespace lmvn::sound {

std::string_view RefusalText(Refusal refusal) {
  switch (refusal) {
    case Refusal::None:
      return "plays";
    case Refusal::Missing:
      return "no such file";
    case Refusal::NotRegular:
      return "not a regular file";
    case Refusal::TooBig:
      return "larger than 32 MB";
    case Refusal::Unreadable:
      return "cannot be read";
    case Refusal::Undecodable:
      return "not a sound file that can be decoded";
    case Refusal::TooLong:
      return "longer than 20 seconds";
    case Refusal::NoDevice:
      return "no sound device";
  }
  return "cannot be played";
}

namespace {

FileStamp StampFrom(const struct stat& st) {
  return {static_cast<std::int64_t>(st.st_size),
          static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

FileStamp StampOf(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? StampFrom(st) : FileStamp{};
}

Refusal ReadSoundFile(const std::string& path, std::vector<unsigned char>& bytes,
                      FileStamp& stamp) {
  bytes.clear();
  stamp = {};
  const Fd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (fd.get() < 0)
    return errno == ENOENT || errno == ENOTDIR ? Refusal::Missing : Refusal::Unreadable;
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) return Refusal::Unreadable;
  if (!S_ISREG(st.st_mode)) return Refusal::NotRegular;
  stamp = StampFrom(st);
  if (st.st_size > kMaxFileBytes) return Refusal::TooBig;
  bytes.resize(static_cast<std::size_t>(st.st_size));
  std::size_t got = 0;
  while (got < bytes.size()) {
    const ssize_t n = ::read(fd.get(), bytes.data() + got, bytes.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  if (got == 0 && !bytes.empty()) return Refusal::Unreadable;
  bytes.resize(got);  // a file that shrank while being read keeps what was there
  return Refusal::None;
}

std::string BuiltInSoundFolder() {
  std::error_code error;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return {};
  // Installed: bin/lumivane beside share/. Build tree: build/<folder>/<folder>/program.
  for (const char* up : {"..", "../..", "../../.."}) {
    const std::filesystem::path folder = exe.parent_path() / up / "share/lumivane/sounds";
    if (std::filesystem::is_regular_file(folder / kBuiltInSounds[0], error)) {
      return std::filesystem::weakly_canonical(folder, error).string();
    }
  }
  return {};
}

}  // namespace lmvn::sound
