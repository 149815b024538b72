#pragma once
// The modal Set Program Defaults dialog (dialog 17): a view of the stored
// settings whose controls act at once through the core's defaults editor and
// then show the settings again.

#include <QDialog>
#include <array>
#include <map>

#include "app/clock.h"
#include "app/host.h"
#include "app/program_defaults.h"
#include "app/program_state.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace qv {

class TINIDialog : public QDialog {
  Q_OBJECT
 public:
  TINIDialog(ProgramState& state, Host& host, Clock& clock, QWidget* parent = nullptr);

  // Shows every control from the settings (the redraw after each action).
  void redraw();

 private:
  QWidget* makeRadioGroup(DefaultsRadio radio, const QString& title);
  QCheckBox* makeCheck(DefaultsCheck check);
  QLineEdit* makeEdit(int id, bool readOnly = false);
  std::array<std::optional<long>, kSlewFieldCount> slewFields() const;
  void setSlewValues();
  void setFilterDetails();
  void setAutosaveDirectory();
  void saveChanges();

  ProgramState& state_;
  Host& host_;
  Clock& clock_;
  std::map<DefaultsRadio, std::vector<QRadioButton*>> radios_;
  std::map<DefaultsCheck, QCheckBox*> checks_;
  std::array<QLineEdit*, kSlewFieldCount> slew_{};
  QLineEdit* filterCount_ = nullptr;
  std::array<QLineEdit*, 8> filterNames_{};
  QLineEdit* wheelStatus_ = nullptr;
  QLineEdit* autosave_ = nullptr;
  QLineEdit* aoPort_ = nullptr;
  QLineEdit* lastNumber_ = nullptr;
};

}  // namespace qv
