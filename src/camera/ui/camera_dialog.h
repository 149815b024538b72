#pragma once
// The camera control dialog: a modal view over the exposure settings, the
// cooler, the filter wheel and the focus loop. Every control changes the
// core state at once; the focus loop and the cooler monitor are the core's
// operations driven by the window's timer. Closing with "Take Photo" (result
// 1) asks the caller to start the exposure run, "Go to Autoguider " gives 2.

#include <QDialog>
#include <memory>

#include "app/clock.h"
#include "app/program_state.h"
#include "camera/photo_guiding.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QTimer;

namespace qv {

class QtHost;
class OperationRunner;
class Operation;
class ValueArrows;

class TWyDialog final : public QDialog {
 public:
  TWyDialog(ProgramState& state, QtHost& host, Clock& clock, QWidget* parent);
  ~TWyDialog() override;

  // After a change: the cooler exchange the dialog's repaint sends, then the
  // core state in every field.
  void refresh();
  bool focusRan() const { return focusRan_; }

 private:
  void buildExposure();
  void buildSeries();
  void buildFocus();
  void buildDevices();
  void takePhoto();
  // The exposure value edit: a value within the range is taken, anything
  // else is refused with a beep and the edit shows the stored value again.
  bool readValueEdit(bool requireValue);
  void readCountEdit();
  void startFocus();
  void stopFocus();
  void toggleMonitor();
  void showFocusPicture();
  void showFields();
  // The cooler's fields alone, so a timed read never overwrites an edit
  // being typed.
  void showCooler();
  void readCooler();

  ProgramState& state_;
  QtHost& host_;
  Clock& clock_;
  bool focusRan_ = false;
  bool refreshing_ = false;
  bool coolerReading_ = false;
  QTimer* coolerTick_ = nullptr;

  std::unique_ptr<Operation> focus_, monitor_;
  std::unique_ptr<OperationRunner> focusRunner_, monitorRunner_;

  QRadioButton* ranges_[5] = {};
  QLineEdit* value_ = nullptr;
  ValueArrows* valueArrows_ = nullptr;
  QLineEdit* count_ = nullptr;
  ValueArrows* countArrows_ = nullptr;
  QLineEdit* pause_ = nullptr;
  ValueArrows* pauseArrows_ = nullptr;
  QRadioButton* pauseSeconds_ = nullptr;
  QRadioButton* pauseMinutes_ = nullptr;
  QLineEdit* lastFile_ = nullptr;
  QLineEdit* subDir_ = nullptr;
  QLineEdit* darkName_ = nullptr;
  QLineEdit* flatName_ = nullptr;
  QCheckBox* average_ = nullptr;
  QCheckBox* altSlew_ = nullptr;
  QCheckBox* autosave_ = nullptr;
  QCheckBox* countdown_ = nullptr;
  QCheckBox* continuous_ = nullptr;
  QCheckBox* autoDark_ = nullptr;
  QCheckBox* autoFlat_ = nullptr;
  QCheckBox* autoProcess_ = nullptr;
  QCheckBox* autochange_ = nullptr;
  QCheckBox* binFocus_ = nullptr;
  QRadioButton* modes_[5] = {};
  QLineEdit* maxValue_ = nullptr;
  QLineEdit* fwhm_ = nullptr;
  QLineEdit* stretch_ = nullptr;
  QScrollBar* stretchBar_ = nullptr;
  QLabel* focusPicture_ = nullptr;
  QLineEdit* cameraMode_ = nullptr;
  QLineEdit* guiderStatus_ = nullptr;
  QLineEdit* firmware_ = nullptr;
  QLineEdit* filterPosition_ = nullptr;
  QLineEdit* filterName_ = nullptr;
  QLineEdit* actual_ = nullptr;
  QLineEdit* setTemp_ = nullptr;
  QScrollBar* setpoint_ = nullptr;
  QCheckBox* coolingOn_ = nullptr;
  QPushButton* monitorButton_ = nullptr;
  QLineEdit* coolingMode_ = nullptr;
};

// Menu 12: opens the camera (message when there is none), shows the dialog
// and, when it closes with "Take Photo", starts the exposure run in the
// window's event loop. Nothing while a run is under way.
void RunCameraInterface(ProgramState& state, QtHost& host, Clock& clock, QWidget* parent,
                        const std::function<void(int result)>& closed = {});

}  // namespace qv
