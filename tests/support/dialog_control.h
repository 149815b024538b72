#pragma once

// Finds a dialog's control by the id the dialog names it after.

#include <QWidget>

#include "app/ui/control_name.h"

template <typename W>
W* Control(QWidget* dialog, int id) {
  return dialog->findChild<W*>(qv::ControlName(id));
}
