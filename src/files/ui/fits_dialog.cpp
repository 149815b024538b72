#include "files/ui/fits_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>

#include "app/ui/control_name.h"
#include "app/ui/dialog_buttons.h"
#include "files/fits_details.h"

namespace qv {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

TFITSDialog::TFITSDialog(ProgramSettings& settings, QWidget* parent) : QDialog(parent), settings_(settings) {
  setWindowTitle("FITS DETAILS");
  setModal(true);
  setFont(QFont("Tahoma", 10));
  const FitsDialogFields f = FitsDialogFromSettings(settings);
  auto* grid = new QGridLayout(this);
  int row = 0;
  auto edit = [&](int id, const char* label, const std::string& value, int chars) {
    auto* line = Named(new QLineEdit(Q(value), this), id);
    line->setMaxLength(chars);
    grid->addWidget(new QLabel(label, this), row, 0);
    grid->addWidget(line, row++, 1, 1, 2);
    return line;
  };
  auto multiLine = [&](int id, const char* label, const std::string& value) {
    auto* text = Named(new QPlainTextEdit(Q(value), this), id);
    text->setFixedHeight(60);
    grid->addWidget(new QLabel(label, this), row, 0);
    grid->addWidget(text, row++, 1, 1, 2);
    return text;
  };
  object_ = edit(101, "Object:", f.object, kFitsTextChars);
  observer_ = edit(102, "Observer:", f.observer, kFitsTextChars);
  origin_ = edit(109, "Origin:", f.origin, kFitsTextChars);
  telescope_ = edit(104, "Telescope:", f.telescope, kFitsTextChars);
  focalLength_ = edit(113, "Focal Len (ins):", f.focalLength, kFitsNumberChars);
  aperture_ = edit(114, "Aperture (Sq. ins):", f.aperture, kFitsNumberChars);
  filter_ = edit(115, "Filter:", f.filter, kFitsTextChars);
  instrument_ = edit(105, "Instrumentation:", f.instrument, kFitsTextChars);
  exposure_ = edit(116, "Exposure (secs):", f.exposure, kFitsNumberChars);
  history_ = multiLine(107, "History:", f.history);
  comment_ = multiLine(106, "Comments:", f.comment);
  date_ = edit(103, "Date:", f.date, kFitsDateChars);
  time_ = edit(110, "Time:", f.time, kFitsDateChars);

  utOffset_ = new QScrollBar(Qt::Horizontal, this);
  utOffset_->setObjectName("ctl111");
  utOffset_->setRange(-kUtOffsetLimit, kUtOffsetLimit);
  utOffset_->setSingleStep(1);
  utOffset_->setPageStep(1);
  utOffset_->setValue(ClampUtOffset(f.utOffsetHours));
  utOffsetText_ = new QLineEdit(QString::number(utOffset_->value()), this);
  utOffsetText_->setObjectName("ctl112");
  utOffsetText_->setReadOnly(true);
  utOffsetText_->setMaximumWidth(50);
  grid->addWidget(new QLabel("Time Difference to UT in Hrs:", this), row, 0);
  grid->addWidget(utOffset_, row, 1);
  grid->addWidget(utOffsetText_, row++, 2);
  // The arrows step through the core's rules: the line-down (right) arrow
  // subtracts an hour, the line-up (left) arrow adds one; dragging the thumb
  // moves nothing.
  connect(utOffset_, &QAbstractSlider::actionTriggered, this, [this](int action) {
    const int hours = utOffset_->value();
    switch (action) {
      case QAbstractSlider::SliderSingleStepAdd:
      case QAbstractSlider::SliderPageStepAdd:
        utOffset_->setSliderPosition(UtOffsetLineDown(hours));
        break;
      case QAbstractSlider::SliderSingleStepSub:
      case QAbstractSlider::SliderPageStepSub:
        utOffset_->setSliderPosition(UtOffsetLineUp(hours));
        break;
      default:
        utOffset_->setSliderPosition(hours);
        break;
    }
  });
  connect(utOffset_, &QScrollBar::valueChanged, this,
          [this](int value) { utOffsetText_->setText(QString::number(value)); });

  eightBit_ = new QCheckBox("8 bit integer (16 bit default)", this);
  eightBit_->setObjectName("ctl108");
  eightBit_->setChecked(settings.fits.eightBit != 0);
  grid->addWidget(eightBit_, row++, 0, 1, 3);
  unsignedFormat_ = new QCheckBox("Unsigned Integer Format", this);
  unsignedFormat_->setObjectName("ctl117");
  unsignedFormat_->setChecked(settings.fits.unsignedFormat != 0);
  unsignedFormat_->setVisible(false);
  grid->addWidget(unsignedFormat_, row++, 0, 1, 3);
  // The check boxes change their flags at once, even when the dialog is aborted.
  connect(eightBit_, &QCheckBox::toggled, this, [this](bool on) { settings_.fits.eightBit = on ? 1 : 0; });
  connect(unsignedFormat_, &QCheckBox::toggled, this, [this](bool on) { settings_.fits.unsignedFormat = on ? 1 : 0; });

  DialogButtons buttons;
  buttons.ok = "Continue";
  buttons.cancel = "Abort";
  buttons.onOk = [this] {
    readBack();
    accept();
  };
  grid->addLayout(MakeDialogButtonRow(this, buttons).layout, row, 0, 1, 3);
}

void TFITSDialog::readBack() {
  FitsDialogFields f;
  f.object = object_->text().toStdString();
  f.observer = observer_->text().toStdString();
  f.origin = origin_->text().toStdString();
  f.telescope = telescope_->text().toStdString();
  f.focalLength = focalLength_->text().toStdString();
  f.aperture = aperture_->text().toStdString();
  f.filter = filter_->text().toStdString();
  f.instrument = instrument_->text().toStdString();
  f.exposure = exposure_->text().toStdString();
  f.history = history_->toPlainText().toStdString();
  f.comment = comment_->toPlainText().toStdString();
  f.date = date_->text().toStdString();
  f.time = time_->text().toStdString();
  f.utOffsetHours = utOffset_->value();
  ApplyFitsDialogFields(settings_, f);
}

bool EditFitsDetails(ProgramSettings& settings, QWidget* parent) {
  TFITSDialog dialog(settings, parent);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace qv
