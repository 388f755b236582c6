#include "app/command_line.h"

#include <cctype>
#include <charconv>
#include <cstdlib>

#include "settings/templates.h"

namespace lmvn::app {

const char* const kUsage =
    "usage: lumivane [/S | /C | /P ID | /A | FILE.lvx] [--stats] [--seed N] [--frames N]\n"
    "       lumivane -root | --root | -window-id ID     (run inside a screen-saver host)\n"
    "       lumivane --idle                              (started by an idle launcher)\n"
    "Lumivane animates single pixels: fireworks, galaxies, sparklers, a starfield.\n"
    "  (nothing), /S   run the saver full screen (Escape ends it)\n"
    "  /C              open the Properties dialog\n"
    "  /P ID           draw the preview picture into the X11 window ID and end\n"
    "  /A              change the saver password\n"
    "  FILE.lvx        import the template file into the settings, then run the saver\n"
    "  -root, --root   draw into the host's window (XSCREENSAVER_WINDOW, or the root window)\n"
    "  -window-id ID   draw into the X11 window ID (decimal or 0x-hex)\n"
    "  --idle          the saver for idle launchers (xss-lock, xautolock, swayidle): full\n"
    "                  screen; any key, click or pointer move ends it; the pointer stays put\n"
    "  --stats         print one JSON line of frame and CPU figures on exit\n"
    "  --seed N        start the random generator from N (the same pictures every run)\n"
    "  --frames N      stop the animation after N frames; the window stays until ended\n"
    "  --help          print this text\n"
    "  --version       print the version\n"
    "Settings: $XDG_CONFIG_HOME/Lumivane/LMVN_SS.ini (~/.config/Lumivane/LMVN_SS.ini).\n";

ProgramArgs ParseProgramArgs(const std::vector<std::string>& args) {
  ProgramArgs out;
  std::string joined;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      out.help = true;
    } else if (arg == "--version") {
      out.version = true;
    } else if (arg == "--stats") {
      out.stats = true;
    } else if (arg == "-root" || arg == "--root") {
      out.root = true;
    } else if (arg == "--idle") {
      out.idle = true;
    } else if ((arg == "--seed" || arg == "--frames") && i + 1 < args.size()) {
      const std::string& value = args[++i];
      std::uint64_t n = 0;
      const char* last = value.data() + value.size();
      const auto [end, error] = std::from_chars(value.data(), last, n);
      const bool number = !value.empty() && error == std::errc() && end == last;
      if (number && arg == "--seed") out.seed = n;
      if (number && arg == "--frames" && n >= 1 && n <= 1'000'000'000) out.frames = long(n);
    } else if ((arg == "-window-id" || arg == "--window-id") && i + 1 < args.size()) {
      out.windowId = args[++i];
    } else {
      if (!joined.empty()) joined += ' ';
      joined += arg;
    }
  }
  out.commandLine = std::move(joined);
  return out;
}

namespace {

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

Command ClassifyCommand(std::string_view commandLine) {
  if (IsTemplatePath(commandLine)) return Command::Template;
  const std::string head = Upper(commandLine.substr(0, 2));
  if (head == "/P") return Command::Preview;
  if (head == "/S") return Command::Saver;
  if (head == "/C") return Command::Config;
  if (head == "/A") return Command::Password;
  return Command::Default;
}

std::optional<unsigned long> ParseWindowId(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
    text.remove_prefix(1);
  }
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
    text.remove_suffix(1);
  }
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return std::nullopt;
  unsigned long id = 0;
  const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), id, base);
  // X11 window ids are 29-bit numbers.
  if (ec != std::errc() || ptr != text.data() + text.size() || id == 0 || id > 0x1FFFFFFFul) {
    return std::nullopt;
  }
  return id;
}

std::optional<unsigned long> PreviewWindowId(std::string_view commandLine) {
  if (commandLine.size() <= 3) return std::nullopt;
  return ParseWindowId(commandLine.substr(3));
}

std::vector<std::string> SaverFolders() {
  const char* env = std::getenv("LUMIVANE_SAVER_DIRS");
  if (env == nullptr) return {"/usr/libexec/xscreensaver", "/usr/lib/xscreensaver"};
  std::vector<std::string> folders;
  std::string_view rest(env);
  while (true) {
    const auto colon = rest.find(':');
    const std::string_view part = rest.substr(0, colon);
    if (!part.empty()) folders.emplace_back(part);
    if (colon == std::string_view::npos) break;
    rest.remove_prefix(colon + 1);
  }
  return folders;
}

namespace {

void DropTrailingSlashes(std::string& folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
}

}  // namespace

bool RunsFromInstallPlace(std::string programFolder, const std::vector<std::string>& saverFolders) {
  DropTrailingSlashes(programFolder);
  if (programFolder.empty()) return false;
  for (std::string folder : saverFolders) {
    DropTrailingSlashes(folder);
    if (folder == programFolder) return true;
  }
  return false;
}

std::string FormatWindowSize(long left, long top, long width, long height) {
  std::string out;
  for (long v : {left, top, width, height}) {
    if (v < 0) v = 0;
    if (v > 99999) v = 99999;
    std::string digits = std::to_string(v);
    out += std::string(5 - digits.size(), '0') + digits;
  }
  return out;
}

namespace {

// The numeric value of a five-character field: its leading digits after blanks, 0 when none.
long FieldValue(std::string_view field) {
  std::size_t i = 0;
  while (i < field.size() && field[i] == ' ') ++i;
  long value = 0;
  for (; i < field.size() && std::isdigit(static_cast<unsigned char>(field[i])); ++i) {
    value = value * 10 + (field[i] - '0');
  }
  return value;
}

}  // namespace

std::optional<WindowSizeFields> ParseWindowSize(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.empty()) return std::nullopt;
  auto field = [&](std::size_t k) {
    return k * 5 < text.size() ? FieldValue(text.substr(k * 5, 5)) : 0L;
  };
  return WindowSizeFields{field(0), field(1), field(2), field(3)};
}

}  // namespace lmvn::app
