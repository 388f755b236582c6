// The program's command line and the decisions start-up makes from it and from the install
// place. Plain logic without Qt, so it can be tested on its own.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lmvn::app {

// What the program's arguments ask for, before the run-mode switch is read.
struct ProgramArgs {
  bool help = false;
  bool version = false;
  bool stats = false;  // --stats: one JSON line of frame and CPU figures on exit
  // --seed N: the random generator starts from N at every start of the driver (the same
  // pictures every time); --frames N: the animation stops after N frames, the window stays.
  // A value that is not a whole number from 0 (seed) or 1 (frames) is ignored.
  std::optional<std::uint64_t> seed;
  std::optional<long> frames;
  // The screen-saver host's protocol: -root / --root, or -window-id ID.
  bool root = false;
  std::optional<std::string> windowId;
  // --idle: the saver for idle launchers (any input ends it; the pointer is left alone).
  bool idle = false;
  // The remaining arguments joined by single spaces: the run-mode switch, a template path,
  // or anything else.
  std::string commandLine;
};

// Splits argv[1..]. Never fails: what it does not know is part of the command line.
ProgramArgs ParseProgramArgs(const std::vector<std::string>& args);

// What the command line selects.
enum class Command { Preview, Saver, Config, Password, Template, Default };

// The dispatcher's decision. A command line ending in ".lvx" (any case) is a template path
// before it is a switch, since absolute paths begin with "/" here; otherwise the first two
// characters, in upper case, select "/P", "/S", "/C" or "/A"; anything else (empty included)
// is the default.
Command ClassifyCommand(std::string_view commandLine);

// A window id as the host passes it: decimal or 0x-hex, surrounding blanks allowed. Empty for
// a missing, malformed, zero or out-of-range id.
std::optional<unsigned long> ParseWindowId(std::string_view text);

// The window id of a "/P id" command line: the text from its fourth character on.
std::optional<unsigned long> PreviewWindowId(std::string_view commandLine);

// The folders where the screen-saver host keeps its programs. LUMIVANE_SAVER_DIRS, when set,
// replaces them (a colon-separated list; tests use it).
std::vector<std::string> SaverFolders();

// True when `programFolder` is one of `saverFolders`: exact comparison, letter case
// included, trailing slashes ignored.
bool RunsFromInstallPlace(std::string programFolder, const std::vector<std::string>& saverFolders);

// The 20-digit window placement: left, top, width, height in twips, five digits each
// ("00000"). Negative left and top count as 0; values beyond 99999 are held at 99999, so the
// text always has 20 digits.
std::string FormatWindowSize(long left, long top, long width, long height);

struct WindowSizeFields {
  long left = 0, top = 0, width = 0, height = 0;
};
// Reads the four fields back: the numeric value of characters 1-5, 6-10, 11-15 and 16-20
// (a field that is not a number reads 0). Empty for an empty (blank) text.
std::optional<WindowSizeFields> ParseWindowSize(std::string_view text);

extern const char* const kUsage;

}  // namespace lmvn::app
