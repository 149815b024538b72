#pragma once
// "MERGE IMAGES": the modeless dialog of a merge. It shows which image the
// next mark goes to and the two marks, holds the options, and runs "Merge"
// and "Cancel" through the command table.

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace qv {

struct UiContext;

class TMergeDialog : public QDialog {
  Q_OBJECT
 public:
  TMergeDialog(UiContext& ui, QWidget* parent = nullptr);

  // Shows the merge state again; closes once merging has ended.
  void refresh();

 private:
  UiContext& ui_;
  QRadioButton* original_;
  QRadioButton* second_;
  QLineEdit* baseX_;
  QLineEdit* baseY_;
  QLineEdit* mergeX_;
  QLineEdit* mergeY_;
  QCheckBox* average_;
  QCheckBox* special_;
  QCheckBox* centre_;
  QCheckBox* superimpose_;
};

}  // namespace qv
