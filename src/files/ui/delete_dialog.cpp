#include "files/ui/delete_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "app/ui/dialog_buttons.h"

namespace qv {

TDeleteDialog::TDeleteDialog(const QString& path, QWidget* parent) : QDialog(parent) {
  setWindowTitle("DELETE FILE DIALOG");
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel("Delete this file?", this));
  path_ = new QLineEdit(path, this);
  path_->setObjectName("ctl9011");
  path_->setReadOnly(true);
  path_->setMinimumWidth(360);
  layout->addWidget(path_);
  layout->addLayout(MakeDialogButtonRow(this).layout);
}

}  // namespace qv
