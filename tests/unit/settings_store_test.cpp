#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <string>

#include "settings/store.h"
#include "settings/value_text.h"
#include "settings_test_util.h"

namespace lmvn {
namespace {

using testing::SettingsTest;
constexpr std::string_view kApp = kSettingsApp;

using StoreReadRules = SettingsTest;

TEST_F(StoreReadRules, NumbersRoundHalfToEvenAndOutOfRangeReadsZero) {
  const auto integer = [](std::string_view text, Integer def = -7) {
    EXPECT_TRUE(WriteSetting(kApp, "General", "Value", text));
    return ReadSettingInteger(kApp, "General", "Value", def);
  };
  // Ties to even; out of the 16-bit range (or of a double's) reads 0; a non-number the default.
  const std::pair<const char*, Integer> cases[] = {
      {"2.5", 2},  {"3.5", 4},       {"-2.5", -2},  {"  +12  ", 12}, {"1.5e1", 15}, {".5", 0},
      {"5.", 5},   {"32767", 32767}, {"40000", 0},  {"-32769", 0},   {"1e999", 0},  {"1e-999", 0},
      {"abc", -7}, {"", -7},         {"12abc", -7}, {"0x10", -7},    {"1,5", -7},   {"e5", -7},
      {"1e", -7},  {"--1", -7},      {"1 2", -7},   {"nan", -7}};
  for (const auto& [text, value] : cases) EXPECT_EQ(integer(text), value) << text;
  EXPECT_TRUE(WriteSetting(kApp, "General", "Value", "40000"));
  EXPECT_EQ(ReadSettingLong(kApp, "General", "Value", 1), 40000);
  EXPECT_TRUE(WriteSetting(kApp, "General", "Value", "3e9"));
  EXPECT_EQ(ReadSettingLong(kApp, "General", "Value", 1), 0);

  const auto single = [](std::string_view text) {
    EXPECT_TRUE(WriteSetting(kApp, "General", "Value", text));
    return ReadSettingSingle(kApp, "General", "Value", 0.25f);
  };
  // Too large for a float: the default; too small: 0.
  const std::pair<const char*, float> singles[] = {{"0.95", 0.95f},  {"-1.5e2", -150.0f},
                                                   {"1e999", 0.25f}, {"1e39", 0.25f},
                                                   {"1e-999", 0.0f}, {"inf", 0.25f}};
  for (const auto& [text, value] : singles) EXPECT_EQ(single(text), value) << text;
  EXPECT_EQ(ReadSettingSingle(kApp, "General", "Missing", 0.5f), 0.5f);
}

TEST_F(StoreReadRules, NamesIgnoreCaseAndWritesAreTrimmed) {
  ASSERT_TRUE(WriteSetting(kApp, "Galaxy", "Galaxy_CometCPersist", 0.5f));
  EXPECT_EQ(ReadSettingSingle(kApp, "galaxy", "Galaxy_CometcPersist", 0.998f), 0.5f);
  ASSERT_TRUE(WriteSetting(kApp, "Fireworks", "FireWorks", 12));
  ASSERT_TRUE(WriteSetting(kApp, "FIREWORKS", "fireworks", 13));
  ASSERT_TRUE(WriteSetting(kApp, "Fireworks", "Fireworks_Section", "x"));
  EXPECT_EQ(ReadSettingInteger(kApp, "Fireworks", "FireWorks", 16), 13);
  EXPECT_EQ(ReadSettingString(kApp, "fireworks", "Fireworks_Section", ""), "x");
  ASSERT_TRUE(WriteSetting(kApp, "General", "LockMessage", "  \t hello world \t "));
  EXPECT_EQ(ReadSettingString(kApp, "General", "LockMessage", ""), "hello world");

  const std::string text = FileText();
  EXPECT_NE(text.find("[Fireworks]\nFireWorks=13\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("FIREWORKS"), std::string::npos) << text;
  EXPECT_NE(text.find("LockMessage=hello world\n"), std::string::npos) << text;
}

TEST_F(StoreReadRules, NumbersAreWrittenAsShortDecimalText) {
  ASSERT_TRUE(WriteSetting(kApp, "S", "a", Integer{25}));
  ASSERT_TRUE(WriteSetting(kApp, "S", "b", 0.95f));
  ASSERT_TRUE(WriteSetting(kApp, "S", "c", 0.005f));
  ASSERT_TRUE(WriteSetting(kApp, "S", "d", 0.1));
  ASSERT_TRUE(WriteSetting(kApp, "S", "e", Long{-70000}));
  EXPECT_EQ(FileText(), "[S]\na=25\nb=0.95\nc=0.005\nd=0.1\ne=-70000\n");
  EXPECT_EQ(ReadSettingSingle(kApp, "S", "b", 0), 0.95f);
  EXPECT_EQ(ReadSettingSingle(kApp, "S", "c", 0), 0.005f);
  EXPECT_FALSE(WriteSetting(kApp, "S", "f", std::nanf("")));
  EXPECT_FALSE(WriteSetting(kApp, "S", "f", HUGE_VAL));
  // Every float's text reads back as the same float.
  std::mt19937 random(7);
  for (int i = 0; i < 2000; ++i) {
    const auto bits = static_cast<std::uint32_t>(random());
    float value;
    std::memcpy(&value, &bits, sizeof value);
    if (!std::isfinite(value)) continue;
    const auto text = SettingText(value);
    ASSERT_TRUE(text);
    EXPECT_EQ(SingleFromText(*text, 0), value) << *text;
  }
}

using Store = SettingsTest;

TEST_F(Store, FileLocationAndRoots) {
  EXPECT_EQ(Path(), (root_ / "Lumivane" / "LMVN_SS.ini").string());
  EXPECT_EQ(ReadSettingInteger(kApp, "General", "AnimationType", -1), -1);
  EXPECT_FALSE(std::filesystem::exists(root_ / "Lumivane"));  // reads create nothing
  ASSERT_TRUE(WriteSetting(kApp, "General", "AnimationType", Integer{3}, 1));
  EXPECT_EQ(ReadSettingInteger(kApp, "General", "AnimationType", -1, 0), 3);

  // Other roots: the system-wide file, read only.
  const auto system = root_ / "system";
  std::filesystem::create_directories(system / "Lumivane");
  std::ofstream(system / "Lumivane" / "LMVN_SS.ini") << "[General]\nAnimationType=5\n";
  setenv("XDG_CONFIG_DIRS", (system.string() + ":/nowhere").c_str(), 1);
  EXPECT_EQ(ReadSettingInteger(kApp, "General", "AnimationType", -1, 2), 5);
  EXPECT_EQ(ReadSettingInteger(kApp, "General", "AnimationType", -1, 7), 5);
  EXPECT_FALSE(WriteSetting(kApp, "General", "AnimationType", Integer{1}, 2));
  unsetenv("XDG_CONFIG_DIRS");

  // Without XDG_CONFIG_HOME the file lives under ~/.config.
  const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
  setenv("HOME", root_.c_str(), 1);
  setenv("XDG_CONFIG_HOME", "", 1);
  EXPECT_EQ(Path(), (root_ / ".config" / "Lumivane" / "LMVN_SS.ini").string());
  ASSERT_TRUE(WriteSetting(kApp, "General", "AnimationType", Integer{4}));
  EXPECT_TRUE(std::filesystem::exists(root_ / ".config" / "Lumivane" / "LMVN_SS.ini"));
  setenv("HOME", home.c_str(), 1);
}

TEST_F(Store, RefusesWhatTheFileCannotHold) {
  ASSERT_TRUE(WriteSetting(kApp, "General", "ColorRed", Integer{5}));
  const std::string before = FileText();
  EXPECT_FALSE(WriteSetting(kApp, "General", "LockMessage", "one\n[General]\nColorRed=99"));
  EXPECT_FALSE(WriteSetting(kApp, "General", "LockMessage", std::string_view("a\0b", 3)));
  EXPECT_FALSE(WriteSetting(kApp, "General", "Color=Red", "1"));
  EXPECT_FALSE(WriteSetting(kApp, "General", "", "1"));
  EXPECT_FALSE(WriteSetting(kApp, "General", "[X]", "1"));
  EXPECT_FALSE(WriteSetting(kApp, "General", ";x", "1"));
  EXPECT_FALSE(WriteSetting(kApp, "Gen]eral", "x", "1"));
  EXPECT_FALSE(WriteSetting(kApp, "General\n", "x", "1"));
  EXPECT_FALSE(WriteSetting("../escape", "General", "x", "1"));
  EXPECT_FALSE(WriteSetting("", "General", "x", "1"));
  // Lines longer than the reader takes.
  EXPECT_FALSE(WriteSetting(kApp, "General", "LockMessage", std::string(5000, 'x')));
  EXPECT_FALSE(WriteSetting(kApp, std::string(4095, 'S'), "Key", "1"));
  EXPECT_FALSE(WriteSetting(kApp, "General", std::string(4000, 'k'), std::string(96, 'v')));
  EXPECT_EQ(FileText(), before);
  EXPECT_EQ(ReadSettingInteger(kApp, "General", "ColorRed", 0), 5);
  EXPECT_EQ(ReadSettingInteger(kApp, std::string_view("General\0x", 9), "ColorRed", 0), 0);
}

TEST_F(Store, KeepsOtherContentOfTheFile) {
  PutFile(
      "; settings of the saver\n\n[Other]\nfoo = bar\n\n[General]\n# weights\nColorRed=1\n"
      "; the end\n");
  ASSERT_TRUE(WriteSetting(kApp, "General", "ColorRed", Integer{2}));
  ASSERT_TRUE(WriteSetting(kApp, "Starfield", "Star_Stars", Integer{300}));
  const std::string text = FileText();
  for (const char* part : {"; settings of the saver", "[Other]", "foo=bar", "# weights",
                           "ColorRed=2", "[Starfield]\nStar_Stars=300", "; the end\n"}) {
    EXPECT_NE(text.find(part), std::string::npos) << part << "\n" << text;
  }
  EXPECT_FALSE(std::filesystem::exists(Path() + ".damaged"));
  ASSERT_TRUE(WriteSetting(kApp, "General", "ColorRed", Integer{2}));
  EXPECT_EQ(FileText(), text);  // a write of the same value changes nothing
}

TEST_F(Store, DamagedFilesReadCalmlyAndWritesKeepWhatWasReadable) {
  std::mt19937 random(11);
  std::string garbage;
  for (int i = 0; i < 65536; ++i) garbage.push_back(static_cast<char>(random()));
  const std::string damaged = "[General]\nColorRed=42\n" + garbage +
                              "\n[Fireworks\nFireWorks=12\n[Starfield]\nStar_Stars=300\n"
                              "LockMessage=" +
                              std::string(10 * 1024 * 1024, 'x') +
                              "\nStar_Speed=0.5\n\xff\xfe=\xc3\x28\n";
  PutFile(damaged);
  const auto check = [] {
    EXPECT_EQ(ReadSettingInteger(kApp, "General", "ColorRed", 100), 42);
    EXPECT_EQ(ReadSettingInteger(kApp, "Fireworks", "FireWorks", 16), 16);  // header broken
    EXPECT_EQ(ReadSettingInteger(kApp, "Starfield", "Star_Stars", 120), 300);
    EXPECT_EQ(ReadSettingString(kApp, "Starfield", "LockMessage", "none"), "none");
    EXPECT_EQ(ReadSettingSingle(kApp, "Starfield", "Star_Speed", 0.005f), 0.5f);
    EXPECT_EQ(ReadSettingString(kApp, "Starfield", "\xff\xfe", ""), "\xc3\x28");
  };
  check();
  ASSERT_TRUE(WriteSetting(kApp, "General", "ColorGrn", Integer{7}));
  check();
  EXPECT_EQ(ReadSettingInteger(kApp, "General", "ColorGrn", 100), 7);
  EXPECT_EQ(FileText(Path() + ".damaged"), damaged);  // the old file, whole
  EXPECT_LT(FileText().size(), 100000u);
  EXPECT_EQ(FileText().find('\0'), std::string::npos);
  const std::string clean = FileText();
  ASSERT_TRUE(WriteSetting(kApp, "General", "ColorGrn", Integer{7}));
  EXPECT_EQ(FileText(), clean);
}

std::set<std::string> FolderFiles(const std::filesystem::path& folder) {
  std::set<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    files.insert(entry.path().filename().string());
  }
  return files;
}

TEST_F(Store, TwoProcessesWritingAtOnceLoseNothing) {
  constexpr int kWrites = 200;
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  const char* prefix = child == 0 ? "Child" : "Parent";
  bool ok = true;
  for (int i = 0; i < kWrites; ++i) {
    ok = WriteSetting(kApp, "Race", std::string(prefix) + std::to_string(i), Long{i}) && ok;
  }
  if (child == 0) _exit(ok ? 0 : 1);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_TRUE(ok);
  for (int i = 0; i < kWrites; ++i) {
    EXPECT_EQ(ReadSettingLong(kApp, "Race", "Parent" + std::to_string(i), -1), i);
    EXPECT_EQ(ReadSettingLong(kApp, "Race", "Child" + std::to_string(i), -1), i);
  }
}

TEST_F(Store, AWriterKilledAtAnyMomentLeavesTheOldOrTheNewFile) {
  for (int i = 0; i < 40; ++i) {
    ASSERT_TRUE(WriteSetting(kApp, "Filler", "Key" + std::to_string(i), std::string(100, 'f')));
  }
  ASSERT_TRUE(WriteSetting(kApp, "Counter", "N", Long{0}));  // a child may die before it writes
  std::mt19937 random(3);
  Long last = 0;
  for (int round = 0; round < 20; ++round) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (Long n = last + 1;; ++n) WriteSetting(kApp, "Counter", "N", n);
    }
    usleep(static_cast<useconds_t>(random() % 3000));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    const Long now = ReadSettingLong(kApp, "Counter", "N", -1);
    EXPECT_GE(now, last);
    last = now;
    for (int i = 0; i < 40; ++i) {
      ASSERT_EQ(ReadSettingString(kApp, "Filler", "Key" + std::to_string(i), ""),
                std::string(100, 'f'));
    }
  }
  // What killed writers left behind is cleared by the next write, and only that.
  const auto folder = root_ / "Lumivane";
  for (const char* name : {".LMVN_SS.ini.damaged.Ab12Cd", ".LMVN_SS.ini.Xy34Zw",
                           ".LMVN_SS.ini.lock.Qw56Er", ".LMVN_SS.ini.notes", ".Other.ini.Xy34Zw"}) {
    std::ofstream(folder / name) << "left behind";
  }
  ASSERT_TRUE(WriteSetting(kApp, "Counter", "N", Long{0}));  // finding no damage
  EXPECT_EQ(FolderFiles(folder),
            (std::set<std::string>{"LMVN_SS.ini", ".LMVN_SS.ini.lock", ".LMVN_SS.ini.notes",
                                   ".Other.ini.Xy34Zw"}));
}

// Runs `body` in a child process that is killed after `seconds`; true when the child finished
// in time and `body` returned true.
bool InChildWithin(unsigned seconds, const std::function<bool()>& body) {
  const pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    alarm(seconds);
    _exit(body() ? 0 : 1);
  }
  int status = 0;
  return waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST_F(Store, EveryDamagedStateIsKept) {
  PutFile("[General]\nColorRed=1\nfirst note\n");
  ASSERT_TRUE(WriteSetting(kApp, "General", "ColorGrn", Integer{2}));
  EXPECT_EQ(FileText(Path() + ".damaged"), "[General]\nColorRed=1\nfirst note\n");
  std::ofstream(Path(), std::ios::app) << "second note\n";
  ASSERT_TRUE(WriteSetting(kApp, "General", "ColorBlu", Integer{3}));
  std::ofstream(Path(), std::ios::app) << "third note\n";
  ASSERT_TRUE(WriteSetting(kApp, "General", "ColorBlu", Integer{4}));
  // Every unreadable line is still on disk, each state in a backup of its own.
  EXPECT_NE(FileText(Path() + ".damaged").find("first note"), std::string::npos);
  EXPECT_NE(FileText(Path() + ".damaged.2").find("second note"), std::string::npos);
  EXPECT_NE(FileText(Path() + ".damaged.3").find("third note"), std::string::npos);
  EXPECT_EQ(ReadSettingInteger(kApp, "General", "ColorRed", 0), 1);
  EXPECT_EQ(ReadSettingInteger(kApp, "General", "ColorGrn", 0), 2);
  EXPECT_EQ(ReadSettingInteger(kApp, "General", "ColorBlu", 0), 4);
  // The same damaged state is not kept twice.
  PutFile(FileText(Path() + ".damaged.3"));
  ASSERT_TRUE(WriteSetting(kApp, "General", "ColorBlu", Integer{5}));
  EXPECT_EQ(FolderFiles(root_ / "Lumivane"),
            (std::set<std::string>{"LMVN_SS.ini", ".LMVN_SS.ini.lock", "LMVN_SS.ini.damaged",
                                   "LMVN_SS.ini.damaged.2", "LMVN_SS.ini.damaged.3"}));
}

TEST_F(Store, WriterAndReaderAgreeOnLongLines) {
  ASSERT_TRUE(WriteSetting(kApp, "General", "ColorRed", Integer{5}));
  // Values are read up to 127 characters; numbers are trimmed on write.
  const std::string text127(127, 'm');
  ASSERT_TRUE(WriteSetting(kApp, "General", "LockMessage", text127));
  EXPECT_EQ(ReadSettingString(kApp, "General", "LockMessage", "def"), text127);
  ASSERT_TRUE(WriteSetting(kApp, "General", "PixelSize", std::string(125, ' ') + "000000000003"));
  EXPECT_EQ(ReadSettingInteger(kApp, "General", "PixelSize", 1), 3);
  ASSERT_TRUE(WriteSetting(kApp, "General", "PixelSize", std::string(127, '0') + "3"));
  EXPECT_EQ(ReadSettingInteger(kApp, "General", "PixelSize", 1), 1);
  // The longest line the reader takes is written; its value reads by the 127-character rule.
  const std::string longest(4096 - std::string("LockMessage=").size(), 'x');
  ASSERT_TRUE(WriteSetting(kApp, "General", "LockMessage", longest));
  EXPECT_EQ(ReadSettingString(kApp, "General", "LockMessage", "def"), "def");
  ASSERT_TRUE(WriteSetting(kApp, "General", "ColorGrn", Integer{6}));
  EXPECT_NE(FileText().find("LockMessage=" + longest + "\n"), std::string::npos);
  EXPECT_EQ(ReadSettingInteger(kApp, "General", "ColorRed", 0), 5);
  EXPECT_FALSE(std::filesystem::exists(Path() + ".damaged"));

  // Whatever a write accepts, the reader reads back, and later writes never find damage.
  std::mt19937 random(5);
  const std::string alphabet = "aZ09 \t=;#[]\"'\\\x7f\x80\xff\xc3\xa9<>.";
  const auto text = [&](std::size_t maxLength) {
    std::string out(random() % (maxLength + 1), ' ');
    for (char& c : out) c = alphabet[random() % alphabet.size()];
    return out;
  };
  std::map<std::pair<std::string, std::string>, std::string> written;
  for (int i = 0; i < 500; ++i) {
    const std::string section = text(6), key = text(6), value = text(i % 50 == 0 ? 5000 : 20);
    if (!WriteSetting(kApp, section, key, value)) continue;
    std::string lowerSection = section, lowerKey = key;
    for (std::string* name : {&lowerSection, &lowerKey}) {
      for (char& c : *name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    written[{lowerSection, lowerKey}] = std::string(TrimBlanks(value));
  }
  EXPECT_GT(written.size(), 50u);
  for (const auto& [name, value] : written) {
    EXPECT_EQ(ReadSettingString(kApp, name.first, name.second, "\x01"),
              value.size() <= kMaxValueLength ? value : "\x01")
        << name.first << "/" << name.second;
  }
  EXPECT_FALSE(std::filesystem::exists(Path() + ".damaged"));
}

TEST_F(Store, NothingAtThePathHangsReadsOrWrites) {
  const auto folder = root_ / "Lumivane";
  const std::string lockPath = (folder / ".LMVN_SS.ini.lock").string();
  std::filesystem::create_directories(folder);
  int listener = -1;
  const std::pair<const char*, std::function<void()>> things[] = {
      {"FIFO", [&] { ASSERT_EQ(mkfifo(Path().c_str(), 0600), 0); }},
      {"device", [&] { std::filesystem::create_symlink("/dev/zero", Path()); }},
      {"folder", [&] { std::filesystem::create_directory(Path()); }},
      {"socket", [&] {
         listener = socket(AF_UNIX, SOCK_STREAM, 0);
         sockaddr_un address{};
         address.sun_family = AF_UNIX;
         ASSERT_LT(Path().size(), sizeof address.sun_path);
         std::strcpy(address.sun_path, Path().c_str());
         ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
       }}};
  for (const auto& [what, make] : things) {
    make();
    // Twice: another process is not held up either.
    for (int i = 0; i < 2; ++i) {
      EXPECT_TRUE(InChildWithin(10, [] {
        return ReadSettingInteger(kApp, "General", "ColorRed", 77) == 77 &&
               ReadSettingString(kApp, "General", "LockMessage", "d") == "d" &&
               !WriteSetting(kApp, "General", "ColorRed", Integer{1});
      })) << what;
    }
    std::filesystem::remove(Path());
  }
  close(listener);

  // A FIFO in place of the lock file: reads go on without the lock; writes fail.
  ASSERT_TRUE(WriteSetting(kApp, "General", "ColorRed", Integer{3}));
  std::filesystem::remove(lockPath);
  ASSERT_EQ(mkfifo(lockPath.c_str(), 0600), 0);
  EXPECT_TRUE(InChildWithin(10, [] {
    return ReadSettingInteger(kApp, "General", "ColorRed", 77) == 3 &&
           !WriteSetting(kApp, "General", "ColorRed", Integer{4});
  })) << "FIFO lock file";
}

TEST_F(Store, BatchWritesStoreAllOrNothing) {
  ASSERT_TRUE(WriteSetting(kApp, "General", "ColorRed", Integer{5}));
  const std::string before = FileText();
  std::vector<SettingWrite> batch = {{"General", "ColorRed", " 7 "},
                                     {"Starfield", "Star_Stars", "300"},
                                     {"General", "Bad\nKey", "1"}};
  EXPECT_FALSE(WriteSettings(kApp, batch));
  EXPECT_EQ(FileText(), before);
  batch.pop_back();
  ASSERT_TRUE(WriteSettings(kApp, batch));
  EXPECT_EQ(ReadSettingInteger(kApp, "General", "ColorRed", 0), 7);
  EXPECT_EQ(ReadSettingInteger(kApp, "Starfield", "Star_Stars", 0), 300);
  EXPECT_TRUE(WriteSettings(kApp, {}));
}

// Another user's files in the settings folder, as root leaves them when it runs the program
// with the user's environment (sudo).
class StoreAsUser : public SettingsTest {
 protected:
  void SetUp() override {
    if (geteuid() != 0) GTEST_SKIP() << "needs root, to act as an unprivileged user";
    const passwd* user = getpwnam("nobody");
    if (user == nullptr) GTEST_SKIP() << "no user nobody";
    uid_ = user->pw_uid;
    gid_ = user->pw_gid;
    if (const group* nogroup = getgrnam("nogroup")) gid_ = nogroup->gr_gid;
    SettingsTest::SetUp();
    ASSERT_EQ(chown(root_.c_str(), uid_, gid_), 0);
    ASSERT_TRUE(AsUser([] { return WriteSetting(kApp, "General", "ColorRed", Integer{1}); }));
  }
  // Runs `body` in a child process as the unprivileged user; true when it returned true.
  bool AsUser(const std::function<bool()>& body) const {
    return InChildWithin(20, [&] {
      return setgroups(0, nullptr) == 0 && setresgid(gid_, gid_, gid_) == 0 &&
             setresuid(uid_, uid_, uid_) == 0 && body();
    });
  }
  // True when every file in the settings folder belongs to the user.
  bool AllTheUsers() const {
    for (const auto& entry : std::filesystem::directory_iterator(root_ / "Lumivane")) {
      struct stat info {};
      if (lstat(entry.path().c_str(), &info) != 0 || info.st_uid != uid_) {
        ADD_FAILURE() << entry.path() << " belongs to " << info.st_uid;
        return false;
      }
    }
    return true;
  }

  uid_t uid_ = 0;
  gid_t gid_ = 0;
};

TEST_F(StoreAsUser, RootsReadsWritesAndLockFilesLeaveTheUserAbleToWrite) {
  const std::string lockPath = (root_ / "Lumivane" / ".LMVN_SS.ini.lock").string();
  std::filesystem::remove(lockPath);
  EXPECT_EQ(ReadSettingInteger(kApp, "General", "ColorRed", 0), 1);  // root reads first
  EXPECT_TRUE(AllTheUsers());
  EXPECT_TRUE(AsUser([] { return WriteSetting(kApp, "General", "ColorRed", Integer{2}); }));
  ASSERT_TRUE(WriteSetting(kApp, "General", "ColorGrn", Integer{3}));  // root writes
  EXPECT_TRUE(AllTheUsers());
  EXPECT_TRUE(AsUser([] {
    return WriteSetting(kApp, "General", "ColorBlu", Integer{4}) &&
           ReadSettingInteger(kApp, "General", "ColorGrn", 0) == 3;
  }));
  EXPECT_EQ(ReadSettingInteger(kApp, "General", "ColorBlu", 0), 4);
  // A lock file that root made, whatever its mode.
  for (const Long mode : {0600, 0644}) {
    std::filesystem::remove(lockPath);
    const int fd = open(lockPath.c_str(), O_RDWR | O_CREAT, static_cast<mode_t>(mode));
    ASSERT_GE(fd, 0);
    ASSERT_EQ(fchmod(fd, static_cast<mode_t>(mode)), 0);
    close(fd);
    EXPECT_TRUE(AsUser([mode] {
      return WriteSetting(kApp, "General", "ColorRed", mode) &&
             ReadSettingLong(kApp, "General", "ColorRed", 0) == mode;
    })) << std::oct
        << mode;
    EXPECT_EQ(ReadSettingLong(kApp, "General", "ColorRed", 0), mode);
  }
}

}  // namespace
}  // namespace lmvn
