#pragma once
// "DELETE FILE DIALOG": confirms the deletion of a chosen file.

#include <QDialog>

class QLineEdit;

namespace qv {

class TDeleteDialog : public QDialog {
  Q_OBJECT
 public:
  TDeleteDialog(const QString& path, QWidget* parent = nullptr);

 private:
  QLineEdit* path_;  // 9011
};

}  // namespace qv
