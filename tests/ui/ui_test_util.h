// Shared by the screen tests: a private settings folder, acting on modal windows.
#pragma once

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

namespace lmvn::ui::test {

// Points the settings store at a new empty folder for as long as it lives.
class PrivateStore {
 public:
  PrivateStore() { qputenv("XDG_CONFIG_HOME", dir_.path().toUtf8()); }
  QString path() const { return dir_.path(); }

 private:
  QTemporaryDir dir_;
};

// The bytes of a file; empty when it cannot be read.
inline QByteArray FileBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The action of `window` whose text (with its & marks) is `text`; null when there is none.
inline QAction* ActionNamed(QWidget* window, const QString& text) {
  for (QAction* action : window->findChildren<QAction*>()) {
    if (action->text() == text) return action;
  }
  return nullptr;
}

// Runs `act` on the first modal window of type T that appears (within five seconds); schedule
// it, then do what opens the window.
template <typename T>
void WhenModalAppears(std::function<void(T*)> act) {
  auto* timer = new QTimer;
  auto clock = std::make_shared<QElapsedTimer>();
  clock->start();
  QObject::connect(timer, &QTimer::timeout, [timer, clock, act] {
    T* window = qobject_cast<T*>(QApplication::activeModalWidget());
    if (window == nullptr && clock->elapsed() < 5000) return;
    timer->stop();
    timer->deleteLater();
    if (window != nullptr) act(window);
  });
  timer->start(10);
}

// Records the text of the next message box that opens and presses its OK button. Watch
// before the action that shows the box; the box is answered from its own event loop.
class MessageWatcher {
 public:
  MessageWatcher() : state_(std::make_shared<State>()) { Poll(state_); }
  QString text() const { return state_->text; }
  QMessageBox::Icon icon() const { return state_->icon; }
  void Stop() { state_->tries = 0; }
  ~MessageWatcher() { Stop(); }

 private:
  struct State {
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int tries = 200;
  };
  static void Poll(std::shared_ptr<State> state) {
    QTimer::singleShot(5, [state] {
      if (state->tries <= 0) return;
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        state->text = box->text();
        state->icon = box->icon();
        box->accept();
        return;
      }
      --state->tries;
      Poll(state);
    });
  }
  std::shared_ptr<State> state_;
};

}  // namespace lmvn::ui::test
