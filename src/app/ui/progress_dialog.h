#pragma once
// The modeless progress dialog (dialog 6) that long processing commands
// update between bands of rows: a bar (control 101) from 0 to 256 under the
// operation's caption.

#include <QDialog>

class QProgressBar;

namespace qv {

class TProgressDialog : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kRange = 256;

  explicit TProgressDialog(QWidget* parent = nullptr);
  QProgressBar* bar() const { return bar_; }

 private:
  QProgressBar* bar_;
};

}  // namespace qv
