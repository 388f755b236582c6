// Start-up: the command line, the run mode, the shared tables, and the one screen the run
// mode asks for.
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/host_window.h"
#include "app/saver_window.h"
#include "app/single_instance.h"
#include "effects/preview.h"
#include "render/colour.h"
#include "render/geometry.h"
#include "render/random.h"
#include "settings/loaders.h"
#include "settings/store.h"
#include "settings/templates.h"
#include "ui/screens.h"

#ifndef LUMIVANE_VERSION
#define LUMIVANE_VERSION "0"
#endif

namespace lmvn::app {
namespace {

std::int64_t SteadyUs() {
  using namespace std::chrono;
  return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

// How long the process had been running when main began, in microseconds (from the kernel's
// record of its start; 0 when that cannot be read).
std::int64_t ProcessAgeUs() {
  std::ifstream in("/proc/self/stat");
  std::string text((std::istreambuf_iterator<char>(in)), {});
  const auto close = text.rfind(')');
  if (close == std::string::npos) return 0;
  std::istringstream fields(text.substr(close + 2));
  std::string field;
  // Fields from the third on; the start time is the 22nd.
  for (int k = 3; k <= 22 && fields >> field; ++k) {
  }
  const long ticks = sysconf(_SC_CLK_TCK);
  timespec boot{};
  if (ticks <= 0 || clock_gettime(CLOCK_BOOTTIME, &boot) != 0) return 0;
  const double started = std::strtod(field.c_str(), nullptr) / double(ticks);
  const double now = double(boot.tv_sec) + double(boot.tv_nsec) * 1e-9;
  return now > started ? static_cast<std::int64_t>((now - started) * 1e6) : 0;
}

// The folder the program was started from, as it was named (links are not followed, so a
// link in the host's saver folder counts as that folder).
std::string ProgramFolder(const char* argv0) {
  QString path = QString::fromLocal8Bit(argv0 ? argv0 : "");
  if (!path.contains('/')) path = QStandardPaths::findExecutable(path);
  if (path.isEmpty()) return {};
  return QFileInfo(path).absolutePath().toStdString();
}

// The first-run test: no effect number was ever stored.
bool NothingStored() {
  return ReadSettingInteger(kSettingsApp, "General", "AnimationType", -1) == -1;
}

// Imports a template file into the store; the saver then runs with what it stored.
void ImportTemplate(const std::string& path) {
  ImportTemplateFile(path);
}

void PrintStats(const FrameStats& stats, std::int64_t mainStartUs, std::int64_t ageAtMainUs) {
  std::vector<double> intervals;
  for (std::size_t i = 1; i < stats.frameStarts.size(); ++i) {
    intervals.push_back(double(stats.frameStarts[i] - stats.frameStarts[i - 1]) / 1000.0);
  }
  double mean = 0, p99 = 0;
  if (!intervals.empty()) {
    for (double v : intervals) mean += v;
    mean /= double(intervals.size());
    std::sort(intervals.begin(), intervals.end());
    p99 = intervals[std::min(intervals.size() - 1,
                             static_cast<std::size_t>(0.99 * double(intervals.size() - 1) + 0.5))];
  }
  const double firstFrame =
      stats.firstFrameUs ? double(*stats.firstFrameUs - mainStartUs + ageAtMainUs) / 1000.0 : -1;
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const double cpu = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
  std::printf(
      "{\"frames\":%ld,\"interval_ms_mean\":%.3f,\"interval_ms_p99\":%.3f,"
      "\"first_frame_ms\":%.1f,\"cpu_s\":%.3f,\"present\":\"%s\"}\n",
      stats.frames, mean, p99, firstFrame, cpu, stats.present);
  std::fflush(stdout);
}

// SIGTERM, SIGINT and SIGHUP end the saver cleanly: the handler only writes a byte, the main
// loop does the rest.
int signalPipe[2] = {-1, -1};

void OnSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const auto written = write(signalPipe[1], &byte, 1);
}

void CatchEndSignals() {
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0) return;
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) sigaction(sig, &action, nullptr);
}

int ShowPreview(const std::string& commandLine) {
  ui::Run().runMode = ui::RunMode::Preview;
  const auto id = PreviewWindowId(commandLine);
  if (!id) return 0;
  const auto size = HostWindowSize(*id);
  if (!size || size->isEmpty()) return 0;
  const Palette palette(LoadColourSettings());
  Surface surface(size->width(), size->height());
  ProgramRandom().SeedFromClock();
  DrawPreview(surface, palette);
  PutSurface(*id, surface);
  return 0;
}

int Main(int argc, char** argv) {
  const std::int64_t mainStartUs = SteadyUs();
  const std::int64_t ageAtMainUs = ProcessAgeUs();
  const ProgramArgs args = ParseProgramArgs(std::vector<std::string>(argv + 1, argv + argc));
  if (args.help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (args.version) {
    std::printf("lumivane %s\n", LUMIVANE_VERSION);
    return 0;
  }

  // The screen-saver host's protocol.
  const char* hostEnv = std::getenv("XSCREENSAVER_WINDOW");
  const bool hostEnvApplies = hostEnv != nullptr && *hostEnv != '\0' &&
                              (args.root || args.commandLine.empty()) && !args.windowId;
  const bool host = args.root || args.windowId || hostEnvApplies;
  std::optional<unsigned long> hostWindow;
  if (args.windowId || hostEnvApplies) {
    hostWindow = ParseWindowId(args.windowId ? *args.windowId : std::string(hostEnv));
    if (!hostWindow) return 0;  // nothing to draw in
  }

  ui::Run().exitRequested = false;
  ui::Run().firstRun = false;
  const Command command = host ? Command::Saver : ClassifyCommand(args.commandLine);
  if (command == Command::Preview) return ShowPreview(args.commandLine);

  QApplication app(argc, argv);
  QApplication::setApplicationName("Lumivane");
  QApplication::setApplicationVersion(LUMIVANE_VERSION);
  QApplication::setQuitOnLastWindowClosed(false);

  // One instance per user and display; a host starts one saver per screen.
  std::unique_ptr<SingleInstance> instance;
  if (!host) {
    if (SingleInstance::AskRunningInstance()) return 0;
    instance = std::make_unique<SingleInstance>();
  }
  CatchEndSignals();

  ui::RunMode mode = RunsFromInstallPlace(ProgramFolder(argv[0]), SaverFolders())
                         ? ui::RunMode::Installed
                         : ui::RunMode::Standalone;
  ui::Run().runMode = mode;

  // The shared tables, built once: trigonometry, the hue wheel and the colour-age ramp.
  BuildTrigTables();
  const Palette startupPalette(LoadColourSettings());

  ScreenWindow* window = nullptr;
  QSocketNotifier notifier(signalPipe[0], QSocketNotifier::Read);
  QObject::connect(&notifier, &QSocketNotifier::activated, [&window] {
    char byte = 0;
    [[maybe_unused]] const auto got = read(signalPipe[0], &byte, 1);
    if (window) {
      window->QuitSaver();
    } else {
      QCoreApplication::exit(0);
    }
  });
  if (instance) {
    instance->Listen([&window] {
      if (window) window->RaiseWindow();
    });
  }

  auto runSaverWindow = [&]() {
    ScreenWindow::Options options;
    options.host = host;
    options.hostWindow = hostWindow;
    options.stats = args.stats;
    options.seed = args.seed;
    options.frames = args.frames;
    ScreenWindow screen(startupPalette, options);
    window = &screen;
    screen.Start();
    QApplication::exec();
    window = nullptr;
    if (args.stats) PrintStats(screen.stats(), mainStartUs, ageAtMainUs);
    return 0;
  };

  if (host) {
    ui::Run().runMode = ui::RunMode::Saver;
    return runSaverWindow();
  }
  switch (command) {
    case Command::Saver:
      if (mode == ui::RunMode::Installed) {
        ui::Run().runMode = ui::RunMode::Saver;
        if (NothingStored()) ui::Run().firstRun = true;
      } else if (NothingStored()) {
        ui::Run().firstRun = true;
        ui::ShowWelcomeScreen(nullptr, false);
      }
      return runSaverWindow();
    case Command::Config:
      ui::ShowPropertiesDialog(nullptr);
      return 0;
    case Command::Password:
      ui::ShowPasswordDialog(nullptr);
      return 0;
    case Command::Template:
      ImportTemplate(args.commandLine);
      return runSaverWindow();
    case Command::Preview:
    case Command::Default:
      break;
  }
  if (NothingStored()) {
    ui::Run().firstRun = true;
    ui::ShowWelcomeScreen(nullptr, false);
  }
  return runSaverWindow();
}

}  // namespace
}  // namespace lmvn::app

int main(int argc, char** argv) {
  return lmvn::app::Main(argc, argv);
}
