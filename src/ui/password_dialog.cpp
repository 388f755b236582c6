#include "ui/password_dialog.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/screen_rules.h"
#include "ui/screens.h"

namespace lmvn::ui {

PasswordDialog::PasswordDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmPassChange"));
  setWindowTitle(QStringLiteral("Change Password"));
  setModal(true);

  fraPass_ = new QGroupBox(this);
  fraPass_->setObjectName(QStringLiteral("fraPass"));
  chkPass_ = new QCheckBox(QStringLiteral("&Password Required"), fraPass_);
  chkPass_->setObjectName(QStringLiteral("chkPass"));
  txtNewPass_ = new QLineEdit(fraPass_);
  txtNewPass_->setObjectName(QStringLiteral("txtNewPass"));
  txtConfirm_ = new QLineEdit(fraPass_);
  txtConfirm_->setObjectName(QStringLiteral("txtConfirm"));
  for (QLineEdit* field : {txtNewPass_, txtConfirm_}) {
    field->setEchoMode(QLineEdit::Password);
    SelectAllOnFocus(field);
  }
  txtNewPass_->setAccessibleName(QStringLiteral("New Password"));
  txtConfirm_->setAccessibleName(QStringLiteral("Confirm Password"));

  auto* fields = new QFormLayout;
  auto* lblNew = new QLabel(QStringLiteral("&New Password:"), fraPass_);
  lblNew->setBuddy(txtNewPass_);
  auto* lblConfirm = new QLabel(QStringLiteral("&Confirm Password:"), fraPass_);
  lblConfirm->setBuddy(txtConfirm_);
  fields->addRow(lblNew, txtNewPass_);
  fields->addRow(lblConfirm, txtConfirm_);
  auto* frame = new QVBoxLayout(fraPass_);
  frame->addWidget(chkPass_);
  frame->addLayout(fields);

  lblPass_ =
      new QLabel(QStringLiteral("Password validation may be added in a future release."), this);
  lblPass_->setObjectName(QStringLiteral("lblPass"));
  lblPass_->setWordWrap(true);

  cmdOK_ = new QPushButton(QStringLiteral("OK"), this);
  cmdOK_->setObjectName(QStringLiteral("cmdOK"));
  cmdOK_->setDefault(true);
  cmdCancel_ = new QPushButton(QStringLiteral("Cancel"), this);
  cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
  cmdCancel_->setAutoDefault(false);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(cmdOK_);
  buttons->addWidget(cmdCancel_);
  buttons->addStretch();

  auto* left = new QVBoxLayout;
  left->addWidget(fraPass_);
  left->addWidget(lblPass_);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left, 1);
  layout->addLayout(buttons);
  setTabOrder(chkPass_, txtNewPass_);
  setTabOrder(txtNewPass_, txtConfirm_);
  setTabOrder(txtConfirm_, cmdOK_);
  setTabOrder(cmdOK_, cmdCancel_);
  resize(400, sizeHint().height());

  ApplyTopmostRule(this);
  FitWhenShown(this);
  // Both buttons only close the dialog: nothing typed here is kept or checked.
  connect(cmdOK_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cmdCancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void ShowPasswordDialog(QWidget* parent) {
  PasswordDialog dialog(parent);
  dialog.exec();
}

}  // namespace lmvn::ui
