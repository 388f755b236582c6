// The password dialog (frmPassChange), shown when the host asks the saver to change its
// password ("/A"). The saver has no password: the dialog offers the usual fields, says that
// validation is not offered, and stores and compares nothing. OK and Cancel just close it.
#pragma once

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace lmvn::ui {

class PasswordDialog : public QDialog {
  Q_OBJECT

 public:
  explicit PasswordDialog(QWidget* parent = nullptr);

 private:
  QGroupBox* fraPass_;
  QCheckBox* chkPass_;
  QLineEdit* txtNewPass_;
  QLineEdit* txtConfirm_;
  QLabel* lblPass_;
  QPushButton* cmdOK_;
  QPushButton* cmdCancel_;
};

}  // namespace lmvn::ui
