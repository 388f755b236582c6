// Acting on the modal window that a click opens: the test schedules what to do, then clicks.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace lmvn::testing {

// Runs `act` on the first modal window of type T that appears (within five seconds).
template <typename T>
void WhenModalAppears(std::function<void(T*)> act) {
  auto* timer = new QTimer;
  auto* clock = new QElapsedTimer;
  clock->start();
  QObject::connect(timer, &QTimer::timeout, [timer, clock, act] {
    T* window = qobject_cast<T*>(QApplication::activeModalWidget());
    if (window == nullptr && clock->elapsed() < 5000) return;
    timer->stop();
    timer->deleteLater();
    delete clock;
    if (window != nullptr) act(window);
  });
  timer->start(10);
}

// Records the text of the next message box into `text` and closes it.
inline void AnswerNextMessage(QString* text) {
  WhenModalAppears<QMessageBox>([text](QMessageBox* box) {
    *text = box->text();
    box->button(QMessageBox::Ok)->click();
  });
}

}  // namespace lmvn::testing
