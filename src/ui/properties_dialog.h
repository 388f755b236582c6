// The Properties dialog (frmProps): one page per effect, the common screen and colour column,
// theme pickers, factory reset, templates, help and the way into the other settings screens.
//
// Its fields are the working copy of the settings: they are filled from the store when the
// dialog opens and reach the store only through "&Accept Settings" (the Advanced values aside,
// which Open Template, Reset Properties and the Advanced dialog write at once). A write that
// fails is reported and leaves the dialog open with what was typed.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/dialog_layout.h"
#include "settings/dialog_values.h"

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QScrollBar;
class QStackedWidget;

namespace lmvn::ui {

class HelpViewer;
class HueSample;
class ProfileSketch;
class PropertiesPreview;

class PropertiesDialog : public QDialog {
  Q_OBJECT
 public:
  explicit PropertiesDialog(QWidget* parent = nullptr);
  ~PropertiesDialog() override;

  // Every field's text (switches "1" or "0", lists their index), Grav_StarMass included.
  DialogValues values() const;
  // Puts values into the fields of the sections they name; keys they lack keep their fields.
  // The cross-field limits, which follow what a user types, stand aside meanwhile.
  void setValues(const DialogValues& values);

  // The control that edits section/key (a text box, check box or list); nullptr when hidden.
  QWidget* fieldWidget(std::string_view section, std::string_view key) const;
  // The spinner of a stepped box; nullptr when it has none.
  QScrollBar* spinnerOf(std::string_view section, std::string_view key) const;
  // The line under a linked box that says why its value was lowered; nullptr for other boxes.
  QLabel* limitNoteOf(std::string_view section, std::string_view key) const;
  int currentEffect() const;
  HelpViewer* helpViewer() const { return help_; }
  PropertiesPreview* preview() const { return preview_; }

 public slots:
  void accept() override;
  void done(int result) override;
  void resetProperties();
  void selectEffect(int effect);

 private:
  struct Field {
    const DialogField* field = nullptr;
    std::string_view section;
    QLineEdit* edit = nullptr;
    QScrollBar* spinner = nullptr;
    QCheckBox* check = nullptr;
    QComboBox* list = nullptr;
    QLabel* limitNote = nullptr;  // why a linked limit lowered the value, under the box
    QWidget* widget() const;
  };

  void buildMenus();
  QWidget* buildCommonColumn();
  QWidget* buildEffectPage(int effect);
  void addFrameFields(QWidget* frame, std::string_view section, std::string_view frameName);
  Field* find(std::string_view section, std::string_view key);
  const Field* find(std::string_view section, std::string_view key) const;
  void fieldChanged(Field& field);
  // The texts of the boxes that `limit` ties together.
  DialogValues partnerValues(const CrossLimit& limit) const;
  void applyFireworksTheme(int index);
  void applyGalaxyTheme(int index);
  void updateHueSamples();
  void showHelpFor(QWidget* focus);
  void load();
  void openTemplate();
  void saveTemplate(bool pickName);

  std::vector<Field> fields_;
  DialogValues hidden_;  // keys that have no control (Grav_StarMass)
  bool limitGuard_ = false;
  int closings_ = 0;  // done() calls, so that accept() sees a close while events ran

  QComboBox* effectList_ = nullptr;  // cboAniType
  QStackedWidget* pages_ = nullptr;  // fraAni
  std::vector<QAction*> effectItems_;
  QGroupBox* colourDistribution_ = nullptr;
  QGroupBox* displayEnhancement_ = nullptr;
  QComboBox* fireTheme_ = nullptr;
  QComboBox* galaxyTheme_ = nullptr;
  QComboBox* galaxyPlane_ = nullptr;
  ProfileSketch* profileSketch_ = nullptr;
  HueSample* pixelHue_ = nullptr;
  HueSample* galaxyHue_ = nullptr;
  QPushButton* accept_ = nullptr;
  PropertiesPreview* preview_ = nullptr;
  QCheckBox* previewSwitch_ = nullptr;
  HelpViewer* help_ = nullptr;
  QMenuBar* menuBar_ = nullptr;
};

}  // namespace lmvn::ui
