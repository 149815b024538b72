#pragma once
// Every dialog control is named "ctl<id>" after its control id, so that the
// tests and the screenshot runs find a control by the id the dialog gives it.

#include <QString>
#include <QWidget>

namespace qv {

inline QString ControlName(int id) { return QString("ctl%1").arg(id); }

template <typename W>
W* Named(W* widget, int id) {
  widget->setObjectName(ControlName(id));
  return widget;
}

}  // namespace qv
