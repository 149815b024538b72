#include "app/ui/progress_dialog.h"

#include <QProgressBar>
#include <QVBoxLayout>

namespace qv {

TProgressDialog::TProgressDialog(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint) {
  setObjectName("dialog6");
  setModal(false);
  bar_ = new QProgressBar(this);
  bar_->setObjectName("ctl101");
  bar_->setRange(0, kRange);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(bar_);
  resize(300, 60);
}

}  // namespace qv
