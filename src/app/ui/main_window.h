#pragma once
// The program's main frame and its client window, which shows the current
// image.

#include <QMainWindow>
#include <QWidget>

#include "app/program_state.h"
#include "app/ui/qt_host.h"

namespace qv {

class TQel_VeskWindow : public QWidget {
  Q_OBJECT
 public:
  TQel_VeskWindow(ProgramState& state, QtHost& host, QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  ProgramState& state_;
  QtHost& host_;
};

class TQel_VeskFrame : public QMainWindow {
  Q_OBJECT
 public:
  TQel_VeskFrame(ProgramState& state, QtHost& host);

  static QString Caption(const QString& fileName);

 private:
  TQel_VeskWindow* client_;
};

}  // namespace qv
