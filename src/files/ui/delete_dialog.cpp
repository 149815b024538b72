#include "files/ui/delete_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

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
  auto* buttons = new QHBoxLayout;
  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("ctl1");
  ok->setDefault(true);
  auto* cancel = new QPushButton("Cancel", this);
  cancel->setObjectName("ctl2");
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

}  // namespace qv
