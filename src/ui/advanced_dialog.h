// The Advanced dialog (frmAdvanced): frame delay, effect cycling and the effects cycled
// through, performance multiplier, initial hue and the resizable saver window. It writes
// section Advanced of the store when OK is pressed.
#pragma once

#include <QDialog>
#include <QLineEdit>
#include <array>

#include "render/colour.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace lmvn::ui {

// A numeric text box with the dialogs' editing rules: digits only (and one "." in a decimal
// box), anything else refused with a beep; Up and Down step the value within its range; on
// losing the focus the text becomes a number of the box's kind within its range.
class NumberBox : public QLineEdit {
  Q_OBJECT
 public:
  enum class Kind { Integer, Long, Single };
  NumberBox(Kind kind, double low, double high, double step, QWidget* parent = nullptr);

  // The value stepped by `direction` steps, limited to the range, as the new text.
  void StepBy(int direction);
  // The text as a number of the box's kind within its range.
  void Validate();
  double step() const { return step_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  QString TextOf(double value) const;
  Kind kind_;
  double low_, high_, step_;
};

class AdvancedDialog : public QDialog {
  Q_OBJECT
 public:
  // The fields, by their index in the dialog.
  enum Field { kDelay = 0, kFramesPerEffect = 1, kPerfMult = 2, kHueStart = 3 };
  static constexpr int kEffectBoxes = 8;

  explicit AdvancedDialog(QWidget* parent = nullptr);

  NumberBox* field(int index) const { return fields_[static_cast<std::size_t>(index)]; }
  QGroupBox* cycleSwitch() const { return cycle_; }
  QCheckBox* effectBox(int index) const { return effects_[static_cast<std::size_t>(index)]; }
  QCheckBox* resizeSwitch() const { return resize_; }
  QLabel* hueSample() const { return hueSample_; }
  QPushButton* okButton() const { return ok_; }
  QPushButton* defaultsButton() const { return defaults_; }
  QPushButton* cancelButton() const { return cancel_; }
  // The sum of 2 to the power i over the checked effect boxes i.
  long EffectMask() const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void LoadFromStore();
  void SetEffectMask(long mask);
  void EffectBoxToggled(int index, bool checked);
  void PaintHueSample();
  void RestoreDefaults();
  void Accept();

  std::array<NumberBox*, 4> fields_{};
  std::array<QCheckBox*, kEffectBoxes> effects_{};
  QGroupBox* cycle_ = nullptr;
  QCheckBox* resize_ = nullptr;
  QLabel* hueSample_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* defaults_ = nullptr;
  QPushButton* cancel_ = nullptr;
  Palette palette_;
  bool shown_ = false;
};

}  // namespace lmvn::ui
