#include "ui/output_power.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>

#ifdef LUMIVANE_HAVE_OUTPUT_POWER
#include <qpa/qplatformnativeinterface.h>
#include <wayland-client.h>

#include <algorithm>
#include <cstring>

#include "output-power-client-protocol.h"
#endif

namespace lmvn::ui {

struct OutputPower::Output {
  OutputPower* owner = nullptr;
  QPointer<QScreen> screen;
  void* power = nullptr;
  bool off = false;
};

bool OutputPower::Off(const QScreen* screen) const {
  for (const auto& output : outputs_) {
    if (output->screen == screen) return output->off;
  }
  return false;
}

#ifndef LUMIVANE_HAVE_OUTPUT_POWER

OutputPower* OutputPower::Get() {
  return nullptr;
}
OutputPower::OutputPower() = default;
OutputPower::~OutputPower() = default;

#else

// The compositor's events reach these on the main thread, where Qt dispatches its display's
// default queue.
struct OutputPowerEvents {
  static void Global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                     std::uint32_t) {
    if (std::strcmp(interface, zwlr_output_power_manager_v1_interface.name) == 0) {
      static_cast<OutputPower*>(data)->Bind(registry, name);
    }
  }
  static void GlobalRemove(void*, wl_registry*, std::uint32_t) {}
  static void Mode(void* data, zwlr_output_power_v1*, std::uint32_t mode) {
    auto* output = static_cast<OutputPower::Output*>(data);
    const bool off = mode == ZWLR_OUTPUT_POWER_V1_MODE_OFF;
    if (output->off == off) return;
    output->off = off;
    emit output->owner->changed();
  }
  // Another client controls the output, or it is gone: counted as on.
  static void Failed(void* data, zwlr_output_power_v1*) {
    auto* output = static_cast<OutputPower::Output*>(data);
    const bool wasOff = output->off;
    output->off = false;
    if (wasOff) emit output->owner->changed();
  }
};

namespace {
zwlr_output_power_v1* PowerOf(void* p) {
  return static_cast<zwlr_output_power_v1*>(p);
}
const wl_registry_listener kRegistryListener = {OutputPowerEvents::Global,
                                                OutputPowerEvents::GlobalRemove};
const zwlr_output_power_v1_listener kPowerListener = {OutputPowerEvents::Mode,
                                                      OutputPowerEvents::Failed};
}  // namespace

OutputPower* OutputPower::Get() {
  static OutputPower* instance = [] {
    OutputPower* made = nullptr;
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")) &&
        QGuiApplication::platformNativeInterface() != nullptr) {
      made = new OutputPower();  // lives until the program ends; released before Qt's display
    }
    return made;
  }();
  return instance;
}

OutputPower::OutputPower() {
  auto* display = static_cast<wl_display*>(
      QGuiApplication::platformNativeInterface()->nativeResourceForIntegration("wl_display"));
  if (display == nullptr) return;
  auto* registry = wl_display_get_registry(display);
  registry_ = registry;
  wl_registry_add_listener(registry, &kRegistryListener, this);
  wl_display_flush(display);
  // Qt's display goes with the application: every proxy on it must go first.
  connect(qApp, &QCoreApplication::aboutToQuit, this, &OutputPower::Release);
  connect(qApp, &QGuiApplication::screenAdded, this, &OutputPower::Add);
  connect(qApp, &QGuiApplication::screenRemoved, this, &OutputPower::Remove);
}

OutputPower::~OutputPower() {
  Release();
}

void OutputPower::Bind(void* registry, unsigned name) {
  if (manager_ != nullptr) return;
  manager_ = wl_registry_bind(static_cast<wl_registry*>(registry), name,
                              &zwlr_output_power_manager_v1_interface, 1);
  for (QScreen* screen : QGuiApplication::screens()) Add(screen);
}

void OutputPower::Add(QScreen* screen) {
  if (manager_ == nullptr) return;
  auto* output = static_cast<wl_output*>(
      QGuiApplication::platformNativeInterface()->nativeResourceForScreen("output", screen));
  if (output == nullptr) return;
  auto entry = std::make_unique<Output>();
  entry->owner = this;
  entry->screen = screen;
  auto* power = zwlr_output_power_manager_v1_get_output_power(
      static_cast<zwlr_output_power_manager_v1*>(manager_), output);
  entry->power = power;
  zwlr_output_power_v1_add_listener(power, &kPowerListener, entry.get());
  outputs_.push_back(std::move(entry));
}

void OutputPower::Remove(QScreen* screen) {
  const auto it = std::find_if(outputs_.begin(), outputs_.end(),
                               [screen](const auto& o) { return o->screen == screen; });
  if (it == outputs_.end()) return;
  zwlr_output_power_v1_destroy(PowerOf((*it)->power));
  outputs_.erase(it);
  emit changed();
}

void OutputPower::Release() {
  for (auto& output : outputs_) zwlr_output_power_v1_destroy(PowerOf(output->power));
  outputs_.clear();
  if (manager_ != nullptr) {
    zwlr_output_power_manager_v1_destroy(static_cast<zwlr_output_power_manager_v1*>(manager_));
  }
  if (registry_ != nullptr) wl_registry_destroy(static_cast<wl_registry*>(registry_));
  manager_ = registry_ = nullptr;
}

#endif

}  // namespace lmvn::ui
