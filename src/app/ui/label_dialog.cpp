#include "app/ui/label_dialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/image_label.h"
#include "app/ui/dialog_buttons.h"

namespace qv {

TLabelDialog::TLabelDialog(bool autoDate, QWidget* parent) : QDialog(parent) {
  setObjectName("dialog8");
  setWindowTitle("Label Current Image");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel("Label text", this));
  edit_ = new QLineEdit(this);
  edit_->setObjectName("ctl4090");
  edit_->setMaxLength(static_cast<int>(kLabelMaximumLength));
  layout->addWidget(edit_);
  autoDate_ = new QCheckBox("Auto Date", this);
  autoDate_->setObjectName("ctl102");
  autoDate_->setChecked(autoDate);
  layout->addWidget(autoDate_);
  const DialogButtonRow buttons = MakeDialogButtonRow(this);
  buttons.ok->setObjectName("ctl104");
  layout->addLayout(buttons.layout);
}

std::string TLabelDialog::text() const { return edit_->text().toStdString(); }
bool TLabelDialog::autoDate() const { return autoDate_->isChecked(); }

}  // namespace qv
