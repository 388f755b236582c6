// Whether the compositor has powered a monitor off, from the output power interface that
// wlroots-based compositors offer on Wayland. Their monitors may keep sending frame callbacks
// while powered off, so a window on them is not seen although the compositor paces it.
#pragma once

#include <QObject>
#include <memory>
#include <vector>

class QScreen;

namespace lmvn::ui {

struct OutputPowerEvents;

class OutputPower final : public QObject {
  Q_OBJECT
 public:
  // The one instance on a Wayland display; nullptr on other platforms or in a build without
  // Wayland. Whether the compositor offers the interface shows only in what Off answers.
  static OutputPower* Get();
  ~OutputPower() override;

  // True once the compositor has said that `screen`'s output is powered off.
  bool Off(const QScreen* screen) const;

 signals:
  void changed();

 private:
  struct Output;
  friend struct OutputPowerEvents;
  OutputPower();
  void Bind(void* registry, unsigned name);
  void Add(QScreen* screen);
  void Remove(QScreen* screen);
  void Release();

  void* manager_ = nullptr;
  void* registry_ = nullptr;
  std::vector<std::unique_ptr<Output>> outputs_;
};

}  // namespace lmvn::ui
