#include "ui/sound_effects_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <chrono>
#include <vector>

#include "settings/catalogue.h"
#include "settings/loaders.h"
#include "settings/store.h"
#include "sound/sound_file.h"
#include "sound/sound_output.h"
#include "ui/properties_field.h"
#include "ui/screen_rules.h"
#include "ui/screens.h"

namespace lmvn::ui {

namespace {

QString Text(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// The cue file keys in cue order: the text keys of section SoundFX.
std::vector<const KeySpec*> FileKeys() {
  std::vector<const KeySpec*> keys;
  for (const KeySpec& spec : KeysOfSection(kSectionSoundFX)) {
    if (spec.control == KeyControl::Text) keys.push_back(&spec);
  }
  return keys;
}

const KeySpec& SwitchKey() {
  static const KeySpec missing{};
  const KeySpec* spec = FindKey(kSectionSoundFX, "SoundFX_ON");
  return spec ? *spec : missing;
}

const QString kSelectFirst = QStringLiteral("Please select an Effect Type.");

// The catalogue's label with an access key on the letter `key` (its first occurrence).
QString WithAccessKey(std::string_view label, QChar key) {
  QString text = Text(label);
  if (const qsizetype at = text.indexOf(key); at >= 0) text.insert(at, QLatin1Char('&'));
  return text;
}

// How long Play waits for the sound engine's verdict on a file before taking it as playing.
constexpr std::chrono::milliseconds kPlayVerdictWait{1500};

}  // namespace

SoundEffectsDialog::SoundEffectsDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Sound Effect Settings"));
  ApplyTopmostRule(this);
  FitWhenShown(this);

  sound_ = new QCheckBox(WithAccessKey(SwitchKey().label, QLatin1Char('E')));
  frame_ = new QGroupBox;
  list_ = new QListWidget;
  list_->setAccessibleName(QStringLiteral("Firework events"));
  auto* listLabel = new QLabel(QStringLiteral("E&vent:"));
  listLabel->setBuddy(list_);
  file_ = new SelectAllEdit;
  file_->setAccessibleName(QStringLiteral("Filename"));
  file_->setMinimumWidth(280);
  auto* fileLabel = new QLabel(QStringLiteral("&Filename:"));
  fileLabel->setBuddy(file_);
  pick_ = new QPushButton(QStringLiteral("&Pick..."));
  play_ = new QPushButton(QStringLiteral("P&lay"));
  reason_ = new QLabel;
  reason_->setWordWrap(true);
  reason_->setAccessibleName(QStringLiteral("Why the file does not play"));
  auto* frameGrid = new QGridLayout(frame_);
  frameGrid->addWidget(listLabel, 0, 0, 1, 4);
  frameGrid->addWidget(list_, 1, 0, 1, 4);
  frameGrid->addWidget(fileLabel, 2, 0);
  frameGrid->addWidget(file_, 2, 1);
  frameGrid->addWidget(pick_, 2, 2);
  frameGrid->addWidget(play_, 2, 3);
  frameGrid->addWidget(reason_, 3, 1, 1, 3);

  builtIn_ = new QPushButton(QStringLiteral("&Built-in Sounds"));
  builtIn_->setToolTip(QStringLiteral("Fills every event's file box with Lumivane's own sound"));
  ok_ = new QPushButton(QStringLiteral("&OK"));
  defaults_ = new QPushButton(QStringLiteral("&Defaults"));
  cancel_ = new QPushButton(QStringLiteral("&Cancel"));
  ok_->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(builtIn_);
  buttons->addStretch();
  buttons->addWidget(ok_);
  buttons->addWidget(defaults_);
  buttons->addWidget(cancel_);

  auto* outer = new QVBoxLayout(this);
  outer->addWidget(sound_);
  outer->addWidget(frame_);
  outer->addLayout(buttons);

  // The events, the stored files and the switch.
  for (const KeySpec* key : FileKeys()) list_->addItem(Text(key->label));
  const SoundSettings stored = LoadSoundSettings();
  for (std::size_t i = 0; i < files_.size(); ++i) {
    files_[i] = QString::fromStdString(stored.SoundFiles[i]);
  }
  // The enable rule runs when the switch changes; with sound off at load the frame stays
  // usable, so files can be chosen and tried before sound is switched on.
  connect(sound_, &QCheckBox::toggled, frame_, &QWidget::setEnabled);
  sound_->setChecked(stored.SoundOn);

  connect(list_, &QListWidget::currentRowChanged, this, &SoundEffectsDialog::ChooseEntry);
  connect(list_, &QListWidget::itemDoubleClicked, this, &SoundEffectsDialog::PlayShownFile);
  connect(play_, &QPushButton::clicked, this, &SoundEffectsDialog::Play);
  connect(pick_, &QPushButton::clicked, this, &SoundEffectsDialog::Pick);
  connect(ok_, &QPushButton::clicked, this, &SoundEffectsDialog::Accept);
  connect(defaults_, &QPushButton::clicked, sound_, [this] { sound_->setChecked(false); });
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  connect(builtIn_, &QPushButton::clicked, this, &SoundEffectsDialog::UseBuiltInSounds);
  connect(file_, &QLineEdit::textChanged, reason_, &QLabel::clear);
  list_->installEventFilter(this);
  file_->installEventFilter(this);
  // The first event is chosen from the start, so whatever is typed belongs to one.
  list_->setCurrentRow(0);
}

void SoundEffectsDialog::KeepTypedFile() {
  if (currentIndex_ >= 0 && currentIndex_ < kEvents) {
    files_[static_cast<std::size_t>(currentIndex_)] = file_->text().trimmed();
  }
}

void SoundEffectsDialog::ChooseEntry(int index) {
  KeepTypedFile();
  currentIndex_ = index;
  if (index >= 0 && index < kEvents) {
    file_->setText(files_[static_cast<std::size_t>(index)]);
  }
}

// Plays whether or not sound is switched on: this is where people try their files. What keeps
// a file from playing is told under the file box.
void SoundEffectsDialog::PlayShownFile() {
  const QString path = file_->text().trimmed();
  reason_->clear();
  if (path.isEmpty()) return;
  const sound::Refusal refusal = sound::Sound().PlayChecked(path.toStdString(), kPlayVerdictWait);
  if (refusal != sound::Refusal::None) {
    const std::string_view why = sound::RefusalText(refusal);
    reason_->setText(QStringLiteral("Cannot play: %1.").arg(Text(why)));
  }
}

void SoundEffectsDialog::UseBuiltInSounds() {
  const QString folder = QString::fromStdString(sound::BuiltInSoundFolder());
  if (folder.isEmpty()) {
    reason_->setText(QStringLiteral("The built-in sounds are not installed."));
    return;
  }
  for (std::size_t i = 0; i < files_.size(); ++i) {
    files_[i] = folder + QLatin1Char('/') + Text(sound::kBuiltInSounds[i]);
  }
  if (currentIndex_ >= 0 && currentIndex_ < kEvents) {
    file_->setText(files_[static_cast<std::size_t>(currentIndex_)]);
  }
}

void SoundEffectsDialog::Play() {
  if (currentIndex_ < 0) {
    ShowExclamation(this, kSelectFirst);
    list_->setFocus();
    return;
  }
  PlayShownFile();
}

void SoundEffectsDialog::Pick() {
  if (currentIndex_ < 0) {
    ShowExclamation(this, kSelectFirst);
    list_->setFocus();
    return;
  }
  const QString path = PickFile(this, true, QStringLiteral("Select Lumivane Audio File"),
                                QStringLiteral("Waveforms (*.wav)|*.wav|All Files (*.*)|*.*"));
  // A cancelled picker leaves the file as it was.
  if (!path.isEmpty()) file_->setText(path);
}

void SoundEffectsDialog::Accept() {
  KeepTypedFile();
  // One write: the switch and every file are stored, or nothing and the dialog stays open.
  const std::vector<const KeySpec*> keys = FileKeys();
  std::vector<std::string> texts{sound_->isChecked() ? "1" : "0"};
  for (std::size_t i = 0; i < keys.size() && i < files_.size(); ++i) {
    texts.push_back(files_[i].toStdString());
  }
  std::vector<SettingWrite> writes{{kSectionSoundFX, SwitchKey().name, texts[0]}};
  for (std::size_t i = 1; i < texts.size(); ++i) {
    writes.push_back({kSectionSoundFX, keys[i - 1]->name, texts[i]});
  }
  if (!WriteSettings(kSettingsApp, writes)) {
    ShowWriteFailure(this, QStringLiteral("The sound settings"), SettingsFilePath(kSettingsApp));
    return;
  }
  accept();
}

bool SoundEffectsDialog::eventFilter(QObject* watched, QEvent* event) {
  if ((watched == list_ || watched == file_) && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
    file_->clear();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void ShowSoundEffectsDialog(QWidget* parent) {
  SoundEffectsDialog dialog(parent);
  dialog.exec();
}

}  // namespace lmvn::ui
