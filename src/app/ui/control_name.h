#pragma once
// Every dialog control is named "ctl<id>" after its control id, so that the
// tests and the screenshot runs find a control by the id the dialog gives it.

#include <QString>
#include <QWidget>

namespace qv {

template <typename W>
W* Named(W* widget, int id) {
  widget->setObjectName(QString("ctl%1").arg(id));
  return widget;
}

}  // namespace qv
