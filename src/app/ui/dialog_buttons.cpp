#include "app/ui/dialog_buttons.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

#include "app/ui/control_name.h"

namespace qv {

namespace {

QPushButton* Button(QDialog* dialog, QHBoxLayout* row, const QString& text, int id) {
  auto* button = Named(new QPushButton(text, dialog), id);
  row->addWidget(button);
  return button;
}

}  // namespace

DialogButtonRow MakeDialogButtonRow(QDialog* dialog, const DialogButtons& buttons) {
  DialogButtonRow row;
  row.layout = new QHBoxLayout;
  row.ok = Button(dialog, row.layout, buttons.ok, 1);
  row.ok->setDefault(true);
  if (buttons.onOk) {
    QObject::connect(row.ok, &QPushButton::clicked, dialog, buttons.onOk);
  } else {
    QObject::connect(row.ok, &QPushButton::clicked, dialog, &QDialog::accept);
  }
  if (!buttons.cancel.isEmpty()) {
    row.cancel = Button(dialog, row.layout, buttons.cancel, 2);
    QObject::connect(row.cancel, &QPushButton::clicked, dialog, &QDialog::reject);
  }
  if (buttons.onHelp) {
    row.help = Button(dialog, row.layout, "Help", 9);
    QObject::connect(row.help, &QPushButton::clicked, dialog, buttons.onHelp);
  }
  return row;
}

}  // namespace qv
