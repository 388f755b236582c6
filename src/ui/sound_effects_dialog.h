// The Sound Effects dialog (frmSoundEffects): the master sound switch and the wave file of
// each firework event. It writes section SoundFX of the store when OK is pressed.
#pragma once

#include <QDialog>
#include <QString>
#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace lmvn::ui {

class SoundEffectsDialog : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kEvents = 8;

  explicit SoundEffectsDialog(QWidget* parent = nullptr);

  QCheckBox* soundSwitch() const { return sound_; }
  QGroupBox* soundsFrame() const { return frame_; }
  QListWidget* eventList() const { return list_; }
  QLineEdit* fileBox() const { return file_; }
  QPushButton* pickButton() const { return pick_; }
  QPushButton* playButton() const { return play_; }
  QPushButton* builtInButton() const { return builtIn_; }
  // Under the file box: why the last Play could not play its file (empty when it could).
  QLabel* reasonLine() const { return reason_; }
  QPushButton* okButton() const { return ok_; }
  QPushButton* defaultsButton() const { return defaults_; }
  QPushButton* cancelButton() const { return cancel_; }
  // The list entry whose file the file box shows (the first one when the dialog opens).
  int currentIndex() const { return currentIndex_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ChooseEntry(int index);
  void KeepTypedFile();
  void PlayShownFile();
  void Play();
  void Pick();
  void UseBuiltInSounds();
  void Accept();

  std::array<QString, kEvents> files_;
  int currentIndex_ = -1;
  QCheckBox* sound_ = nullptr;
  QGroupBox* frame_ = nullptr;
  QListWidget* list_ = nullptr;
  QLineEdit* file_ = nullptr;
  QPushButton* pick_ = nullptr;
  QPushButton* play_ = nullptr;
  QPushButton* builtIn_ = nullptr;
  QLabel* reason_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* defaults_ = nullptr;
  QPushButton* cancel_ = nullptr;
};

}  // namespace lmvn::ui
