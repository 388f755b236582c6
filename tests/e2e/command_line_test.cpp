#include "app/command_line.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <utility>
#include <vector>

namespace lmvn::app {
namespace {

// Switches count by their first two characters in any case; an .lvx path is a template even
// when it looks like a switch.
TEST(CommandLine, Commands) {
  const std::pair<Command, std::vector<const char*>> cases[] = {
      {Command::Saver, {"/s", "/S", "/Saver please", "/srv/a.lvx2"}},
      {Command::Config, {"/c:1234"}},
      {Command::Password, {"/a 99"}},
      {Command::Preview, {"/p 1234"}},
      {Command::Default, {"", "-x", "/", "notes.lvx2"}},
      {Command::Template,
       {"/home/me/Night.LVX", "/srv/a.lvx", "/common/c.Lvx", "/pub/p.lvx", "/abc/d.lvx", "t.lvx",
        ".lvx"}}};
  for (const auto& [command, texts] : cases) {
    for (const char* text : texts) EXPECT_EQ(ClassifyCommand(text), command) << text;
  }
}

TEST(CommandLine, ArgumentsJoinBySingleSpacesAroundTheProgramsOwnOptions) {
  const ProgramArgs a = ParseProgramArgs({"/home/me/My", "--stats", "Themes/x.lvx"});
  EXPECT_TRUE(a.stats);
  EXPECT_EQ(a.commandLine, "/home/me/My Themes/x.lvx");
  const ProgramArgs host = ParseProgramArgs({"-window-id", "0x2a", "--root"});
  EXPECT_TRUE(host.root);
  EXPECT_FALSE(host.idle);
  const ProgramArgs idle = ParseProgramArgs({"--idle", "/s"});
  EXPECT_TRUE(idle.idle);
  EXPECT_EQ(idle.commandLine, "/s");
  EXPECT_EQ(host.windowId, "0x2a");
  EXPECT_EQ(host.commandLine, "");
  EXPECT_TRUE(ParseProgramArgs({"--help"}).help);
  EXPECT_TRUE(ParseProgramArgs({"--version"}).version);
  // A -window-id without its value is left to the command line.
  EXPECT_EQ(ParseProgramArgs({"-window-id"}).commandLine, "-window-id");
}

TEST(CommandLine, SeedAndFramesTakeWholeNumbersAndIgnoreAnythingElse) {
  const ProgramArgs a = ParseProgramArgs({"/s", "--seed", "0", "--frames", "40"});
  EXPECT_EQ(a.seed, 0u);
  EXPECT_EQ(a.frames, 40);
  EXPECT_EQ(a.commandLine, "/s");
  for (const char* bad : {"", "-3", "4x", "0x10", "99999999999999999999999"}) {
    const ProgramArgs b = ParseProgramArgs({"--seed", bad, "--frames", bad});
    EXPECT_FALSE(b.seed || b.frames) << bad;
    EXPECT_EQ(b.commandLine, "") << bad;
  }
  EXPECT_FALSE(ParseProgramArgs({"--frames", "0"}).frames);
}

TEST(CommandLine, WindowIdsAreDecimalOrHexAndAnythingElseIsNone) {
  EXPECT_EQ(ParseWindowId("1234"), 1234ul);
  EXPECT_EQ(ParseWindowId(" 0x4a0000e "), 0x4a0000eul);
  EXPECT_EQ(ParseWindowId("0X10"), 16ul);
  for (const char* bad : {"", "0", "0x", "12abc", "-5", "0x1fffffff0", "99999999999999999999"}) {
    EXPECT_FALSE(ParseWindowId(bad)) << bad;
  }
  EXPECT_EQ(PreviewWindowId("/p 1234"), 1234ul);
  EXPECT_EQ(PreviewWindowId("/P 0x2e00003"), 0x2e00003ul);
  EXPECT_FALSE(PreviewWindowId("/p"));
  EXPECT_FALSE(PreviewWindowId("/p "));
}

TEST(CommandLine, InstallPlaceIsAnExactFolderMatch) {
  const std::vector<std::string> folders = {"/usr/libexec/xscreensaver", "/usr/lib/xscreensaver/"};
  for (const char* place :
       {"/usr/libexec/xscreensaver", "/usr/lib/xscreensaver", "/usr/libexec/xscreensaver/"}) {
    EXPECT_TRUE(RunsFromInstallPlace(place, folders)) << place;
  }
  for (const char* place : {"/usr/libexec/XScreenSaver", "/usr/bin", ""}) {
    EXPECT_FALSE(RunsFromInstallPlace(place, folders)) << place;
  }

  setenv("LUMIVANE_SAVER_DIRS", "/opt/a::/opt/b", 1);
  EXPECT_EQ(SaverFolders(), (std::vector<std::string>{"/opt/a", "/opt/b"}));
  unsetenv("LUMIVANE_SAVER_DIRS");
  EXPECT_EQ(SaverFolders().size(), 2u);
}

TEST(CommandLine, WindowSizeIsTwentyDigitsAndReadsBackByField) {
  EXPECT_EQ(FormatWindowSize(720, 360, 9600, 7200), "00720003600960007200");
  EXPECT_EQ(FormatWindowSize(-15, -30, 150000, 0), "00000000009999900000");
  const auto fields = [](std::string_view text) {
    const auto f = ParseWindowSize(text);
    return f ? std::vector<long>{f->left, f->top, f->width, f->height} : std::vector<long>{};
  };
  EXPECT_EQ(fields("  00720003600960007200 "), (std::vector<long>{720, 360, 9600, 7200}));
  EXPECT_EQ(fields("0072x0036"), (std::vector<long>{72, 36, 0, 0}));
  EXPECT_EQ(fields("   "), std::vector<long>{});
}

}  // namespace
}  // namespace lmvn::app
