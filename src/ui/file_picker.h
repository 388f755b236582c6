// The file picker (frmTemplate): a small modal dialog that chooses an existing file to open or
// a file name to save to, built from its own folder and file lists so that it looks and acts
// the same under every desktop.
//
//   drvTemp   "Drive / Directory:" the folder listed, then the places to start from (root,
//             home, mounted volumes)
//   dirTemp   the folders of the current folder, ".." first; activating one opens it
//   filTemp   the files of the current folder that match the chosen type; a click puts the
//             name into the file name box, a double-click accepts it at once
//   txtFile   "File name:" a name in the current folder, a relative or an absolute path
//   cboTypes  "List Files of Type:" the descriptions of the caller's filter
//
// OK when opening accepts an existing file, or says "Please select an existing file.". OK when
// saving appends ".lvx" to a name without a "." and accepts a name in a folder where a file
// can be created, or says "Please enter a valid path and file."; the folder is probed with a
// new file of its own, so no existing file is ever changed. The folder shown when the picker
// closes is where it opens next time in the same run.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace lmvn::ui {

class FilePicker : public QDialog {
  Q_OBJECT

 public:
  explicit FilePicker(QWidget* parent = nullptr);
  ~FilePicker() override;

  // Sets the mode, the caption and the filter ("Description|pattern|..."), and clears the
  // results. Call before showing.
  void FormLet(bool open, const QString& title, const QString& types);

  bool Accepted() const { return accepted_; }
  QString FullFileName() const { return fullFileName_; }
  QString CurrentFolder() const { return folder_; }
  // Shows `folder` (ignored when it is not a readable folder). True when it is shown.
  bool SetFolder(const QString& folder);

 protected:
  void done(int result) override;

 private:
  void OnOk();
  void OnFileDoubleClicked(QListWidgetItem* item);
  void OnTypeChosen(int index);
  void OnDriveChosen(int index);
  void FillFiles();
  void ListFiles(const QStringList& filters);
  void FillDrives();
  QString FullName(const QString& typed) const;
  bool SaveLocationUsable(const QString& fullName) const;
  void Refuse(const QString& message);
  void Accept(const QString& fullName);

  bool open_ = true;
  bool accepted_ = false;
  QString fullFileName_;
  QString folder_;
  QStringList patterns_;  // parallel to cboTypes (the hidden cboFilter)

  QComboBox* drvTemp_;
  QLabel* lblFolder_;
  QListWidget* dirTemp_;
  QListWidget* filTemp_;
  QLineEdit* txtFile_;
  QComboBox* cboTypes_;
  QPushButton* cmdOK_;
  QPushButton* cmdDismiss_;
};

}  // namespace lmvn::ui
