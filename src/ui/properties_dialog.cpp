#include "ui/properties_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "settings/catalogue.h"
#include "settings/store.h"
#include "settings/theme_fields.h"
#include "settings/themes_galaxy.h"
#include "settings/transfers.h"
#include "settings/value_text.h"
#include "ui/help_viewer.h"
#include "ui/properties_field.h"
#include "ui/properties_preview.h"
#include "ui/properties_themes.h"
#include "ui/screen_rules.h"
#include "ui/screens.h"
#include "ui/template_menu.h"

namespace lmvn::ui {
namespace {

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

constexpr const char* kEffectNames[] = {
    "Fireworks", "Starfield", "B-Spline Warp", "B-Spline Sparklers", "Stars and Gravity Wells",
    "Galaxies"};
constexpr const char* kPageCaptions[] = {"Fireworks Properties",     "Starfield Properties",
                                         "B-Spline Warp Properties", "B-Spline Sparkler Properties",
                                         "Gravity Well Properties",  "Galaxy Properties"};
constexpr const char* kEffectMenuItems[] = {"&Fireworks",         "&Starfield",
                                            "&B-Spline Warp",     "B-S&pline Sparklers",
                                            "S&tars and Gravity", "&Galaxies"};

// The name a screen reader gives a control: its label without the closing colon.
QString SpokenName(std::string_view label) {
  QString name = Q(label).trimmed();
  if (name.endsWith(':')) name.chop(1);
  return name;
}

int IndexFromText(const std::string& text, int fallback) {
  return IntegerFromText(text, static_cast<Integer>(fallback));
}

// A box's label as a name in a sentence: without its range and colon.
QString ShortName(std::string_view section, std::string_view key) {
  const KeySpec* spec = FindKey(section, key);
  QString name = spec != nullptr ? Q(spec->label) : Q(key);
  name = name.section(QStringLiteral(" ("), 0, 0).trimmed();
  if (name.endsWith(':')) name.chop(1);
  return name;
}

// Why `limit` lowered a value to `text`.
QString LimitNote(const CrossLimit& limit, const QString& text) {
  QStringList names;
  for (std::string_view key : limit.keys) names << ShortName(limit.section, key);
  if (limit.rule == CrossLimit::Rule::Product30000) {
    return QStringLiteral("Lowered to %1: %2 times %3 may not pass 30000.")
        .arg(text, names.value(0), names.value(1));
  }
  const QString group = names.size() == 2 ? names.join(QStringLiteral(" and "))
                                          : QStringLiteral("these %1 percents").arg(names.size());
  return QStringLiteral("Lowered to %1: %2 may not add up to more than 100.").arg(text, group);
}

bool IsSubPage(std::string_view section, std::string_view frame) {
  const auto pages = SameName(section, kSectionFireworks) ? FireworksSubPages()
                     : SameName(section, kSectionGalaxy)  ? GalaxySubPages()
                                                          : std::span<const std::string_view>();
  return std::find(pages.begin(), pages.end(), frame) != pages.end();
}

}  // namespace

QWidget* PropertiesDialog::Field::widget() const {
  if (edit != nullptr) return edit;
  if (check != nullptr) return check;
  return list;
}

PropertiesDialog::PropertiesDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("frmProps");
  setWindowTitle("Lumivane Properties");
  setAccessibleName("Lumivane Properties");

  auto* layout = new QVBoxLayout(this);
  buildMenus();
  layout->setMenuBar(menuBar_);

  // The effect list, and beside it the live preview with the switch that hides it.
  auto* top = new QHBoxLayout;
  auto* choice = new QGridLayout;
  auto* effectLabel = new QLabel("Effec&t:", this);
  effectList_ = new QComboBox(this);
  effectList_->setObjectName("cboAniType");
  effectList_->setAccessibleName("Effect");
  effectLabel->setBuddy(effectList_);
  choice->addWidget(effectLabel, 0, 0);
  choice->addWidget(effectList_, 0, 1);
  effectList_->setMinimumWidth(effectList_->fontMetrics().averageCharWidth() * 36);
  previewSwitch_ = new QCheckBox("Show pre&view", this);
  previewSwitch_->setObjectName("chkPreview");
  previewSwitch_->setChecked(true);
  choice->addWidget(previewSwitch_, 1, 1);
  choice->setRowStretch(2, 1);
  top->addLayout(choice);
  top->addStretch(1);
  preview_ = new PropertiesPreview([this] { return values(); }, this);
  top->addWidget(preview_, 0, Qt::AlignTop);
  connect(previewSwitch_, &QCheckBox::toggled, preview_, &QWidget::setVisible);
  layout->addLayout(top);

  // The common column and the pages scroll where the screen is too small for them.
  auto* body = new QWidget(this);
  auto* columns = new QHBoxLayout(body);
  columns->setContentsMargins(0, 0, 0, 0);
  columns->addWidget(buildCommonColumn());
  pages_ = new QStackedWidget(this);
  pages_->setObjectName("fraAni");
  for (int effect = 0; effect < 6; ++effect) pages_->addWidget(buildEffectPage(effect));
  columns->addWidget(pages_, 1);
  layout->addWidget(ScrollWhenTall(body), 1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  accept_ = new QPushButton("&Accept Settings", this);
  accept_->setObjectName("cmdAccept");
  accept_->setDefault(true);
  auto* dismiss = new QPushButton("Cancel", this);
  dismiss->setObjectName("cmdDismiss");
  buttons->addWidget(accept_);
  buttons->addWidget(dismiss);
  layout->addLayout(buttons);
  connect(accept_, &QPushButton::clicked, this, &PropertiesDialog::accept);
  connect(dismiss, &QPushButton::clicked, this, &PropertiesDialog::reject);

  // The effect list: the AnimationType field.
  for (const char* name : kEffectNames) effectList_->addItem(name);
  connect(effectList_, &QComboBox::currentIndexChanged, this, &PropertiesDialog::selectEffect);

  auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
  help->setContext(Qt::WindowShortcut);
  connect(help, &QShortcut::activated, this, [this] { showHelpFor(focusWidget()); });

  load();
  FitWhenShown(this);
}

PropertiesDialog::~PropertiesDialog() = default;

void PropertiesDialog::buildMenus() {
  menuBar_ = new QMenuBar(this);
  QMenu* file = menuBar_->addMenu("&File");
  connect(file->addAction("&Open Template..."), &QAction::triggered, this,
          &PropertiesDialog::openTemplate);
  file->addSeparator();
  connect(file->addAction("&Save Template"), &QAction::triggered, this,
          [this] { saveTemplate(false); });
  connect(file->addAction("Save Template &As..."), &QAction::triggered, this,
          [this] { saveTemplate(true); });
  file->addSeparator();
  connect(file->addAction("E&xit"), &QAction::triggered, this, [this] {
    Run().exitRequested = true;
    reject();
  });

  QMenu* edit = menuBar_->addMenu("&Edit");
  connect(edit->addAction("&Reset Properties"), &QAction::triggered, this,
          &PropertiesDialog::resetProperties);
  edit->addSeparator();
  connect(edit->addAction("&Advanced Settings..."), &QAction::triggered, this, [this] {
    ShowAdvancedDialog(this);
    preview_->ScheduleRestart();  // the frame delay may have changed
  });

  QMenu* effect = menuBar_->addMenu("Effe&ct");
  for (int i = 0; i < 6; ++i) {
    QAction* item = effect->addAction(kEffectMenuItems[i]);
    item->setCheckable(true);
    connect(item, &QAction::triggered, this, [this, i] {
      effectList_->setCurrentIndex(i);
      selectEffect(i);
    });
    effectItems_.push_back(item);
  }
  effect->addSeparator();
  connect(effect->addAction("S&ounds..."), &QAction::triggered, this,
          [this] { ShowSoundEffectsDialog(this); });

  QMenu* help = menuBar_->addMenu("&Help");
  connect(help->addAction("&Contents..."), &QAction::triggered, this, [this] {
    if (help_ == nullptr) help_ = new HelpViewer(this);
    help_->showContents();
  });
  connect(help->addAction("&Search..."), &QAction::triggered, this, [this] {
    if (help_ == nullptr) help_ = new HelpViewer(this);
    help_->showSearch();
  });
  help->addSeparator();
  connect(help->addAction("&About Lumivane..."), &QAction::triggered, this,
          [this] { ShowWelcomeScreen(this, true); });
}

QWidget* PropertiesDialog::buildCommonColumn() {
  auto* column = new QGroupBox("Screen and Color Properties", this);
  column->setObjectName("fraCommon");
  auto* layout = new QVBoxLayout(column);
  std::vector<std::string_view> frames;
  for (std::string_view section : {kSectionGeneral, kSectionPixelColor}) {
    for (const DialogField& field : DialogFields(section)) {
      if (field.frame.empty()) continue;
      if (std::find(frames.begin(), frames.end(), field.frame) != frames.end()) continue;
      frames.push_back(field.frame);
      auto* frame = new QGroupBox(Q(field.frame), column);
      layout->addWidget(frame);
      addFrameFields(frame, section, field.frame);
      if (field.frame == "Pixel Color Distribution") colourDistribution_ = frame;
      if (field.frame == "Display Enhancement") displayEnhancement_ = frame;
      if (field.frame == "Pixel Hue Composition") {
        pixelHue_ = new HueSample(frame);
        pixelHue_->setObjectName("picPixHue");
        pixelHue_->setAccessibleName("Hue sample");
        static_cast<QGridLayout*>(frame->layout())
            ->addWidget(pixelHue_, frame->layout()->count(), 0, 1, 3);
      }
    }
  }
  layout->addStretch(1);
  return column;
}

QWidget* PropertiesDialog::buildEffectPage(int effect) {
  const std::string_view section = EffectSection(effect);
  auto* page = new QGroupBox(kPageCaptions[effect], this);
  page->setObjectName(QString("fraAni%1").arg(effect));
  auto* layout = new QVBoxLayout(page);

  auto* main = new QWidget(page);
  main->setLayout(new QGridLayout);
  main->layout()->setContentsMargins(0, 0, 0, 0);
  auto* mainGrid = static_cast<QGridLayout*>(main->layout());
  const auto addPicker = [&](const QString& label, QComboBox* list, int span) {
    auto* caption = new QLabel(label, main);
    caption->setBuddy(list);
    list->setAccessibleName(SpokenName(label.toStdString()));
    const int row = mainGrid->rowCount();
    mainGrid->addWidget(caption, row, 0);
    mainGrid->addWidget(list, row, 1, 1, span);
  };
  if (effect == 0) {
    fireTheme_ = new QComboBox(main);
    fireTheme_->setObjectName("cboFireTheme");
    fireTheme_->addItems(FireworksThemeNames());
    addPicker("Theme:", fireTheme_, 3);
    connect(fireTheme_, &QComboBox::currentIndexChanged, this,
            &PropertiesDialog::applyFireworksTheme);
  }
  if (effect == 5) {
    galaxyTheme_ = new QComboBox(main);
    galaxyTheme_->setObjectName("cboGalaxyTheme");
    galaxyTheme_->addItems(GalaxyThemeNames());
    addPicker("Theme:", galaxyTheme_, 3);
    connect(galaxyTheme_, &QComboBox::currentIndexChanged, this,
            &PropertiesDialog::applyGalaxyTheme);
  }
  addFrameFields(main, section, {});
  if (effect == 5) {
    galaxyPlane_ = new QComboBox(main);
    galaxyPlane_->setObjectName("cboGalPlane");
    galaxyPlane_->addItem("Y-Z");
    addPicker("Axial Plane of Galaxy Star Rotation:", galaxyPlane_, 1);
    profileSketch_ = new ProfileSketch(main);
    if (Field* profile = find(section, "Galaxy_Profile"); profile != nullptr && profile->list) {
      const int row = mainGrid->indexOf(profile->list);
      int r = 0, c = 0, rs = 0, cs = 0;
      mainGrid->getItemPosition(row, &r, &c, &rs, &cs);
      mainGrid->removeWidget(profile->list);
      mainGrid->addWidget(profile->list, r, 1, 1, 1);
      mainGrid->addWidget(profileSketch_, r, 2, 2, 2);
      connect(profile->list, &QComboBox::currentIndexChanged, profileSketch_,
              &ProfileSketch::setProfile);
    }
  }
  layout->addWidget(main);

  // Frames: a list chooses among the sub-pages of Fireworks and Galaxies; the other pages show
  // their frames one under the other.
  QComboBox* chooser = nullptr;
  QStackedWidget* stack = nullptr;
  if (effect == 0 || effect == 5) {
    chooser = new QComboBox(page);
    chooser->setObjectName(effect == 0 ? "cboExtras" : "cboGalaxyExtras");
    for (std::string_view name : effect == 0 ? FireworksSubPages() : GalaxySubPages()) {
      chooser->addItem(Q(name));
    }
    auto* row = new QHBoxLayout;
    auto* caption = new QLabel("C&onfigure:", page);
    caption->setBuddy(chooser);
    chooser->setAccessibleName("Page");
    row->addWidget(caption);
    row->addWidget(chooser, 1);
    layout->addLayout(row);
    stack = new QStackedWidget(page);
    for (std::string_view name : effect == 0 ? FireworksSubPages() : GalaxySubPages()) {
      auto* frame = new QGroupBox(Q(name), stack);
      addFrameFields(frame, section, name);
      auto* holder = new QWidget(stack);
      auto* holderLayout = new QVBoxLayout(holder);
      holderLayout->setContentsMargins(0, 0, 0, 0);
      holderLayout->addWidget(frame);
      holderLayout->addStretch(1);
      stack->addWidget(holder);
    }
    layout->addWidget(stack);
    connect(chooser, &QComboBox::currentIndexChanged, stack, &QStackedWidget::setCurrentIndex);
  }
  std::vector<std::string_view> frames;
  for (const DialogField& field : DialogFields(section)) {
    if (field.frame.empty() || IsSubPage(section, field.frame)) continue;
    if (std::find(frames.begin(), frames.end(), field.frame) != frames.end()) continue;
    frames.push_back(field.frame);
    auto* frame = new QGroupBox(Q(field.frame), page);
    addFrameFields(frame, section, field.frame);
    layout->addWidget(frame);
  }
  layout->addStretch(1);
  return page;
}

void PropertiesDialog::addFrameFields(QWidget* frame, std::string_view section,
                                      std::string_view frameName) {
  auto* grid = frame->layout() != nullptr ? static_cast<QGridLayout*>(frame->layout())
                                          : new QGridLayout(frame);
  grid->setColumnStretch(4, 1);
  std::string_view previousLabel;
  int row = grid->rowCount();
  QLineEdit* previousEdit = nullptr;
  for (const DialogField& spec : DialogFields(section)) {
    if (spec.frame != frameName) continue;
    if (spec.kind == FieldKind::Hidden) continue;
    Field field;
    field.field = &spec;
    field.section = section;
    const QString label = Q(spec.key->label);
    switch (spec.kind) {
      case FieldKind::Switch:
      case FieldKind::SwitchNonZero: {
        field.check = new QCheckBox(label, frame);
        field.check->setObjectName(Q(spec.key->name));
        field.check->setAccessibleName(SpokenName(spec.key->label));
        field.check->setLayoutDirection(Qt::RightToLeft);  // the caption before the box
        row = grid->rowCount();
        grid->addWidget(field.check, row, 0, 1, 2, Qt::AlignLeft);
        break;
      }
      case FieldKind::List: {
        field.list = new QComboBox(frame);
        field.list->setObjectName(Q(spec.key->name));
        for (std::string_view entry : spec.entries) field.list->addItem(Q(entry));
        row = grid->rowCount();
        if (label.isEmpty()) {
          // A list without a label belongs to the field before it (its type selector).
          const QString before = SpokenName(previousLabel);
          field.list->setAccessibleName(before.section(" / ", 0, 0));
          grid->addWidget(field.list, row, 1, 1, 3);
        } else {
          auto* caption = new QLabel(label, frame);
          caption->setBuddy(field.list);
          field.list->setAccessibleName(SpokenName(spec.key->label));
          grid->addWidget(caption, row, 0);
          grid->addWidget(field.list, row, 1, 1, 3);
        }
        break;
      }
      case FieldKind::Text: {
        field.edit = new SelectAllEdit(frame);
        field.edit->setObjectName(Q(spec.key->name));
        field.edit->setMaxLength(static_cast<int>(kMaxValueLength));
        field.edit->setAccessibleName(label.isEmpty() ? Q(frameName) : SpokenName(spec.key->label));
        row = grid->rowCount();
        if (!label.isEmpty()) grid->addWidget(new QLabel(label, frame), row, 0);
        grid->addWidget(field.edit, row, label.isEmpty() ? 0 : 1, 1, label.isEmpty() ? 4 : 3);
        break;
      }
      default: {
        auto* edit = new PropertyField(spec, frame);
        field.edit = edit;
        edit->setAlignment(Qt::AlignRight);
        edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance("0000000"));
        edit->setMaximumWidth(edit->fontMetrics().horizontalAdvance("000000000000"));
        const bool paired =
            !previousLabel.empty() && spec.key->label == previousLabel && previousEdit != nullptr;
        if (paired) {
          // Two boxes under one label (radius and height, star and comet ...).
          edit->setAccessibleName(SpokenName(spec.key->label) + ", second value");
          previousEdit->setAccessibleName(SpokenName(spec.key->label) + ", first value");
          grid->addWidget(edit, row, 2);
        } else {
          row = grid->rowCount();
          auto* caption = new QLabel(label, frame);
          caption->setBuddy(edit);
          edit->setAccessibleName(SpokenName(spec.key->label));
          grid->addWidget(caption, row, 0);
          grid->addWidget(edit, row, 1);
        }
        if (spec.stepped) {
          field.spinner = new QScrollBar(Qt::Vertical, frame);
          field.spinner->setObjectName(Q(spec.key->name) + "Spinner");
          field.spinner->setAccessibleName(edit->accessibleName() + " spinner");
          field.spinner->setRange(static_cast<int>(spec.key->min), static_cast<int>(spec.key->max));
          field.spinner->setSingleStep(static_cast<int>(std::max(1.0, spec.key->step)));
          field.spinner->setPageStep(field.spinner->singleStep());
          field.spinner->setInvertedAppearance(true);  // the up arrow raises the value
          field.spinner->setInvertedControls(false);
          field.spinner->setFixedHeight(edit->sizeHint().height());
          field.spinner->setFocusPolicy(Qt::NoFocus);  // the box's arrow keys do the same
          grid->addWidget(field.spinner, row, paired ? 3 : 2, Qt::AlignLeft);
        }
        if (SameName(spec.key->name, "Galaxy_HWheelIdx")) {
          galaxyHue_ = new HueSample(frame);
          galaxyHue_->setObjectName("picGalHue");
          galaxyHue_->setAccessibleName("Initial hue sample");
          grid->addWidget(galaxyHue_, row, 3);
        }
        if (CrossLimitOf(section, spec.key->name) != nullptr) {
          field.limitNote = new QLabel(frame);
          field.limitNote->setObjectName(Q(spec.key->name) + "Note");
          field.limitNote->setWordWrap(true);
          field.limitNote->hide();
          grid->addWidget(field.limitNote, grid->rowCount(), 0, 1, 4);
        }
        previousEdit = paired ? nullptr : edit;
        break;
      }
    }
    if (spec.kind == FieldKind::List || spec.kind == FieldKind::Switch ||
        spec.kind == FieldKind::SwitchNonZero || spec.kind == FieldKind::Text) {
      previousEdit = nullptr;
    }
    previousLabel = spec.key->label;
    fields_.push_back(field);
  }
}

PropertiesDialog::Field* PropertiesDialog::find(std::string_view section, std::string_view key) {
  for (Field& field : fields_) {
    if (SameName(field.section, section) && SameName(field.field->key->name, key)) return &field;
  }
  return nullptr;
}

const PropertiesDialog::Field* PropertiesDialog::find(std::string_view section,
                                                      std::string_view key) const {
  return const_cast<PropertiesDialog*>(this)->find(section, key);
}

QWidget* PropertiesDialog::fieldWidget(std::string_view section, std::string_view key) const {
  const Field* field = find(section, key);
  return field != nullptr ? field->widget() : nullptr;
}

QScrollBar* PropertiesDialog::spinnerOf(std::string_view section, std::string_view key) const {
  const Field* field = find(section, key);
  return field != nullptr ? field->spinner : nullptr;
}

QLabel* PropertiesDialog::limitNoteOf(std::string_view section, std::string_view key) const {
  const Field* field = find(section, key);
  return field != nullptr ? field->limitNote : nullptr;
}

int PropertiesDialog::currentEffect() const {
  return effectList_->currentIndex();
}

DialogValues PropertiesDialog::values() const {
  DialogValues values = hidden_;
  for (const Field& field : fields_) {
    QString text;
    if (field.edit != nullptr) text = field.edit->text();
    if (field.check != nullptr) text = field.check->isChecked() ? "1" : "0";
    if (field.list != nullptr) text = QString::number(std::max(field.list->currentIndex(), 0));
    values.Set(field.section, field.field->key->name, text.toStdString());
  }
  values.Set(kSectionGeneral, "AnimationType", std::to_string(std::max(currentEffect(), 0)));
  return values;
}

void PropertiesDialog::setValues(const DialogValues& values) {
  const bool guard = limitGuard_;
  limitGuard_ = true;
  for (std::string_view section : DialogSections()) {
    for (const DialogField& spec : DialogFields(section)) {
      if (!values.Has(section, spec.key->name)) continue;
      const std::string text = values.Get(section, spec.key->name);
      if (SameName(spec.key->name, "AnimationType")) {
        const int effect = IndexFromText(text, 0);
        if (effect >= 0 && effect < effectList_->count()) effectList_->setCurrentIndex(effect);
        continue;
      }
      Field* field = find(section, spec.key->name);
      if (field == nullptr) {
        hidden_.Set(section, spec.key->name, text);
        continue;
      }
      if (field->edit != nullptr) field->edit->setText(QString::fromStdString(text));
      if (field->check != nullptr) field->check->setChecked(text == "1");
      if (field->list != nullptr) {
        // An index the list does not have leaves the list as it is.
        const int index = IndexFromText(text, -1);
        if (index >= 0 && index < field->list->count()) field->list->setCurrentIndex(index);
      }
    }
  }
  limitGuard_ = guard;
}

void PropertiesDialog::fieldChanged(Field& field) {
  const DialogField& spec = *field.field;
  const CrossLimit* limit = CrossLimitOf(field.section, spec.key->name);
  if (limit != nullptr && !limitGuard_) {
    // A note says why the box last typed into was lowered; its partners' notes are done with.
    for (std::string_view key : limit->keys) {
      if (Field* partner = find(limit->section, key); partner && partner->limitNote) {
        if (partner != &field) partner->limitNote->hide();
      }
    }
    const auto [low, high] = CrossLimitBounds(*limit, spec.key->name, partnerValues(*limit));
    const double value = FieldNumber(field.edit->text().toStdString());
    const double limited = std::clamp(value, low, std::max(low, high));
    if (limited != value) {
      const QString text = QString::fromStdString(FieldText(spec.kind, limited));
      limitGuard_ = true;
      field.edit->setText(text);
      limitGuard_ = false;
      // A typed value that changes without a word looks like a fault: say why.
      if (field.limitNote != nullptr && limited < value) {
        field.limitNote->setText(LimitNote(*limit, text));
        field.limitNote->show();
      }
    } else if (field.limitNote != nullptr) {
      field.limitNote->hide();
    }
  }
  if (field.spinner != nullptr) {
    const double value = std::round(FieldNumber(field.edit->text().toStdString()));
    if (value >= field.spinner->minimum() && value <= field.spinner->maximum()) {
      const QSignalBlocker block(field.spinner);
      field.spinner->setValue(static_cast<int>(value));
    }
  }
  updateHueSamples();
}

DialogValues PropertiesDialog::partnerValues(const CrossLimit& limit) const {
  DialogValues partners;
  for (std::string_view key : limit.keys) {
    if (const Field* partner = find(limit.section, key); partner && partner->edit) {
      partners.Set(limit.section, key, partner->edit->text().toStdString());
    }
  }
  return partners;
}

void PropertiesDialog::updateHueSamples() {
  const auto number = [this](std::string_view section, std::string_view key) {
    const Field* field = find(section, key);
    const double value = field && field->edit ? FieldNumber(field->edit->text().toStdString()) : 0;
    return static_cast<int>(std::clamp(value, -1.0, 1000.0));
  };
  const int red = number(kSectionGeneral, "ColorRed");
  const int green = number(kSectionGeneral, "ColorGrn");
  const int blue = number(kSectionGeneral, "ColorBlu");
  if (pixelHue_ != nullptr) pixelHue_->setColour(red, green, blue, -1);
  if (galaxyHue_ != nullptr) {
    galaxyHue_->setColour(red, green, blue,
                          std::clamp(number(kSectionGalaxy, "Galaxy_HWheelIdx"), 0, 359));
  }
}

void PropertiesDialog::selectEffect(int effect) {
  if (effect < 0 || effect >= pages_->count()) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  if (effectList_->currentIndex() != effect) {
    const QSignalBlocker block(effectList_);
    effectList_->setCurrentIndex(effect);
  }
  pages_->setCurrentIndex(effect);
  for (std::size_t i = 0; i < effectItems_.size(); ++i) {
    effectItems_[i]->setChecked(static_cast<int>(i) == effect);
  }
  // Disabling a frame disables everything inside it, frames within frames included.
  if (colourDistribution_ != nullptr) {
    colourDistribution_->setEnabled(effect == 0 || effect == 2 || effect == 3);
  }
  if (displayEnhancement_ != nullptr) displayEnhancement_->setEnabled(effect >= 2);
  preview_->ScheduleRestart();
  QApplication::restoreOverrideCursor();
}

void PropertiesDialog::applyFireworksTheme(int index) {
  if (index <= 0) return;  // "< NONE >" changes nothing
  const std::string text = FireworksThemeText(index);
  if (text.empty()) return;
  DialogValues values = this->values();
  ApplyThemeText(values, kSectionFireworks, FireworksThemeKeys(), text);
  DialogValues page;
  for (const DialogField& spec : DialogFields(kSectionFireworks)) {
    page.Set(kSectionFireworks, spec.key->name, values.Get(kSectionFireworks, spec.key->name));
  }
  setValues(page);
}

void PropertiesDialog::applyGalaxyTheme(int index) {
  if (index <= 0) return;
  const std::string text = GalaxyThemeText(index);
  if (text.empty()) return;
  DialogValues values = this->values();
  ApplyThemeText(values, kSectionGalaxy, GalaxyThemeKeys(), text);
  DialogValues page;
  for (const DialogField& spec : DialogFields(kSectionGalaxy)) {
    page.Set(kSectionGalaxy, spec.key->name, values.Get(kSectionGalaxy, spec.key->name));
  }
  setValues(page);
  // Field 6: the axial plane list, which no setting stores.
  const int plane = IndexFromText(std::string(ThemeField(text, kGalaxyThemeAxialPlaneField)), -1);
  if (galaxyPlane_ != nullptr && plane >= 0 && plane < galaxyPlane_->count()) {
    galaxyPlane_->setCurrentIndex(plane);
  }
}

void PropertiesDialog::load() {
  Run().firstRun = false;
  // The mirrors: box to spinner and cross-field limits, spinner to box.
  for (Field& field : fields_) {
    if (field.edit != nullptr && field.field->numeric()) {
      connect(field.edit, &QLineEdit::textChanged, this, [this, &field] { fieldChanged(field); });
    }
    const CrossLimit* limit = CrossLimitOf(field.section, field.field->key->name);
    if (auto* edit = qobject_cast<PropertyField*>(field.edit); edit != nullptr && limit) {
      // Leaving a linked box keeps it within its partners' limit too.
      edit->setBoundsProvider([this, &field, limit] {
        const auto [low, high] =
            CrossLimitBounds(*limit, field.field->key->name, partnerValues(*limit));
        const double lo = std::max(low, field.field->key->min);
        return std::make_pair(lo, std::max(lo, std::min(high, field.field->key->max)));
      });
    }
    if (field.spinner != nullptr) {
      connect(field.spinner, &QScrollBar::valueChanged, this,
              [&field](int value) { field.edit->setText(QString::number(value)); });
    }
  }
  // Every field and both theme lists restart the preview (the effect list does in selectEffect).
  const auto restart = [this] { preview_->ScheduleRestart(); };
  for (Field& field : fields_) {
    if (field.edit != nullptr) connect(field.edit, &QLineEdit::textChanged, preview_, restart);
    if (field.check != nullptr) connect(field.check, &QCheckBox::toggled, preview_, restart);
    if (field.list != nullptr) {
      connect(field.list, &QComboBox::currentIndexChanged, preview_, restart);
    }
  }
  for (QComboBox* theme : {fireTheme_, galaxyTheme_}) {
    connect(theme, &QComboBox::currentIndexChanged, preview_, restart);
  }
  // The store is made complete on the first opening, before any field is shown.
  if (ReadSettingInteger(kSettingsApp, kSectionGeneral, "AnimationType", -1) == -1) {
    DialogValues defaults = values();
    LoadFactoryDefaults(defaults);
    setValues(defaults);
    if (!SaveDialogToStore(this->values())) {
      // Said once the dialog shows, so that the message has its window.
      QTimer::singleShot(0, this, [this] {
        ShowWriteFailure(this, QStringLiteral("The factory settings"),
                         SettingsFilePath(kSettingsApp));
      });
    }
  }
  DialogValues stored;
  LoadStoreIntoDialog(stored);
  setValues(stored);
  selectEffect(std::max(currentEffect(), 0));
  updateHueSamples();
}

void PropertiesDialog::done(int result) {
  ++closings_;
  preview_->Pause();  // the preview stops with the dialog
  QDialog::done(result);
}

void PropertiesDialog::accept() {
  // The box being edited is validated first, as leaving it would.
  if (auto* edit = qobject_cast<PropertyField*>(focusWidget())) edit->validate();
  accept_->setFocus(Qt::OtherFocusReason);
  const int closings = closings_;
  QApplication::processEvents();
  // Closed meanwhile (an end signal closes dialogs as Cancel does): then nothing is stored.
  if (closings_ != closings) return;
  if (!SaveDialogToStore(values())) {
    ShowWriteFailure(this, QStringLiteral("The settings"), SettingsFilePath(kSettingsApp));
    return;  // open, with what was typed
  }
  QDialog::accept();
}

void PropertiesDialog::resetProperties() {
  QMessageBox box(QMessageBox::Question, windowTitle(),
                  "Do you really want to reset the Lumivane Properties "
                  "back to the factory settings?",
                  QMessageBox::Yes | QMessageBox::No, this);
  box.setObjectName("resetQuestion");
  box.setDefaultButton(QMessageBox::No);
  if (box.exec() != QMessageBox::Yes) return;
  DialogValues values = this->values();
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const bool written = LoadFactoryDefaults(values);
  QApplication::restoreOverrideCursor();
  if (!written) {
    // The Advanced defaults could not be stored: the fields keep what they hold.
    ShowWriteFailure(this, QStringLiteral("The factory Advanced settings"),
                     SettingsFilePath(kSettingsApp));
    return;
  }
  setValues(values);
  selectEffect(std::max(currentEffect(), 0));
}

void PropertiesDialog::showHelpFor(QWidget* focus) {
  if (help_ == nullptr) help_ = new HelpViewer(this);
  for (const Field& field : fields_) {
    if (field.widget() == focus || field.spinner == focus) {
      help_->showTopic(Q(field.field->key->name));
      return;
    }
  }
  if (focus == effectList_) {
    help_->showTopic("AnimationType");
    return;
  }
  if (focus != nullptr && help_->hasTopic(focus->objectName())) {
    help_->showTopic(focus->objectName());  // the theme and plane lists
    return;
  }
  help_->showTopic(QString("page%1").arg(currentEffect()));
}

void PropertiesDialog::openTemplate() {
  DialogValues values = this->values();
  if (!OpenTemplate(this, values)) return;
  setValues(values);
  selectEffect(std::max(currentEffect(), 0));
}

void PropertiesDialog::saveTemplate(bool pickName) {
  if (pickName) {
    SaveTemplateAs(this, values());
  } else {
    SaveTemplate(this, values());
  }
}

void ShowPropertiesDialog(QWidget* parent) {
  PropertiesDialog dialog(parent);
  dialog.exec();
}

}  // namespace lmvn::ui
