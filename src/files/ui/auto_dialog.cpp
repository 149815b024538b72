#include "files/ui/auto_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "app/ui/control_name.h"
#include "app/ui/dialog_buttons.h"
#include "files/auto_processing.h"

namespace qv {

TAutoDialog::TAutoDialog(ProgramSettings& settings, Host& host, QWidget* parent)
    : QDialog(parent), settings_(settings), host_(host) {
  setWindowTitle("Auto-Processing Choices");
  setModal(true);
  auto* grid = new QGridLayout(this);
  none_ = new QRadioButton("No Auto Stretch", this);
  weak_ = new QRadioButton("Apply Weak Stretch", this);
  strong_ = new QRadioButton("Apply Strong Stretch", this);
  user_ = new QRadioButton("Auto Stretch - User", this);
  userPower_ = new QLineEdit(this);
  background_ = new QCheckBox("Remove Background", this);
  highPass_ = new QCheckBox("High Pass Low Power", this);
  unsharp_ = new QCheckBox("Unsharp Mask", this);
  radius_ = new QLineEdit(this);
  power_ = new QLineEdit(this);
  for (auto [widget, id] : std::initializer_list<std::pair<QWidget*, int>>{{none_, 101},
                                                                           {weak_, 102},
                                                                           {strong_, 103},
                                                                           {user_, 104},
                                                                           {userPower_, 111},
                                                                           {background_, 106},
                                                                           {highPass_, 107},
                                                                           {unsharp_, 108},
                                                                           {radius_, 112},
                                                                           {power_, 113}})
    Named(widget, id);

  grid->addWidget(new QLabel("For Planetary images try weak stretch, for nebulae try strong.", this), 0, 0, 1, 4);
  grid->addWidget(none_, 1, 0);
  grid->addWidget(weak_, 2, 0);
  grid->addWidget(strong_, 3, 0);
  grid->addWidget(user_, 4, 0);
  grid->addWidget(userPower_, 4, 1);
  grid->addWidget(new QLabel("For Astro images remove the background", this), 5, 0, 1, 4);
  grid->addWidget(background_, 6, 0);
  grid->addWidget(new QLabel("To crispen images use high pass filter, or an unsharp mask filter.", this), 7, 0, 1, 4);
  grid->addWidget(highPass_, 8, 0);
  grid->addWidget(unsharp_, 9, 0);
  grid->addWidget(new QLabel("dia.", this), 9, 1);
  grid->addWidget(radius_, 9, 2);
  grid->addWidget(new QLabel("power", this), 10, 1);
  grid->addWidget(power_, 10, 2);

  DialogButtons buttons;
  buttons.ok = "Save";
  buttons.onOk = [this] { save(); };
  buttons.onHelp = [this] {
    host_.showMessage(
        MessageBoxRequest{std::string(kAutoHelpCaption), std::string(kAutoHelpText), MessageIcon::Information, -1});
  };
  grid->addLayout(MakeDialogButtonRow(this, buttons).layout, 11, 0, 1, 4);

  showValues();

  // Radio buttons and check boxes change the settings at once, so they hold
  // even when the dialog is cancelled.
  connect(none_, &QRadioButton::clicked, this, [this] { SetAutoStretch(settings_, AutoStretch::None); });
  connect(weak_, &QRadioButton::clicked, this, [this] { SetAutoStretch(settings_, AutoStretch::Weak); });
  connect(strong_, &QRadioButton::clicked, this, [this] { SetAutoStretch(settings_, AutoStretch::Strong); });
  connect(user_, &QRadioButton::clicked, this, [this] { SetAutoStretch(settings_, AutoStretch::User); });
  connect(background_, &QCheckBox::clicked, this,
          [this] { settings_.autoRemoveBackground = !settings_.autoRemoveBackground; });
  connect(highPass_, &QCheckBox::clicked, this,
          [this] { settings_.autoHighPassLowPower = !settings_.autoHighPassLowPower; });
  connect(unsharp_, &QCheckBox::clicked, this, [this] { settings_.autoUnsharpMask = !settings_.autoUnsharpMask; });
}

void TAutoDialog::showValues() {
  switch (CurrentAutoStretch(settings_)) {
    case AutoStretch::Weak:
      weak_->setChecked(true);
      break;
    case AutoStretch::Strong:
      strong_->setChecked(true);
      break;
    case AutoStretch::User:
      user_->setChecked(true);
      break;
    case AutoStretch::None:
      none_->setChecked(true);
      break;
  }
  background_->setChecked(settings_.autoRemoveBackground);
  highPass_->setChecked(settings_.autoHighPassLowPower);
  unsharp_->setChecked(settings_.autoUnsharpMask);
  userPower_->setText(QString::number(settings_.autoUserStretchLevel));
  radius_->setText(QString::number(settings_.unsharpRadius));
  power_->setText(QString::number(settings_.unsharpPower));
}

void TAutoDialog::save() {
  const bool valid = ApplyAutoNumbers(settings_, userPower_->text().toStdString(), radius_->text().toStdString(),
                                      power_->text().toStdString());
  userPower_->setText(QString::number(settings_.autoUserStretchLevel));
  radius_->setText(QString::number(settings_.unsharpRadius));
  power_->setText(QString::number(settings_.unsharpPower));
  if (valid) {
    accept();
  } else {
    host_.beep();
  }
}

}  // namespace qv
