#pragma once
// "Label Current Image": the text of the label and the "Auto Date" box.

#include <QDialog>
#include <string>

class QCheckBox;
class QLineEdit;

namespace qv {

class TLabelDialog : public QDialog {
  Q_OBJECT
 public:
  TLabelDialog(bool autoDate, QWidget* parent = nullptr);

  std::string text() const;
  bool autoDate() const;

 private:
  QLineEdit* edit_;
  QCheckBox* autoDate_;
};

}  // namespace qv
