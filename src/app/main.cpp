// Start-up: the command line, the run mode, the shared tables, and the one screen the run
// mode asks for.
#include <errno.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <time.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QApplication>
#include <QDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <algorithm>
#include <atomic>
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

// Imports a template file into the store; the saver then runs with what it stored (or, for a
// path that is no readable file, with the settings stored before).
void ImportTemplate(const std::string& path) {
  const std::string problem = ImportTemplateFromCommandLine(path);
  if (!problem.empty()) std::fprintf(stderr, "lumivane: %s\n", problem.c_str());
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

// SIGTERM, SIGINT and SIGHUP end the program cleanly, whatever screen is open: the handler
// only writes a byte, the main loop does the rest. A signal that comes before the main loop
// runs waits in the socket and is handled as soon as it does. A second one ends the process
// at once, whatever it waits for (a display server that stopped answering, say).
int signalPipe[2] = {-1, -1};
std::atomic<int> endSignals{0};

void OnSignal(int sig) {
  const int savedErrno = errno;
  if (endSignals.fetch_add(1) > 0) _exit(128 + sig);
  const char byte = 1;
  [[maybe_unused]] const auto written = write(signalPipe[1], &byte, 1);
  errno = savedErrno;
}

// Once the program has begun to end, its teardown (closing windows, Qt's platform letting go
// of the display) gets one second; a teardown stuck on a display server or on a library's
// own thread then ends the process with the status it was going to have.
volatile sig_atomic_t watchdogStatus = 0;

void OnWatchdog(int) {
  _exit(watchdogStatus);
}

void ArmExitWatchdog(int status) {
  static bool armed = false;
  watchdogStatus = status;
  if (armed) return;
  armed = true;
  struct sigaction action {};
  action.sa_handler = OnWatchdog;
  sigemptyset(&action.sa_mask);
  sigaction(SIGALRM, &action, nullptr);
  itimerval timer{};
  timer.it_value.tv_sec = 1;
  setitimer(ITIMER_REAL, &timer, nullptr);
}

struct WatchdogOnReturn {
  ~WatchdogOnReturn() { ArmExitWatchdog(0); }
};

void CatchEndSignals() {
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0) return;
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) sigaction(sig, &action, nullptr);
}

// True when an end signal arrived within `waitMs` milliseconds (it stays pending).
bool EndSignalled(int waitMs) {
  if (signalPipe[0] < 0) {
    if (waitMs > 0) usleep(static_cast<useconds_t>(waitMs) * 1000);
    return false;
  }
  pollfd fd{signalPipe[0], POLLIN, 0};
  return poll(&fd, 1, waitMs) > 0;
}

// Every screen closes as if cancelled (nothing is stored), the saver's windows close, and every
// event loop ends; whoever opened a screen sees Run().quitRequested and returns.
void EndEverything(Saver* window) {
  ArmExitWatchdog(0);
  ui::Run().quitRequested = true;
  for (int k = 0; k < 16 && QApplication::activePopupWidget(); ++k) {
    QApplication::activePopupWidget()->close();
  }
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    auto* dialog = qobject_cast<QDialog*>(widget);
    if (dialog && dialog->isVisible()) dialog->done(QDialog::Rejected);
  }
  if (window) window->QuitSaver();
  QCoreApplication::exit(0);
}

// Qt's X11 platform ends the program with an abort when it cannot reach the server, and a
// server refuses connections for a moment while it resets (when its last client has left).
// So the display is tried here first, again and again for about two seconds, and the
// connection that answered is held until Qt has its own, so that the server cannot begin a
// reset in between. Only for X11: a Wayland session is left to Qt.
bool UsesX11() {
  const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
  if (!platform.isEmpty()) return platform.startsWith("xcb");
  return qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

enum class DisplayCheck { Ready, Missing, Signalled };

DisplayCheck WaitForX11Display(xcb_connection_t*& held) {
  const char* name = std::getenv("DISPLAY");
  if (name == nullptr || *name == '\0') {
    std::fputs("lumivane: cannot open the display (DISPLAY is not set)\n", stderr);
    return DisplayCheck::Missing;
  }
  const std::int64_t deadline = SteadyUs() + 2'000'000;
  for (;;) {
    xcb_connection_t* c = xcb_connect(name, nullptr);
    if (xcb_connection_has_error(c) == 0) {
      held = c;
      return DisplayCheck::Ready;
    }
    xcb_disconnect(c);
    if (SteadyUs() >= deadline) break;
    if (EndSignalled(100)) return DisplayCheck::Signalled;
  }
  std::fprintf(stderr, "lumivane: cannot open the display %s\n", name);
  return DisplayCheck::Missing;
}

// Should Qt still fail to reach the display (the server refused it just after it answered
// here), the program says so in the same one line instead of aborting. Qt's own platform
// messages are held back until the application stands, and then passed on. A display
// connection that breaks later ends the program at once with one line and status 1: Qt would
// run the exit handlers, and its Wayland teardown can wait forever on its own event thread.
QtMessageHandler qtMessages = nullptr;
bool holdingMessages = true;
xcb_connection_t* qtConnection = nullptr;  // Qt's own X connection, once it has one
struct HeldMessage {
  QtMsgType type;
  std::string category;
  QString text;
};
std::vector<HeldMessage> heldMessages;

const char* DisplayName() {
  const char* name = std::getenv(UsesX11() ? "DISPLAY" : "WAYLAND_DISPLAY");
  return name ? name : "";
}

void OnQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  // Whatever Qt says once its X connection has failed follows from that.
  if ((qtConnection != nullptr && xcb_connection_has_error(qtConnection) != 0) ||
      text.contains(QLatin1String("connection broke")) ||
      text.contains(QLatin1String("connection experienced a fatal error"))) {
    // Qt's event thread and the main thread may both say so: one line, from the first.
    static std::atomic<bool> said{false};
    if (said.exchange(true)) {
      for (;;) pause();  // the first ends the process
    }
    std::fprintf(stderr, "lumivane: lost the connection to the display %s\n", DisplayName());
    _exit(1);
  }
  // Without a runtime folder Qt uses one of its own, which is fine here.
  if (text.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set"))) return;
  if (holdingMessages) {
    if (type == QtFatalMsg) {
      std::fprintf(stderr, "lumivane: cannot open the display %s\n", DisplayName());
      _exit(1);
    }
    heldMessages.push_back({type, context.category ? context.category : "", text});
    return;
  }
  if (qtMessages) {
    qtMessages(type, context, text);
  } else {
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
  }
}

void PassHeldMessages() {
  holdingMessages = false;
  for (const HeldMessage& m : heldMessages) {
    const QMessageLogContext context(nullptr, 0, nullptr, m.category.c_str());
    OnQtMessage(m.type, context, m.text);
  }
  heldMessages.clear();
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

int RunProgram(int argc, char** argv, const ProgramArgs& args, FrameStats& stats) {
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
  const bool idle = args.idle && !host;
  const Command command = host || idle ? Command::Saver : ClassifyCommand(args.commandLine);
  if (command == Command::Preview) return ShowPreview(args.commandLine);

  // A host's window is an X11 window, drawn into through Qt's X11 platform even where Qt
  // would choose Wayland (a Wayland session, whose X server is XWayland).
  if (hostWindow) qputenv("QT_QPA_PLATFORM", "xcb");
  std::unique_ptr<xcb_connection_t, void (*)(xcb_connection_t*)> probe(nullptr, xcb_disconnect);
  if (UsesX11()) {
    xcb_connection_t* held = nullptr;
    const DisplayCheck display = WaitForX11Display(held);
    probe.reset(held);
    if (display == DisplayCheck::Signalled) return 0;
    if (display == DisplayCheck::Missing) return 1;
    // A host window that does not exist (or is already gone): nothing to draw in.
    if (hostWindow && !HostWindowSize(*hostWindow)) return 0;
    // "-root" without a host window: the root window itself, as the host's own savers do.
    if (args.root && !hostWindow) hostWindow = RootWindowId();
  }
  const bool rootWindow = hostWindow && args.root && !hostEnvApplies;
  if (hostWindow && !rootWindow) HoldWindowManagerRequests();

  qtMessages = qInstallMessageHandler(OnQtMessage);
  QApplication app(argc, argv);
  const WatchdogOnReturn watchdog;
  if (auto* x11 = app.nativeInterface<QNativeInterface::QX11Application>()) {
    qtConnection = x11->connection();
  }
  probe.reset();
  PassHeldMessages();
  QApplication::setApplicationName("Lumivane");
  QApplication::setApplicationVersion(LUMIVANE_VERSION);
  QApplication::setQuitOnLastWindowClosed(false);

  // One instance per user and display; a host starts one saver per screen.
  std::unique_ptr<SingleInstance> instance;
  if (!host) {
    if (SingleInstance::AskRunningInstance()) return 0;
    instance = std::make_unique<SingleInstance>();
  }

  ui::RunMode mode = RunsFromInstallPlace(ProgramFolder(argv[0]), SaverFolders())
                         ? ui::RunMode::Installed
                         : ui::RunMode::Standalone;
  ui::Run().runMode = mode;

  // The shared tables, built once: trigonometry, the hue wheel and the colour-age ramp.
  BuildTrigTables();
  const Palette startupPalette(LoadColourSettings());

  Saver* window = nullptr;
  QSocketNotifier notifier(signalPipe[0], QSocketNotifier::Read);
  QObject::connect(&notifier, &QSocketNotifier::activated, [&window] {
    char byte = 0;
    [[maybe_unused]] const auto got = read(signalPipe[0], &byte, 1);
    EndEverything(window);
  });
  if (instance) {
    instance->Listen([&window] {
      if (window) window->RaiseWindow();
    });
  }

  auto runSaverWindow = [&]() {
    if (ui::Run().quitRequested) return 0;
    Saver::Options options;
    options.host = host;
    options.hostWindow = hostWindow;
    options.rootWindow = rootWindow;
    options.idle = idle;
    options.stats = args.stats;
    options.seed = args.seed;
    options.frames = args.frames;
    Saver screen(startupPalette, options);
    window = &screen;
    screen.Start();
    // The saver may have ended before the main loop runs (its host window went away).
    if (!screen.stopped() && !ui::Run().quitRequested) QApplication::exec();
    ArmExitWatchdog(0);
    window = nullptr;
    stats = screen.stats();
    return 0;
  };

  if (host) {
    ui::Run().runMode = ui::RunMode::Saver;
    return runSaverWindow();
  }
  // Started by an idle launcher: the saver as the host's own folder starts it.
  if (idle) {
    ui::Run().runMode = ui::RunMode::Saver;
    if (NothingStored()) ui::Run().firstRun = true;
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

int Main(int argc, char** argv) {
  const std::int64_t mainStartUs = SteadyUs();
  const std::int64_t ageAtMainUs = ProcessAgeUs();
  CatchEndSignals();
  // Without a session bus Qt's D-Bus library would start one of its own (dbus-launch), a
  // helper that outlives the saver; there is nobody on such a bus to talk to.
  if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) {
    qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
  }
  const ProgramArgs args = ParseProgramArgs(std::vector<std::string>(argv + 1, argv + argc));
  if (args.help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (args.version) {
    std::printf("lumivane %s\n", LUMIVANE_VERSION);
    return 0;
  }
  FrameStats stats;
  const int status = RunProgram(argc, argv, args, stats);
  ArmExitWatchdog(status);
  if (args.stats) PrintStats(stats, mainStartUs, ageAtMainUs);
  return status;
}

}  // namespace
}  // namespace lmvn::app

int main(int argc, char** argv) {
  return lmvn::app::Main(argc, argv);
}
