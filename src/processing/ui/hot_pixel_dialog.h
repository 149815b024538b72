#pragma once
// "Calculate Hot Pixel Map": the threshold scroller over the dark frame shown
// when the dialog opened, the count it finds, the map's name and file, and
// saving the map.

#include <QDialog>
#include <cstdint>

class QLabel;
class QLineEdit;
class QScrollBar;

namespace qv {

class Host;
struct ProgramState;

class THPMDialog : public QDialog {
  Q_OBJECT
 public:
  THPMDialog(ProgramState& state, Host& host, QWidget* parent = nullptr);

 private:
  void scan();
  void refresh();

  ProgramState& state_;
  Host& host_;
  const std::uint16_t* source_;
  QScrollBar* bar_;
  QLineEdit* threshold_;
  QLineEdit* found_;
  QLineEdit* directory_;
  QLineEdit* name_;
  QLineEdit* newName_;
  QLineEdit* fileName_;
};

}  // namespace qv
