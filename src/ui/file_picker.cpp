#include "ui/file_picker.h"

#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QStorageInfo>
#include <QStyle>
#include <QVBoxLayout>
#include <functional>

#include "ui/screen_rules.h"
#include "ui/screens.h"

namespace lmvn::ui {
namespace {

// The folder shown when the picker last closed, for the rest of the run (the drive list
// follows the folder, so it needs no memory of its own).
QString& LastDir() {
  static QString dir;
  return dir;
}

const char kUpFolder[] = "..";

// The name filters of one pattern of the caller's filter: "*.wav;*.mp3" is two, and "*.*"
// means every file (a name need not have a dot here).
QStringList NameFilters(const QString& pattern) {
  QStringList filters;
  for (QString part : pattern.split(u';', Qt::SkipEmptyParts)) {
    part = part.trimmed();
    if (part == QLatin1String("*.*")) part = QStringLiteral("*");
    if (!part.isEmpty()) filters << part;
  }
  if (filters.isEmpty()) filters << QStringLiteral("*");
  return filters;
}

// Return and Enter on a list act on its current item and go no further (the dialog's default
// button would otherwise take them too).
class ActivateOnEnter : public QObject {
 public:
  ActivateOnEnter(QListWidget* list, std::function<void(QListWidgetItem*)> act)
      : QObject(list), list_(list), act_(std::move(act)) {}

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    if (QListWidgetItem* item = list_->currentItem()) act_(item);
    return true;
  }

 private:
  QListWidget* list_;
  std::function<void(QListWidgetItem*)> act_;
};

// The current folder's path, its start left out ("...") when it does not fit.
class PathLabel : public QLabel {
 public:
  using QLabel::QLabel;
  QSize minimumSizeHint() const override { return {0, QLabel::minimumSizeHint().height()}; }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const QRect area = contentsRect();
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter,
                     fontMetrics().elidedText(text(), Qt::ElideLeft, area.width()));
  }
};

}  // namespace

FilePicker::FilePicker(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmTemplate"));
  setWindowTitle(QStringLiteral("Select Template File"));
  setModal(true);

  txtFile_ = new QLineEdit(this);
  txtFile_->setObjectName(QStringLiteral("txtFile"));
  filTemp_ = new QListWidget(this);
  filTemp_->setObjectName(QStringLiteral("filTemp"));
  cboTypes_ = new QComboBox(this);
  cboTypes_->setObjectName(QStringLiteral("cboTypes"));
  drvTemp_ = new QComboBox(this);
  drvTemp_->setObjectName(QStringLiteral("drvTemp"));
  lblFolder_ = new PathLabel(this);
  lblFolder_->setObjectName(QStringLiteral("lblFolder"));
  lblFolder_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  dirTemp_ = new QListWidget(this);
  dirTemp_->setObjectName(QStringLiteral("dirTemp"));
  const int iconSize = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
  for (QListWidget* list : {filTemp_, dirTemp_}) list->setIconSize({iconSize, iconSize});
  cmdOK_ = new QPushButton(QStringLiteral("OK"), this);
  cmdOK_->setObjectName(QStringLiteral("cmdOK"));
  cmdOK_->setDefault(true);
  cmdDismiss_ = new QPushButton(QStringLiteral("Cancel"), this);
  cmdDismiss_->setObjectName(QStringLiteral("cmdDismiss"));
  cmdDismiss_->setAutoDefault(false);

  auto* lblFile = new QLabel(QStringLiteral("File &name:"), this);
  lblFile->setBuddy(txtFile_);
  auto* lblTypes = new QLabel(QStringLiteral("List Files of &Type:"), this);
  lblTypes->setBuddy(cboTypes_);
  auto* lblDrive = new QLabel(QStringLiteral("&Drive / Directory:"), this);
  lblDrive->setBuddy(drvTemp_);
  txtFile_->setAccessibleName(QStringLiteral("File name"));
  filTemp_->setAccessibleName(QStringLiteral("Files"));
  dirTemp_->setAccessibleName(QStringLiteral("Folders"));
  drvTemp_->setAccessibleName(QStringLiteral("Drive / Directory"));
  cboTypes_->setAccessibleName(QStringLiteral("List Files of Type"));

  auto* grid = new QGridLayout(this);
  grid->addWidget(lblFile, 0, 0);
  grid->addWidget(txtFile_, 1, 0);
  grid->addWidget(filTemp_, 2, 0, 2, 1);
  grid->addWidget(lblTypes, 4, 0);
  grid->addWidget(cboTypes_, 5, 0);
  grid->addWidget(lblDrive, 0, 1);
  grid->addWidget(drvTemp_, 1, 1);
  grid->addWidget(lblFolder_, 2, 1);
  grid->addWidget(dirTemp_, 3, 1, 3, 1);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(cmdOK_);
  buttons->addWidget(cmdDismiss_);
  buttons->addStretch();
  grid->addLayout(buttons, 1, 2, 5, 1);
  grid->setColumnStretch(0, 1);
  grid->setColumnStretch(1, 1);
  grid->setRowStretch(3, 1);
  setTabOrder(txtFile_, filTemp_);
  setTabOrder(filTemp_, cboTypes_);
  setTabOrder(cboTypes_, drvTemp_);
  setTabOrder(drvTemp_, dirTemp_);
  setTabOrder(dirTemp_, cmdOK_);
  setTabOrder(cmdOK_, cmdDismiss_);
  resize(520, 340);

  SelectAllOnFocus(txtFile_);
  ApplyTopmostRule(this);
  FitWhenShown(this);

  connect(cmdOK_, &QPushButton::clicked, this, &FilePicker::OnOk);
  connect(cmdDismiss_, &QPushButton::clicked, this, &QDialog::reject);
  connect(cboTypes_, &QComboBox::currentIndexChanged, this, &FilePicker::OnTypeChosen);
  connect(drvTemp_, &QComboBox::activated, this, &FilePicker::OnDriveChosen);
  connect(filTemp_, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { txtFile_->setText(item->text()); });
  connect(filTemp_, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
    if (item) txtFile_->setText(item->text());
  });
  connect(filTemp_, &QListWidget::itemDoubleClicked, this, &FilePicker::OnFileDoubleClicked);
  const auto openFolder = [this](QListWidgetItem* item) {
    SetFolder(item->text() == QLatin1String(kUpFolder) ? QFileInfo(folder_).absolutePath()
                                                       : QDir(folder_).filePath(item->text()));
  };
  connect(dirTemp_, &QListWidget::itemDoubleClicked, this, openFolder);
  dirTemp_->installEventFilter(new ActivateOnEnter(dirTemp_, openFolder));
  filTemp_->installEventFilter(
      new ActivateOnEnter(filTemp_, [this](QListWidgetItem* item) { OnFileDoubleClicked(item); }));

  FillDrives();
  if (LastDir().isEmpty() || !SetFolder(LastDir())) SetFolder(QDir::currentPath());
  FormLet(true, windowTitle(), QStringLiteral("All Files (*.*)|*.*"));
}

FilePicker::~FilePicker() = default;

void FilePicker::FormLet(bool open, const QString& title, const QString& types) {
  open_ = open;
  accepted_ = false;
  fullFileName_.clear();
  setWindowTitle(title);

  // Descriptions and patterns alternate; a description without its pattern lists every file.
  const QStringList fields = (types + u'|').split(u'|');
  QStringList descriptions;
  patterns_.clear();
  for (qsizetype i = 0; i + 1 < fields.size(); i += 2) {
    if (fields[i].isEmpty() && fields[i + 1].isEmpty()) continue;
    descriptions << fields[i];
    patterns_ << fields[i + 1];
  }
  const QSignalBlocker block(cboTypes_);
  cboTypes_->clear();
  cboTypes_->addItems(descriptions);
  cboTypes_->setCurrentIndex(descriptions.isEmpty() ? -1 : 0);
  FillFiles();
}

bool FilePicker::SetFolder(const QString& folder) {
  const QFileInfo info(folder);
  if (folder.isEmpty() || !info.isDir() || !info.isReadable() || !info.isExecutable()) {
    return false;
  }
  folder_ = info.canonicalFilePath();
  if (folder_.isEmpty()) return false;
  lblFolder_->setText(folder_);
  lblFolder_->setToolTip(folder_);

  dirTemp_->clear();
  QStringList folders = QDir(folder_).entryList(QDir::Dirs | QDir::NoDotAndDotDot,
                                                QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
  if (folder_ != QLatin1String("/")) folders.prepend(QLatin1String(kUpFolder));
  const QIcon folderIcon = style()->standardIcon(QStyle::SP_DirIcon);
  for (const QString& name : folders) new QListWidgetItem(folderIcon, name, dirTemp_);
  FillFiles();

  // The drive list shows the folder it lists: a place of its own, or an entry for the folder
  // put before the places (and taken away when another folder is shown).
  const QSignalBlocker block(drvTemp_);
  if (drvTemp_->count() > 0 && drvTemp_->itemData(0).toBool()) drvTemp_->removeItem(0);
  int shown = drvTemp_->findText(folder_);
  if (shown < 0) {
    drvTemp_->insertItem(0, folder_, true);
    shown = 0;
  }
  drvTemp_->setCurrentIndex(shown);
  return true;
}

void FilePicker::FillDrives() {
  QStringList roots{QStringLiteral("/")};
  const QString home = QDir::homePath();
  if (!home.isEmpty() && home != QLatin1String("/")) roots << home;
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    const QString root = volume.rootPath();
    const bool removable = root.startsWith(QLatin1String("/media/")) ||
                           root.startsWith(QLatin1String("/mnt/")) ||
                           root.startsWith(QLatin1String("/run/media/"));
    if (volume.isValid() && volume.isReady() && removable && !roots.contains(root)) roots << root;
  }
  drvTemp_->addItems(roots);
}

void FilePicker::FillFiles() {
  filTemp_->clear();
  if (folder_.isEmpty()) return;
  const int type = cboTypes_->currentIndex();
  const QString pattern = type >= 0 && type < patterns_.size() ? patterns_[type] : QString();
  ListFiles(NameFilters(pattern));
}

void FilePicker::ListFiles(const QStringList& filters) {
  filTemp_->clear();
  const QIcon fileIcon = style()->standardIcon(QStyle::SP_FileIcon);
  for (const QString& name : QDir(folder_).entryList(
           filters, QDir::Files, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware)) {
    new QListWidgetItem(fileIcon, name, filTemp_);
  }
}

void FilePicker::OnTypeChosen(int) {
  FillFiles();
}

void FilePicker::OnDriveChosen(int index) {
  SetFolder(drvTemp_->itemText(index));
}

QString FilePicker::FullName(const QString& typed) const {
  if (typed.startsWith(u'/')) return typed;
  if (folder_.endsWith(u'/')) return folder_ + typed;
  return folder_ + u'/' + typed;
}

// A file can be made under `fullName`: its folder exists and takes a new file, and the name
// is one the file system can hold. An existing file of that name must be a writable file.
// The folder is probed with a file of our own (a new, unique name), so nothing that is
// already there is touched.
bool FilePicker::SaveLocationUsable(const QString& fullName) const {
  const QFileInfo info(fullName);
  const QString name = info.fileName();
  if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") ||
      name.contains(QChar(0)) || QFile::encodeName(name).size() > NAME_MAX) {
    return false;
  }
  const QString folder = info.absolutePath();
  if (!QFileInfo(folder).isDir()) return false;
  const QByteArray path = QFile::encodeName(fullName);
  struct stat existing {};
  if (stat(path.constData(), &existing) == 0) {
    if (!S_ISREG(existing.st_mode) || (existing.st_mode & 0222) == 0 ||
        access(path.constData(), W_OK) != 0) {
      return false;
    }
  }
  QByteArray probe = QFile::encodeName(folder) + "/.lumivane-probe-XXXXXX";
  const int fd = mkostemp(probe.data(), O_CLOEXEC);
  if (fd < 0) return false;
  ::close(fd);
  unlink(probe.constData());
  return true;
}

void FilePicker::Refuse(const QString& message) {
  QMessageBox box(QMessageBox::Warning, windowTitle(), message, QMessageBox::Ok, this);
  box.exec();
  txtFile_->setFocus(Qt::OtherFocusReason);
  txtFile_->selectAll();
}

void FilePicker::Accept(const QString& fullName) {
  accepted_ = true;
  fullFileName_ = fullName;
  accept();
}

void FilePicker::OnOk() {
  const QString typed = txtFile_->text();
  // A folder typed into the box is opened, and a pattern lists the files that match it.
  if (!typed.isEmpty() && QFileInfo(FullName(typed)).isDir() && SetFolder(FullName(typed))) {
    txtFile_->clear();
    return;
  }
  if (typed.contains(u'*') || typed.contains(u'?')) {
    ListFiles(NameFilters(typed));
    return;
  }
  if (open_) {
    const QString fullName = FullName(typed);
    if (!typed.isEmpty() && QFileInfo(fullName).isFile()) {
      Accept(fullName);
    } else {
      Refuse(QStringLiteral("Please select an existing file."));
    }
    return;
  }
  QString fullName = FullName(typed);
  const QString typedName = QFileInfo(typed).fileName();
  if (!typedName.isEmpty() && !typedName.contains(u'.')) fullName += QStringLiteral(".lvx");
  if (SaveLocationUsable(fullName)) {
    Accept(fullName);
  } else {
    Refuse(QStringLiteral("Please enter a valid path and file."));
  }
}

void FilePicker::OnFileDoubleClicked(QListWidgetItem* item) {
  txtFile_->setText(item->text());
  Accept(FullName(item->text()));
}

void FilePicker::done(int result) {
  LastDir() = folder_;
  QDialog::done(result);
}

QString PickFile(QWidget* parent, bool open, const QString& title, const QString& filter) {
  FilePicker picker(parent);
  picker.FormLet(open, title, filter);
  picker.exec();
  return picker.Accepted() ? picker.FullFileName() : QString();
}

}  // namespace lmvn::ui
