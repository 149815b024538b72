#pragma once

// The dialogs name each control "ctl<id>" after its control id; tests find
// them by that name.

#include <QString>
#include <QWidget>

template <typename W>
W* Control(QWidget* dialog, int id) {
  return dialog->findChild<W*>(QString("ctl%1").arg(id));
}
