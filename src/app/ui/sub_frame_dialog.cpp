#include "app/ui/sub_frame_dialog.h"

#include <QRadioButton>
#include <QVBoxLayout>

#include "app/host.h"
#include "app/mouse_modes.h"
#include "app/ui/control_name.h"
#include "app/ui/dialog_buttons.h"

namespace qv {

TSubFrameDialog::TSubFrameDialog(Host& host, int windowMode, QWidget* parent) : QDialog(parent), mode_(windowMode) {
  setObjectName("dialog23");
  setWindowTitle("Sub-Frame Selection");
  auto* layout = new QVBoxLayout(this);
  const char* texts[3] = {"1/2 Frame (650x515)", "1/3 Frame (433x343)", "1/4 Frame (325x257)"};
  for (int i = 0; i < 3; ++i) {
    buttons_[i] = Named(new QRadioButton(texts[i], this), SubFrameSizeButton(kSubFrameHalf + i));
    layout->addWidget(buttons_[i]);
    connect(buttons_[i], &QRadioButton::clicked, this, [this, i] {
      mode_ = kSubFrameHalf + i;
      check();
    });
  }
  const DialogButtonRow row = MakeDialogButtonRow(this, {.cancel = QString(), .onHelp = [&host] {
                                                           host.showMessage({"Qel_K8_USB - Set Sub-Frame Size",
                                                                             "Select the size of high resolution "
                                                                             "sub-frame you want",
                                                                             MessageIcon::None, -1});
                                                         }});
  layout->addLayout(row.layout);
  check();
}

// Any mode but 2 and 3 checks the quarter frame.
void TSubFrameDialog::check() {
  const int button = SubFrameSizeButton(mode_);
  for (int i = 0; i < 3; ++i) buttons_[i]->setChecked(SubFrameSizeButton(kSubFrameHalf + i) == button);
}

}  // namespace qv
